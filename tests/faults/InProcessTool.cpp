#include "InProcessTool.h"

#include <memory>
#include <sstream>

#include "cli/Tool.h"
#include "drive/Clock.h"

namespace tavoren::testing {
namespace {

// Lets the test keep its backend, which the drive layer would otherwise own.
class BorrowedBackend final : public DeviceBackend {
public:
    explicit BorrowedBackend(DeviceBackend& backend) : m_backend(backend) {}
    DeviceHandle Open(char letter) override { return m_backend.Open(letter); }
    void Close(DeviceHandle handle) override { m_backend.Close(handle); }
    CommandResult Execute(DeviceHandle handle, const CommandRequest& request) override {
        return m_backend.Execute(handle, request);
    }
    DeviceHandle HoldMediaChangeNotification(char letter) override {
        return m_backend.HoldMediaChangeNotification(letter);
    }
    std::string DeviceName(char letter) const override { return m_backend.DeviceName(letter); }

private:
    DeviceBackend& m_backend;
};

}  // namespace

InProcessRun RunInProcess(DeviceBackend& backend, const std::vector<std::string>& arguments) {
    InProcessRun run;
    // A prepared backend leaves the pauses to the caller: counted here, none of them real.
    SleepFunction previousSleep =
        InstallSleepFunction([&run](std::chrono::milliseconds duration) { run.slept += duration; });
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    run.exitStatus =
        cli::RunTool(arguments, in, out, err, std::make_unique<BorrowedBackend>(backend));
    InstallSleepFunction(std::move(previousSleep));
    run.out = out.str();
    run.err = err.str();
    return run;
}

}  // namespace tavoren::testing

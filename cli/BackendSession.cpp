#include "cli/BackendSession.h"

#include <cerrno>
#include <cstring>

#include "drive/ActiveBackend.h"
#include "drive/CurrentDrive.h"
#include "drive/TracingBackend.h"
#include "drive/Transport.h"
#include "drive/linux/LinuxSgBackend.h"
#include "sim/SimulatedBus.h"

namespace tavoren::cli {
namespace {

// The one place that decides which backend the drive layer talks to.
std::unique_ptr<DeviceBackend> ChooseBackend(const Options& options, std::FILE* trace,
                                             std::unique_ptr<DeviceBackend> prepared,
                                             sim::SimulatedBus*& simulatedBus) {
    std::unique_ptr<DeviceBackend> backend = std::move(prepared);
    if (!backend && options.simulate) {
        std::unique_ptr<sim::SimulatedBus> bus = sim::MakeDemoBus();
        simulatedBus = bus.get();
        backend = std::move(bus);
    } else if (!backend) {
        backend = std::make_unique<LinuxSgBackend>();
    }
    if (trace != nullptr) backend = std::make_unique<TracingBackend>(std::move(backend), trace);
    return backend;
}

}  // namespace

BackendSession::Started BackendSession::Start(const Options& options,
                                              std::unique_ptr<DeviceBackend> prepared) {
    std::unique_ptr<BackendSession> session(new BackendSession);
    if (!options.traceFile.empty()) {
        session->m_trace = std::fopen(options.traceFile.c_str(), "a");
        if (session->m_trace == nullptr) {
            return {nullptr,
                    "--trace: cannot open " + options.traceFile + ": " + std::strerror(errno)};
        }
    }
    std::unique_ptr<DeviceBackend> backend =
        ChooseBackend(options, session->m_trace, std::move(prepared), session->m_bus);
    if (session->m_bus != nullptr && !options.stateFile.empty()) {
        session->m_stateFile = options.stateFile;
        if (!session->m_bus->LoadState(options.stateFile)) {
            return {nullptr, "--simulate: cannot read the state file " + options.stateFile};
        }
    }
    if (session->m_bus != nullptr) {
        // Simulated drives run in simulated time.
        session->m_previousSleep = InstallSleepFunction([](std::chrono::milliseconds) {});
        session->m_sleepReplaced = true;
    }
    session->m_previousBackend = InstallDeviceBackend(std::move(backend));
    return {std::move(session), {}};
}

BackendSession::~BackendSession() {
    if (m_previousBackend) InstallDeviceBackend(std::move(m_previousBackend));
    if (m_sleepReplaced) InstallSleepFunction(std::move(m_previousSleep));
    if (m_trace != nullptr) std::fclose(m_trace);
}

void BackendSession::Note(const std::string& line) {
    if (m_trace != nullptr) std::fprintf(m_trace, "# %s\n", line.c_str());
}

std::string BackendSession::Finish() {
    CurrentDrive& drive = GetCurrentDrive();
    ReleaseMediaChangeNotification(drive);
    CloseDrive(drive);
    if (m_bus != nullptr && !m_stateFile.empty() && !m_bus->SaveState(m_stateFile)) {
        return "--simulate: cannot write the state file " + m_stateFile;
    }
    return {};
}

}  // namespace tavoren::cli

#include "drive/ActiveBackend.h"

#include <cerrno>

namespace tavoren {
namespace {

class NoDeviceBackend final : public DeviceBackend {
public:
    DeviceHandle Open(char) override { return kInvalidDeviceHandle; }
    void Close(DeviceHandle) override {}
    CommandResult Execute(DeviceHandle, const CommandRequest&) override {
        return CommandResult::NotDelivered(ENODEV, "no device backend");
    }
    DeviceHandle HoldMediaChangeNotification(char) override { return kInvalidDeviceHandle; }
    std::string DeviceName(char letter) const override { return std::string(1, letter); }
};

std::unique_ptr<DeviceBackend>& Slot() {
    static std::unique_ptr<DeviceBackend> backend = std::make_unique<NoDeviceBackend>();
    return backend;
}

}  // namespace

DeviceBackend& ActiveDeviceBackend() { return *Slot(); }

std::unique_ptr<DeviceBackend> InstallDeviceBackend(std::unique_ptr<DeviceBackend> backend) {
    if (!backend) backend = std::make_unique<NoDeviceBackend>();
    Slot().swap(backend);
    return backend;
}

}  // namespace tavoren

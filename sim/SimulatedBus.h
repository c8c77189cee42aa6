#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "drive/DeviceBackend.h"
#include "sim/SimulatedDevice.h"
#include "sim/SimulatedTavorenDrive.h"

namespace tavoren::sim {

struct TraceEntry {
    enum class Kind { Open, Close, Command, HoldNotification };
    Kind kind = Kind::Command;
    char letter = 0;
    Cdb cdb{};
    TransferDirection direction = TransferDirection::None;
    std::uint32_t length = 0;
    std::vector<std::uint8_t> dataOut;  // the bytes sent, for data-out commands
    bool delivered = false;
    std::uint8_t status = 0;
    std::uint8_t senseKey = 0, asc = 0, ascq = 0;
};

// The simulated drives, as a device backend: letters C..Z, each empty or holding a device.
class SimulatedBus final : public DeviceBackend {
public:
    SimulatedBus();
    ~SimulatedBus() override;

    SimulatedDevice& Attach(char letter, std::unique_ptr<SimulatedDevice> device);
    SimulatedTavorenDrive& AttachDrive(char letter, DriveProfile profile);
    void Detach(char letter);
    SimulatedDevice* DeviceAt(char letter);
    SimulatedTavorenDrive* DriveAt(char letter);  // null when no Tavoren drive is there

    DeviceHandle Open(char letter) override;
    void Close(DeviceHandle handle) override;
    CommandResult Execute(DeviceHandle handle, const CommandRequest& request) override;
    DeviceHandle HoldMediaChangeNotification(char letter) override;
    std::string DeviceName(char letter) const override;

    // The most recent entries: past kMaxTraceEntries the older half is dropped.
    static constexpr std::size_t kMaxTraceEntries = 100000;
    const std::vector<TraceEntry>& Trace() const { return m_trace; }
    std::vector<TraceEntry> Commands() const;  // the Command entries only
    void ClearTrace() { m_trace.clear(); }
    int OpenHandleCount() const;
    bool NotificationHeld(char letter) const;

    // Saved settings of every Tavoren drive, as a small text file. Load applies what it finds
    // to the attached drives as a power cycle would (volatile settings become the saved ones).
    bool SaveState(const std::string& path) const;
    bool LoadState(const std::string& path);

private:
    struct OpenHandle {
        char letter;
        bool notification;
    };
    bool IsReachable(char letter);
    DeviceHandle OpenHandleOn(char letter, bool notification);
    CommandResult Deliver(const OpenHandle* handle, const CommandRequest& request);
    void Record(TraceEntry entry);
    void RecordCommand(char letter, const CommandRequest& request, const CommandResult& result);
    std::map<char, std::unique_ptr<SimulatedDevice>> m_devices;
    std::map<DeviceHandle, OpenHandle> m_handles;
    DeviceHandle m_nextHandle = 100;
    std::vector<TraceEntry> m_trace;
};

// A disk that rejects the vendor buffers, and another maker's optical drive.
std::unique_ptr<SimulatedDevice> MakeSimulatedDisk();
std::unique_ptr<SimulatedDevice> MakeForeignOpticalDrive();

// The demo's bus: a disk at C, a full-featured drive at E, a basic one at F.
std::unique_ptr<SimulatedBus> MakeDemoBus();

}  // namespace tavoren::sim

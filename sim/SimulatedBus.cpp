#include "sim/SimulatedBus.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sim/StateFile.h"

namespace tavoren::sim {

SimulatedBus::SimulatedBus() = default;
SimulatedBus::~SimulatedBus() = default;

SimulatedDevice& SimulatedBus::Attach(char letter, std::unique_ptr<SimulatedDevice> device) {
    std::unique_ptr<SimulatedDevice>& slot = m_devices[letter];
    slot = std::move(device);
    return *slot;
}

SimulatedTavorenDrive& SimulatedBus::AttachDrive(char letter, DriveProfile profile) {
    auto drive = std::make_unique<SimulatedTavorenDrive>(std::move(profile));
    SimulatedTavorenDrive& attached = *drive;
    Attach(letter, std::move(drive));
    return attached;
}

void SimulatedBus::Detach(char letter) { m_devices.erase(letter); }

SimulatedDevice* SimulatedBus::DeviceAt(char letter) {
    const auto found = m_devices.find(letter);
    return found == m_devices.end() ? nullptr : found->second.get();
}

SimulatedTavorenDrive* SimulatedBus::DriveAt(char letter) {
    return dynamic_cast<SimulatedTavorenDrive*>(DeviceAt(letter));
}

bool SimulatedBus::IsReachable(char letter) {
    if (!IsDriveLetter(letter) || DeviceAt(letter) == nullptr) return false;
    SimulatedTavorenDrive* drive = DriveAt(letter);
    return drive == nullptr || !drive->Faults().unplugged;
}

void SimulatedBus::Record(TraceEntry entry) {
    // A long demo run polls every five seconds for hours; keep the recent past only.
    if (m_trace.size() >= kMaxTraceEntries) {
        m_trace.erase(m_trace.begin(), m_trace.begin() + kMaxTraceEntries / 2);
    }
    m_trace.push_back(std::move(entry));
}

DeviceHandle SimulatedBus::OpenHandleOn(char letter, bool notification) {
    const bool reachable = IsReachable(letter);
    TraceEntry entry;
    entry.kind = notification ? TraceEntry::Kind::HoldNotification : TraceEntry::Kind::Open;
    entry.letter = letter;
    entry.delivered = reachable;
    Record(std::move(entry));
    if (!reachable) return kInvalidDeviceHandle;
    const DeviceHandle handle = m_nextHandle++;
    m_handles[handle] = {letter, notification};
    return handle;
}

DeviceHandle SimulatedBus::Open(char letter) { return OpenHandleOn(letter, false); }

DeviceHandle SimulatedBus::HoldMediaChangeNotification(char letter) {
    return OpenHandleOn(letter, true);
}

void SimulatedBus::Close(DeviceHandle handle) {
    const auto found = m_handles.find(handle);
    TraceEntry entry;
    entry.kind = TraceEntry::Kind::Close;
    entry.delivered = found != m_handles.end();
    if (entry.delivered) {
        entry.letter = found->second.letter;
        m_handles.erase(found);
    }
    Record(std::move(entry));
}

CommandResult SimulatedBus::Execute(DeviceHandle handle, const CommandRequest& request) {
    const auto found = m_handles.find(handle);
    const OpenHandle* open = found == m_handles.end() ? nullptr : &found->second;
    const CommandResult result = Deliver(open, request);
    RecordCommand(open != nullptr ? open->letter : 0, request, result);
    return result;
}

CommandResult SimulatedBus::Deliver(const OpenHandle* handle, const CommandRequest& request) {
    // A notification handle is opened without access rights, so it cannot carry commands.
    if (handle == nullptr || handle->notification) {
        return CommandResult::NotDelivered(EBADF, "handle not open for commands");
    }
    SimulatedDevice* device = DeviceAt(handle->letter);
    if (device == nullptr) return CommandResult::NotDelivered(ENODEV, "device detached");
    return device->Execute(request);
}

void SimulatedBus::RecordCommand(char letter, const CommandRequest& request,
                                 const CommandResult& result) {
    TraceEntry entry;
    entry.kind = TraceEntry::Kind::Command;
    entry.letter = letter;
    entry.cdb = request.cdb;
    entry.direction = request.direction;
    entry.length = request.length;
    if (request.direction == TransferDirection::DataOut && request.data != nullptr) {
        entry.dataOut.assign(request.data, request.data + request.length);
    }
    entry.delivered = result.delivered;
    entry.status = result.scsiStatus;
    if (result.senseLength >= 14) {
        entry.senseKey = result.sense[2] & 0x0F;
        entry.asc = result.sense[12];
        entry.ascq = result.sense[13];
    }
    Record(std::move(entry));
}

std::vector<TraceEntry> SimulatedBus::Commands() const {
    std::vector<TraceEntry> commands;
    std::copy_if(m_trace.begin(), m_trace.end(), std::back_inserter(commands),
                 [](const TraceEntry& entry) { return entry.kind == TraceEntry::Kind::Command; });
    return commands;
}

int SimulatedBus::OpenHandleCount() const { return static_cast<int>(m_handles.size()); }

bool SimulatedBus::NotificationHeld(char letter) const {
    return std::any_of(m_handles.begin(), m_handles.end(), [letter](const auto& entry) {
        return entry.second.notification && entry.second.letter == letter;
    });
}

bool SimulatedBus::SaveState(const std::string& path) const {
    std::ofstream out(path, std::ios::trunc);
    for (const auto& [letter, device] : m_devices) {
        auto* drive = dynamic_cast<SimulatedTavorenDrive*>(device.get());
        if (drive != nullptr) out << FormatStateLine({letter, drive->SavedSettings()}) << '\n';
    }
    out.flush();
    return static_cast<bool>(out);
}

bool SimulatedBus::LoadState(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return !error;
    std::ifstream in(path);
    if (!in) return false;
    std::map<char, DriveSettings> loaded;
    std::string text;
    while (std::getline(in, text)) {
        if (text.find_first_not_of(" \t\r") == std::string::npos) continue;
        const std::optional<StateLine> line = ParseStateLine(text);
        if (!line || !loaded.emplace(line->letter, line->settings).second) return false;
    }
    if (in.bad()) return false;
    for (const auto& [letter, settings] : loaded) {
        if (SimulatedTavorenDrive* drive = DriveAt(letter)) {
            drive->SavedSettings() = settings;
            drive->Settings() = settings;
        }
    }
    return true;
}

std::string SimulatedBus::DeviceName(char letter) const { return std::string(1, letter); }

std::unique_ptr<SimulatedBus> MakeDemoBus() {
    auto bus = std::make_unique<SimulatedBus>();
    bus->Attach('C', MakeSimulatedDisk());
    SimulatedTavorenDrive& full = bus->AttachDrive('E', FullDriveProfile());
    full.SetSpinUpPolls(2);
    full.SetReloadAfterEject(true);
    full.InsertDisc();
    bus->AttachDrive('F', BasicDriveProfile()).SetSpinUpPolls(2);
    return bus;
}

}  // namespace tavoren::sim

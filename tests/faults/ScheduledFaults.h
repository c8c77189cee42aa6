#pragma once

#include <cstddef>
#include <limits>

#include "drive/DeviceBackend.h"
#include "sim/SimulatedBus.h"

namespace tavoren::testing {

enum class FaultKind {
    Unplugged,           // from the command on, for good
    UnitAttentionStorm,  // every command in the window answers 6/29/00
};

// A fault of one drive over a window of commands, counted over every command sent on the bus
// from 0; a window of length kForever lasts to the end of the run.
struct FaultWindow {
    static constexpr std::size_t kForever = std::numeric_limits<std::size_t>::max();
    FaultKind kind = FaultKind::Unplugged;
    std::size_t first = kForever;
    std::size_t length = kForever;

    bool Covers(std::size_t command) const { return command >= first && command - first < length; }
};

// Passes everything to the bus, switching the drive's fault on and off at the window's edges.
class ScheduledFaults final : public DeviceBackend {
public:
    ScheduledFaults(sim::SimulatedBus& bus, sim::SimulatedTavorenDrive& drive, FaultWindow window)
        : m_bus(bus), m_drive(drive), m_window(window) {}

    DeviceHandle Open(char letter) override { return m_bus.Open(letter); }
    void Close(DeviceHandle handle) override { m_bus.Close(handle); }
    CommandResult Execute(DeviceHandle handle, const CommandRequest& request) override;
    DeviceHandle HoldMediaChangeNotification(char letter) override {
        return m_bus.HoldMediaChangeNotification(letter);
    }
    std::string DeviceName(char letter) const override { return m_bus.DeviceName(letter); }

    std::size_t CommandsSent() const { return m_sent; }

private:
    sim::SimulatedBus& m_bus;
    sim::SimulatedTavorenDrive& m_drive;
    FaultWindow m_window;
    std::size_t m_sent = 0;
};

}  // namespace tavoren::testing

#pragma once

#include "drive/DeviceBackend.h"

namespace tavoren::sim {

// A device on the simulated bus: answers one command at a time.
class SimulatedDevice {
public:
    virtual ~SimulatedDevice() = default;
    // Fills at most request.length bytes of request.data for data-in commands.
    virtual CommandResult Execute(const CommandRequest& request) = 0;
};

// Sense helpers shared by the simulated devices.
CommandResult Good(std::int32_t residual = 0);
CommandResult CheckCondition(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq);

}  // namespace tavoren::sim

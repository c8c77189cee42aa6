#include "sim/SimulatedDevice.h"

namespace tavoren::sim {

CommandResult Good(std::int32_t residual) {
    CommandResult result;
    result.delivered = true;
    result.residual = residual;
    return result;
}

CommandResult CheckCondition(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) {
    CommandResult result;
    result.delivered = true;
    result.scsiStatus = 0x02;
    result.sense[0] = 0x70;  // current error, fixed format
    result.sense[2] = key;
    result.sense[7] = kSenseLength - 8;
    result.sense[12] = asc;
    result.sense[13] = ascq;
    result.senseLength = kSenseLength;
    return result;
}

}  // namespace tavoren::sim

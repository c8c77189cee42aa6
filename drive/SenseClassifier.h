#pragma once

#include <cstdint>
#include <span>

#include "drive/DriveTypes.h"

namespace tavoren {

// Classifies a failed command from its sense data. Fixed-format sense is read as it stands
// (byte 2 whole, byte 12, byte 13); descriptor-format sense (72h/73h) is moved to those
// positions first. Bytes not returned read as zero.
DriveErrorClass ClassifySense(std::span<const std::uint8_t> sense);

}  // namespace tavoren

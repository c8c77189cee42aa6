#pragma once

#include <array>
#include <cstdint>

namespace tavoren {

// Direction codes as the pass-through interfaces number them.
enum class TransferDirection : std::uint8_t {
    DataOut = 0,
    DataIn = 1,
    None = 2,
};

// Class of a failed command, from its sense data. 3 and 4 are not assigned.
enum class DriveErrorClass : std::int32_t {
    NoSense = 0,
    Other = 1,
    BecomingReady = 2,
    InitializingCommandRequired = 5,
    LongWriteInProgress = 6,
    MediumNotPresent = 7,
    CommunicationTimeout = 8,
    SelfConfigurationFailed = 9,
    MediumMayHaveChanged = 10,
    PowerOnReset = 11,
};

using Cdb = std::array<std::uint8_t, 12>;

// Opaque operating-system handle; backends decide what the number means.
using DeviceHandle = std::intptr_t;
inline constexpr DeviceHandle kInvalidDeviceHandle = -1;

inline constexpr char kFirstDriveLetter = 'C';
inline constexpr char kLastDriveLetter = 'Z';

constexpr bool IsDriveLetter(char letter) {
    return letter >= kFirstDriveLetter && letter <= kLastDriveLetter;
}

}  // namespace tavoren

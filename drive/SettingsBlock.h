#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavoren {

inline constexpr std::size_t kSettingsBlockSize = 256;

// Names of the bytes of the drive's 256-byte settings block that the utility reads.
// The block is never cached: read it afresh with ReadSettingsBlock for every use.
struct DriveSettingsBlock {
    std::array<std::uint8_t, kSettingsBlockSize> bytes{};

    static constexpr std::size_t kQuietCode = 2;
    static constexpr std::size_t kQuietFallback = 3;
    static constexpr std::size_t kVeritraxOn = 4;
    static constexpr std::size_t kVeritraxMode = 5;
    static constexpr std::size_t kRealTime = 28;
    static constexpr std::size_t kLedControl = 30;
    static constexpr std::size_t kLedPattern = 31;
    static constexpr std::size_t kLedBrightness = 32;
    static constexpr std::size_t kLedBlinkCycle = 34;
    static constexpr std::size_t kUsbDirect = 39;
    static constexpr std::size_t kUsbDirectPattern = 40;

    static constexpr std::uint8_t kVeritraxPerfectByte = 0xFE;

    std::uint8_t At(std::size_t index) const { return bytes[index]; }
    bool HasRealTime() const { return bytes[kRealTime] != 0; }
    bool HasLedControl() const { return bytes[kLedControl] != 0; }
    bool HasUsbDirect() const { return bytes[kUsbDirect] != 0; }
    bool VeritraxOn() const { return bytes[kVeritraxOn] != 0; }
    bool VeritraxPerfect() const { return bytes[kVeritraxMode] == kVeritraxPerfectByte; }
};

}  // namespace tavoren

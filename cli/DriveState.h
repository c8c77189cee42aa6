#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "drive/CommandSet.h"
#include "drive/SettingsBlock.h"

namespace tavoren::cli {

// A name the user types or reads, and the value behind it.
template <typename Value>
struct NamedValue {
    std::string_view name;
    Value value;
};

// The spellings the commands accept; `show` prints the same ones.
std::span<const NamedValue<QuietMode>> QuietModeNames();
std::span<const NamedValue<VeritraxMode>> VeritraxModeNames();
// Settings-block byte values, in the LED page's wording.
std::span<const NamedValue<std::uint8_t>> LedPatternNames();
std::span<const NamedValue<std::uint8_t>> UsbDirectPatternNames();

std::string_view NameOf(QuietMode mode);
std::string_view NameOf(VeritraxMode mode);
// Empty for a byte outside the table.
std::string_view LedPatternName(std::uint8_t pattern);
std::string_view UsbDirectPatternName(std::uint8_t pattern);
// The name, or the number for a byte outside the table.
std::string LedPatternText(std::uint8_t pattern);
std::string UsbDirectPatternText(std::uint8_t pattern);
bool SameIgnoringCase(std::string_view a, std::string_view b);

// The value of a name the user typed, in any case.
template <typename Value>
std::optional<Value> FindNamed(std::span<const NamedValue<Value>> table, std::string_view name) {
    for (const NamedValue<Value>& entry : table) {
        if (SameIgnoringCase(entry.name, name)) return entry.value;
    }
    return std::nullopt;
}

VeritraxMode DecodeVeritraxMode(const DriveSettingsBlock& block);

// What `show` reports, decoded from one read of the settings block.
struct DriveState {
    QuietMode quietMode = QuietMode::Off;
    VeritraxMode veritraxMode = VeritraxMode::Off;
    bool realTime = false;
    bool ledControl = false;
    std::uint8_t ledPattern = 0;
    std::uint8_t ledBrightness = 0;
    std::uint8_t ledBlinkCycle = 0;
    bool usbDirect = false;
    std::uint8_t usbDirectPattern = 0;
};

DriveState DecodeDriveState(const DriveSettingsBlock& block);

}  // namespace tavoren::cli

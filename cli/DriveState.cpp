#include "cli/DriveState.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tavoren::cli {
namespace {

constexpr std::array<NamedValue<QuietMode>, 4> kQuietModes = {{
    {"off", QuietMode::Off},
    {"quiet", QuietMode::Quiet},
    {"performance", QuietMode::Performance},
    {"persistent", QuietMode::PersistentQuiet},
}};

constexpr std::array<NamedValue<VeritraxMode>, 3> kVeritraxModes = {{
    {"off", VeritraxMode::Off},
    {"master", VeritraxMode::Master},
    {"perfect", VeritraxMode::Perfect},
}};

constexpr std::array<NamedValue<std::uint8_t>, 6> kLedPatterns = {{
    {"Blink1", 0},
    {"Blink2", 1},
    {"Blink3", 2},
    {"Flicker", 3},
    {"On", 4},
    {"Off", 5},
}};

constexpr std::array<NamedValue<std::uint8_t>, 2> kUsbDirectPatterns = {{
    {"On", 0},
    {"Blink", 1},
}};

std::string NameOrNumber(std::string_view name, std::uint8_t value) {
    return name.empty() ? std::to_string(value) : std::string(name);
}

template <typename Value>
std::string_view NameIn(std::span<const NamedValue<Value>> table, Value value) {
    const auto found = std::ranges::find(table, value, &NamedValue<Value>::value);
    return found == table.end() ? std::string_view{} : found->name;
}

}  // namespace

std::span<const NamedValue<QuietMode>> QuietModeNames() { return kQuietModes; }
std::span<const NamedValue<VeritraxMode>> VeritraxModeNames() { return kVeritraxModes; }
std::span<const NamedValue<std::uint8_t>> LedPatternNames() { return kLedPatterns; }
std::span<const NamedValue<std::uint8_t>> UsbDirectPatternNames() { return kUsbDirectPatterns; }

std::string_view NameOf(QuietMode mode) { return NameIn(QuietModeNames(), mode); }
std::string_view NameOf(VeritraxMode mode) { return NameIn(VeritraxModeNames(), mode); }

std::string_view LedPatternName(std::uint8_t pattern) { return NameIn(LedPatternNames(), pattern); }
std::string_view UsbDirectPatternName(std::uint8_t pattern) {
    return NameIn(UsbDirectPatternNames(), pattern);
}

std::string LedPatternText(std::uint8_t pattern) {
    return NameOrNumber(LedPatternName(pattern), pattern);
}
std::string UsbDirectPatternText(std::uint8_t pattern) {
    return NameOrNumber(UsbDirectPatternName(pattern), pattern);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

VeritraxMode DecodeVeritraxMode(const DriveSettingsBlock& block) {
    if (!block.VeritraxOn()) return VeritraxMode::Off;
    return block.VeritraxPerfect() ? VeritraxMode::Perfect : VeritraxMode::Master;
}

DriveState DecodeDriveState(const DriveSettingsBlock& block) {
    DriveState state;
    state.quietMode = DecodeQuietMode(block);
    state.veritraxMode = DecodeVeritraxMode(block);
    state.realTime = block.HasRealTime();
    state.ledControl = block.HasLedControl();
    state.ledPattern = block.At(DriveSettingsBlock::kLedPattern);
    state.ledBrightness = block.At(DriveSettingsBlock::kLedBrightness);
    state.ledBlinkCycle = block.At(DriveSettingsBlock::kLedBlinkCycle);
    state.usbDirect = block.HasUsbDirect();
    state.usbDirectPattern = block.At(DriveSettingsBlock::kUsbDirectPattern);
    return state;
}

}  // namespace tavoren::cli

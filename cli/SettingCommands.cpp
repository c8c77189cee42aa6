#include "cli/SettingCommands.h"

#include <ostream>

#include "cli/DriveState.h"
#include "cli/ExitStatus.h"
#include "cli/Report.h"
#include "drive/ActiveBackend.h"
#include "drive/CommandSet.h"
#include "drive/Discovery.h"
#include "drive/Transport.h"

namespace tavoren::cli {
namespace {

const char* OnOff(bool value) { return value ? "on" : "off"; }

const char* Persistence(bool saved) {
    return saved ? "saved to the drive" : "until the drive is powered off";
}

struct CurrentBlock {
    std::optional<DriveSettingsBlock> block;
    int failure = kExitOk;  // the exit status when there is no block
};

// The state a command starts from. A read the OS refused would show only zeros, so it ends the
// command before anything is changed.
CurrentBlock ReadCurrentBlock(const CommandContext& context, const SelectedDrive& drive) {
    ClearLastDeliveryFailure();
    const DriveSettingsBlock block = ReadSettingsBlock();
    const std::string refused = DeliveryFailureText();
    if (!refused.empty()) {
        return {std::nullopt, Fail(context, kExitNotTaken,
                                   drive.deviceName + ": cannot read the settings: " + refused)};
    }
    return {block, kExitOk};
}

DriveListing ListingOf(const DiscoveredDrive& drive) {
    DriveListing listing;
    listing.letter = drive.letter;
    listing.deviceName = ActiveDeviceBackend().DeviceName(drive.letter);
    listing.displayName = drive.displayName;
    listing.modelCode = ReadModelCode(drive.letter);
    OpenDrive(drive.letter);
    const DriveSettingsBlock block = ReadSettingsBlock();
    listing.realTime = block.HasRealTime();
    listing.ledControl = block.HasLedControl();
    listing.usbDirect = block.HasUsbDirect();
    return listing;
}

}  // namespace

int RunList(const CommandContext& context, const std::vector<DiscoveredDrive>& drives) {
    std::vector<DriveListing> listings;
    for (const DiscoveredDrive& drive : drives) listings.push_back(ListingOf(drive));
    context.out << (context.options.json ? FormatListJson(listings) : FormatListText(listings));
    const std::string refused = DeliveryFailureText();
    if (listings.empty()) {
        return Fail(context, kExitNoDrive,
                    "no supported Tavoren drive found" +
                        (refused.empty() ? std::string() : " (" + refused + ")"));
    }
    if (!refused.empty()) {
        return Fail(context, kExitNotTaken, "the list may be incomplete: " + refused);
    }
    return kExitOk;
}

int RunShow(const CommandContext& context, const SelectedDrive& drive) {
    const CurrentBlock read = ReadCurrentBlock(context, drive);
    if (!read.block) return read.failure;
    const DriveSettingsBlock& block = *read.block;
    const DriveReport report{drive.letter, drive.deviceName, drive.displayName,
                             DecodeDriveState(block)};
    context.out << (context.options.json ? FormatShowJson(report) : FormatShowText(report));
    return kExitOk;
}

int RunQuiet(const CommandContext& context, const SelectedDrive& drive) {
    const CurrentBlock read = ReadCurrentBlock(context, drive);
    if (!read.block) return read.failure;
    const DriveSettingsBlock& current = *read.block;
    const QuietMode mode = context.options.quietMode;
    const bool save = context.options.save;
    // The read-error part goes out unchanged, as the drive reports it now.
    SetQuietModeTransient(mode);
    SetQuietMode(mode, save);
    WriteVeritraxSettings(DecodeVeritraxMode(current), current.HasRealTime(), false);

    const QuietMode reported = ReadQuietMode();
    const int status = ConfirmTaken(
        context, drive.deviceName,
        {{"quiet drive mode", std::string(NameOf(mode)), std::string(NameOf(reported))}});
    if (status != kExitOk) return status;
    context.out << drive.deviceName << ": quiet drive mode " << NameOf(mode) << ", "
                << Persistence(save) << '\n';
    return kExitOk;
}

int RunVeritrax(const CommandContext& context, const SelectedDrive& drive) {
    const CurrentBlock read = ReadCurrentBlock(context, drive);
    if (!read.block) return read.failure;
    const DriveSettingsBlock& current = *read.block;
    const VeritraxMode mode = context.options.veritraxMode;
    const bool realTime = context.options.realTime;
    const bool save = context.options.save;
    // The quiet-drive part goes out unchanged and unsaved, as the drive reports it now.
    const QuietMode quietMode = DecodeQuietMode(current);
    SetQuietModeTransient(quietMode);
    SetQuietMode(quietMode, false);
    WriteVeritraxSettings(mode, realTime, save);

    const DriveSettingsBlock now = ReadSettingsBlock();
    std::vector<ReadBack> values = {{"read-error mode", std::string(NameOf(mode)),
                                     std::string(NameOf(DecodeVeritraxMode(now)))}};
    if (realTime) values.push_back({"real-time", OnOff(true), OnOff(now.HasRealTime())});
    const int status = ConfirmTaken(context, drive.deviceName, values);
    if (status != kExitOk) return status;
    context.out << drive.deviceName << ": read-error mode " << NameOf(mode) << ", real-time "
                << OnOff(realTime) << ", " << Persistence(save) << '\n';
    return kExitOk;
}

int RunLed(const CommandContext& context, const SelectedDrive& drive) {
    const CurrentBlock read = ReadCurrentBlock(context, drive);
    if (!read.block) return read.failure;
    const DriveSettingsBlock& current = *read.block;
    const LedRequest& request = context.options.led;
    if (!current.HasLedControl()) {
        return Fail(context, kExitNoDrive, drive.deviceName + " has no LED control");
    }
    if (request.usbDirectPattern && !current.HasUsbDirect()) {
        return Fail(context, kExitNoDrive,
                    "--usb-pattern: " + drive.deviceName + " has no USB direct mode");
    }
    constexpr std::uint8_t kNoUsbDirectPattern = 0xFF;
    const std::uint8_t pattern =
        request.pattern.value_or(current.At(DriveSettingsBlock::kLedPattern));
    const std::uint8_t brightness =
        request.brightness.value_or(current.At(DriveSettingsBlock::kLedBrightness));
    const std::uint8_t blinkCycle =
        request.blinkCycle.value_or(current.At(DriveSettingsBlock::kLedBlinkCycle));
    const std::uint8_t usbPattern = request.usbDirectPattern.value_or(
        current.HasUsbDirect() ? current.At(DriveSettingsBlock::kUsbDirectPattern)
                               : kNoUsbDirectPattern);
    WriteLedSettings(pattern, blinkCycle, brightness, usbPattern);

    const DriveSettingsBlock now = ReadSettingsBlock();
    std::vector<ReadBack> values = {
        {"LED pattern", LedPatternText(pattern),
         LedPatternText(now.At(DriveSettingsBlock::kLedPattern))},
        {"LED brightness", std::to_string(brightness),
         std::to_string(now.At(DriveSettingsBlock::kLedBrightness))},
        {"LED blinking cycle", std::to_string(blinkCycle),
         std::to_string(now.At(DriveSettingsBlock::kLedBlinkCycle))},
    };
    if (current.HasUsbDirect()) {
        values.push_back({"USB direct pattern", UsbDirectPatternText(usbPattern),
                          UsbDirectPatternText(now.At(DriveSettingsBlock::kUsbDirectPattern))});
    }
    const int status = ConfirmTaken(context, drive.deviceName, values);
    if (status != kExitOk) return status;
    context.out << drive.deviceName << ": LED pattern " << LedPatternText(pattern)
                << ", brightness " << int{brightness} << ", blinking cycle " << int{blinkCycle};
    if (current.HasUsbDirect()) {
        context.out << ", USB direct pattern " << UsbDirectPatternText(usbPattern);
    }
    context.out << '\n';
    return kExitOk;
}

}  // namespace tavoren::cli

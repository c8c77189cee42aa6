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

// The state a command starts from. A failed read would show only zeros, so it ends the command
// before anything is changed.
CurrentBlock ReadCurrentBlock(const CommandContext& context, const SelectedDrive& drive) {
    ClearLastDeliveryFailure();
    DriveSettingsBlock block;
    const std::string failure = FailureText(ReadSettingsBlock(block));
    if (!failure.empty()) {
        return {std::nullopt, Fail(context, kExitNotTaken,
                                   drive.deviceName + ": cannot read the settings: " + failure)};
    }
    return {block, kExitOk};
}

struct ListingRead {
    std::optional<DriveListing> listing;
    std::string failure;  // why there is no listing
};

ListingRead ListingOf(const SurveyedDrive& surveyed) {
    if (!surveyed.failure.empty()) return {std::nullopt, surveyed.failure};
    const char letter = surveyed.drive.letter;
    if (!OpenDrive(letter)) return {std::nullopt, "cannot open the drive"};
    const ModelCodeRead model = ReadCurrentModelCode();
    if (!model.failure.empty()) return {std::nullopt, model.failure};
    if (!IsSupportedModel(model.modelCode)) {
        return {std::nullopt, "the drive no longer reports a supported model code"};
    }
    ClearLastDeliveryFailure();
    DriveSettingsBlock block;
    const std::string failure = FailureText(ReadSettingsBlock(block));
    if (!failure.empty()) return {std::nullopt, "cannot read the settings: " + failure};
    DriveListing listing;
    listing.letter = letter;
    listing.deviceName = ActiveDeviceBackend().DeviceName(letter);
    listing.displayName = surveyed.drive.displayName;
    listing.modelCode = model.modelCode;
    listing.realTime = block.HasRealTime();
    listing.ledControl = block.HasLedControl();
    listing.usbDirect = block.HasUsbDirect();
    return {std::move(listing), {}};
}

}  // namespace

int RunList(const CommandContext& context, const std::vector<SurveyedDrive>& drives) {
    std::vector<DriveListing> listings;
    std::string failures;
    for (const SurveyedDrive& drive : drives) {
        ListingRead read = ListingOf(drive);
        if (read.listing) {
            listings.push_back(std::move(*read.listing));
            continue;
        }
        if (!failures.empty()) failures += "; ";
        failures += ActiveDeviceBackend().DeviceName(drive.drive.letter) + ": " + read.failure;
    }
    context.out << (context.options.json ? FormatListJson(listings) : FormatListText(listings));
    if (!failures.empty()) {
        return Fail(context, kExitNotTaken, "the list may be incomplete: " + failures);
    }
    if (listings.empty()) return Fail(context, kExitNoDrive, "no supported Tavoren drive found");
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

namespace {

// The three commands the GUI's Setting page sends for any change, in its order. Past a failed
// write the next ones would build on a state the drive does not have, so they are not sent.
bool SendSettingPageState(QuietMode quietMode, bool saveQuiet, VeritraxMode veritraxMode,
                          bool realTime, bool saveVeritrax) {
    return WentThrough(SetQuietModeTransientAccepted(quietMode)) &&
           WentThrough(SetQuietModeAccepted(quietMode, saveQuiet)) &&
           WentThrough(WriteVeritraxSettingsAccepted(veritraxMode, realTime, saveVeritrax));
}

}  // namespace

int RunQuiet(const CommandContext& context, const SelectedDrive& drive) {
    const CurrentBlock read = ReadCurrentBlock(context, drive);
    if (!read.block) return read.failure;
    const DriveSettingsBlock& current = *read.block;
    const QuietMode mode = context.options.quietMode;
    const bool save = context.options.save;
    // The read-error part goes out unchanged, as the drive reports it now.
    if (!SendSettingPageState(mode, save, DecodeVeritraxMode(current), current.HasRealTime(),
                              false)) {
        return WriteFailed(context, drive.deviceName);
    }

    DriveSettingsBlock now;
    const bool readBack = ReadSettingsBlock(now);
    const QuietMode reported = DecodeQuietMode(now);
    const int status = ConfirmTaken(
        context, drive.deviceName, readBack,
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
    if (!SendSettingPageState(quietMode, false, mode, realTime, save)) {
        return WriteFailed(context, drive.deviceName);
    }

    DriveSettingsBlock now;
    const bool readBack = ReadSettingsBlock(now);
    std::vector<ReadBack> values = {{"read-error mode", std::string(NameOf(mode)),
                                     std::string(NameOf(DecodeVeritraxMode(now)))}};
    if (realTime) values.push_back({"real-time", OnOff(true), OnOff(now.HasRealTime())});
    const int status = ConfirmTaken(context, drive.deviceName, readBack, values);
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
    if (!WentThrough(WriteLedSettingsAccepted(pattern, blinkCycle, brightness, usbPattern))) {
        return WriteFailed(context, drive.deviceName);
    }

    DriveSettingsBlock now;
    const bool readBack = ReadSettingsBlock(now);
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
    const int status = ConfirmTaken(context, drive.deviceName, readBack, values);
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

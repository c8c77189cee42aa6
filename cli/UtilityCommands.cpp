#include "cli/UtilityCommands.h"

#include <chrono>
#include <ostream>

#include "cli/DriveState.h"
#include "cli/ExitStatus.h"
#include "drive/Clock.h"
#include "drive/CommandSet.h"
#include "drive/CurrentDrive.h"
#include "drive/Transport.h"

namespace tavoren::cli {
namespace {

using std::chrono::milliseconds;

constexpr int kCountdownSeconds = 25;
constexpr std::uint32_t kBusPowerPassThreshold = 4500;
constexpr milliseconds kTick{1000};
constexpr milliseconds kForceEjectPause{1000};

// What RestoreFactoryDefaults writes, as the settings block then reports it.
constexpr std::uint8_t kFactoryLedPattern = 0;
constexpr std::uint8_t kFactoryLedBrightness = 2;
constexpr std::uint8_t kFactoryLedBlinkCycle = 2;
constexpr std::uint8_t kFactoryUsbDirectPattern = 0;

constexpr const char* kInsertDiscPrompt = "Please insert a disc.  Any kind of a disc will do.";
constexpr const char* kForceEjectQuestion =
    "If the drive is under operation, incompleted task will be discarded. Do you continue to "
    "eject the disc?";
constexpr const char* kFactoryResetQuestion =
    "Reset all of the settings to the factory default. OK?";

// The OS keeps raising media events again however the check ends.
class MediaChangeHold {
public:
    MediaChangeHold() { SuppressMediaChangeNotification(GetCurrentDrive()); }
    ~MediaChangeHold() { ReleaseMediaChangeNotification(GetCurrentDrive()); }
    MediaChangeHold(const MediaChangeHold&) = delete;
    MediaChangeHold& operator=(const MediaChangeHold&) = delete;
};

bool Confirmed(const CommandContext& context, const SelectedDrive& drive, const char* question) {
    if (context.options.yes) return true;
    context.out << drive.displayName << '\n';
    return context.console.Confirm(question);
}

int RefusedByOs(const CommandContext& context, const SelectedDrive& drive) {
    return Fail(context, kExitNotTaken, drive.deviceName + ": " + DeliveryFailureText());
}

int CommandFailed(const CommandContext& context, const SelectedDrive& drive, const char* what,
                  const std::string& failure) {
    return Fail(context, kExitNotTaken, drive.deviceName + ": " + what + ": " + failure);
}

int CountDownAndJudge(const CommandContext& context, const SelectedDrive& drive) {
    for (int remaining = kCountdownSeconds - 1; remaining >= 0; --remaining) {
        SleepFor(kTick);
        context.console.ShowCountdown(remaining, kCountdownSeconds);
    }
    context.console.EndCountdown();
    SleepFor(kTick);
    if (!IsTavorenDrivePresent()) {
        return Fail(context, kExitBusPowerFailed,
                    drive.deviceName + ": NG: the drive no longer answers after the check");
    }
    std::uint32_t value = 0;
    const std::string failure = FailureText(ReadBusPowerCheckResult(value));
    // A result that never came back reads as 0, which would pass for a marginal drive.
    if (!failure.empty()) {
        return CommandFailed(context, drive, "cannot read the bus-power check result", failure);
    }
    if (value > kBusPowerPassThreshold) {
        context.out << "OK: result " << value << " is above " << kBusPowerPassThreshold
                    << ": the drive works on USB bus power\n";
        return kExitOk;
    }
    context.out << "OK: result " << value << " is not above " << kBusPowerPassThreshold
                << ": the drive works on USB bus power only marginally\n";
    return kExitBusPowerMarginal;
}

}  // namespace

int RunBusPowerCheck(const CommandContext& context, const SelectedDrive& drive) {
    ClearLastDeliveryFailure();
    const MediaChangeHold hold;
    if (WaitForDiscReady()) EjectDisc();
    if (!DeliveryFailureText().empty()) return RefusedByOs(context, drive);
    if (context.options.yes) {
        context.out << kInsertDiscPrompt << '\n';
    } else if (!context.console.WaitForEnter(std::string(kInsertDiscPrompt) +
                                             " Press Enter when it is in. ")) {
        return Fail(context, kExitNotConfirmed, "bus-power check cancelled");
    }
    if (!WaitForDiscReady()) {
        return Fail(context, kExitBusPowerFailed, drive.deviceName + ": No disc is found.");
    }
    StopDisc();
    const std::string failure = FailureText(StartBusPowerCheckAccepted());
    if (!failure.empty()) {
        return CommandFailed(context, drive, "the bus-power check did not start", failure);
    }
    return CountDownAndJudge(context, drive);
}

int RunForceEject(const CommandContext& context, const SelectedDrive& drive) {
    if (!Confirmed(context, drive, kForceEjectQuestion)) {
        return Fail(context, kExitNotConfirmed, "force-eject not confirmed; nothing was sent");
    }
    ClearLastDeliveryFailure();
    const bool accepted = ForceEjectAccepted();
    SleepFor(kForceEjectPause);
    const std::string failure = FailureText(accepted);
    if (!failure.empty()) return CommandFailed(context, drive, "the forced eject failed", failure);
    context.out << drive.deviceName << ": forced eject sent\n";
    return kExitOk;
}

int RunFactoryReset(const CommandContext& context, const SelectedDrive& drive) {
    if (!Confirmed(context, drive, kFactoryResetQuestion)) {
        return Fail(context, kExitNotConfirmed, "factory-reset not confirmed; nothing was sent");
    }
    ClearLastDeliveryFailure();
    if (!WentThrough(RestoreFactoryDefaultsAccepted())) {
        return WriteFailed(context, drive.deviceName);
    }

    DriveSettingsBlock now;
    const bool readBack = ReadSettingsBlock(now);
    const DriveState state = DecodeDriveState(now);
    std::vector<ReadBack> values = {
        {"quiet drive mode", std::string(NameOf(QuietMode::Quiet)),
         std::string(NameOf(state.quietMode))},
        {"read-error mode", std::string(NameOf(VeritraxMode::Off)),
         std::string(NameOf(state.veritraxMode))},
    };
    if (state.ledControl) {
        values.push_back(
            {"LED pattern", LedPatternText(kFactoryLedPattern), LedPatternText(state.ledPattern)});
        values.push_back({"LED brightness", std::to_string(kFactoryLedBrightness),
                          std::to_string(state.ledBrightness)});
        values.push_back({"LED blinking cycle", std::to_string(kFactoryLedBlinkCycle),
                          std::to_string(state.ledBlinkCycle)});
    }
    if (state.usbDirect) {
        values.push_back({"USB direct pattern", UsbDirectPatternText(kFactoryUsbDirectPattern),
                          UsbDirectPatternText(state.usbDirectPattern)});
    }
    const int status = ConfirmTaken(context, drive.deviceName, readBack, values);
    if (status != kExitOk) return status;
    context.out << drive.deviceName << ": settings reset to the factory default\n";
    return kExitOk;
}

}  // namespace tavoren::cli

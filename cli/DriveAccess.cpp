#include "cli/DriveAccess.h"

#include <cerrno>
#include <cstring>

#include "cli/ExitStatus.h"
#include "drive/ActiveBackend.h"
#include "drive/CurrentDrive.h"
#include "drive/Discovery.h"
#include "drive/Transport.h"

namespace tavoren::cli {
namespace {

DriveSelection NoDrive(int status, std::string error) {
    const std::string refused = DeliveryFailureText();
    if (!refused.empty()) error += " (" + refused + ")";
    return {std::nullopt, status, std::move(error)};
}

DriveSelection SelectRequested(char letter) {
    const std::string deviceName = ActiveDeviceBackend().DeviceName(letter);
    if (!OpenDrive(letter)) return NoDrive(kExitNoDrive, "cannot open drive " + deviceName);
    const std::string modelCode = ReadModelCode(letter);
    if (!IsSupportedModel(modelCode)) {
        return NoDrive(kExitNoDrive, deviceName + " is not a supported Tavoren drive");
    }
    SelectedDrive drive{letter, deviceName, GetDriveDisplayName(letter)};
    if (!OpenDrive(letter)) return NoDrive(kExitNoDrive, "cannot open drive " + deviceName);
    return {std::move(drive), kExitOk, {}};
}

DriveSelection SelectFirst() {
    const std::vector<DiscoveredDrive> drives = EnumerateSupportedDrives();
    if (drives.empty()) return NoDrive(kExitNoDrive, "no supported Tavoren drive found");
    const DiscoveredDrive& first = drives.front();
    const std::string deviceName = ActiveDeviceBackend().DeviceName(first.letter);
    if (GetCurrentDrive().commandHandle == kInvalidDeviceHandle) {
        return NoDrive(kExitNoDrive, "cannot open drive " + deviceName);
    }
    return {SelectedDrive{first.letter, deviceName, first.displayName}, kExitOk, {}};
}

}  // namespace

DriveSelection SelectDrive(std::optional<char> requested) {
    ClearLastDeliveryFailure();
    return requested ? SelectRequested(*requested) : SelectFirst();
}

std::string DeliveryFailureText() {
    const DeliveryFailure& failure = LastDeliveryFailure();
    const std::string reason = failure.reason != nullptr ? failure.reason : "";
    if (failure.osError == 0 && reason.empty()) return {};
    std::string text = "the operating system refused the request";
    if (!reason.empty()) text += " (" + reason + ")";
    if (failure.osError != 0) text += ": " + std::string(std::strerror(failure.osError));
    if (failure.osError == EPERM || failure.osError == EACCES) {
        text +=
            "; the command needs more privileges than this user has (run as root or with "
            "CAP_SYS_RAWIO)";
    }
    return text;
}

}  // namespace tavoren::cli

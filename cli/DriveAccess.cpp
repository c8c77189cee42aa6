#include "cli/DriveAccess.h"

#include <cerrno>
#include <cstring>

#include "cli/ExitStatus.h"
#include "drive/ActiveBackend.h"
#include "drive/CommandSet.h"
#include "drive/CurrentDrive.h"
#include "drive/Discovery.h"
#include "drive/Transport.h"

namespace tavoren::cli {
namespace {

const char* ErrorClassName(DriveErrorClass errorClass) {
    switch (errorClass) {
        case DriveErrorClass::NoSense: return "no sense data";
        case DriveErrorClass::Other: return "error";
        case DriveErrorClass::BecomingReady: return "becoming ready";
        case DriveErrorClass::InitializingCommandRequired: return "initializing command required";
        case DriveErrorClass::LongWriteInProgress: return "long write in progress";
        case DriveErrorClass::MediumNotPresent: return "no disc";
        case DriveErrorClass::CommunicationTimeout: return "communication timeout";
        case DriveErrorClass::SelfConfigurationFailed: return "self-configuration failed";
        case DriveErrorClass::MediumMayHaveChanged: return "unit attention: medium may have changed";
        case DriveErrorClass::PowerOnReset: return "unit attention: power-on reset";
    }
    return "unknown";
}

struct DisplayNameRead {
    std::string displayName;
    std::string failure;
};

DisplayNameRead ReadCurrentDisplayName(char letter) {
    ClearLastDeliveryFailure();
    DriveDataBuffer buffer;
    const std::string failure = FailureText(ReadInquiryData(buffer));
    if (!failure.empty()) return {{}, "cannot read the drive's name: " + failure};
    return {DisplayNameText(letter, buffer), {}};
}

DriveSelection Failed(int status, std::string error) {
    return {std::nullopt, status, std::move(error)};
}

DriveSelection SelectRequested(char letter) {
    const std::string deviceName = ActiveDeviceBackend().DeviceName(letter);
    if (!OpenDrive(letter)) {
        std::string error = "cannot open drive " + deviceName;
        const std::string refused = DeliveryFailureText();
        if (!refused.empty()) error += " (" + refused + ")";
        return Failed(kExitNoDrive, error);
    }
    const ModelCodeRead model = ReadCurrentModelCode();
    if (!model.failure.empty()) {
        return Failed(kExitNotTaken, deviceName + ": " + model.failure);
    }
    if (!IsSupportedModel(model.modelCode)) {
        return Failed(kExitNoDrive, deviceName + " is not a supported Tavoren drive");
    }
    const DisplayNameRead name = ReadCurrentDisplayName(letter);
    if (!name.failure.empty()) return Failed(kExitNotTaken, deviceName + ": " + name.failure);
    return {SelectedDrive{letter, deviceName, name.displayName}, kExitOk, {}};
}

DriveSelection SelectFirst() {
    const std::vector<SurveyedDrive> drives = SurveyDrives();
    if (drives.empty()) return Failed(kExitNoDrive, "no supported Tavoren drive found");
    const SurveyedDrive& first = drives.front();
    const std::string deviceName = ActiveDeviceBackend().DeviceName(first.drive.letter);
    // Another drive would not be the one the user means by the first.
    if (!first.failure.empty()) return Failed(kExitNotTaken, deviceName + ": " + first.failure);
    if (GetCurrentDrive().commandHandle == kInvalidDeviceHandle) {
        return Failed(kExitNoDrive, "cannot open drive " + deviceName);
    }
    return {SelectedDrive{first.drive.letter, deviceName, first.drive.displayName}, kExitOk, {}};
}

// Leaves the letter open.
std::optional<SurveyedDrive> Survey(char letter) {
    if (!OpenDrive(letter)) return std::nullopt;
    const ModelCodeRead model = ReadCurrentModelCode();
    if (!model.failure.empty()) return SurveyedDrive{{letter, {}}, model.failure};
    if (!IsSupportedModel(model.modelCode)) return std::nullopt;
    const DisplayNameRead name = ReadCurrentDisplayName(letter);
    return SurveyedDrive{{letter, name.displayName}, name.failure};
}

}  // namespace

DriveSelection SelectDrive(std::optional<char> requested) {
    ClearLastDeliveryFailure();
    return requested ? SelectRequested(*requested) : SelectFirst();
}

std::vector<SurveyedDrive> SurveyDrives() {
    std::vector<SurveyedDrive> drives;
    for (char letter = kFirstDriveLetter; letter <= kLastDriveLetter; ++letter) {
        if (std::optional<SurveyedDrive> drive = Survey(letter)) {
            drives.push_back(std::move(*drive));
        }
    }
    OpenDrive(drives.empty() ? 0 : drives.front().drive.letter);
    return drives;
}

ModelCodeRead ReadCurrentModelCode() {
    ClearLastDeliveryFailure();
    DriveDataBuffer buffer;
    const bool accepted = ReadModelCodeBuffer(buffer);
    // Other makers' devices answer the vendor read with an error of their own: no model code.
    // A failure of another kind leaves open whether a supported drive is there.
    if (!accepted && DeliveryFailureText().empty() &&
        GetCurrentDrive().lastErrorClass == DriveErrorClass::Other) {
        return {};
    }
    const std::string failure = FailureText(accepted);
    if (!failure.empty()) return {{}, "cannot read the model code: " + failure};
    return {ModelCodeText(buffer), {}};
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

std::string FailureText(bool accepted) {
    std::string refused = DeliveryFailureText();
    if (!refused.empty()) return refused;
    if (accepted) return {};
    return std::string("the drive failed the command (") +
           ErrorClassName(GetCurrentDrive().lastErrorClass) + ")";
}

bool WentThrough(bool accepted) { return FailureText(accepted).empty(); }

}  // namespace tavoren::cli

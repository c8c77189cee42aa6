#include "drive/Transport.h"

#include <algorithm>

#include "drive/ActiveBackend.h"
#include "drive/SenseClassifier.h"

namespace tavoren {
namespace {

DeliveryFailure& LastFailureSlot() {
    static DeliveryFailure failure;
    return failure;
}

bool IsUnitAttention(DriveErrorClass errorClass) {
    return errorClass == DriveErrorClass::MediumMayHaveChanged ||
           errorClass == DriveErrorClass::PowerOnReset;
}

void CloseHandle(DeviceHandle& handle) {
    if (handle != kInvalidDeviceHandle) ActiveDeviceBackend().Close(handle);
    handle = kInvalidDeviceHandle;
}

}  // namespace

bool SendDriveCommand(const Cdb& cdb, CurrentDrive& drive, TransferDirection direction,
                      std::uint8_t* data, std::uint32_t length) {
    const CommandRequest request{cdb, direction, data, length, kCommandTimeoutSeconds};
    for (int attempt = 0;; ++attempt) {
        const CommandResult result = ActiveDeviceBackend().Execute(drive.commandHandle, request);
        if (!result.delivered) {
            LastFailureSlot() = {result.osError, result.osReason};
            return true;
        }
        if (result.scsiStatus == 0) return true;
        // A backend's sense length is not trusted past the sense area.
        const std::size_t senseLength =
            std::min<std::size_t>(result.senseLength, result.sense.size());
        drive.lastErrorClass =
            ClassifySense(std::span<const std::uint8_t>(result.sense.data(), senseLength));
        if (!IsUnitAttention(drive.lastErrorClass) || attempt >= kMaxUnitAttentionResends) {
            return false;
        }
    }
}

bool OpenDrive(char letter) {
    CurrentDrive& drive = GetCurrentDrive();
    CloseDrive(drive);
    drive.letter = letter;
    if (!IsDriveLetter(letter)) return false;
    drive.commandHandle = ActiveDeviceBackend().Open(letter);
    return drive.commandHandle != kInvalidDeviceHandle;
}

void CloseDrive(CurrentDrive& drive) { CloseHandle(drive.commandHandle); }

bool SuppressMediaChangeNotification(CurrentDrive& drive) {
    CloseHandle(drive.notificationHandle);
    if (!IsDriveLetter(drive.letter)) return false;
    drive.notificationHandle = ActiveDeviceBackend().HoldMediaChangeNotification(drive.letter);
    return drive.notificationHandle != kInvalidDeviceHandle;
}

void ReleaseMediaChangeNotification(CurrentDrive& drive) { CloseHandle(drive.notificationHandle); }

const DeliveryFailure& LastDeliveryFailure() { return LastFailureSlot(); }

void ClearLastDeliveryFailure() { LastFailureSlot() = {}; }

}  // namespace tavoren

#pragma once

#include <cstdint>

#include "drive/CurrentDrive.h"
#include "drive/DriveTypes.h"

namespace tavoren {

// The drive reports each unit attention once; more than this many in a row is a fault.
inline constexpr int kMaxUnitAttentionResends = 8;

// True when the drive answered with status 0, or when the request was not delivered at all.
bool SendDriveCommand(const Cdb& cdb, CurrentDrive& drive, TransferDirection direction,
                      std::uint8_t* data, std::uint32_t length);

// Makes the letter the current drive and opens it.
bool OpenDrive(char letter);

// Closes the command handle of the record, leaving its letter.
void CloseDrive(CurrentDrive& drive);

// Holds the OS's media change notification off until ReleaseMediaChangeNotification.
bool SuppressMediaChangeNotification(CurrentDrive& drive);
void ReleaseMediaChangeNotification(CurrentDrive& drive);

// The last request the OS did not deliver, for the command-line tool and diagnostics.
struct DeliveryFailure {
    int osError = 0;
    const char* reason = "";
};
const DeliveryFailure& LastDeliveryFailure();
void ClearLastDeliveryFailure();

}  // namespace tavoren

#pragma once

#include <cstdint>
#include <string>

#include "drive/DriveTypes.h"

namespace tavoren {

inline constexpr std::uint32_t kCommandTimeoutSeconds = 360;
inline constexpr std::size_t kSenseLength = 18;

// One command as it is handed to the operating system.
struct CommandRequest {
    Cdb cdb{};
    TransferDirection direction = TransferDirection::None;
    std::uint8_t* data = nullptr;  // holds at least `length` bytes; may be null when 0
    std::uint32_t length = 0;
    std::uint32_t timeoutSeconds = kCommandTimeoutSeconds;
};

// What came back. The three failure layers stay apart: the OS refusing the request,
// the transport (host adapter / driver) failing to deliver it, and the SCSI status.
struct CommandResult {
    bool delivered = false;
    int osError = 0;                // errno-style code when the OS refused the request
    const char* osReason = "";      // short static text naming the refusing step
    std::uint16_t hostStatus = 0;   // transport layer, 0 = fine
    std::uint16_t driverStatus = 0; // transport layer, 0 = fine (sense flag excluded)
    std::uint8_t scsiStatus = 0;
    std::array<std::uint8_t, kSenseLength> sense{};
    std::uint8_t senseLength = 0;   // valid bytes in `sense`
    std::int32_t residual = 0;      // bytes requested but not transferred

    static CommandResult NotDelivered(int error, const char* reason) {
        CommandResult result;
        result.osError = error;
        result.osReason = reason;
        return result;
    }
};

// The operating-system side of the transport. One implementation is chosen at start-up.
class DeviceBackend {
public:
    virtual ~DeviceBackend() = default;

    // Opens the drive behind a letter for reading and writing, shared; invalid handle on failure.
    virtual DeviceHandle Open(char letter) = 0;
    virtual void Close(DeviceHandle handle) = 0;
    virtual CommandResult Execute(DeviceHandle handle, const CommandRequest& request) = 0;
    // A handle that keeps the OS from raising media events for the drive while it stays open
    // (closed with Close); invalid when that cannot be had.
    virtual DeviceHandle HoldMediaChangeNotification(char letter) = 0;
    // The name users know the drive by ("E" for a simulated drive, "/dev/sr0" on Linux).
    virtual std::string DeviceName(char letter) const = 0;
};

}  // namespace tavoren

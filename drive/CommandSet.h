#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "drive/SettingsBlock.h"

namespace tavoren {

enum class QuietMode : std::uint16_t {
    PersistentQuiet = 0xFFFC,
    Off = 0xFFFD,
    Performance = 0xFFFE,
    Quiet = 0xFFFF,
};

enum class VeritraxMode : std::uint16_t {
    Off = 0xFFFC,
    Master = 0xFFFD,
    Perfect = 0xFFFE,
};

// Every operation acts on the drive open in CurrentDrive.

bool ReadVendorBuffer(std::uint32_t length, std::uint8_t mode, std::uint32_t offset,
                      std::uint8_t bufferId, std::uint8_t* data);
using DriveDataBuffer = std::array<std::uint8_t, 256>;
// Standard INQUIRY data (254 bytes) into a zeroed buffer; the transport's result.
bool ReadInquiryData(DriveDataBuffer& buffer);
// Vendor buffer F1h (48 bytes, the model code at byte 16) into a zeroed buffer.
bool ReadModelCodeBuffer(DriveDataBuffer& buffer);
// Reads the settings block into a zeroed buffer; a failed read leaves zeros.
DriveSettingsBlock ReadSettingsBlock();
// The same read into `block`; the transport's result.
bool ReadSettingsBlock(DriveSettingsBlock& block);
bool IsTavorenDrivePresent();
QuietMode ReadQuietMode();
QuietMode DecodeQuietMode(const DriveSettingsBlock& block);
// The writes return true whatever the drive answers; each ...Accepted variant sends the same
// command and returns the transport's result.
bool SetQuietMode(QuietMode mode, bool saveToDrive);
bool SetQuietModeAccepted(QuietMode mode, bool saveToDrive);
bool SetQuietModeTransient(QuietMode mode);
bool SetQuietModeTransientAccepted(QuietMode mode);
bool WriteVeritraxSettings(VeritraxMode mode, bool realTime, bool saveToDrive);
bool WriteVeritraxSettingsAccepted(VeritraxMode mode, bool realTime, bool saveToDrive);
bool WriteLedSettings(int lightingPattern, int blinkCycle, int brightness, int usbDirectPattern);
bool WriteLedSettingsAccepted(int lightingPattern, int blinkCycle, int brightness,
                              int usbDirectPattern);
bool StopDisc();
void EjectDisc();
bool WaitForDiscReady();
void StartBusPowerCheck();
// StartBusPowerCheck, returning the transport's result.
bool StartBusPowerCheckAccepted();
std::uint32_t ReadBusPowerCheckResult();
// The same read into `result`; the transport's result.
bool ReadBusPowerCheckResult(std::uint32_t& result);
void ForceEject();
// ForceEject, returning the transport's result.
bool ForceEjectAccepted();
bool RestoreFactoryDefaults();
// The same writes, stopping at the first the drive fails; false then.
bool RestoreFactoryDefaultsAccepted();
void SendKeepAlive();

// WaitForDiscReady polls once a second while the drive spins a disc up; past this many
// polls (about a minute) it gives up and reports no disc.
inline constexpr int kMaxDiscReadyPolls = 60;

}  // namespace tavoren

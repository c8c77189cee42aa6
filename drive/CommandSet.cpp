#include "drive/CommandSet.h"

#include <array>

#include "drive/Clock.h"
#include "drive/CurrentDrive.h"
#include "drive/Transport.h"

namespace tavoren {
namespace {

constexpr std::uint8_t kReadBuffer = 0x3C;
constexpr std::uint8_t kWriteBuffer = 0x3B;
constexpr std::uint8_t kModeVendor = 0x01;
constexpr std::uint8_t kModeData = 0x02;
constexpr std::uint8_t kSettingsBuffer = 0xF4;
constexpr std::uint8_t kParameterBuffer = 0xFA;
constexpr std::uint8_t kBusPowerBuffer = 0xE6;
constexpr std::uint8_t kKeepAliveBuffer = 0xFF;
constexpr std::uint8_t kModelCodeBuffer = 0xF1;
constexpr std::uint32_t kModelCodeLength = 48;
constexpr std::size_t kPageSize = 256;

constexpr Cdb kInquiry = {0x12, 0, 0, 0, 0xFE, 0, 0, 0, 0, 0, 0, 0};
constexpr std::uint32_t kInquiryLength = 0xFE;
constexpr Cdb kSetCdSpeed = {0xBB, 0, 0, 0, 0xFE, 0, 0, 0, 0, 0, 0, 0};
constexpr std::size_t kSetCdSpeedModeByte = 10;
constexpr Cdb kWriteParameterPage = {kWriteBuffer, kModeVendor, kParameterBuffer, 0, 0, 0,
                                     0,            0x01,        0,                0, 0, 0};
constexpr Cdb kStartBusPowerCheck = {kWriteBuffer, kModeData, kBusPowerBuffer, 0x01, 0, 0,
                                     0,            0,         0,               0,    0, 0};
constexpr Cdb kForceEject = {kWriteBuffer, kModeData, kBusPowerBuffer, 0x02, 0, 0,
                             0,            0,         0,               0,    0, 0};
constexpr Cdb kStopDisc = {0x1B, 0, 0, 0, 0x00, 0, 0, 0, 0, 0, 0, 0};
constexpr Cdb kEjectDisc = {0x1B, 0, 0, 0, 0x02, 0, 0, 0, 0, 0, 0, 0};
constexpr Cdb kReadDiscInformation = {0x51, 0, 0, 0, 0, 0, 0, 0, 0x22, 0, 0, 0};
constexpr std::uint32_t kDiscInformationLength = 0x22;

constexpr std::uint32_t kBusPowerResultOffset = 0x010000;
constexpr std::uint32_t kBusPowerResultLength = 8;

constexpr std::uint8_t kVendorSpeedMode = 0x80;
constexpr std::uint8_t kSaveToDrive = 0x40;

// Quiet-mode drive codes: SetQuietMode sends the stored code, the transient command its own.
struct QuietCodes {
    QuietMode mode;
    std::uint8_t persistent;
    std::uint8_t transient;
};
constexpr QuietCodes kQuietCodes[] = {
    {QuietMode::PersistentQuiet, 3, 2},
    {QuietMode::Off, 0, 3},
    {QuietMode::Performance, 1, 0},
    {QuietMode::Quiet, 2, 1},
};
constexpr QuietCodes kUnknownQuietCodes = {QuietMode::Quiet, 2, 1};

const QuietCodes& CodesOf(QuietMode mode) {
    for (const QuietCodes& codes : kQuietCodes) {
        if (codes.mode == mode) return codes;
    }
    return kUnknownQuietCodes;
}

bool Send(const Cdb& cdb, TransferDirection direction, std::uint8_t* data = nullptr,
          std::uint32_t length = 0) {
    return SendDriveCommand(cdb, GetCurrentDrive(), direction, data, length);
}

bool SendSetCdSpeed(std::uint8_t modeByte) {
    Cdb cdb = kSetCdSpeed;
    cdb[kSetCdSpeedModeByte] = modeByte;
    return Send(cdb, TransferDirection::None);
}

bool SendParameterPage(std::array<std::uint8_t, kPageSize>& page) {
    return Send(kWriteParameterPage, TransferDirection::DataOut, page.data(), kPageSize);
}

}  // namespace

bool ReadVendorBuffer(std::uint32_t length, std::uint8_t mode, std::uint32_t offset,
                      std::uint8_t bufferId, std::uint8_t* data) {
    const Cdb cdb = {kReadBuffer,
                     mode,
                     bufferId,
                     static_cast<std::uint8_t>(offset >> 16),
                     static_cast<std::uint8_t>(offset >> 8),
                     static_cast<std::uint8_t>(offset),
                     static_cast<std::uint8_t>(length >> 16),
                     static_cast<std::uint8_t>(length >> 8),
                     static_cast<std::uint8_t>(length),
                     0,
                     0,
                     0};
    return Send(cdb, TransferDirection::DataIn, data, length & 0xFFFFFF);
}

DriveSettingsBlock ReadSettingsBlock() {
    DriveSettingsBlock block;
    ReadSettingsBlock(block);
    return block;
}

bool ReadSettingsBlock(DriveSettingsBlock& block) {
    block.bytes.fill(0);
    return ReadVendorBuffer(kSettingsBlockSize, kModeVendor, 0, kSettingsBuffer,
                            block.bytes.data());
}

bool ReadInquiryData(DriveDataBuffer& buffer) {
    buffer.fill(0);
    return Send(kInquiry, TransferDirection::DataIn, buffer.data(), kInquiryLength);
}

bool ReadModelCodeBuffer(DriveDataBuffer& buffer) {
    buffer.fill(0);
    return ReadVendorBuffer(kModelCodeLength, kModeData, 0, kModelCodeBuffer, buffer.data());
}

bool IsTavorenDrivePresent() {
    DriveDataBuffer inquiry;
    ReadInquiryData(inquiry);
    return inquiry[8] == 'T';
}

QuietMode DecodeQuietMode(const DriveSettingsBlock& block) {
    switch (block.At(DriveSettingsBlock::kQuietCode)) {
        case 0: return QuietMode::Off;
        case 1: return QuietMode::Performance;
        case 2: return QuietMode::Quiet;
        case 3: return QuietMode::PersistentQuiet;
        default: break;
    }
    switch (block.At(DriveSettingsBlock::kQuietFallback)) {
        case 0: return QuietMode::Off;
        case 1: return QuietMode::Performance;
        case 3: return QuietMode::PersistentQuiet;
        default: return QuietMode::Quiet;
    }
}

QuietMode ReadQuietMode() { return DecodeQuietMode(ReadSettingsBlock()); }

bool SetQuietMode(QuietMode mode, bool saveToDrive) {
    SetQuietModeAccepted(mode, saveToDrive);
    return true;
}

bool SetQuietModeAccepted(QuietMode mode, bool saveToDrive) {
    return SendSetCdSpeed(static_cast<std::uint8_t>(
        kVendorSpeedMode | (saveToDrive ? kSaveToDrive : 0) | CodesOf(mode).persistent));
}

bool SetQuietModeTransient(QuietMode mode) {
    SetQuietModeTransientAccepted(mode);
    return true;
}

bool SetQuietModeTransientAccepted(QuietMode mode) {
    return SendSetCdSpeed(static_cast<std::uint8_t>(kVendorSpeedMode | CodesOf(mode).transient));
}

bool WriteVeritraxSettings(VeritraxMode mode, bool realTime, bool saveToDrive) {
    WriteVeritraxSettingsAccepted(mode, realTime, saveToDrive);
    return true;
}

bool WriteVeritraxSettingsAccepted(VeritraxMode mode, bool realTime, bool saveToDrive) {
    std::array<std::uint8_t, kPageSize> page{};
    page[0] = 0x01;
    page[1] = 0x80;
    page[2] = mode == VeritraxMode::Off ? 0 : 1;
    if (mode == VeritraxMode::Master) {
        page[3] = 0x08;
        page[4] = 0x40;
    } else if (mode != VeritraxMode::Off) {
        page[3] = 0xFE;
        page[4] = 0x01;
    }
    page[5] = saveToDrive ? 1 : 0;
    page[6] = realTime ? 1 : 0;
    return SendParameterPage(page);
}

bool WriteLedSettings(int lightingPattern, int blinkCycle, int brightness, int usbDirectPattern) {
    WriteLedSettingsAccepted(lightingPattern, blinkCycle, brightness, usbDirectPattern);
    return true;
}

bool WriteLedSettingsAccepted(int lightingPattern, int blinkCycle, int brightness,
                              int usbDirectPattern) {
    std::array<std::uint8_t, kPageSize> page{};
    page[0] = 0x0E;
    page[3] = static_cast<std::uint8_t>(lightingPattern);
    page[4] = static_cast<std::uint8_t>(brightness);
    page[6] = static_cast<std::uint8_t>(blinkCycle);
    page[7] = static_cast<std::uint8_t>(usbDirectPattern);
    return SendParameterPage(page);
}

bool StopDisc() {
    Send(kStopDisc, TransferDirection::None);
    return true;
}

void EjectDisc() { Send(kEjectDisc, TransferDirection::None); }

bool WaitForDiscReady() {
    DriveDataBuffer scratch{};
    for (int poll = 1;; ++poll) {
        if (Send(kReadDiscInformation, TransferDirection::DataIn, scratch.data(),
                 kDiscInformationLength)) {
            return true;
        }
        if (GetCurrentDrive().lastErrorClass != DriveErrorClass::BecomingReady ||
            poll >= kMaxDiscReadyPolls) {
            return false;
        }
        SleepFor(std::chrono::milliseconds(1000));
    }
}

void StartBusPowerCheck() { StartBusPowerCheckAccepted(); }

bool StartBusPowerCheckAccepted() { return Send(kStartBusPowerCheck, TransferDirection::DataOut); }

std::uint32_t ReadBusPowerCheckResult() {
    std::uint32_t result = 0;
    ReadBusPowerCheckResult(result);
    return result;
}

bool ReadBusPowerCheckResult(std::uint32_t& result) {
    std::array<std::uint8_t, kBusPowerResultLength> data{};
    const bool accepted = ReadVendorBuffer(kBusPowerResultLength, kModeData,
                                           kBusPowerResultOffset, kBusPowerBuffer, data.data());
    result = (std::uint32_t{data[4]} << 24) | (std::uint32_t{data[5]} << 16) |
             (std::uint32_t{data[6]} << 8) | std::uint32_t{data[7]};
    return accepted;
}

void ForceEject() { ForceEjectAccepted(); }

bool ForceEjectAccepted() { return Send(kForceEject, TransferDirection::DataOut); }

bool RestoreFactoryDefaults() {
    WriteLedSettings(0, 2, 2, 0);
    SetQuietMode(QuietMode::Quiet, true);
    WriteVeritraxSettings(VeritraxMode::Off, false, true);
    return true;
}

bool RestoreFactoryDefaultsAccepted() {
    return WriteLedSettingsAccepted(0, 2, 2, 0) && SetQuietModeAccepted(QuietMode::Quiet, true) &&
           WriteVeritraxSettingsAccepted(VeritraxMode::Off, false, true);
}

void SendKeepAlive() {
    ReadVendorBuffer(0, kModeData, 0, kKeepAliveBuffer, nullptr);
}

}  // namespace tavoren

#include "sim/SimulatedTavorenDrive.h"

#include <cerrno>
#include <span>
#include <utility>

#include "sim/ScsiReplies.h"

namespace tavoren::sim {
namespace {

constexpr std::uint8_t kSettingsBufferId = 0xF4;
constexpr std::uint8_t kParameterBufferId = 0xFA;
constexpr std::uint8_t kBusPowerBufferId = 0xE6;
constexpr std::uint8_t kKeepAliveBufferId = 0xFF;
constexpr std::uint32_t kBusPowerCheckOffset = 0x010000;
constexpr std::uint32_t kForceEjectOffset = 0x020000;
constexpr std::uint32_t kParameterPageSize = 256;
constexpr std::size_t kBusPowerResultSize = 8;
constexpr std::uint32_t kPassingBusPower = 5200;
constexpr std::uint32_t kMarginalBusPower = 4100;

constexpr std::uint8_t kVeritraxPage = 0x01;
constexpr std::uint8_t kLedPage = 0x0E;

constexpr std::uint8_t kQuietModeFlag = 0x80;
constexpr std::uint8_t kQuietSaveFlag = 0x40;

// A finalised single-session disc.
constexpr std::array<std::uint8_t, 34> kDiscInformation = {
    0x00, 0x20, 0x0E, 0x01, 0x01, 0x01, 0x01, 0x20, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

CommandResult MediumMayHaveChanged() { return CheckCondition(0x06, 0x28, 0x00); }
CommandResult PowerOnReset() { return CheckCondition(0x06, 0x29, 0x00); }
CommandResult BecomingReady() { return CheckCondition(0x02, 0x04, 0x01); }

DriveProfile MakeProfile(const char* product, const char* revision, const char* date,
                         const char* modelCode) {
    DriveProfile profile;
    profile.product = product;
    profile.revision = revision;
    profile.vendorSpecific = date;
    profile.modelCode = modelCode;
    return profile;
}

}  // namespace

DriveProfile BasicDriveProfile() {
    return MakeProfile("BD-RE  KMV4410U ", "1.03", "2025/03/21", "KMV 4410");
}

DriveProfile LedDriveProfile() {
    DriveProfile profile = MakeProfile("BD-RE  KMV4460U ", "1.01", "2026/02/09", "KMV 4460");
    profile.ledControl = true;
    return profile;
}

DriveProfile FullDriveProfile() {
    DriveProfile profile = MakeProfile("BD-RE  KMV4461U ", "1.03", "2026/10/14", "KMV 4461");
    profile.realTime = true;
    profile.ledControl = true;
    profile.usbDirect = true;
    return profile;
}

SimulatedTavorenDrive::SimulatedTavorenDrive(DriveProfile profile)
    : m_profile(std::move(profile)) {}

CommandResult SimulatedTavorenDrive::Execute(const CommandRequest& request) {
    return WithResidualOnFailure(request, Respond(request));
}

CommandResult SimulatedTavorenDrive::Respond(const CommandRequest& request) {
    if (m_faults.unplugged) return CommandResult::NotDelivered(ENODEV, "simulated drive unplugged");
    if (m_faults.unitAttentionStorm) return PowerOnReset();
    // INQUIRY never consumes a unit attention, so identifying the drive stays possible.
    if (request.cdb[0] != kOpInquiry) {
        if (std::exchange(m_powerOnPending, false)) return PowerOnReset();
        if (std::exchange(m_mediumChanged, false)) return MediumMayHaveChanged();
    }
    if (m_faults.garbageReads && request.direction == TransferDirection::DataIn) {
        return FillWithGarbage(request);
    }
    return Dispatch(request);
}

CommandResult SimulatedTavorenDrive::Dispatch(const CommandRequest& request) {
    switch (request.cdb[0]) {
        case kOpInquiry: {
            const InquiryData data =
                BuildInquiryData({kPeripheralOptical, true, m_profile.vendor, m_profile.product,
                                  m_profile.revision, m_profile.vendorSpecific});
            return AnswerInquiry(request, data);
        }
        case kOpReadBuffer:
            return ReadBuffer(request);
        case kOpWriteBuffer:
            return WriteBuffer(request);
        case kOpSetCdSpeed:
            return SetCdSpeed(request);
        case kOpStartStopUnit:
            return StartStopUnit(request);
        case kOpReadDiscInformation:
            return ReadDiscInformation(request);
        default:
            return InvalidOperationCode();
    }
}

CommandResult SimulatedTavorenDrive::FillWithGarbage(const CommandRequest& request) {
    if (request.data == nullptr) return Good(Residual(request.length));
    for (std::uint32_t i = 0; i < request.length; ++i) {
        // xorshift32: cheap, deterministic, and never stuck at zero
        m_garbageSeed ^= m_garbageSeed << 13;
        m_garbageSeed ^= m_garbageSeed >> 17;
        m_garbageSeed ^= m_garbageSeed << 5;
        request.data[i] = static_cast<std::uint8_t>(m_garbageSeed >> 24);
    }
    return Good();
}

CommandResult SimulatedTavorenDrive::ReadBuffer(const CommandRequest& request) {
    const BufferCommand command = ParseBufferCommand(request.cdb);
    if (IsModelCodeRead(command)) {
        return ReturnData(request, BuildModelCodeBuffer(m_profile.modelCode), command.length);
    }
    if (command.mode == 0x01 && command.bufferId == kSettingsBufferId && command.offset == 0) {
        return ReturnSettingsBlock(request, command.length);
    }
    if (command.mode == 0x02 && command.bufferId == kBusPowerBufferId &&
        command.offset == kBusPowerCheckOffset) {
        return ReturnBusPowerResult(request, command.length);
    }
    if (command.mode == 0x02 && command.bufferId == kKeepAliveBufferId && command.offset == 0) {
        return ReturnData(request, {}, command.length);
    }
    return InvalidFieldInCdb();
}

CommandResult SimulatedTavorenDrive::ReturnSettingsBlock(const CommandRequest& request,
                                                         std::uint32_t length) {
    DriveSettingsBlock block = SettingsBlock();
    if (m_blockFilter) m_blockFilter(block, m_blockReads);
    ++m_blockReads;
    return ReturnData(request, block.bytes, length);
}

CommandResult SimulatedTavorenDrive::ReturnBusPowerResult(const CommandRequest& request,
                                                          std::uint32_t length) {
    std::uint32_t value = m_busPowerResult;
    if (value == 0 && m_busPowerOutcome == BusPowerOutcome::Pass) value = kPassingBusPower;
    if (value == 0 && m_busPowerOutcome == BusPowerOutcome::Marginal) value = kMarginalBusPower;
    const std::array<std::uint8_t, kBusPowerResultSize> data = {
        0,
        0,
        0,
        0,
        static_cast<std::uint8_t>(value >> 24),
        static_cast<std::uint8_t>(value >> 16),
        static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value)};
    return ReturnData(request, data, length);
}

CommandResult SimulatedTavorenDrive::WriteBuffer(const CommandRequest& request) {
    const BufferCommand command = ParseBufferCommand(request.cdb);
    if (command.mode == 0x01 && command.bufferId == kParameterBufferId && command.offset == 0 &&
        command.length == kParameterPageSize) {
        return WriteParameterPage(request);
    }
    if (command.mode == 0x02 && command.bufferId == kBusPowerBufferId && command.length == 0) {
        if (command.offset == kBusPowerCheckOffset) {
            StartBusPowerCheck();
            return Good();
        }
        if (command.offset == kForceEjectOffset) {
            Eject();
            return Good();
        }
    }
    return InvalidFieldInCdb();
}

CommandResult SimulatedTavorenDrive::WriteParameterPage(const CommandRequest& request) {
    if (request.direction != TransferDirection::DataOut || request.data == nullptr ||
        request.length < kParameterPageSize) {
        return ParameterListLengthError();
    }
    const std::span<const std::uint8_t> page(request.data, kParameterPageSize);
    switch (page[0]) {
        case kVeritraxPage: {
            const auto apply = [&page](DriveSettings& settings) {
                settings.veritraxOn = page[2] != 0;
                settings.veritraxModeByte = page[3];
                settings.realTimeVeritrax = page[6] != 0;
            };
            apply(m_volatile);
            if (page[5] == 1) apply(m_saved);
            return Good();
        }
        case kLedPage: {
            if (!m_profile.ledControl) return InvalidFieldInCdb();
            // The drive keeps LED settings at once; there is no volatile-only LED write.
            for (DriveSettings* settings : {&m_volatile, &m_saved}) {
                settings->ledPattern = page[3];
                settings->ledBrightness = page[4];
                settings->ledBlinkCycle = page[6];
                settings->usbDirectPattern = page[7];
            }
            return Good();
        }
        default:
            return InvalidFieldInParameters();
    }
}

CommandResult SimulatedTavorenDrive::SetCdSpeed(const CommandRequest& request) {
    const std::uint8_t modeByte = request.cdb[10];
    // Without the vendor flag this is an ordinary speed request, which changes nothing here.
    if ((modeByte & kQuietModeFlag) != 0) {
        const auto code = static_cast<std::uint8_t>(modeByte & 0x03);
        m_volatile.quietCode = code;
        if ((modeByte & kQuietSaveFlag) != 0) m_saved.quietCode = code;
    }
    return Good();
}

CommandResult SimulatedTavorenDrive::StartStopUnit(const CommandRequest& request) {
    switch (request.cdb[4]) {
        case 0x00:
            return Good();
        case 0x02:
            Eject();
            return Good();
        default:
            return InvalidFieldInCdb();
    }
}

CommandResult SimulatedTavorenDrive::ReadDiscInformation(const CommandRequest& request) {
    const bool standardInformation = (request.cdb[1] & 0x07) == 0;
    if (!standardInformation) return InvalidFieldInCdb();
    if (m_faults.stuckBecomingReady) return BecomingReady();
    if (!m_hasDisc) return CheckCondition(0x02, 0x3A, m_trayOpen ? 0x02 : 0x01);
    if (m_spinUpRemaining > 0) {
        --m_spinUpRemaining;
        return BecomingReady();
    }
    return ReturnData(request, kDiscInformation, CdbField(request.cdb, 7, 2));
}

void SimulatedTavorenDrive::StartBusPowerCheck() {
    m_busPowerStarted = true;
    if (m_busPowerOutcome == BusPowerOutcome::DropsOffBus) m_faults.unplugged = true;
}

void SimulatedTavorenDrive::Eject() {
    RemoveDisc();
    if (m_reloadAfterEject) InsertDisc();
}

void SimulatedTavorenDrive::PowerCycle() {
    m_volatile = m_saved;
    m_powerOnPending = true;
}

void SimulatedTavorenDrive::InsertDisc() {
    m_hasDisc = true;
    m_trayOpen = false;
    m_mediumChanged = true;
    m_spinUpRemaining = m_spinUpPolls;
}

void SimulatedTavorenDrive::RemoveDisc() {
    m_hasDisc = false;
    m_trayOpen = true;
    m_mediumChanged = false;
    m_spinUpRemaining = 0;
}

DriveSettingsBlock SimulatedTavorenDrive::SettingsBlock() const {
    DriveSettingsBlock block;
    auto& bytes = block.bytes;
    bytes[DriveSettingsBlock::kQuietCode] = m_volatile.quietCode;
    bytes[DriveSettingsBlock::kQuietFallback] = m_volatile.quietCode;
    bytes[DriveSettingsBlock::kVeritraxOn] = m_volatile.veritraxOn ? 1 : 0;
    bytes[DriveSettingsBlock::kVeritraxMode] = m_volatile.veritraxModeByte;
    bytes[DriveSettingsBlock::kRealTime] = m_profile.realTime ? 1 : 0;
    if (m_profile.ledControl) {
        bytes[DriveSettingsBlock::kLedControl] = 1;
        bytes[DriveSettingsBlock::kLedPattern] = m_volatile.ledPattern;
        bytes[DriveSettingsBlock::kLedBrightness] = m_volatile.ledBrightness;
        bytes[DriveSettingsBlock::kLedBlinkCycle] = m_volatile.ledBlinkCycle;
    }
    if (m_profile.ledControl && m_profile.usbDirect) {
        bytes[DriveSettingsBlock::kUsbDirect] = 1;
        bytes[DriveSettingsBlock::kUsbDirectPattern] = m_volatile.usbDirectPattern;
    }
    return block;
}

}  // namespace tavoren::sim

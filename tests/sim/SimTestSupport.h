#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "drive/DeviceBackend.h"
#include "sim/SimulatedDevice.h"

namespace tavoren::sim::testing {

using Bytes = std::vector<std::uint8_t>;

constexpr auto kIn = TransferDirection::DataIn;
constexpr auto kOut = TransferDirection::DataOut;
constexpr auto kNone = TransferDirection::None;

struct Sense {
    std::uint8_t key = 0, asc = 0, ascq = 0;
    bool operator==(const Sense&) const = default;
};
constexpr Sense kGood{};

inline void PrintTo(const Sense& sense, std::ostream* out) {
    *out << std::hex << int(sense.key) << "/" << int(sense.asc) << "/" << int(sense.ascq);
}

// Status GOOD reads as 0/00/00; a CHECK CONDITION must carry well-formed fixed sense.
inline Sense SenseOf(const CommandResult& result) {
    EXPECT_TRUE(result.delivered);
    if (result.scsiStatus == 0) return kGood;
    EXPECT_EQ(result.scsiStatus, 0x02);
    EXPECT_EQ(result.senseLength, kSenseLength);
    EXPECT_EQ(result.sense[0], 0x70);
    EXPECT_EQ(result.sense[7], 10);
    return {result.sense[2], result.sense[12], result.sense[13]};
}

inline Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

inline Bytes Padded(std::string_view text, std::size_t width) {
    Bytes bytes = Text(text);
    bytes.resize(width, ' ');
    return bytes;
}

// One request on a buffer followed by a guard of canary bytes; data-in buffers start as
// canary too, so whatever the device leaves untouched stays recognisable.
struct Exchange {
    static constexpr std::size_t kGuard = 32;
    static constexpr std::uint8_t kCanary = 0xA5;

    CommandResult result;
    Bytes sent;    // the buffer as handed over
    Bytes buffer;  // the buffer afterwards
    std::uint32_t length = 0;

    std::uint32_t Transferred() const {
        return length - static_cast<std::uint32_t>(result.residual);
    }
    Bytes Data() const { return Bytes(buffer.begin(), buffer.begin() + Transferred()); }
    // Every byte past what the device says it transferred is as it was handed over.
    bool RestUntouched() const {
        return std::equal(buffer.begin() + Transferred(), buffer.end(),
                          sent.begin() + Transferred());
    }
};

inline Exchange Send(SimulatedDevice& device, const Cdb& cdb, TransferDirection direction,
                     std::uint32_t length, const Bytes& dataOut = {}) {
    Exchange exchange;
    exchange.length = length;
    exchange.sent.assign(length + Exchange::kGuard, Exchange::kCanary);
    if (direction == kOut) {
        std::fill_n(exchange.sent.begin(), length, 0);
        std::copy_n(dataOut.begin(), std::min<std::size_t>(dataOut.size(), length),
                    exchange.sent.begin());
    }
    exchange.buffer = exchange.sent;
    const CommandRequest request{cdb, direction, length == 0 ? nullptr : exchange.buffer.data(),
                                 length};
    exchange.result = device.Execute(request);
    return exchange;
}

constexpr Cdb kInquiry = {0x12, 0, 0, 0, 0xFE, 0, 0, 0, 0, 0, 0, 0};
constexpr Cdb kModelCodeRead = {0x3C, 0x02, 0xF1, 0, 0, 0, 0, 0, 0x30, 0, 0, 0};
constexpr Cdb kSettingsRead = {0x3C, 0x01, 0xF4, 0, 0, 0, 0, 0x01, 0, 0, 0, 0};
constexpr Cdb kBusPowerRead = {0x3C, 0x02, 0xE6, 0x01, 0, 0, 0, 0, 0x08, 0, 0, 0};
constexpr Cdb kKeepAlive = {0x3C, 0x02, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr Cdb kPageWrite = {0x3B, 0x01, 0xFA, 0, 0, 0, 0, 0x01, 0, 0, 0, 0};
constexpr Cdb kBusPowerStart = {0x3B, 0x02, 0xE6, 0x01, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr Cdb kForceEject = {0x3B, 0x02, 0xE6, 0x02, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr Cdb kStop = {0x1B, 0, 0, 0, 0x00, 0, 0, 0, 0, 0, 0, 0};
constexpr Cdb kEject = {0x1B, 0, 0, 0, 0x02, 0, 0, 0, 0, 0, 0, 0};
constexpr Cdb kDiscInformation = {0x51, 0, 0, 0, 0, 0, 0, 0, 0x22, 0, 0, 0};

constexpr Cdb SpeedCdb(std::uint8_t modeByte) {
    return {0xBB, 0, 0, 0, 0xFE, 0, 0, 0, 0, 0, modeByte, 0};
}

// The common shapes of a command: a 256-byte read of the block, a 34-byte poll, ...
inline Sense SettingsReadSense(SimulatedDevice& device) {
    return SenseOf(Send(device, kSettingsRead, kIn, 256).result);
}
inline Sense DiscPoll(SimulatedDevice& device) {
    return SenseOf(Send(device, kDiscInformation, kIn, 34).result);
}
inline Sense InquirySense(SimulatedDevice& device) {
    return SenseOf(Send(device, kInquiry, kIn, 254).result);
}

constexpr Sense kMediumChanged{0x06, 0x28, 0x00};
constexpr Sense kPowerOn{0x06, 0x29, 0x00};
constexpr Sense kBecomingReady{0x02, 0x04, 0x01};
constexpr Sense kNoDiscTrayClosed{0x02, 0x3A, 0x01};
constexpr Sense kNoDiscTrayOpen{0x02, 0x3A, 0x02};
constexpr Sense kInvalidOpcode{0x05, 0x20, 0x00};
constexpr Sense kInvalidField{0x05, 0x24, 0x00};
constexpr Sense kInvalidParameter{0x05, 0x26, 0x00};
constexpr Sense kParameterLength{0x05, 0x1A, 0x00};

}  // namespace tavoren::sim::testing

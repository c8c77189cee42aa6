#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "drive/DeviceBackend.h"

namespace tavoren::sim {

inline constexpr std::uint8_t kOpStartStopUnit = 0x1B;
inline constexpr std::uint8_t kOpInquiry = 0x12;
inline constexpr std::uint8_t kOpWriteBuffer = 0x3B;
inline constexpr std::uint8_t kOpReadBuffer = 0x3C;
inline constexpr std::uint8_t kOpReadDiscInformation = 0x51;
inline constexpr std::uint8_t kOpSetCdSpeed = 0xBB;

inline constexpr std::uint8_t kPeripheralOptical = 0x05;
inline constexpr std::uint8_t kPeripheralDisk = 0x00;

// Big-endian CDB field of `width` bytes starting at `first`.
std::uint32_t CdbField(const Cdb& cdb, std::size_t first, std::size_t width);

// READ BUFFER / WRITE BUFFER fields, shared by every device that answers them.
struct BufferCommand {
    std::uint8_t mode;
    std::uint8_t bufferId;
    std::uint32_t offset;
    std::uint32_t length;
};
BufferCommand ParseBufferCommand(const Cdb& cdb);

CommandResult InvalidOperationCode();      // 5/20/00
CommandResult InvalidFieldInCdb();         // 5/24/00
CommandResult InvalidFieldInParameters();  // 5/26/00
CommandResult ParameterListLengthError();  // 5/1A/00

// Copies as much of `response` as the allocation length and the caller's buffer allow,
// and only for a data-in request; GOOD with the untransferred rest as residual.
CommandResult ReturnData(const CommandRequest& request, std::span<const std::uint8_t> response,
                         std::uint32_t allocationLength);

// Bytes requested but not transferred, as the result reports them.
std::int32_t Residual(std::size_t untransferred);
// A command that ends in CHECK CONDITION transfers nothing.
CommandResult WithResidualOnFailure(const CommandRequest& request, CommandResult result);

inline constexpr std::size_t kInquiryDataSize = 96;
using InquiryData = std::array<std::uint8_t, kInquiryDataSize>;

struct InquiryIdentity {
    std::uint8_t peripheralType;
    bool removable;
    std::string_view vendor;
    std::string_view product;
    std::string_view revision;
    std::string_view vendorSpecific;
};
InquiryData BuildInquiryData(const InquiryIdentity& identity);
// Standard data only: a request for a vital product data page is refused.
CommandResult AnswerInquiry(const CommandRequest& request, const InquiryData& data);

inline constexpr std::uint8_t kModelCodeBufferId = 0xF1;
inline constexpr std::size_t kModelCodeBufferSize = 64;
inline constexpr std::size_t kModelCodeOffset = 16;
using ModelCodeBuffer = std::array<std::uint8_t, kModelCodeBufferSize>;
// The code placed raw at byte 16, cut off only where the buffer ends.
ModelCodeBuffer BuildModelCodeBuffer(std::string_view modelCode);
bool IsModelCodeRead(const BufferCommand& command);

}  // namespace tavoren::sim

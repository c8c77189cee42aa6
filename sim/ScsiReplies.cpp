#include "sim/ScsiReplies.h"

#include <algorithm>
#include <limits>

#include "sim/SimulatedDevice.h"

namespace tavoren::sim {
namespace {

void PlaceText(std::span<std::uint8_t> field, std::string_view text) {
    std::fill(field.begin(), field.end(), static_cast<std::uint8_t>(' '));
    std::copy_n(text.begin(), std::min(text.size(), field.size()), field.begin());
}

}  // namespace

std::int32_t Residual(std::size_t untransferred) {
    return static_cast<std::int32_t>(
        std::min<std::size_t>(untransferred, std::numeric_limits<std::int32_t>::max()));
}

std::uint32_t CdbField(const Cdb& cdb, std::size_t first, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = first; i < first + width; ++i) value = (value << 8) | cdb[i];
    return value;
}

BufferCommand ParseBufferCommand(const Cdb& cdb) {
    return {cdb[1], cdb[2], CdbField(cdb, 3, 3), CdbField(cdb, 6, 3)};
}

CommandResult InvalidOperationCode() { return CheckCondition(0x05, 0x20, 0x00); }
CommandResult InvalidFieldInCdb() { return CheckCondition(0x05, 0x24, 0x00); }
CommandResult InvalidFieldInParameters() { return CheckCondition(0x05, 0x26, 0x00); }
CommandResult ParameterListLengthError() { return CheckCondition(0x05, 0x1A, 0x00); }

CommandResult ReturnData(const CommandRequest& request, std::span<const std::uint8_t> response,
                         std::uint32_t allocationLength) {
    std::size_t count = 0;
    if (request.direction == TransferDirection::DataIn && request.data != nullptr) {
        count = std::min<std::size_t>({response.size(), allocationLength, request.length});
        std::copy_n(response.begin(), count, request.data);
    }
    return Good(Residual(request.length - count));
}

CommandResult WithResidualOnFailure(const CommandRequest& request, CommandResult result) {
    if (result.delivered && result.scsiStatus != 0) result.residual = Residual(request.length);
    return result;
}

InquiryData BuildInquiryData(const InquiryIdentity& identity) {
    InquiryData data{};
    data[0] = identity.peripheralType;
    data[1] = identity.removable ? 0x80 : 0x00;
    data[2] = 0x05;  // SPC-3
    data[3] = 0x02;  // response data format
    data[4] = kInquiryDataSize - 5;
    const std::span<std::uint8_t> bytes(data);
    PlaceText(bytes.subspan(8, 8), identity.vendor);
    PlaceText(bytes.subspan(16, 16), identity.product);
    PlaceText(bytes.subspan(32, 4), identity.revision);
    PlaceText(bytes.subspan(36, 20), identity.vendorSpecific);
    return data;
}

CommandResult AnswerInquiry(const CommandRequest& request, const InquiryData& data) {
    const bool vitalProductData = (request.cdb[1] & 0x01) != 0;
    if (vitalProductData || request.cdb[2] != 0) return InvalidFieldInCdb();
    return ReturnData(request, data, CdbField(request.cdb, 3, 2));
}

ModelCodeBuffer BuildModelCodeBuffer(std::string_view modelCode) {
    ModelCodeBuffer buffer{};
    std::copy_n(modelCode.begin(), std::min(modelCode.size(), buffer.size() - kModelCodeOffset),
                buffer.begin() + kModelCodeOffset);
    return buffer;
}

bool IsModelCodeRead(const BufferCommand& command) {
    return command.mode == 0x02 && command.bufferId == kModelCodeBufferId && command.offset == 0;
}

}  // namespace tavoren::sim

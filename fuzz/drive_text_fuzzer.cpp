// Text the drive reports (INQUIRY data, the model code of vendor buffer F1h), whatever its
// bytes: the conversion to UTF-8, the selector entry, the model code and the model test.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "drive/Discovery.h"
#include "fuzz/FuzzSupport.h"
#include "sim/ScsiReplies.h"
#include "sim/SimulatedBus.h"

namespace tavoren::fuzz {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Inverse of the conversion: ASCII as it is, two-byte sequences for 80h..FFh. Empty when the
// text is not exactly such a sequence, which is itself a finding.
bool DecodeLatin1Utf8(const std::string& text, Bytes& bytes) {
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<std::uint8_t>(text[i]);
        if (lead < 0x80) {
            bytes.push_back(lead);
            continue;
        }
        if ((lead != 0xC2 && lead != 0xC3) || i + 1 >= text.size()) return false;
        const auto trail = static_cast<std::uint8_t>(text[++i]);
        if ((trail & 0xC0) != 0x80) return false;
        bytes.push_back(static_cast<std::uint8_t>(((lead & 0x03) << 6) | (trail & 0x3F)));
    }
    return true;
}

// The bytes up to the first zero, within [first, last).
Bytes TextBytes(const Bytes& buffer, std::size_t first, std::size_t last) {
    Bytes text;
    for (std::size_t i = first; i < last && i < buffer.size() && buffer[i] != 0; ++i) {
        text.push_back(buffer[i]);
    }
    return text;
}

void CheckConversion(const Bytes& raw) {
    const std::string text = DriveTextToUtf8(raw.data(), raw.size());
    Bytes decoded;
    FUZZ_CHECK(DecodeLatin1Utf8(text, decoded));
    FUZZ_CHECK(decoded == TextBytes(raw, 0, raw.size()));
}

enum class Answer { Data, CheckCondition, NotDelivered };

// A drive whose INQUIRY data and F1h buffer are the fuzz bytes.
class TextDevice final : public sim::SimulatedDevice {
public:
    TextDevice(Answer answer, Bytes inquiry, Bytes modelBuffer)
        : m_answer(answer), m_inquiry(std::move(inquiry)), m_modelBuffer(std::move(modelBuffer)) {}

    CommandResult Execute(const CommandRequest& request) override {
        if (m_answer == Answer::NotDelivered) return CommandResult::NotDelivered(EIO, "fuzzed");
        if (m_answer == Answer::CheckCondition) return sim::CheckCondition(0x04, 0x44, 0x00);
        if (request.cdb[0] == sim::kOpInquiry) {
            return sim::ReturnData(request, m_inquiry, sim::CdbField(request.cdb, 3, 2));
        }
        const sim::BufferCommand command = sim::ParseBufferCommand(request.cdb);
        if (request.cdb[0] == sim::kOpReadBuffer && sim::IsModelCodeRead(command)) {
            return sim::ReturnData(request, m_modelBuffer, command.length);
        }
        return sim::InvalidOperationCode();
    }

private:
    Answer m_answer;
    Bytes m_inquiry;
    Bytes m_modelBuffer;
};

// Where the utility finds its texts, and how long each may be.
constexpr std::size_t kModelCodeFirst = 16;
constexpr std::size_t kModelCodeLast = 32;
constexpr std::size_t kInquiryTextFirst = 8;
constexpr std::size_t kInquiryTextLast = 45;
constexpr std::uint32_t kModelCodeReadLength = 48;
constexpr std::uint32_t kInquiryReadLength = 254;

void CheckThroughDevice(FuzzedDataProvider& input) {
    const auto answer = static_cast<Answer>(input.ConsumeIntegralInRange(0, 2));
    const Bytes inquiry = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 300));
    const Bytes modelBuffer = input.ConsumeRemainingBytes<std::uint8_t>();

    auto bus = std::make_unique<sim::SimulatedBus>();
    bus->Attach('E', std::make_unique<TextDevice>(answer, inquiry, modelBuffer));
    const ScopedBackend scope(std::move(bus));

    // Only what the drive transferred counts; the rest of the zeroed buffer stays zero.
    const bool answered = answer == Answer::Data;
    const Bytes modelSeen(
        modelBuffer.begin(),
        modelBuffer.begin() +
            (answered ? std::min<std::size_t>(modelBuffer.size(), kModelCodeReadLength) : 0));
    const Bytes inquirySeen(
        inquiry.begin(),
        inquiry.begin() +
            (answered ? std::min<std::size_t>(inquiry.size(), kInquiryReadLength) : 0));

    const std::string modelCode = ReadModelCode('E');
    Bytes decoded;
    FUZZ_CHECK(DecodeLatin1Utf8(modelCode, decoded));
    FUZZ_CHECK(decoded == TextBytes(modelSeen, kModelCodeFirst, kModelCodeLast));

    const std::string displayName = GetDriveDisplayName('E');
    const std::string prefix = "E : ";
    FUZZ_CHECK(displayName.starts_with(prefix));
    FUZZ_CHECK(DecodeLatin1Utf8(displayName.substr(prefix.size()), decoded));
    FUZZ_CHECK(decoded == TextBytes(inquirySeen, kInquiryTextFirst, kInquiryTextLast));

    // Probing leaves no handle open and the letter probed as the current one.
    FUZZ_CHECK(GetCurrentDrive().commandHandle == kInvalidDeviceHandle);
    FUZZ_CHECK(GetCurrentDrive().letter == 'E');

    // A supported code found inside a text is still found inside any longer one.
    if (IsSupportedModel(modelCode)) {
        FUZZ_CHECK(modelCode.find("KMV 44") != std::string::npos);
        FUZZ_CHECK(IsSupportedModel("x" + modelCode + "y"));
    }
}

}  // namespace
}  // namespace tavoren::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tavoren::fuzz::CheckConversion(tavoren::fuzz::Bytes(data, data + size));
    FuzzedDataProvider input(data, size);
    tavoren::fuzz::CheckThroughDevice(input);
    return 0;
}

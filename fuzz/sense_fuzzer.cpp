// Sense classification over arbitrary sense bytes, on its own and inside the transport's
// resend loop, where a backend answers each attempt with fuzz-chosen results.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <vector>

#include "drive/SenseClassifier.h"
#include "fuzz/FuzzSupport.h"

namespace tavoren::fuzz {
namespace {

bool IsAssignedClass(DriveErrorClass errorClass) {
    switch (errorClass) {
        case DriveErrorClass::NoSense:
        case DriveErrorClass::Other:
        case DriveErrorClass::BecomingReady:
        case DriveErrorClass::InitializingCommandRequired:
        case DriveErrorClass::LongWriteInProgress:
        case DriveErrorClass::MediumNotPresent:
        case DriveErrorClass::CommunicationTimeout:
        case DriveErrorClass::SelfConfigurationFailed:
        case DriveErrorClass::MediumMayHaveChanged:
        case DriveErrorClass::PowerOnReset:
            return true;
    }
    return false;
}

bool IsUnitAttention(DriveErrorClass errorClass) {
    return errorClass == DriveErrorClass::MediumMayHaveChanged ||
           errorClass == DriveErrorClass::PowerOnReset;
}

DriveErrorClass Classify(const std::vector<std::uint8_t>& sense) { return ClassifySense(sense); }

// Only the key, ASC and ASCQ positions count, and bytes the drive did not return read as zero.
void CheckClassification(const std::vector<std::uint8_t>& sense) {
    const DriveErrorClass errorClass = Classify(sense);
    FUZZ_CHECK(IsAssignedClass(errorClass));

    const std::uint8_t responseCode = sense.empty() ? 0 : sense[0] & 0x7F;
    const bool descriptorFormat = responseCode == 0x72 || responseCode == 0x73;
    const std::size_t significant = descriptorFormat ? 4 : 14;
    std::vector<std::uint8_t> cut(sense.begin(),
                                  sense.begin() + std::min(sense.size(), significant));
    FUZZ_CHECK(Classify(cut) == errorClass);
    cut.resize(kSenseLength, 0);
    FUZZ_CHECK(Classify(cut) == errorClass);
}

struct Answer {
    bool delivered = true;
    std::uint8_t status = 0;
    std::array<std::uint8_t, kSenseLength> sense{};
    std::uint8_t senseLength = 0;
};

Answer ConsumeAnswer(FuzzedDataProvider& input) {
    Answer answer;
    answer.delivered = input.ConsumeIntegralInRange<int>(0, 7) != 0;
    answer.status = input.ConsumeBool() ? 0x02 : input.ConsumeIntegral<std::uint8_t>();
    answer.senseLength = input.ConsumeIntegralInRange<std::uint8_t>(0, kSenseLength);
    const std::vector<std::uint8_t> bytes = input.ConsumeBytes<std::uint8_t>(answer.senseLength);
    std::copy(bytes.begin(), bytes.end(), answer.sense.begin());
    return answer;
}

// Answers each attempt with the next scripted answer; the last one repeats for ever, so a
// script ending in a unit attention is a drive that never stops reporting one.
class ScriptedBackend final : public DeviceBackend {
public:
    explicit ScriptedBackend(std::vector<Answer> script) : m_script(std::move(script)) {}

    DeviceHandle Open(char) override { return 1; }
    void Close(DeviceHandle) override {}
    CommandResult Execute(DeviceHandle, const CommandRequest&) override {
        const Answer& answer = m_script[std::min(m_attempts, m_script.size() - 1)];
        ++m_attempts;
        if (!answer.delivered) return CommandResult::NotDelivered(EIO, "scripted");
        CommandResult result;
        result.delivered = true;
        result.scsiStatus = answer.status;
        result.sense = answer.sense;
        result.senseLength = answer.senseLength;
        return result;
    }
    DeviceHandle HoldMediaChangeNotification(char) override { return kInvalidDeviceHandle; }
    std::string DeviceName(char letter) const override { return std::string(1, letter); }

    std::size_t Attempts() const { return m_attempts; }
    const Answer& AnswerOf(std::size_t attempt) const {
        return m_script[std::min(attempt, m_script.size() - 1)];
    }

private:
    std::vector<Answer> m_script;
    std::size_t m_attempts = 0;
};

DriveErrorClass ClassOf(const Answer& answer) {
    return ClassifySense(std::span<const std::uint8_t>(answer.sense.data(), answer.senseLength));
}

void CheckTransport(FuzzedDataProvider& input) {
    std::vector<Answer> script;
    const int answers = input.ConsumeIntegralInRange(1, kMaxUnitAttentionResends + 3);
    for (int i = 0; i < answers; ++i) script.push_back(ConsumeAnswer(input));

    auto owned = std::make_unique<ScriptedBackend>(std::move(script));
    ScriptedBackend& backend = *owned;
    const ScopedBackend scope(std::move(owned));
    FUZZ_CHECK(OpenDrive('E'));
    CurrentDrive& drive = GetCurrentDrive();
    std::array<std::uint8_t, 16> data{};
    const bool ok = SendDriveCommand(Cdb{0x00}, drive, TransferDirection::DataIn, data.data(),
                                     static_cast<std::uint32_t>(data.size()));

    // Unit attentions are resent, within a bound, and nothing else is.
    const std::size_t attempts = backend.Attempts();
    FUZZ_CHECK(attempts >= 1 && attempts <= kMaxUnitAttentionResends + 1);
    for (std::size_t i = 0; i + 1 < attempts; ++i) {
        const Answer& earlier = backend.AnswerOf(i);
        FUZZ_CHECK(earlier.delivered && earlier.status != 0 && IsUnitAttention(ClassOf(earlier)));
    }
    const Answer& last = backend.AnswerOf(attempts - 1);
    if (!last.delivered) {
        FUZZ_CHECK(ok);
        FUZZ_CHECK(LastDeliveryFailure().osError == EIO);
    } else if (last.status == 0) {
        FUZZ_CHECK(ok);
    } else {
        FUZZ_CHECK(!ok);
        FUZZ_CHECK(drive.lastErrorClass == ClassOf(last));
        FUZZ_CHECK(!IsUnitAttention(drive.lastErrorClass) ||
                   attempts == kMaxUnitAttentionResends + 1);
    }
}

}  // namespace
}  // namespace tavoren::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tavoren::fuzz::CheckClassification(std::vector<std::uint8_t>(data, data + size));
    FuzzedDataProvider input(data, size);
    tavoren::fuzz::CheckTransport(input);
    return 0;
}

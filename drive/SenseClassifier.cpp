#include "drive/SenseClassifier.h"

namespace tavoren {
namespace {

struct SenseTriple {
    std::uint8_t key = 0;
    std::uint8_t asc = 0;
    std::uint8_t ascq = 0;
};

std::uint8_t ByteAt(std::span<const std::uint8_t> sense, std::size_t index) {
    return index < sense.size() ? sense[index] : 0;
}

SenseTriple ExtractTriple(std::span<const std::uint8_t> sense) {
    const std::uint8_t responseCode = ByteAt(sense, 0) & 0x7F;
    if (responseCode == 0x72 || responseCode == 0x73) {
        // Descriptor format carries the key in the low nibble of byte 1.
        return {static_cast<std::uint8_t>(ByteAt(sense, 1) & 0x0F), ByteAt(sense, 2),
                ByteAt(sense, 3)};
    }
    // Fixed format: byte 2 is taken whole, so filemark/EOM/ILI bits make the key "other".
    return {ByteAt(sense, 2), ByteAt(sense, 12), ByteAt(sense, 13)};
}

struct ClassRule {
    std::uint8_t key;
    std::uint8_t asc;
    std::uint8_t ascqLow;
    std::uint8_t ascqHigh;
    DriveErrorClass errorClass;
};

constexpr ClassRule kRules[] = {
    {0x0, 0x00, 0x00, 0x00, DriveErrorClass::NoSense},
    {0x2, 0x04, 0x01, 0x01, DriveErrorClass::BecomingReady},
    {0x2, 0x04, 0x02, 0x02, DriveErrorClass::InitializingCommandRequired},
    {0x2, 0x04, 0x08, 0x08, DriveErrorClass::LongWriteInProgress},
    {0x2, 0x3A, 0x00, 0x02, DriveErrorClass::MediumNotPresent},
    {0x4, 0x08, 0x01, 0x01, DriveErrorClass::CommunicationTimeout},
    {0x4, 0x4C, 0x00, 0x00, DriveErrorClass::SelfConfigurationFailed},
    {0x6, 0x28, 0x00, 0x00, DriveErrorClass::MediumMayHaveChanged},
    {0x6, 0x29, 0x00, 0x00, DriveErrorClass::PowerOnReset},
};

}  // namespace

DriveErrorClass ClassifySense(std::span<const std::uint8_t> sense) {
    const SenseTriple triple = ExtractTriple(sense);
    for (const ClassRule& rule : kRules) {
        if (triple.key == rule.key && triple.asc == rule.asc && triple.ascq >= rule.ascqLow &&
            triple.ascq <= rule.ascqHigh) {
            return rule.errorClass;
        }
    }
    return DriveErrorClass::Other;
}

}  // namespace tavoren

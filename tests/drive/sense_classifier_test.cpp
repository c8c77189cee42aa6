#include "drive/SenseClassifier.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavoren {
namespace {

struct SenseCase {
    const char* name;
    std::vector<std::uint8_t> sense;
    DriveErrorClass expected;
};

std::vector<std::uint8_t> Fixed(std::uint8_t byte2, std::uint8_t asc, std::uint8_t ascq) {
    std::vector<std::uint8_t> sense(18, 0);
    sense[0] = 0x70;
    sense[2] = byte2;
    sense[7] = 10;
    sense[12] = asc;
    sense[13] = ascq;
    return sense;
}

std::vector<std::uint8_t> Descriptor(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) {
    return {0x72, key, asc, ascq, 0, 0, 0, 0};
}

const SenseCase kCases[] = {
    {"no sense", Fixed(0, 0, 0), DriveErrorClass::NoSense},
    {"key 0 with qualifier", Fixed(0, 0, 1), DriveErrorClass::Other},
    {"becoming ready", Fixed(2, 0x04, 0x01), DriveErrorClass::BecomingReady},
    {"initializing command required", Fixed(2, 0x04, 0x02),
     DriveErrorClass::InitializingCommandRequired},
    {"long write in progress", Fixed(2, 0x04, 0x08), DriveErrorClass::LongWriteInProgress},
    {"not ready, other qualifier", Fixed(2, 0x04, 0x03), DriveErrorClass::Other},
    {"medium not present", Fixed(2, 0x3A, 0x00), DriveErrorClass::MediumNotPresent},
    {"medium not present, tray closed", Fixed(2, 0x3A, 0x01), DriveErrorClass::MediumNotPresent},
    {"medium not present, tray open", Fixed(2, 0x3A, 0x02), DriveErrorClass::MediumNotPresent},
    {"medium not present, higher qualifier", Fixed(2, 0x3A, 0x03), DriveErrorClass::Other},
    {"not ready, other code", Fixed(2, 0x30, 0x00), DriveErrorClass::Other},
    {"communication timeout", Fixed(4, 0x08, 0x01), DriveErrorClass::CommunicationTimeout},
    {"self-configuration failed", Fixed(4, 0x4C, 0x00), DriveErrorClass::SelfConfigurationFailed},
    {"self-configuration, qualifier 1", Fixed(4, 0x4C, 0x01), DriveErrorClass::Other},
    {"hardware error, other code", Fixed(4, 0x08, 0x00), DriveErrorClass::Other},
    {"medium may have changed", Fixed(6, 0x28, 0x00), DriveErrorClass::MediumMayHaveChanged},
    {"power on reset", Fixed(6, 0x29, 0x00), DriveErrorClass::PowerOnReset},
    {"power on, other qualifier", Fixed(6, 0x29, 0x01), DriveErrorClass::Other},
    {"recovered error", Fixed(1, 0x04, 0x01), DriveErrorClass::Other},
    {"medium error", Fixed(3, 0x3A, 0x00), DriveErrorClass::Other},
    {"illegal request", Fixed(5, 0x24, 0x00), DriveErrorClass::Other},
    {"ILI bit with key 2 is not masked", Fixed(0x22, 0x04, 0x01), DriveErrorClass::Other},
    {"filemark bit with key 6 is not masked", Fixed(0x86, 0x29, 0x00), DriveErrorClass::Other},
    {"descriptor format, becoming ready", Descriptor(2, 0x04, 0x01),
     DriveErrorClass::BecomingReady},
    {"descriptor format, deferred, power on", {0x73, 0x06, 0x29, 0x00},
     DriveErrorClass::PowerOnReset},
    {"descriptor format, no sense", Descriptor(0, 0, 0), DriveErrorClass::NoSense},
    {"empty sense", {}, DriveErrorClass::NoSense},
    {"all-zero sense", std::vector<std::uint8_t>(18, 0), DriveErrorClass::NoSense},
    {"cut before the code bytes", {0x70, 0, 0x02, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x04},
     DriveErrorClass::Other},
    {"cut before the key", {0x70, 0}, DriveErrorClass::NoSense},
    {"descriptor cut after the key", {0x72, 0x06}, DriveErrorClass::Other},
    {"unknown response code is read as fixed", {0x7F, 0, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x28, 0},
     DriveErrorClass::MediumMayHaveChanged},
};

TEST(SenseClassifierTest, ClassifiesEveryRowOfTheTable) {
    for (const SenseCase& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ClassifySense(c.sense), c.expected);
    }
}

TEST(SenseClassifierTest, ReadsNothingBeyondTheGivenLength) {
    // The bytes after the span say "power on reset"; a reader that strays would find them.
    std::vector<std::uint8_t> sense = Fixed(6, 0x29, 0x00);
    EXPECT_EQ(ClassifySense(std::span<const std::uint8_t>(sense.data(), 3)),
              DriveErrorClass::Other);
}

}  // namespace
}  // namespace tavoren

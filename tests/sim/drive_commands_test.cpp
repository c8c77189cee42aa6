#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "sim/SimulatedBus.h"
#include "sim/SimulatedTavorenDrive.h"
#include "tests/sim/SimTestSupport.h"

namespace tavoren::sim {
namespace {

using namespace testing;
using namespace std::string_view_literals;

constexpr auto kOddModelCode = "xxKMV 4461 followed by a tail well past byte 32"sv;

DriveProfile OddTextsProfile() {
    DriveProfile profile = FullDriveProfile();
    profile.product = std::string("AB\0CD"sv);
    profile.revision = "9";
    profile.vendorSpecific = "";
    profile.modelCode = std::string(kOddModelCode);
    return profile;
}

std::unique_ptr<SimulatedDevice> Full() {
    return std::make_unique<SimulatedTavorenDrive>(FullDriveProfile());
}
std::unique_ptr<SimulatedDevice> Led() {
    return std::make_unique<SimulatedTavorenDrive>(LedDriveProfile());
}
std::unique_ptr<SimulatedDevice> Basic() {
    return std::make_unique<SimulatedTavorenDrive>(BasicDriveProfile());
}
std::unique_ptr<SimulatedDevice> OddTexts() {
    return std::make_unique<SimulatedTavorenDrive>(OddTextsProfile());
}

struct Placed {
    std::size_t offset;
    Bytes bytes;
};

struct CommandCase {
    const char* name;
    std::unique_ptr<SimulatedDevice> (*device)();
    Cdb cdb;
    TransferDirection direction;
    std::uint32_t length;
    Bytes dataOut;
    Sense expected;
    std::uint32_t transferred;     // bytes the device returns
    std::vector<Placed> returned;  // every returned byte not placed here must be zero
};

const Bytes kOpticalHeader = {0x05, 0x80, 0x05, 0x02, 91};

Cdb WithByte(Cdb cdb, std::size_t index, std::uint8_t value) {
    cdb[index] = value;
    return cdb;
}

const std::vector<CommandCase>& CommandCases() {
    // clang-format off
    static const std::vector<CommandCase> cases = {
        {"inquiry of a full drive", Full, kInquiry, kIn, 254, {}, kGood, 96,
         {{0, kOpticalHeader}, {8, Text("TAVOREN ")}, {16, Text("BD-RE  KMV4461U ")},
          {32, Text("1.03")}, {36, Padded("2026/10/14", 20)}}},
        {"inquiry cut by its allocation length", Full, WithByte(kInquiry, 4, 36), kIn, 254, {},
         kGood, 36,
         {{0, kOpticalHeader}, {8, Text("TAVOREN ")}, {16, Text("BD-RE  KMV4461U ")},
          {32, Text("1.03")}}},
        {"inquiry cut by the transfer length", Full, kInquiry, kIn, 10, {}, kGood, 10,
         {{0, kOpticalHeader}, {8, Text("TA")}}},
        {"inquiry pads short texts and keeps zero bytes", OddTexts, kInquiry, kIn, 254, {}, kGood,
         96,
         {{0, kOpticalHeader}, {8, Text("TAVOREN ")}, {16, Padded("AB\0CD"sv, 16)},
          {32, Padded("9", 4)}, {36, Padded("", 20)}}},
        {"inquiry for a vital product data page", Full, WithByte(kInquiry, 1, 0x01), kIn, 254, {},
         kInvalidField, 0, {}},
        {"model code of a full drive", Full, kModelCodeRead, kIn, 48, {}, kGood, 48,
         {{16, Text("KMV 4461")}}},
        {"long model code runs to the end of the transfer", OddTexts, kModelCodeRead, kIn, 48, {},
         kGood, 48, {{16, Text(kOddModelCode.substr(0, 32))}}},
        {"model code at another offset", Full, WithByte(kModelCodeRead, 5, 0x10), kIn, 48, {},
         kInvalidField, 0, {}},
        {"settings block of a full drive", Full, kSettingsRead, kIn, 256, {}, kGood, 256,
         {{2, {2, 2}}, {28, {1, 0, 1, 0, 2, 0, 2}}, {39, {1, 0}}}},
        {"settings block of an LED drive", Led, kSettingsRead, kIn, 256, {}, kGood, 256,
         {{2, {2, 2}}, {30, {1, 0, 2, 0, 2}}}},
        {"settings block of a basic drive", Basic, kSettingsRead, kIn, 256, {}, kGood, 256,
         {{2, {2, 2}}}},
        {"settings block cut by its allocation length", Full,
         {0x3C, 0x01, 0xF4, 0, 0, 0, 0, 0, 4, 0, 0, 0}, kIn, 256, {}, kGood, 4, {{2, {2, 2}}}},
        {"settings block through a mode 2 read", Full, WithByte(kSettingsRead, 1, 0x02), kIn, 256,
         {}, kInvalidField, 0, {}},
        {"bus power result", Full, kBusPowerRead, kIn, 8, {}, kGood, 8, {{4, {0, 0, 0x14, 0x50}}}},
        {"bus power result at another offset", Full, WithByte(kBusPowerRead, 3, 0x02), kIn, 8, {},
         kInvalidField, 0, {}},
        {"keep-alive", Full, kKeepAlive, kIn, 0, {}, kGood, 0, {}},
        {"unknown vendor buffer", Full, WithByte(kKeepAlive, 2, 0xF2), kIn, 0, {}, kInvalidField,
         0, {}},
        {"ordinary speed request", Full, SpeedCdb(0x00), kNone, 0, {}, kGood, 0, {}},
        {"stop", Full, kStop, kNone, 0, {}, kGood, 0, {}},
        {"eject", Full, kEject, kNone, 0, {}, kGood, 0, {}},
        {"start", Full, WithByte(kStop, 4, 0x01), kNone, 0, {}, kInvalidField, 0, {}},
        {"disc information with no disc", Full, kDiscInformation, kIn, 34, {}, kNoDiscTrayClosed,
         0, {}},
        {"disc information of another type", Full, WithByte(kDiscInformation, 1, 0x01), kIn, 34,
         {}, kInvalidField, 0, {}},
        {"read-error page", Full, kPageWrite, kOut, 256, {0x01, 0x80, 0x01, 0x08, 0x40, 0, 0x01},
         kGood, 256, {}},
        {"LED page", Full, kPageWrite, kOut, 256, {0x0E, 0, 0, 4, 1, 0, 3, 1}, kGood, 256, {}},
        {"LED page to a drive without LEDs", Basic, kPageWrite, kOut, 256,
         {0x0E, 0, 0, 4, 1, 0, 3, 1}, kInvalidField, 0, {}},
        {"unknown parameter page", Full, kPageWrite, kOut, 256, {0x07}, kInvalidParameter, 0, {}},
        {"parameter page of another length", Full, WithByte(kPageWrite, 8, 0x80), kOut, 256,
         {0x01}, kInvalidField, 0, {}},
        {"parameter page without its data", Full, kPageWrite, kNone, 0, {}, kParameterLength, 0,
         {}},
        {"bus power check carrying data", Full, WithByte(kBusPowerStart, 8, 0x08), kOut, 8, {},
         kInvalidField, 0, {}},
        {"vendor write at an unknown offset", Full, WithByte(kBusPowerStart, 3, 0x03), kNone, 0,
         {}, kInvalidField, 0, {}},
        {"unknown operation code", Full, {0x28, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, kIn, 2048, {},
         kInvalidOpcode, 0, {}},
        {"inquiry of a disk", MakeSimulatedDisk, kInquiry, kIn, 254, {}, kGood, 96,
         {{0, {0x00, 0x00, 0x05, 0x02, 91}}, {8, Text("ACMEDISK")}, {16, Padded("SSD 512G", 16)},
          {32, Text("2.10")}, {36, Padded("", 20)}}},
        {"model code read on a disk", MakeSimulatedDisk, kModelCodeRead, kIn, 48, {},
         kInvalidOpcode, 0, {}},
        {"inquiry of another maker's drive", MakeForeignOpticalDrive, kInquiry, kIn, 254, {},
         kGood, 96,
         {{0, kOpticalHeader}, {8, Text("OTHERCO ")}, {16, Padded("DVD-RW XR-9000", 16)},
          {32, Text("3.2A")}, {36, Padded("", 20)}}},
        {"model code of another maker's drive", MakeForeignOpticalDrive, kModelCodeRead, kIn, 48,
         {}, kGood, 48, {{16, Text("XR-9000")}}},
        {"settings block of another maker's drive", MakeForeignOpticalDrive, kSettingsRead, kIn,
         256, {}, kInvalidField, 0, {}},
    };
    // clang-format on
    return cases;
}

void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.name; }

class CommandTable : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandTable, AnswersWithStatusAndData) {
    const CommandCase& c = GetParam();
    const auto device = c.device();
    const Exchange exchange = Send(*device, c.cdb, c.direction, c.length, c.dataOut);

    EXPECT_EQ(SenseOf(exchange.result), c.expected);
    ASSERT_EQ(exchange.result.residual, static_cast<std::int32_t>(c.length - c.transferred));
    EXPECT_TRUE(exchange.RestUntouched());
    if (c.direction != kIn) {
        EXPECT_EQ(exchange.buffer, exchange.sent) << "a data-out buffer was written to";
        return;
    }
    Bytes expected(c.transferred, 0);
    for (const Placed& placed : c.returned) {
        std::copy(placed.bytes.begin(), placed.bytes.end(), expected.begin() + placed.offset);
    }
    EXPECT_EQ(exchange.Data(), expected);
}

INSTANTIATE_TEST_SUITE_P(SimulatedDevices, CommandTable, ::testing::ValuesIn(CommandCases()),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

TEST(BlockFilter, RewritesEachReadWithItsIndex) {
    SimulatedTavorenDrive drive(FullDriveProfile());
    drive.SetBlockFilter([](DriveSettingsBlock& block, int readIndex) {
        block.bytes[DriveSettingsBlock::kLedPattern] = static_cast<std::uint8_t>(10 + readIndex);
    });
    for (int read = 0; read < 3; ++read) {
        const Exchange exchange = Send(drive, kSettingsRead, kIn, 256);
        EXPECT_EQ(exchange.buffer[DriveSettingsBlock::kLedPattern], 10 + read);
        EXPECT_EQ(exchange.buffer[DriveSettingsBlock::kQuietCode], 2) << "rest of block kept";
    }
    EXPECT_EQ(drive.SettingsBlock().At(DriveSettingsBlock::kLedPattern), 0)
        << "the filter changes what is returned, not the drive";
}

// Requests biased towards the commands the devices know, so that their deeper branches run.
class RandomRequests {
public:
    explicit RandomRequests(unsigned seed) : m_random(seed) {}

    Cdb NextCdb() {
        Cdb cdb{};
        for (std::uint8_t& byte : cdb) byte = Byte();
        static constexpr std::uint8_t kOpcodes[] = {0x12, 0x1B, 0x3B, 0x3C, 0x51, 0xBB};
        if (AllButOneIn(5)) cdb[0] = Pick(kOpcodes);
        if (AllButOneIn(2)) cdb[1] = Pick<std::uint8_t>({0, 1, 2, 3});
        if (AllButOneIn(2)) cdb[2] = Pick<std::uint8_t>({0, 0xE6, 0xF1, 0xF4, 0xFA, 0xFF});
        if (AllButOneIn(2)) std::fill_n(cdb.begin() + 3, 3, 0);
        if (AllButOneIn(4)) cdb[3] = Pick<std::uint8_t>({1, 2});
        if (AllButOneIn(3)) cdb[4] = Pick<std::uint8_t>({0, 2, 0xFE, 0xFF});
        if (AllButOneIn(2)) {
            const std::uint32_t length = Pick<std::uint32_t>({0, 8, 34, 48, 256, 0xFFFFFF});
            cdb[6] = static_cast<std::uint8_t>(length >> 16);
            cdb[7] = static_cast<std::uint8_t>(length >> 8);
            cdb[8] = static_cast<std::uint8_t>(length);
        }
        return cdb;
    }
    TransferDirection NextDirection() { return Pick({kIn, kOut, kNone}); }
    std::uint32_t NextLength() {
        if (AllButOneIn(4)) return std::uniform_int_distribution<std::uint32_t>(0, 600)(m_random);
        return Pick<std::uint32_t>({0, 1, 8, 33, 34, 47, 48, 95, 96, 97, 255, 256, 257, 4096});
    }
    Bytes NextData(std::uint32_t length) {
        Bytes data(length);
        for (std::uint8_t& byte : data) byte = Byte();
        if (length > 0 && AllButOneIn(2)) data[0] = Pick<std::uint8_t>({0x01, 0x0E});
        return data;
    }

private:
    std::uint8_t Byte() { return static_cast<std::uint8_t>(m_random()); }
    bool AllButOneIn(unsigned oneIn) { return m_random() % oneIn != 0; }
    template <typename T>
    T Pick(std::initializer_list<T> values) {
        return values.begin()[m_random() % values.size()];
    }
    template <typename T, std::size_t N>
    T Pick(const T (&values)[N]) {
        return values[m_random() % N];
    }

    std::mt19937 m_random;
};

struct FuzzTarget {
    const char* name;
    std::unique_ptr<SimulatedDevice> (*device)();
};

const FuzzTarget kFuzzTargets[] = {
    {"full drive with a disc",
     [] {
         auto drive = std::make_unique<SimulatedTavorenDrive>(FullDriveProfile());
         drive->SetSpinUpPolls(1);
         drive->SetReloadAfterEject(true);
         drive->InsertDisc();
         return std::unique_ptr<SimulatedDevice>(std::move(drive));
     }},
    {"LED drive", Led},
    {"basic drive", Basic},
    {"odd texts", OddTexts},
    {"garbage reads",
     [] {
         auto drive = std::make_unique<SimulatedTavorenDrive>(FullDriveProfile());
         drive->Faults().garbageReads = true;
         return std::unique_ptr<SimulatedDevice>(std::move(drive));
     }},
    {"drops off the bus",
     [] {
         auto drive = std::make_unique<SimulatedTavorenDrive>(LedDriveProfile());
         drive->SetBusPowerOutcome(BusPowerOutcome::DropsOffBus);
         return std::unique_ptr<SimulatedDevice>(std::move(drive));
     }},
    {"disk", MakeSimulatedDisk},
    {"other maker's drive", MakeForeignOpticalDrive},
};

TEST(BadInput, ArbitraryRequestsStayInsideTheBuffer) {
    unsigned seed = 1;
    for (const FuzzTarget& target : kFuzzTargets) {
        SCOPED_TRACE(target.name);
        const auto device = target.device();
        RandomRequests random(seed++);
        for (int i = 0; i < 4000; ++i) {
            const Cdb cdb = random.NextCdb();
            const TransferDirection direction = random.NextDirection();
            const std::uint32_t length = random.NextLength();
            const Exchange exchange =
                Send(*device, cdb, direction, length, random.NextData(length));
            const CommandResult& result = exchange.result;
            const auto context = ::testing::Message()
                                 << "request " << i << ", op " << int(cdb[0]) << ", length "
                                 << length << ", direction " << int(direction);
            if (!result.delivered) continue;
            ASSERT_GE(result.residual, 0) << context;
            ASSERT_LE(result.residual, static_cast<std::int32_t>(length)) << context;
            ASSERT_TRUE(result.scsiStatus == 0 || result.senseLength == kSenseLength) << context;
            if (direction == kIn) {
                ASSERT_TRUE(exchange.RestUntouched()) << context;
            } else {
                ASSERT_EQ(exchange.buffer, exchange.sent) << context;
            }
        }
    }
}

TEST(BadInput, NullDataWithALengthIsNeverWritten) {
    for (const FuzzTarget& target : kFuzzTargets) {
        SCOPED_TRACE(target.name);
        const auto device = target.device();
        for (const Cdb& cdb : {kInquiry, kModelCodeRead, kSettingsRead, kBusPowerRead, kPageWrite,
                               kDiscInformation}) {
            for (const TransferDirection direction : {kIn, kOut}) {
                const CommandResult result = device->Execute({cdb, direction, nullptr, 256});
                if (result.delivered && result.scsiStatus == 0 && direction == kIn) {
                    EXPECT_EQ(result.residual, 256) << "nothing can have been transferred";
                }
            }
        }
    }
}

}  // namespace
}  // namespace tavoren::sim

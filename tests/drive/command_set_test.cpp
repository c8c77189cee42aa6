#include "drive/CommandSet.h"

#include <gtest/gtest.h>

#include <functional>

#include "drive/Clock.h"
#include "tests/drive/ScriptedBackend.h"

namespace tavoren {
namespace {

using testing::ScriptedBackend;
using Bytes = std::vector<std::uint8_t>;

struct ExpectedCommand {
    Cdb cdb;
    TransferDirection direction;
    std::uint32_t length;
    Bytes pagePrefix;  // leading bytes of the data sent; the rest of the page must be zero
};

struct GoldenCase {
    const char* name;
    std::function<void()> operation;
    std::vector<ExpectedCommand> commands;
};

constexpr auto kIn = TransferDirection::DataIn;
constexpr auto kOut = TransferDirection::DataOut;
constexpr auto kNone = TransferDirection::None;
constexpr Cdb kPageWrite = {0x3B, 0x01, 0xFA, 0, 0, 0, 0, 0x01, 0, 0, 0, 0};

Cdb SpeedCdb(std::uint8_t mode) { return {0xBB, 0, 0, 0, 0xFE, 0, 0, 0, 0, 0, mode, 0}; }

const std::vector<GoldenCase>& GoldenCases() {
    static const std::vector<GoldenCase> cases = {
        {"settings block read", [] { ReadSettingsBlock(); },
         {{{0x3C, 0x01, 0xF4, 0, 0, 0, 0, 0x01, 0, 0, 0, 0}, kIn, 256, {}}}},
        {"general vendor buffer read", [] {
             std::uint8_t buffer[0x30] = {};
             ReadVendorBuffer(0x000030, 0x02, 0x123456, 0xAB, buffer);
         },
         {{{0x3C, 0x02, 0xAB, 0x12, 0x34, 0x56, 0x00, 0x00, 0x30, 0, 0, 0}, kIn, 0x30, {}}}},
        {"model code read", [] {
             DriveDataBuffer buffer;
             ReadModelCodeBuffer(buffer);
         },
         {{{0x3C, 0x02, 0xF1, 0, 0, 0, 0, 0, 0x30, 0, 0, 0}, kIn, 48, {}}}},
        {"inquiry", [] { IsTavorenDrivePresent(); },
         {{{0x12, 0, 0, 0, 0xFE, 0, 0, 0, 0, 0, 0, 0}, kIn, 254, {}}}},
        {"quiet mode read", [] { ReadQuietMode(); },
         {{{0x3C, 0x01, 0xF4, 0, 0, 0, 0, 0x01, 0, 0, 0, 0}, kIn, 256, {}}}},
        {"quiet saved", [] { SetQuietMode(QuietMode::Quiet, true); },
         {{SpeedCdb(0xC2), kNone, 0, {}}}},
        {"performance saved", [] { SetQuietMode(QuietMode::Performance, true); },
         {{SpeedCdb(0xC1), kNone, 0, {}}}},
        {"persistent quiet unsaved", [] { SetQuietMode(QuietMode::PersistentQuiet, false); },
         {{SpeedCdb(0x83), kNone, 0, {}}}},
        {"off unsaved", [] { SetQuietMode(QuietMode::Off, false); },
         {{SpeedCdb(0x80), kNone, 0, {}}}},
        {"unknown mode as quiet", [] { SetQuietMode(static_cast<QuietMode>(7), false); },
         {{SpeedCdb(0x82), kNone, 0, {}}}},
        {"transient performance", [] { SetQuietModeTransient(QuietMode::Performance); },
         {{SpeedCdb(0x80), kNone, 0, {}}}},
        {"transient off", [] { SetQuietModeTransient(QuietMode::Off); },
         {{SpeedCdb(0x83), kNone, 0, {}}}},
        {"transient quiet", [] { SetQuietModeTransient(QuietMode::Quiet); },
         {{SpeedCdb(0x81), kNone, 0, {}}}},
        {"transient persistent quiet", [] { SetQuietModeTransient(QuietMode::PersistentQuiet); },
         {{SpeedCdb(0x82), kNone, 0, {}}}},
        {"transient unknown mode as quiet",
         [] { SetQuietModeTransient(static_cast<QuietMode>(0)); },
         {{SpeedCdb(0x81), kNone, 0, {}}}},
        {"veritrax master real-time", [] { WriteVeritraxSettings(VeritraxMode::Master, true, false); },
         {{kPageWrite, kOut, 256, {0x01, 0x80, 0x01, 0x08, 0x40, 0x00, 0x01}}}},
        {"veritrax off real-time saved", [] { WriteVeritraxSettings(VeritraxMode::Off, true, true); },
         {{kPageWrite, kOut, 256, {0x01, 0x80, 0x00, 0x00, 0x00, 0x01, 0x01}}}},
        {"veritrax perfect saved", [] { WriteVeritraxSettings(VeritraxMode::Perfect, false, true); },
         {{kPageWrite, kOut, 256, {0x01, 0x80, 0x01, 0xFE, 0x01, 0x01, 0x00}}}},
        {"veritrax unknown mode as perfect",
         [] { WriteVeritraxSettings(static_cast<VeritraxMode>(1), false, false); },
         {{kPageWrite, kOut, 256, {0x01, 0x80, 0x01, 0xFE, 0x01, 0x00, 0x00}}}},
        {"led settings in argument order", [] { WriteLedSettings(4, 3, 1, 1); },
         {{kPageWrite, kOut, 256, {0x0E, 0x00, 0x00, 0x04, 0x01, 0x00, 0x03, 0x01}}}},
        {"led settings send the low byte", [] { WriteLedSettings(-1, 0x102, 2, -1); },
         {{kPageWrite, kOut, 256, {0x0E, 0x00, 0x00, 0xFF, 0x02, 0x00, 0x02, 0xFF}}}},
        {"stop disc", [] { StopDisc(); },
         {{{0x1B, 0, 0, 0, 0x00, 0, 0, 0, 0, 0, 0, 0}, kNone, 0, {}}}},
        {"eject disc", [] { EjectDisc(); },
         {{{0x1B, 0, 0, 0, 0x02, 0, 0, 0, 0, 0, 0, 0}, kNone, 0, {}}}},
        {"wait for disc ready, disc present", [] { WaitForDiscReady(); },
         {{{0x51, 0, 0, 0, 0, 0, 0, 0, 0x22, 0, 0, 0}, kIn, 34, {}}}},
        {"start bus-power check", [] { StartBusPowerCheck(); },
         {{{0x3B, 0x02, 0xE6, 0x01, 0, 0, 0, 0, 0, 0, 0, 0}, kOut, 0, {}}}},
        {"bus-power check result", [] { ReadBusPowerCheckResult(); },
         {{{0x3C, 0x02, 0xE6, 0x01, 0, 0, 0, 0, 0x08, 0, 0, 0}, kIn, 8, {}}}},
        {"force eject", [] { ForceEject(); },
         {{{0x3B, 0x02, 0xE6, 0x02, 0, 0, 0, 0, 0, 0, 0, 0}, kOut, 0, {}}}},
        {"keep-alive", [] { SendKeepAlive(); },
         {{{0x3C, 0x02, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0}, kIn, 0, {}}}},
        {"factory defaults: LEDs, quiet saved, veritrax off saved", [] { RestoreFactoryDefaults(); },
         {{kPageWrite, kOut, 256, {0x0E, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02, 0x00}},
          {SpeedCdb(0xC2), kNone, 0, {}},
          {kPageWrite, kOut, 256, {0x01, 0x80, 0x00, 0x00, 0x00, 0x01, 0x00}}}},
    };
    return cases;
}

class CommandSetTest : public testing::ScriptedBackendTest {
protected:
    void SetUp() override {
        ScriptedBackendTest::SetUp();
        OpenDrive('E');
    }
};

TEST_F(CommandSetTest, EveryOperationSendsItsExactCommands) {
    for (const GoldenCase& c : GoldenCases()) {
        SCOPED_TRACE(c.name);
        Backend().sentCommands.clear();
        c.operation();
        ASSERT_EQ(Backend().sentCommands.size(), c.commands.size());
        for (std::size_t i = 0; i < c.commands.size(); ++i) {
            const ScriptedBackend::Sent& sent = Backend().sentCommands[i];
            const ExpectedCommand& expected = c.commands[i];
            EXPECT_EQ(sent.cdb, expected.cdb);
            EXPECT_EQ(sent.direction, expected.direction);
            EXPECT_EQ(sent.length, expected.length);
            EXPECT_EQ(sent.handle, GetCurrentDrive().commandHandle);
            if (expected.direction != kOut || expected.length == 0) continue;
            Bytes page = expected.pagePrefix;
            page.resize(expected.length, 0);
            EXPECT_EQ(sent.dataOut, page);
        }
    }
}

struct QuietDecodeCase {
    std::uint8_t byte2;
    std::uint8_t byte3;
    QuietMode expected;
};

TEST_F(CommandSetTest, QuietModeDecodesByteTwoThenFallsBackToByteThree) {
    const QuietDecodeCase cases[] = {
        {0, 3, QuietMode::Off},         {1, 0, QuietMode::Performance},
        {2, 0, QuietMode::Quiet},       {3, 0, QuietMode::PersistentQuiet},
        {0xFF, 2, QuietMode::Quiet},    {0xFF, 0, QuietMode::Off},
        {7, 3, QuietMode::PersistentQuiet}, {4, 1, QuietMode::Performance},
        {0x80, 0xFF, QuietMode::Quiet}, {0x10, 4, QuietMode::Quiet},
    };
    for (const QuietDecodeCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << int{c.byte2} << "/" << int{c.byte3});
        Bytes block(256, 0);
        block[2] = c.byte2;
        block[3] = c.byte3;
        Backend().QueueData(block);
        EXPECT_EQ(ReadQuietMode(), c.expected);
    }
}

TEST_F(CommandSetTest, UnansweredReadsDecodeAsZeros) {
    for (int i = 0; i < 4; ++i) Backend().Queue(CommandResult::NotDelivered(ENODEV, "gone"));
    EXPECT_EQ(ReadQuietMode(), QuietMode::Off);
    EXPECT_FALSE(IsTavorenDrivePresent());
    EXPECT_EQ(ReadBusPowerCheckResult(), 0u);
    EXPECT_TRUE(WaitForDiscReady());
}

TEST_F(CommandSetTest, BusPowerResultIsBigEndianFromByteFour) {
    Backend().QueueData({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x11, 0x95});
    EXPECT_EQ(ReadBusPowerCheckResult(), 4501u);
    Backend().QueueData({0, 0, 0, 0, 0x80, 0x01, 0x02, 0x03});
    EXPECT_EQ(ReadBusPowerCheckResult(), 0x80010203u);
}

TEST_F(CommandSetTest, TavorenDriveIsRecognisedByAnUpperCaseTAtByteEight) {
    const std::pair<char, bool> cases[] = {{'T', true}, {'t', false}, {'S', false}};
    for (const auto& [first, expected] : cases) {
        Bytes inquiry(96, ' ');
        inquiry[8] = static_cast<std::uint8_t>(first);
        Backend().QueueData(inquiry);
        EXPECT_EQ(IsTavorenDrivePresent(), expected) << first;
    }
}

class WaitForDiscReadyTest : public CommandSetTest {
protected:
    void SetUp() override {
        CommandSetTest::SetUp();
        m_previousSleep = InstallSleepFunction(
            [this](std::chrono::milliseconds duration) { sleeps.push_back(duration.count()); });
    }
    void TearDown() override {
        InstallSleepFunction(m_previousSleep);
        CommandSetTest::TearDown();
    }
    std::vector<long long> sleeps;

private:
    SleepFunction m_previousSleep;
};

TEST_F(WaitForDiscReadyTest, PollsOnceASecondWhileTheDiscSpinsUp) {
    for (int i = 0; i < 3; ++i) Backend().Queue(ScriptedBackend::Sense(2, 0x04, 0x01));
    EXPECT_TRUE(WaitForDiscReady());
    EXPECT_EQ(Backend().sentCommands.size(), 4u);
    EXPECT_EQ(sleeps, (std::vector<long long>{1000, 1000, 1000}));
}

TEST_F(WaitForDiscReadyTest, NoDiscEndsAtOnce) {
    Backend().Queue(ScriptedBackend::Sense(2, 0x3A, 0x01));
    EXPECT_FALSE(WaitForDiscReady());
    EXPECT_EQ(Backend().sentCommands.size(), 1u);
    EXPECT_TRUE(sleeps.empty());
}

TEST_F(WaitForDiscReadyTest, SpinningUpThenNoDiscEndsFalse) {
    Backend().Queue(ScriptedBackend::Sense(2, 0x04, 0x01));
    Backend().Queue(ScriptedBackend::Sense(2, 0x3A, 0x00));
    EXPECT_FALSE(WaitForDiscReady());
    EXPECT_EQ(sleeps.size(), 1u);
}

TEST_F(WaitForDiscReadyTest, ADriveStuckBecomingReadyIsGivenUpAfterAMinute) {
    for (int i = 0; i < 1000; ++i) Backend().Queue(ScriptedBackend::Sense(2, 0x04, 0x01));
    EXPECT_FALSE(WaitForDiscReady());
    EXPECT_EQ(Backend().sentCommands.size(), std::size_t{kMaxDiscReadyPolls});
    EXPECT_EQ(sleeps.size(), std::size_t{kMaxDiscReadyPolls - 1});
}

}  // namespace
}  // namespace tavoren

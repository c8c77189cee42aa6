#include <gtest/gtest.h>

#include <cerrno>

#include "sim/SimulatedTavorenDrive.h"
#include "tests/sim/SimTestSupport.h"

namespace tavoren::sim {
namespace {

using namespace testing;

// Settings that differ from the factory ones in every field, kept both volatile and saved.
DriveSettings StartingSettings() {
    DriveSettings settings;
    settings.quietCode = 2;
    settings.veritraxOn = true;
    settings.veritraxModeByte = 0xFE;
    settings.realTimeVeritrax = true;
    settings.ledPattern = 3;
    settings.ledBrightness = 1;
    settings.ledBlinkCycle = 1;
    settings.usbDirectPattern = 1;
    return settings;
}

template <typename Change>
DriveSettings StartingWith(Change change) {
    DriveSettings settings = StartingSettings();
    change(settings);
    return settings;
}

struct SettingsCase {
    const char* name;
    DriveProfile (*profile)();
    Cdb cdb;
    Bytes page;  // empty: a command without data
    DriveSettings volatileAfter;
    DriveSettings savedAfter;
};

const std::vector<SettingsCase>& SettingsCases() {
    const DriveSettings start = StartingSettings();
    const auto quiet = [](std::uint8_t code) {
        return StartingWith([code](DriveSettings& s) { s.quietCode = code; });
    };
    const DriveSettings master = StartingWith([](DriveSettings& s) {
        s.veritraxModeByte = 0x08;
        s.realTimeVeritrax = false;
    });
    const DriveSettings off = StartingWith([](DriveSettings& s) {
        s.veritraxOn = false;
        s.veritraxModeByte = 0;
        s.realTimeVeritrax = false;
    });
    const DriveSettings leds = StartingWith([](DriveSettings& s) {
        s.ledPattern = 4;
        s.ledBrightness = 2;
        s.ledBlinkCycle = 3;
        s.usbDirectPattern = 0;
    });
    // clang-format off
    static const std::vector<SettingsCase> cases = {
        {"performance unsaved", FullDriveProfile, SpeedCdb(0x81), {}, quiet(1), start},
        {"performance saved", FullDriveProfile, SpeedCdb(0xC1), {}, quiet(1), quiet(1)},
        {"persistent quiet saved", FullDriveProfile, SpeedCdb(0xC3), {}, quiet(3), quiet(3)},
        {"off unsaved", FullDriveProfile, SpeedCdb(0x80), {}, quiet(0), start},
        {"save flag without the vendor flag", FullDriveProfile, SpeedCdb(0x41), {}, start, start},
        {"master unsaved", FullDriveProfile, kPageWrite, {0x01, 0x80, 0x01, 0x08, 0x40, 0, 0},
         master, start},
        {"master saved", BasicDriveProfile, kPageWrite, {0x01, 0x80, 0x01, 0x08, 0x40, 1, 0},
         master, master},
        {"read-error feature off saved", FullDriveProfile, kPageWrite, {0x01, 0x80, 0, 0, 0, 1, 0},
         off, off},
        {"LEDs are kept at once", FullDriveProfile, kPageWrite, {0x0E, 0, 0, 4, 2, 0, 3, 0}, leds,
         leds},
        {"LEDs on a drive without them", BasicDriveProfile, kPageWrite,
         {0x0E, 0, 0, 4, 2, 0, 3, 0}, start, start},
        {"unknown page", FullDriveProfile, kPageWrite, {0x0D, 0, 0, 4, 2, 0, 3, 0}, start, start},
    };
    // clang-format on
    return cases;
}

void PrintTo(const SettingsCase& c, std::ostream* out) { *out << c.name; }

class SettingsWrites : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsWrites, ReachVolatileAndSavedSettingsAndSurviveAPowerCycle) {
    const SettingsCase& c = GetParam();
    SimulatedTavorenDrive drive(c.profile());
    drive.Settings() = drive.SavedSettings() = StartingSettings();

    if (c.page.empty()) {
        Send(drive, c.cdb, kNone, 0);
    } else {
        Send(drive, c.cdb, kOut, 256, c.page);
    }
    EXPECT_EQ(drive.Settings(), c.volatileAfter);
    EXPECT_EQ(drive.SavedSettings(), c.savedAfter);

    const Bytes block = Send(drive, kSettingsRead, kIn, 256).Data();
    ASSERT_EQ(block.size(), 256u);
    EXPECT_EQ(block[2], c.volatileAfter.quietCode);
    EXPECT_EQ(block[3], c.volatileAfter.quietCode);
    EXPECT_EQ(block[4], c.volatileAfter.veritraxOn ? 1 : 0);
    EXPECT_EQ(block[5], c.volatileAfter.veritraxModeByte);
    if (drive.Profile().ledControl) {
        EXPECT_EQ(block[31], c.volatileAfter.ledPattern);
        EXPECT_EQ(block[32], c.volatileAfter.ledBrightness);
        EXPECT_EQ(block[34], c.volatileAfter.ledBlinkCycle);
        EXPECT_EQ(block[40], c.volatileAfter.usbDirectPattern);
    }

    drive.PowerCycle();
    EXPECT_EQ(drive.Settings(), c.savedAfter);
    EXPECT_EQ(drive.SavedSettings(), c.savedAfter);
}

INSTANTIATE_TEST_SUITE_P(Drive, SettingsWrites, ::testing::ValuesIn(SettingsCases()),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& ch : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             }
                             return name;
                         });

class DiscInsertion : public ::testing::TestWithParam<int> {};

TEST_P(DiscInsertion, ReportsTheChangeOnceThenSpinsUpThenAnswers) {
    const int polls = GetParam();
    SimulatedTavorenDrive drive(FullDriveProfile());
    drive.SetSpinUpPolls(polls);
    drive.InsertDisc();

    EXPECT_EQ(InquirySense(drive), kGood) << "INQUIRY leaves the unit attention pending";
    EXPECT_EQ(DiscPoll(drive), kMediumChanged);
    for (int poll = 0; poll < polls; ++poll) EXPECT_EQ(DiscPoll(drive), kBecomingReady);
    for (int again = 0; again < 2; ++again) {
        const Exchange exchange = Send(drive, kDiscInformation, kIn, 34);
        ASSERT_EQ(SenseOf(exchange.result), kGood);
        ASSERT_EQ(exchange.Transferred(), 34u);
        EXPECT_EQ(exchange.buffer[0], 0x00);
        EXPECT_EQ(exchange.buffer[1], 0x20) << "32 bytes follow the length field";
    }
}

INSTANTIATE_TEST_SUITE_P(Drive, DiscInsertion, ::testing::Values(0, 1, 3));

TEST(DiscInsertion, AnyOtherCommandTakesTheMediumChange) {
    SimulatedTavorenDrive drive(FullDriveProfile());
    drive.SetSpinUpPolls(1);
    drive.InsertDisc();
    EXPECT_EQ(SettingsReadSense(drive), kMediumChanged);
    EXPECT_EQ(SettingsReadSense(drive), kGood);
    EXPECT_EQ(DiscPoll(drive), kBecomingReady);
    EXPECT_EQ(DiscPoll(drive), kGood);
}

struct EjectCase {
    const char* name;
    Cdb cdb;
    bool reload;
    Sense nextPoll;
};

class Ejecting : public ::testing::TestWithParam<EjectCase> {};

TEST_P(Ejecting, OpensTheTrayAndReloadsOnlyWhenAsked) {
    const EjectCase& c = GetParam();
    SimulatedTavorenDrive drive(FullDriveProfile());
    drive.SetSpinUpPolls(0);
    drive.SetReloadAfterEject(c.reload);
    drive.InsertDisc();
    ASSERT_EQ(DiscPoll(drive), kMediumChanged);
    ASSERT_EQ(DiscPoll(drive), kGood);

    EXPECT_EQ(SenseOf(Send(drive, c.cdb, kNone, 0).result), kGood);
    EXPECT_EQ(drive.HasDisc(), c.reload);
    EXPECT_EQ(drive.TrayOpen(), !c.reload);
    EXPECT_EQ(DiscPoll(drive), c.nextPoll);
}

INSTANTIATE_TEST_SUITE_P(
    Drive, Ejecting,
    ::testing::Values(EjectCase{"Eject", kEject, false, kNoDiscTrayOpen},
                      EjectCase{"EjectAndReload", kEject, true, kMediumChanged},
                      EjectCase{"ForcedEject", kForceEject, false, kNoDiscTrayOpen},
                      EjectCase{"ForcedEjectAndReload", kForceEject, true, kMediumChanged}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PowerOn, FreshDriveHasNothingPendingAndAPowerCycleReportsOnce) {
    SimulatedTavorenDrive drive(FullDriveProfile());
    EXPECT_FALSE(drive.HasDisc());
    EXPECT_EQ(SettingsReadSense(drive), kGood);

    drive.PowerCycle();
    EXPECT_EQ(InquirySense(drive), kGood);
    EXPECT_EQ(SettingsReadSense(drive), kPowerOn);
    EXPECT_EQ(SettingsReadSense(drive), kGood);
}

TEST(PowerOn, PowerCycleWithANewDiscReportsBothOnceEach) {
    SimulatedTavorenDrive drive(FullDriveProfile());
    drive.SetSpinUpPolls(0);
    drive.InsertDisc();
    drive.PowerCycle();
    EXPECT_EQ(DiscPoll(drive), kPowerOn);
    EXPECT_EQ(DiscPoll(drive), kMediumChanged);
    EXPECT_EQ(DiscPoll(drive), kGood);
}

TEST(Faults, UnpluggedDriveTakesNoRequests) {
    SimulatedTavorenDrive drive(FullDriveProfile());
    drive.Faults().unplugged = true;
    const CommandResult result = Send(drive, kInquiry, kIn, 254).result;
    EXPECT_FALSE(result.delivered);
    EXPECT_EQ(result.osError, ENODEV);
    drive.Faults().unplugged = false;
    EXPECT_EQ(InquirySense(drive), kGood);
}

TEST(Faults, StuckDriveNeverBecomesReady) {
    SimulatedTavorenDrive drive(FullDriveProfile());
    drive.SetSpinUpPolls(1);
    drive.InsertDisc();
    drive.Faults().stuckBecomingReady = true;
    EXPECT_EQ(DiscPoll(drive), kMediumChanged);
    for (int poll = 0; poll < 20; ++poll) ASSERT_EQ(DiscPoll(drive), kBecomingReady);
    EXPECT_EQ(SettingsReadSense(drive), kGood) << "only the disc poll is stuck";
}

TEST(Faults, UnitAttentionStormAnswersEveryCommand) {
    SimulatedTavorenDrive drive(FullDriveProfile());
    drive.Faults().unitAttentionStorm = true;
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(InquirySense(drive), kPowerOn);
        EXPECT_EQ(SettingsReadSense(drive), kPowerOn);
        EXPECT_EQ(SenseOf(Send(drive, SpeedCdb(0xC0), kNone, 0).result), kPowerOn);
    }
    EXPECT_EQ(drive.Settings().quietCode, 2) << "refused commands change nothing";
}

TEST(Faults, GarbageReadsFillTheWholeTransferDeterministically) {
    SimulatedTavorenDrive first(FullDriveProfile());
    SimulatedTavorenDrive second(FullDriveProfile());
    first.Faults().garbageReads = second.Faults().garbageReads = true;

    const Exchange a = Send(first, kInquiry, kIn, 300);
    const Exchange b = Send(second, kInquiry, kIn, 300);
    const Exchange again = Send(first, kInquiry, kIn, 300);
    ASSERT_EQ(SenseOf(a.result), kGood);
    ASSERT_EQ(a.Transferred(), 300u) << "beyond the 96 bytes of real INQUIRY data";
    EXPECT_TRUE(a.RestUntouched());
    EXPECT_EQ(a.Data(), b.Data()) << "same sequence on every drive";
    EXPECT_NE(a.Data(), again.Data()) << "but not the same bytes on every read";
    const Bytes data = a.Data();
    const Bytes tail(data.begin() + 96, data.end());
    EXPECT_GT(std::count_if(tail.begin(), tail.end(),
                            [](std::uint8_t byte) { return byte != Exchange::kCanary; }),
              190);

    EXPECT_EQ(SenseOf(Send(first, SpeedCdb(0xC1), kNone, 0).result), kGood);
    EXPECT_EQ(first.SavedSettings().quietCode, 1) << "commands without data-in still work";
}

}  // namespace
}  // namespace tavoren::sim

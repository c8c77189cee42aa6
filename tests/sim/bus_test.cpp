#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "drive/ActiveBackend.h"
#include "drive/CurrentDrive.h"
#include "drive/Transport.h"
#include "sim/SimulatedBus.h"
#include "tests/sim/SimTestSupport.h"

namespace tavoren::sim {
namespace {

using namespace testing;
using Kind = TraceEntry::Kind;

CommandResult SendOnBus(SimulatedBus& bus, DeviceHandle handle, const Cdb& cdb,
                        TransferDirection direction, Bytes& buffer) {
    return bus.Execute(handle, {cdb, direction, buffer.empty() ? nullptr : buffer.data(),
                                static_cast<std::uint32_t>(buffer.size())});
}

TEST(BusHandles, OpenCloseAndNotificationHoldAreTracedAndCounted) {
    SimulatedBus bus;
    bus.AttachDrive('E', FullDriveProfile());

    EXPECT_EQ(bus.Open('D'), kInvalidDeviceHandle) << "nothing attached at D";
    EXPECT_EQ(bus.Open('A'), kInvalidDeviceHandle) << "not a drive letter";
    const DeviceHandle command = bus.Open('E');
    const DeviceHandle hold = bus.HoldMediaChangeNotification('E');
    ASSERT_NE(command, kInvalidDeviceHandle);
    ASSERT_NE(hold, kInvalidDeviceHandle);
    EXPECT_NE(command, hold);
    EXPECT_EQ(bus.OpenHandleCount(), 2);
    EXPECT_TRUE(bus.NotificationHeld('E'));
    EXPECT_FALSE(bus.NotificationHeld('F'));
    EXPECT_EQ(bus.DeviceName('E'), "E");

    Bytes none;
    const CommandResult onHold = SendOnBus(bus, hold, kStop, kNone, none);
    EXPECT_FALSE(onHold.delivered) << "a notification handle carries no commands";
    EXPECT_EQ(onHold.osError, EBADF);

    bus.Close(hold);
    EXPECT_FALSE(bus.NotificationHeld('E'));
    bus.Close(command);
    EXPECT_EQ(bus.OpenHandleCount(), 0);
    const CommandResult closed = SendOnBus(bus, command, kStop, kNone, none);
    EXPECT_FALSE(closed.delivered);
    EXPECT_EQ(closed.osError, EBADF);

    const std::vector<TraceEntry>& trace = bus.Trace();
    ASSERT_EQ(trace.size(), 8u);
    const std::vector<std::pair<Kind, char>> expected = {
        {Kind::Open, 'D'},    {Kind::Open, 'A'},  {Kind::Open, 'E'},  {Kind::HoldNotification, 'E'},
        {Kind::Command, 'E'}, {Kind::Close, 'E'}, {Kind::Close, 'E'}, {Kind::Command, 0}};
    for (std::size_t i = 0; i < trace.size(); ++i) {
        EXPECT_EQ(trace[i].kind, expected[i].first) << "entry " << i;
        EXPECT_EQ(trace[i].letter, expected[i].second) << "entry " << i;
    }
    EXPECT_FALSE(trace[0].delivered) << "a failed open is traced as failed";
    EXPECT_TRUE(trace[2].delivered);
}

TEST(BusTrace, CommandsCarryTheirBytesAndAnswers) {
    SimulatedBus bus;
    bus.AttachDrive('F', BasicDriveProfile());
    const DeviceHandle handle = bus.Open('F');

    Bytes page(256, 0);
    page[0] = 0x0E;
    page[3] = 4;
    const CommandResult refused = SendOnBus(bus, handle, kPageWrite, kOut, page);
    Bytes block(256, 0);
    SendOnBus(bus, handle, kSettingsRead, kIn, block);

    const std::vector<TraceEntry> commands = bus.Commands();
    ASSERT_EQ(commands.size(), 2u);
    const TraceEntry& write = commands[0];
    EXPECT_EQ(write.cdb, kPageWrite);
    EXPECT_EQ(write.direction, kOut);
    EXPECT_EQ(write.length, 256u);
    EXPECT_EQ(write.dataOut, page);
    EXPECT_TRUE(write.delivered);
    EXPECT_EQ(write.status, refused.scsiStatus);
    EXPECT_EQ(Sense({write.senseKey, write.asc, write.ascq}), kInvalidField)
        << "the basic model has no LEDs";
    const TraceEntry& read = commands[1];
    EXPECT_EQ(read.cdb, kSettingsRead);
    EXPECT_EQ(read.direction, kIn);
    EXPECT_TRUE(read.dataOut.empty()) << "data-in bytes are not traced";
    EXPECT_EQ(read.status, 0);

    bus.ClearTrace();
    EXPECT_TRUE(bus.Trace().empty());
}

TEST(BusTrace, DetachedAndUnpluggedDevicesAreNotDelivered) {
    SimulatedBus bus;
    SimulatedTavorenDrive& drive = bus.AttachDrive('E', FullDriveProfile());
    bus.Attach('C', MakeSimulatedDisk());
    const DeviceHandle onDrive = bus.Open('E');
    const DeviceHandle onDisk = bus.Open('C');
    Bytes inquiry(254);

    drive.Faults().unplugged = true;
    EXPECT_EQ(bus.Open('E'), kInvalidDeviceHandle);
    EXPECT_EQ(bus.HoldMediaChangeNotification('E'), kInvalidDeviceHandle);
    const CommandResult unplugged = SendOnBus(bus, onDrive, kInquiry, kIn, inquiry);
    EXPECT_FALSE(unplugged.delivered);
    EXPECT_EQ(unplugged.osError, ENODEV);
    drive.Faults().unplugged = false;
    EXPECT_TRUE(SendOnBus(bus, onDrive, kInquiry, kIn, inquiry).delivered) << "the handle survives";

    bus.Detach('C');
    EXPECT_EQ(bus.DeviceAt('C'), nullptr);
    const CommandResult detached = SendOnBus(bus, onDisk, kInquiry, kIn, inquiry);
    EXPECT_FALSE(detached.delivered);
    EXPECT_EQ(detached.osError, ENODEV);

    const std::vector<TraceEntry> commands = bus.Commands();
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_FALSE(commands[0].delivered);
    EXPECT_TRUE(commands[1].delivered);
    EXPECT_FALSE(commands[2].delivered);
    EXPECT_EQ(commands[2].letter, 'C');
}

TEST(BusTrace, KeepsOnlyTheRecentPastOfALongRun) {
    SimulatedBus bus;
    bus.AttachDrive('E', FullDriveProfile());
    const DeviceHandle handle = bus.Open('E');
    Bytes none;
    for (std::size_t i = 0; i < SimulatedBus::kMaxTraceEntries + 10; ++i) {
        SendOnBus(bus, handle, kInquiry, kIn, none);
    }
    EXPECT_LE(bus.Trace().size(), SimulatedBus::kMaxTraceEntries);
    EXPECT_GT(bus.Trace().size(), SimulatedBus::kMaxTraceEntries / 2);
    EXPECT_EQ(bus.Trace().back().kind, TraceEntry::Kind::Command);
}

struct BusPowerCase {
    const char* name;
    BusPowerOutcome outcome;
    std::uint32_t configured;
    std::uint32_t expected;  // unused when the drive drops off
};

class BusPowerCheck : public ::testing::TestWithParam<BusPowerCase> {};

TEST_P(BusPowerCheck, ReportsItsOutcome) {
    const BusPowerCase& c = GetParam();
    SimulatedBus bus;
    SimulatedTavorenDrive& drive = bus.AttachDrive('E', FullDriveProfile());
    drive.SetBusPowerOutcome(c.outcome);
    drive.SetBusPowerResult(c.configured);
    const DeviceHandle handle = bus.Open('E');

    EXPECT_FALSE(drive.BusPowerCheckStarted());
    Bytes none;
    EXPECT_EQ(SenseOf(SendOnBus(bus, handle, kBusPowerStart, kOut, none)), kGood);
    EXPECT_TRUE(drive.BusPowerCheckStarted());

    Bytes result(8, 0xEE);
    const CommandResult read = SendOnBus(bus, handle, kBusPowerRead, kIn, result);
    if (c.outcome == BusPowerOutcome::DropsOffBus) {
        EXPECT_TRUE(drive.Faults().unplugged);
        EXPECT_FALSE(read.delivered);
        EXPECT_EQ(read.osError, ENODEV);
        EXPECT_EQ(bus.Open('E'), kInvalidDeviceHandle);
        drive.Faults().unplugged = false;
        EXPECT_NE(bus.Open('E'), kInvalidDeviceHandle) << "back once the test plugs it in";
        return;
    }
    ASSERT_EQ(SenseOf(read), kGood);
    EXPECT_EQ(Bytes(result.begin(), result.begin() + 4), Bytes(4, 0));
    const std::uint32_t value = std::uint32_t{result[4]} << 24 | std::uint32_t{result[5]} << 16 |
                                std::uint32_t{result[6]} << 8 | result[7];
    EXPECT_EQ(value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Drive, BusPowerCheck,
    ::testing::Values(BusPowerCase{"Pass", BusPowerOutcome::Pass, 0, 5200},
                      BusPowerCase{"Marginal", BusPowerOutcome::Marginal, 0, 4100},
                      BusPowerCase{"ConfiguredValueWins", BusPowerOutcome::Marginal, 0x01020304,
                                   0x01020304},
                      BusPowerCase{"DropsOffBus", BusPowerOutcome::DropsOffBus, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DemoBus, HoldsADiskAndTwoDrives) {
    const auto bus = MakeDemoBus();
    ASSERT_NE(bus->DeviceAt('C'), nullptr);
    EXPECT_EQ(bus->DriveAt('C'), nullptr) << "C is not a Tavoren drive";
    EXPECT_EQ(bus->DeviceAt('D'), nullptr);
    SimulatedTavorenDrive* full = bus->DriveAt('E');
    SimulatedTavorenDrive* basic = bus->DriveAt('F');
    ASSERT_NE(full, nullptr);
    ASSERT_NE(basic, nullptr);
    EXPECT_EQ(full->Profile().modelCode, "KMV 4461");
    EXPECT_EQ(basic->Profile().modelCode, "KMV 4410");
    EXPECT_FALSE(basic->HasDisc());

    ASSERT_TRUE(full->HasDisc());
    EXPECT_EQ(DiscPoll(*full), kMediumChanged);
    EXPECT_EQ(DiscPoll(*full), kBecomingReady);
    EXPECT_EQ(DiscPoll(*full), kBecomingReady);
    EXPECT_EQ(DiscPoll(*full), kGood);
    Send(*full, kEject, kNone, 0);
    EXPECT_TRUE(full->HasDisc()) << "the demo drive reloads after an eject";
}

class StateFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = std::filesystem::path(::testing::TempDir()) /
                 (std::string("sim_state_") +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
        std::filesystem::remove(m_path);
        m_bus.AttachDrive('E', FullDriveProfile());
        m_bus.AttachDrive('F', BasicDriveProfile());
        m_bus.Attach('C', MakeSimulatedDisk());
    }
    void TearDown() override { std::filesystem::remove(m_path); }

    void Write(const std::string& text) const { std::ofstream(m_path) << text; }
    std::string Path() const { return m_path.string(); }
    SimulatedTavorenDrive& E() { return *m_bus.DriveAt('E'); }

    SimulatedBus m_bus;

private:
    std::filesystem::path m_path;
};

TEST_F(StateFile, RoundTripsSavedSettingsAndAppliesThemAsAPowerCycle) {
    DriveSettings saved;
    saved.quietCode = 3;
    saved.veritraxOn = true;
    saved.veritraxModeByte = 0xFE;
    saved.realTimeVeritrax = true;
    saved.ledPattern = 5;
    saved.ledBrightness = 0;
    saved.ledBlinkCycle = 3;
    saved.usbDirectPattern = 1;
    E().SavedSettings() = saved;
    E().Settings().quietCode = 1;  // volatile only: not written
    DriveSettings basicSaved;
    basicSaved.quietCode = 0;
    m_bus.DriveAt('F')->SavedSettings() = basicSaved;
    ASSERT_TRUE(m_bus.SaveState(Path()));

    SimulatedBus restored;
    restored.AttachDrive('E', FullDriveProfile());
    restored.AttachDrive('F', BasicDriveProfile());
    ASSERT_TRUE(restored.LoadState(Path()));
    EXPECT_EQ(restored.DriveAt('E')->SavedSettings(), saved);
    EXPECT_EQ(restored.DriveAt('E')->Settings(), saved);
    EXPECT_EQ(restored.DriveAt('F')->SavedSettings(), basicSaved);
    EXPECT_EQ(restored.DriveAt('F')->Settings(), basicSaved);
}

TEST_F(StateFile, MissingFileAndUnattachedLettersChangeNothing) {
    const DriveSettings before = E().Settings();
    EXPECT_TRUE(m_bus.LoadState(Path()));
    EXPECT_EQ(E().Settings(), before);

    Write(
        "G quiet=0 veritrax=1 mode=8 realtime=1 led=1 brightness=1 cycle=1 usb=1\n"
        "C quiet=0 veritrax=1 mode=8 realtime=1 led=1 brightness=1 cycle=1 usb=1\n");
    EXPECT_TRUE(m_bus.LoadState(Path()));
    EXPECT_EQ(E().Settings(), before);
    EXPECT_EQ(E().SavedSettings(), before);
}

TEST_F(StateFile, AcceptsBlankLinesAnyKeyOrderAndCarriageReturns) {
    Write("\n  E usb=1 cycle=0 brightness=1 led=2 realtime=0 mode=8 veritrax=1 quiet=1\r\n\n");
    ASSERT_TRUE(m_bus.LoadState(Path()));
    EXPECT_EQ(E().SavedSettings().quietCode, 1);
    EXPECT_EQ(E().SavedSettings().veritraxModeByte, 8);
    EXPECT_EQ(E().Settings().ledPattern, 2);
    EXPECT_EQ(E().Settings().usbDirectPattern, 1);
}

TEST_F(StateFile, MalformedFilesAreRefusedWhole) {
    const std::string good =
        "E quiet=0 veritrax=1 mode=8 realtime=1 led=1 brightness=1 "
        "cycle=1 usb=1\n";
    const std::string malformed[] = {
        "E quiet=0 veritrax=1 mode=8 realtime=1 led=1 brightness=1 cycle=1\n",
        "E quiet=4 veritrax=1 mode=8 realtime=1 led=1 brightness=1 cycle=1 usb=1\n",
        "E quiet=0 veritrax=2 mode=8 realtime=1 led=1 brightness=1 cycle=1 usb=1\n",
        "E quiet=0 veritrax=1 mode=256 realtime=1 led=1 brightness=1 cycle=1 usb=1\n",
        "E quiet=x veritrax=1 mode=8 realtime=1 led=1 brightness=1 cycle=1 usb=1\n",
        "E quiet=-1 veritrax=1 mode=8 realtime=1 led=1 brightness=1 cycle=1 usb=1\n",
        "E quiet= veritrax=1 mode=8 realtime=1 led=1 brightness=1 cycle=1 usb=1\n",
        "E quiet=0 quiet=0 veritrax=1 mode=8 realtime=1 led=1 brightness=1 cycle=1 usb=1\n",
        "E quiet=0 veritrax=1 mode=8 realtime=1 led=1 brightness=1 cycle=1 usb=1 fan=1\n",
        "E quiet 0 veritrax=1 mode=8 realtime=1 led=1 brightness=1 cycle=1 usb=1\n",
        "e quiet=0 veritrax=1 mode=8 realtime=1 led=1 brightness=1 cycle=1 usb=1\n",
        "EF quiet=0 veritrax=1 mode=8 realtime=1 led=1 brightness=1 cycle=1 usb=1\n",
        good + good,
        good + "garbage\n",
    };
    const DriveSettings before = E().Settings();
    for (const std::string& text : malformed) {
        SCOPED_TRACE(text);
        Write(text);
        EXPECT_FALSE(m_bus.LoadState(Path()));
        EXPECT_EQ(E().Settings(), before);
        EXPECT_EQ(E().SavedSettings(), before);
    }
    Write(good);
    EXPECT_TRUE(m_bus.LoadState(Path())) << "the base line itself is well formed";
}

TEST_F(StateFile, UnwritablePathFailsToSave) {
    EXPECT_FALSE(m_bus.SaveState((std::filesystem::path(Path()) / "no" / "such").string()));
}

// The drive layer's transport on the simulated bus: unit attentions it resends, failures it
// classifies, requests the bus does not deliver.
class ThroughTransport : public ::testing::Test {
protected:
    void SetUp() override {
        auto bus = MakeDemoBus();
        m_bus = bus.get();
        m_previous = InstallDeviceBackend(std::move(bus));
        ASSERT_TRUE(OpenDrive('E'));
    }
    void TearDown() override {
        OpenDrive(0);
        InstallDeviceBackend(std::move(m_previous));
    }

    bool Poll() {
        std::array<std::uint8_t, 34> data{};
        return SendDriveCommand(kDiscInformation, GetCurrentDrive(), kIn, data.data(), 34);
    }

    SimulatedBus* m_bus = nullptr;

private:
    std::unique_ptr<DeviceBackend> m_previous;
};

TEST_F(ThroughTransport, MediumChangeIsResentAndSpinUpClassified) {
    EXPECT_FALSE(Poll());
    EXPECT_EQ(GetCurrentDrive().lastErrorClass, DriveErrorClass::BecomingReady);
    EXPECT_FALSE(Poll());
    EXPECT_TRUE(Poll());
    EXPECT_EQ(m_bus->Commands().size(), 4u) << "the medium change costs one resend";
}

TEST_F(ThroughTransport, StormEndsWithThePowerOnClass) {
    m_bus->DriveAt('E')->Faults().unitAttentionStorm = true;
    EXPECT_FALSE(Poll());
    EXPECT_EQ(GetCurrentDrive().lastErrorClass, DriveErrorClass::PowerOnReset);
}

TEST_F(ThroughTransport, UnpluggedDriveLooksLikeSuccessWithTheReasonKept) {
    m_bus->DriveAt('E')->Faults().unplugged = true;
    ClearLastDeliveryFailure();
    EXPECT_TRUE(Poll());
    EXPECT_EQ(LastDeliveryFailure().osError, ENODEV);
    EXPECT_FALSE(OpenDrive('E'));
}

}  // namespace
}  // namespace tavoren::sim

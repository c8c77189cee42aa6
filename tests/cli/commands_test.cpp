#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandContext.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/SettingCommands.h"
#include "cli/UtilityCommands.h"
#include "drive/ActiveBackend.h"
#include "drive/Clock.h"
#include "drive/CurrentDrive.h"
#include "drive/Transport.h"
#include "sim/SimulatedBus.h"

namespace tavoren::cli {
namespace {

using Command = int (*)(const CommandContext&, const SelectedDrive&);

// Lets the simulated bus through, except one opcode that the OS refuses with `error`.
struct Refusal {
    std::optional<std::uint8_t> opcode;
    int error = 0;
};

class RefusingBackend final : public DeviceBackend {
public:
    RefusingBackend(sim::SimulatedBus& bus, const Refusal& refusal)
        : m_bus(bus), m_refusal(refusal) {}

    DeviceHandle Open(char letter) override { return m_bus.Open(letter); }
    void Close(DeviceHandle handle) override { m_bus.Close(handle); }
    CommandResult Execute(DeviceHandle handle, const CommandRequest& request) override {
        if (m_refusal.opcode == request.cdb[0]) {
            return CommandResult::NotDelivered(m_refusal.error, "SG_IO");
        }
        return m_bus.Execute(handle, request);
    }
    DeviceHandle HoldMediaChangeNotification(char letter) override {
        return m_bus.HoldMediaChangeNotification(letter);
    }
    std::string DeviceName(char letter) const override { return m_bus.DeviceName(letter); }

private:
    sim::SimulatedBus& m_bus;
    const Refusal& m_refusal;
};

class CommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previousBackend =
            InstallDeviceBackend(std::make_unique<RefusingBackend>(m_bus, m_refusal));
        m_previousSleep = InstallSleepFunction([](std::chrono::milliseconds) {});
    }
    void TearDown() override {
        ReleaseMediaChangeNotification(GetCurrentDrive());
        CloseDrive(GetCurrentDrive());
        InstallDeviceBackend(std::move(m_previousBackend));
        InstallSleepFunction(std::move(m_previousSleep));
    }

    sim::SimulatedTavorenDrive& Attach(sim::DriveProfile profile) {
        return m_bus.AttachDrive('E', std::move(profile));
    }

    int Run(Command command, const Options& options) {
        OpenDrive('E');
        m_bus.ClearTrace();
        Console console(m_in, m_out);
        const CommandContext context{options, console, m_out, m_err};
        return command(context, SelectedDrive{'E', "E", "E : test drive"});
    }

    std::vector<sim::TraceEntry> Sent(std::uint8_t opcode) const {
        std::vector<sim::TraceEntry> sent;
        for (const sim::TraceEntry& entry : m_bus.Commands()) {
            if (entry.cdb[0] == opcode) sent.push_back(entry);
        }
        return sent;
    }

    bool HoldWasTaken() const {
        for (const sim::TraceEntry& entry : m_bus.Trace()) {
            if (entry.kind == sim::TraceEntry::Kind::HoldNotification) return true;
        }
        return false;
    }

    sim::SimulatedBus m_bus;
    Refusal m_refusal;
    std::istringstream m_in;
    std::ostringstream m_out;
    std::ostringstream m_err;

private:
    std::unique_ptr<DeviceBackend> m_previousBackend;
    SleepFunction m_previousSleep;
};

constexpr std::uint8_t kWriteBufferOpcode = 0x3B;
constexpr std::uint8_t kSetCdSpeedOpcode = 0xBB;
constexpr std::uint8_t kReadBufferOpcode = 0x3C;
constexpr std::uint8_t kReadDiscInformationOpcode = 0x51;

Options Quiet(QuietMode mode) {
    Options options;
    options.command = CommandKind::Quiet;
    options.quietMode = mode;
    return options;
}

Options Veritrax(VeritraxMode mode) {
    Options options;
    options.command = CommandKind::Veritrax;
    options.veritraxMode = mode;
    return options;
}

Options Led(LedRequest led) {
    Options options;
    options.command = CommandKind::Led;
    options.led = led;
    return options;
}

Options Confirmed(CommandKind command) {
    Options options;
    options.command = command;
    options.yes = true;
    return options;
}

struct BusPowerCase {
    const char* name;
    sim::BusPowerOutcome outcome;
    std::uint32_t result;
    bool discInDrive;
    bool yes;
    std::string typed;
    int exitStatus;
    std::string message;
    bool checkStarted;
};

class BusPowerCheckTest : public CommandTest, public ::testing::WithParamInterface<BusPowerCase> {};

TEST_P(BusPowerCheckTest, JudgesTheOutcomeAndReleasesTheHold) {
    const BusPowerCase& test = GetParam();
    sim::SimulatedTavorenDrive& drive = Attach(sim::FullDriveProfile());
    drive.SetBusPowerOutcome(test.outcome);
    drive.SetBusPowerResult(test.result);
    if (test.discInDrive) {
        drive.SetReloadAfterEject(true);
        drive.InsertDisc();
    }
    m_in.str(test.typed);
    Options options = Confirmed(CommandKind::BusPowerCheck);
    options.yes = test.yes;

    EXPECT_EQ(Run(RunBusPowerCheck, options), test.exitStatus);
    EXPECT_NE((m_out.str() + m_err.str()).find(test.message), std::string::npos)
        << m_out.str() << m_err.str();
    EXPECT_EQ(drive.BusPowerCheckStarted(), test.checkStarted);
    EXPECT_TRUE(HoldWasTaken());
    EXPECT_FALSE(m_bus.NotificationHeld('E'));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BusPowerCheckTest,
    ::testing::Values(BusPowerCase{"pass_just_above", sim::BusPowerOutcome::Pass, 4501, true, true,
                                   "", kExitOk, "OK: result 4501 is above 4500", true},
                      BusPowerCase{"marginal_at_threshold", sim::BusPowerOutcome::Marginal, 4500,
                                   true, true, "", kExitBusPowerMarginal,
                                   "OK: result 4500 is not above 4500", true},
                      BusPowerCase{"drive_drops_off", sim::BusPowerOutcome::DropsOffBus, 0, true,
                                   true, "", kExitBusPowerFailed, "NG", true},
                      BusPowerCase{"no_disc", sim::BusPowerOutcome::Pass, 0, false, true, "",
                                   kExitBusPowerFailed, "No disc is found.", false},
                      BusPowerCase{"enter_pressed", sim::BusPowerOutcome::Pass, 6000, true, false,
                                   "\n", kExitOk, "result 6000", true},
                      BusPowerCase{"input_ends_at_the_prompt", sim::BusPowerOutcome::Pass, 0, true,
                                   false, "", kExitNotConfirmed, "cancelled", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct NotTakenCase {
    const char* name;
    Command command;
    Options options;
    std::function<void(DriveSettingsBlock&)> drivesReport;
    std::string difference;
};

class NotTakenTest : public CommandTest, public ::testing::WithParamInterface<NotTakenCase> {};

TEST_P(NotTakenTest, ReportsWhatTheDriveHoldsInstead) {
    Attach(sim::FullDriveProfile()).SetBlockFilter([](DriveSettingsBlock& block, int) {
        GetParam().drivesReport(block);
    });
    EXPECT_EQ(Run(GetParam().command, GetParam().options), kExitNotTaken);
    EXPECT_NE(m_err.str().find(GetParam().difference), std::string::npos) << m_err.str();
    EXPECT_EQ(m_out.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotTakenTest,
    ::testing::Values(NotTakenCase{"quiet", RunQuiet, Quiet(QuietMode::Performance),
                                   [](DriveSettingsBlock& block) { block.bytes[2] = 2; },
                                   "quiet drive mode quiet instead of performance"},
                      NotTakenCase{"veritrax", RunVeritrax, Veritrax(VeritraxMode::Master),
                                   [](DriveSettingsBlock& block) { block.bytes[4] = 0; },
                                   "read-error mode off instead of master"},
                      NotTakenCase{"led_pattern", RunLed, Led({.pattern = 4}),
                                   [](DriveSettingsBlock& block) { block.bytes[31] = 0; },
                                   "LED pattern Blink1 instead of On"},
                      NotTakenCase{"usb_pattern", RunLed, Led({.usbDirectPattern = 1}),
                                   [](DriveSettingsBlock& block) { block.bytes[40] = 0; },
                                   "USB direct pattern On instead of Blink"},
                      NotTakenCase{"factory_reset", RunFactoryReset,
                                   Confirmed(CommandKind::FactoryReset),
                                   [](DriveSettingsBlock& block) { block.bytes[32] = 1; },
                                   "LED brightness 1 instead of 2"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    Command command;
    Options options;
    std::uint8_t refusedOpcode;
    int error;
    bool needsPrivileges;
    std::vector<std::uint8_t> notSent;
};

class OsRefusalTest : public CommandTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(OsRefusalTest, SaysWhyAndFails) {
    const RefusalCase& test = GetParam();
    sim::SimulatedTavorenDrive& drive = Attach(sim::FullDriveProfile());
    drive.InsertDisc();
    m_refusal = {test.refusedOpcode, test.error};

    EXPECT_EQ(Run(test.command, test.options), kExitNotTaken);
    EXPECT_NE(m_err.str().find(std::strerror(test.error)), std::string::npos) << m_err.str();
    EXPECT_EQ(m_err.str().find("more privileges") != std::string::npos, test.needsPrivileges)
        << m_err.str();
    for (const std::uint8_t opcode : test.notSent) {
        EXPECT_TRUE(Sent(opcode).empty()) << "opcode " << int{opcode};
    }
    EXPECT_FALSE(m_bus.NotificationHeld('E'));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OsRefusalTest,
    ::testing::Values(
        RefusalCase{"quiet_write_not_permitted",
                    RunQuiet,
                    Quiet(QuietMode::Off),
                    kSetCdSpeedOpcode,
                    EPERM,
                    true,
                    {}},
        RefusalCase{"led_write_io_error",
                    RunLed,
                    Led({.brightness = 0}),
                    kWriteBufferOpcode,
                    EIO,
                    false,
                    {}},
        RefusalCase{"settings_read_denied_sends_no_change",
                    RunVeritrax,
                    Veritrax(VeritraxMode::Perfect),
                    kReadBufferOpcode,
                    EACCES,
                    true,
                    {kSetCdSpeedOpcode, kWriteBufferOpcode}},
        RefusalCase{"show_read_denied", RunShow, Options{}, kReadBufferOpcode, EACCES, true, {}},
        RefusalCase{"force_eject_denied",
                    RunForceEject,
                    Confirmed(CommandKind::ForceEject),
                    kWriteBufferOpcode,
                    EACCES,
                    true,
                    {}},
        RefusalCase{"bus_power_check_stops_before_the_check",
                    RunBusPowerCheck,
                    Confirmed(CommandKind::BusPowerCheck),
                    kReadDiscInformationOpcode,
                    EPERM,
                    true,
                    {kWriteBufferOpcode}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandTest, LedWithoutUsbDirectModeSendsNoUsbPattern) {
    Attach(sim::LedDriveProfile());
    EXPECT_EQ(Run(RunLed, Led({.brightness = 0})), kExitOk) << m_err.str();
    const std::vector<sim::TraceEntry> writes = Sent(kWriteBufferOpcode);
    ASSERT_EQ(writes.size(), 1u);
    const std::vector<std::uint8_t>& page = writes[0].dataOut;
    ASSERT_GE(page.size(), 8u);
    EXPECT_EQ(page[3], 0);     // pattern kept
    EXPECT_EQ(page[4], 0);     // brightness given
    EXPECT_EQ(page[6], 2);     // blinking cycle kept
    EXPECT_EQ(page[7], 0xFF);  // no USB direct mode
}

TEST_F(CommandTest, LedRefusesWhatTheDriveLacks) {
    struct Case {
        sim::DriveProfile profile;
        LedRequest request;
        std::string message;
    };
    for (const Case& test : {Case{sim::LedDriveProfile(), {.usbDirectPattern = 0}, "USB direct"},
                             Case{sim::BasicDriveProfile(), {.pattern = 1}, "no LED control"}}) {
        CloseDrive(GetCurrentDrive());
        m_bus.Detach('E');
        Attach(test.profile);
        m_err.str("");
        EXPECT_EQ(Run(RunLed, Led(test.request)), kExitNoDrive);
        EXPECT_NE(m_err.str().find(test.message), std::string::npos) << m_err.str();
        EXPECT_TRUE(Sent(kWriteBufferOpcode).empty());
    }
}

}  // namespace
}  // namespace tavoren::cli

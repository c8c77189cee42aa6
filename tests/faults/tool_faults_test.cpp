// tavorenctl on a drive that fails under it: unplugged in the middle of a command, a storm of
// unit attentions, a disc that never becomes ready, garbage answers. Whatever happens the tool
// ends within its bounds, writes nothing it would not write on a healthy drive, and either
// reports what the drive really holds or fails with an error line.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "InProcessTool.h"
#include "ScheduledFaults.h"
#include "cli/DriveState.h"
#include "cli/ExitStatus.h"
#include "drive/CommandSet.h"
#include "drive/Transport.h"
#include "sim/SimulatedBus.h"

namespace tavoren::testing {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr std::uint8_t kStartStopUnit = 0x1B;
constexpr std::uint8_t kWriteBuffer = 0x3B;
constexpr std::uint8_t kSetCdSpeed = 0xBB;

// Two waits for a disc at their longest, then the countdown and the pause before the verdict.
constexpr milliseconds kSleepCap = seconds(2 * kMaxDiscReadyPolls + 26);
// Far above what any command sends, even with every request resent to its limit.
constexpr std::size_t kCommandCap = 2000;

// A command that changes the drive: the CDB and the bytes sent with it.
struct Write {
    Cdb cdb{};
    std::vector<std::uint8_t> data;
    bool operator==(const Write&) const = default;
};

void PrintTo(const Write& write, std::ostream* out) {
    *out << std::hex;
    for (const std::uint8_t byte : write.cdb) *out << ' ' << int{byte};
    // The page code and the settings a parameter page carries are all in its first bytes.
    constexpr std::size_t kShownDataBytes = 8;
    if (!write.data.empty()) *out << " data";
    for (std::size_t i = 0; i < std::min(write.data.size(), kShownDataBytes); ++i) {
        *out << ' ' << int{write.data[i]};
    }
}

struct Outcome {
    InProcessRun run;
    std::vector<Write> writes;  // resends of one request count once
    sim::DriveSettings settings;
    bool hasDisc = false;
    std::size_t commandsSent = 0;
    int openHandles = 0;
    bool mediaEventsHeld = false;
};

// A full-featured drive at E with a disc spinning up, set away from the factory defaults so
// that values written from a failed read (zeros) differ from what the drive holds; a disk at C
// that discovery probes on the way.
class Rig {
public:
    explicit Rig(bool discPutBack = false)
        : m_drive(m_bus.AttachDrive('E', sim::FullDriveProfile())) {
        m_bus.Attach('C', sim::MakeSimulatedDisk());
        sim::DriveSettings settings;
        settings.quietCode = 1;
        settings.veritraxOn = true;
        settings.veritraxModeByte = 0x08;
        settings.realTimeVeritrax = true;
        settings.ledPattern = 3;
        settings.ledBrightness = 1;
        settings.ledBlinkCycle = 3;
        settings.usbDirectPattern = 1;
        m_drive.Settings() = settings;
        m_drive.SavedSettings() = settings;
        m_drive.SetSpinUpPolls(2);
        m_drive.SetReloadAfterEject(discPutBack);
        m_drive.InsertDisc();
    }

    sim::SimulatedTavorenDrive& Drive() { return m_drive; }

    Outcome Run(const std::vector<std::string>& arguments, FaultWindow window = {}) {
        m_bus.ClearTrace();
        ScheduledFaults faults(m_bus, m_drive, window);
        Outcome outcome;
        outcome.run = RunInProcess(faults, arguments);
        outcome.commandsSent = faults.CommandsSent();
        for (const sim::TraceEntry& entry : m_bus.Commands()) {
            const std::uint8_t opcode = entry.cdb[0];
            if (opcode != kWriteBuffer && opcode != kSetCdSpeed && opcode != kStartStopUnit) {
                continue;
            }
            Write write{entry.cdb, entry.dataOut};
            if (outcome.writes.empty() || outcome.writes.back() != write) {
                outcome.writes.push_back(std::move(write));
            }
        }
        outcome.settings = m_drive.Settings();
        outcome.hasDisc = m_drive.HasDisc();
        outcome.openHandles = m_bus.OpenHandleCount();
        outcome.mediaEventsHeld = m_bus.NotificationHeld('E');
        return outcome;
    }

private:
    sim::SimulatedBus m_bus;
    sim::SimulatedTavorenDrive& m_drive;
};

bool IsSubsequence(const std::vector<Write>& part, const std::vector<Write>& whole) {
    auto next = whole.begin();
    for (const Write& write : part) {
        next = std::find(next, whole.end(), write);
        if (next == whole.end()) return false;
        ++next;
    }
    return true;
}

bool ClaimsSuccess(int exitStatus) {
    return exitStatus == cli::kExitOk || exitStatus == cli::kExitBusPowerMarginal;
}

// Every line on standard error names the tool, so a script's log says who failed.
void ExpectErrorLines(const std::string& err) {
    ASSERT_FALSE(err.empty());
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_TRUE(line.starts_with("tavorenctl: ")) << line;
    }
}

// What must hold after any fault, against the same command on a healthy drive.
void ExpectSafeEnd(const Outcome& faulted, const Outcome& healthy) {
    EXPECT_LE(faulted.run.slept, kSleepCap);
    EXPECT_LE(faulted.commandsSent, kCommandCap);
    EXPECT_EQ(faulted.openHandles, 0);
    EXPECT_FALSE(faulted.mediaEventsHeld);
    EXPECT_TRUE(IsSubsequence(faulted.writes, healthy.writes))
        << ::testing::PrintToString(faulted.writes) << "\nis not part of\n"
        << ::testing::PrintToString(healthy.writes);
    if (ClaimsSuccess(faulted.run.exitStatus)) {
        // Success is only ever the drive's real state, never one made up from a failed read.
        EXPECT_EQ(faulted.run.exitStatus, healthy.run.exitStatus);
        EXPECT_EQ(faulted.run.out, healthy.run.out);
        EXPECT_EQ(faulted.settings, healthy.settings);
        EXPECT_EQ(faulted.hasDisc, healthy.hasDisc);
    } else {
        ExpectErrorLines(faulted.run.err);
    }
}

struct ToolCommand {
    const char* name;
    std::vector<std::string> arguments;
    bool discPutBack = false;  // the user puts the disc back in when the tool asks for one
};

void PrintTo(const ToolCommand& command, std::ostream* out) { *out << command.name; }

const ToolCommand kCommands[] = {
    {"list", {"list"}},
    {"show", {"show"}},
    {"quiet", {"quiet", "quiet", "--save"}},
    {"veritrax", {"--drive", "E", "veritrax", "perfect"}},
    {"led", {"led", "--pattern", "blink2"}},
    {"factory_reset", {"factory-reset", "--yes"}},
    {"force_eject", {"force-eject", "--yes"}},
    {"bus_power_check", {"bus-power-check", "--yes"}, true},
};

struct FaultShape {
    const char* name;
    FaultKind kind;
    std::size_t length;
};

void PrintTo(const FaultShape& shape, std::ostream* out) { *out << shape.name; }

constexpr FaultShape kUnplugged{"unplugged", FaultKind::Unplugged, FaultWindow::kForever};
constexpr FaultShape kEndlessStorm{"endless_storm", FaultKind::UnitAttentionStorm,
                                   FaultWindow::kForever};
// One request's resends all answered with unit attentions.
constexpr FaultShape kLongStorm{"long_storm", FaultKind::UnitAttentionStorm,
                                kMaxUnitAttentionResends + 1};
constexpr FaultShape kShortStorm{"short_storm", FaultKind::UnitAttentionStorm,
                                 kMaxUnitAttentionResends / 2};

class FaultSweepTest : public ::testing::TestWithParam<std::tuple<ToolCommand, FaultShape>> {
protected:
    const ToolCommand& Command() const { return std::get<0>(GetParam()); }
    const std::vector<std::string>& Arguments() const { return Command().arguments; }
    const FaultShape& Shape() const { return std::get<1>(GetParam()); }
};

// The fault starts at every command of the run in turn, and once after the last.
TEST_P(FaultSweepTest, EndsSafelyWhereverTheFaultStarts) {
    const Outcome healthy = Rig(Command().discPutBack).Run(Arguments());
    ASSERT_TRUE(ClaimsSuccess(healthy.run.exitStatus)) << healthy.run.err;

    for (std::size_t first = 0; first <= healthy.commandsSent; ++first) {
        SCOPED_TRACE("fault from command " + std::to_string(first));
        const Outcome faulted =
            Rig(Command().discPutBack).Run(Arguments(), {Shape().kind, first, Shape().length});
        ExpectSafeEnd(faulted, healthy);
        if (Shape().kind == FaultKind::Unplugged && first < healthy.commandsSent) {
            // With the drive gone before the end, nothing the tool reports can be confirmed.
            EXPECT_FALSE(ClaimsSuccess(faulted.run.exitStatus)) << faulted.run.out;
        }
        if (Shape().length <= kMaxUnitAttentionResends / 2) {
            // The transport's resends absorb a few unit attentions in a row.
            EXPECT_EQ(faulted.run.exitStatus, healthy.run.exitStatus) << faulted.run.err;
            EXPECT_EQ(faulted.writes, healthy.writes);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultSweepTest,
                         ::testing::Combine(::testing::ValuesIn(kCommands),
                                            ::testing::Values(kUnplugged, kEndlessStorm, kLongStorm,
                                                              kShortStorm)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

TEST(StuckBecomingReadyTest, BusPowerCheckGivesUpWithinItsCapAndStartsNothing) {
    Rig rig;
    rig.Drive().Faults().stuckBecomingReady = true;
    const Outcome outcome = rig.Run({"bus-power-check", "--yes"});

    EXPECT_EQ(outcome.run.exitStatus, cli::kExitBusPowerFailed);
    EXPECT_EQ(outcome.run.err, "tavorenctl: E: No disc is found.\n");
    // Two waits for a disc, each a poll a second up to its limit.
    EXPECT_LE(outcome.run.slept, seconds(2 * (kMaxDiscReadyPolls - 1)));
    EXPECT_TRUE(outcome.writes.empty()) << ::testing::PrintToString(outcome.writes);
    EXPECT_FALSE(rig.Drive().BusPowerCheckStarted());
    EXPECT_TRUE(rig.Drive().HasDisc());
    EXPECT_FALSE(outcome.mediaEventsHeld);
    EXPECT_EQ(outcome.openHandles, 0);
}

TEST(GarbageReadsTest, ADriveAnsweringNoiseIsNotTakenForATavorenDrive) {
    for (const ToolCommand& command : kCommands) {
        SCOPED_TRACE(command.name);
        Rig rig;
        const sim::DriveSettings before = rig.Drive().Settings();
        rig.Drive().Faults().garbageReads = true;
        const Outcome outcome = rig.Run(command.arguments);

        EXPECT_EQ(outcome.run.exitStatus, cli::kExitNoDrive);
        ExpectErrorLines(outcome.run.err);
        EXPECT_TRUE(outcome.writes.empty()) << ::testing::PrintToString(outcome.writes);
        EXPECT_EQ(outcome.settings, before);
    }
}

// Which command, buffer and parameter page a write is, whatever values it carries.
std::vector<std::vector<std::uint8_t>> KindsOf(const std::vector<Write>& writes) {
    std::vector<std::vector<std::uint8_t>> kinds;
    for (const Write& write : writes) {
        std::vector<std::uint8_t> kind(write.cdb.begin(), write.cdb.begin() + 3);
        if (!write.data.empty()) kind.push_back(write.data.front());
        kinds.push_back(std::move(kind));
    }
    return kinds;
}

// Every settings block the drive returns is noise, a different one each read.
class GarbageBlockTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_rig.Drive().SetBlockFilter([this](DriveSettingsBlock& block, int readIndex) {
            std::uint32_t state = 0x9E3779B9u * static_cast<std::uint32_t>(readIndex + 1);
            for (std::uint8_t& byte : block.bytes) {
                state = state * 1664525u + 1013904223u;
                byte = static_cast<std::uint8_t>(state >> 24);
            }
            m_returned.push_back(block);
        });
    }

    Rig m_rig;
    std::vector<DriveSettingsBlock> m_returned;
};

TEST_F(GarbageBlockTest, ShowPrintsWhatTheDriveReturned) {
    const Outcome outcome = m_rig.Run({"show"});
    ASSERT_EQ(outcome.run.exitStatus, cli::kExitOk) << outcome.run.err;
    ASSERT_EQ(m_returned.size(), 1u);
    const cli::DriveState state = cli::DecodeDriveState(m_returned.front());
    EXPECT_NE(outcome.run.out.find(
                  "quiet drive mode:   " + std::string(cli::NameOf(state.quietMode)) + "\n"),
              std::string::npos)
        << outcome.run.out;
    EXPECT_NE(outcome.run.out.find(
                  "read-error mode:    " + std::string(cli::NameOf(state.veritraxMode)) + "\n"),
              std::string::npos)
        << outcome.run.out;
    EXPECT_TRUE(outcome.writes.empty());
}

// A change sends the same commands as on a healthy drive, and the read-back decides.
TEST_F(GarbageBlockTest, ChangesSendTheirOwnCommandsOnlyAndFailWhenTheReadBackDiffers) {
    const ToolCommand changes[] = {kCommands[2], kCommands[3], kCommands[4], kCommands[5]};
    for (const ToolCommand& command : changes) {
        SCOPED_TRACE(command.name);
        m_returned.clear();
        Rig healthyRig;
        const Outcome healthy = healthyRig.Run(command.arguments);
        const Outcome outcome = m_rig.Run(command.arguments);

        EXPECT_EQ(KindsOf(outcome.writes), KindsOf(healthy.writes));
        EXPECT_LE(outcome.commandsSent, kCommandCap);
        if (outcome.run.exitStatus != cli::kExitOk) {
            EXPECT_EQ(outcome.run.exitStatus, cli::kExitNotTaken);
            EXPECT_NE(outcome.run.err.find("the setting did not take"), std::string::npos)
                << outcome.run.err;
        }
    }
}

}  // namespace
}  // namespace tavoren::testing

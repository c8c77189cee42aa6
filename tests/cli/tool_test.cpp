#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ToolProcess.h"

namespace tavoren::testing {
namespace {

const std::string kReadSettings = "3C 01 F4 00 00 00 00 01 00 00 00 00 dir=in len=256";
const std::string kReadModelCode = "3C 02 F1 00 00 00 00 00 30 00 00 00 dir=in len=48";
const std::string kForceEject = "3B 02 E6 02 00 00 00 00 00 00 00 00 dir=out len=0";

std::string SetCdSpeed(const std::string& modeByte) {
    return "BB 00 00 00 FE 00 00 00 00 00 " + modeByte + " 00 dir=none len=0";
}

// A parameter page write; the trace shows the first 16 page bytes.
std::string ParameterPage(std::string leadingBytes) {
    while (leadingBytes.size() < 16 * 3 - 1) leadingBytes += " 00";
    return "3B 01 FA 00 00 00 00 01 00 00 00 00 dir=out len=256 data=" + leadingBytes;
}

const std::string kNameE = "E : TAVOREN BD-RE  KMV4461U 1.032026/10/1";
const std::string kNameF = "F : TAVOREN BD-RE  KMV4410U 1.032025/03/2";

// The requests traced after discovery or drive selection, without their results.
std::vector<std::string> RequestsAfterSelection(const std::string& trace) {
    std::vector<std::string> requests;
    bool selected = false;
    for (const std::string& line : Lines(trace)) {
        if (line.starts_with("# drive")) selected = true;
        if (!selected || !line.starts_with("cdb ")) continue;
        requests.push_back(line.substr(4, line.find(" -> ") - 4));
    }
    return requests;
}

// Polls and unit-attention resends show up as repeats of one request.
std::vector<std::string> WithoutRepeats(const std::vector<std::string>& requests) {
    std::vector<std::string> distinct;
    for (const std::string& request : requests) {
        if (distinct.empty() || distinct.back() != request) distinct.push_back(request);
    }
    return distinct;
}

class TavorenctlTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "tavorenctl-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string StatePath() const { return m_dir + "/state"; }
    std::string TracePath() const { return m_dir + "/trace"; }

    // On the simulated demo drives, with their saved state and a trace kept in the test's folder.
    ToolRun Run(std::vector<std::string> arguments, ToolInput input = ToolInput::NoTerminal,
                const std::string& typed = {}) const {
        arguments.insert(arguments.begin(), {"--simulate=" + StatePath(), "--trace", TracePath()});
        return RunTool(arguments, m_dir, input, typed);
    }
    std::string Trace() const { return ReadFile(TracePath()); }

    std::string m_dir;
};

struct OutputCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string expected;
};

class ReportOutputTest : public TavorenctlTest, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(ReportOutputTest, PrintsTheDrivesAsTheyAre) {
    const ToolRun run = Run(GetParam().arguments);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, GetParam().expected);
    EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportOutputTest,
    ::testing::Values(
        OutputCase{"list",
                   {"list"},
                   kNameE + "  [KMV 4461]  real-time: yes, LED: yes, USB direct mode: yes\n" +
                       kNameF + "  [KMV 4410]  real-time: no, LED: no, USB direct mode: no\n"},
        OutputCase{"list_json",
                   {"list", "--json"},
                   R"({"drives":[{"letter":"E","device":"E","name":")" + kNameE +
                       R"(","model":"KMV 4461","realTime":true,"ledControl":true,)"
                       R"("usbDirectMode":true},{"letter":"F","device":"F","name":")" +
                       kNameF +
                       R"(","model":"KMV 4410","realTime":false,"ledControl":false,)"
                       R"("usbDirectMode":false}]})"
                       "\n"},
        OutputCase{"show_default_drive",
                   {"show"},
                   "drive:              " + kNameE +
                       "\n"
                       "quiet drive mode:   quiet\n"
                       "read-error mode:    off\n"
                       "real-time:          on\n"
                       "LED pattern:        Blink1\n"
                       "LED brightness:     2\n"
                       "LED blinking cycle: 2\n"
                       "USB direct pattern: On\n"},
        OutputCase{"show_basic_drive",
                   {"--drive", "F", "show"},
                   "drive:              " + kNameF +
                       "\n"
                       "quiet drive mode:   quiet\n"
                       "read-error mode:    off\n"
                       "real-time:          off\n"},
        OutputCase{"show_json",
                   {"show", "--json", "--drive", "/dev/sr2"},
                   R"({"letter":"E","device":"E","name":")" + kNameE +
                       R"(","quietMode":"quiet","veritraxMode":"off","realTime":true,)"
                       R"("led":{"pattern":"Blink1","brightness":2,"blinkCycle":2},)"
                       R"("usbDirectPattern":"On"})"
                       "\n"},
        OutputCase{"show_json_basic_drive",
                   {"--json", "show", "--drive", "f"},
                   R"({"letter":"F","device":"F","name":")" + kNameF +
                       R"(","quietMode":"quiet","veritraxMode":"off","realTime":false,)"
                       R"("led":null,"usbDirectPattern":null})"
                       "\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct TraceCase {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> requests;
};

class CommandTraceTest : public TavorenctlTest, public ::testing::WithParamInterface<TraceCase> {};

TEST_P(CommandTraceTest, SendsExactlyTheCommandsOfTheOperation) {
    const ToolRun run = Run(GetParam().arguments);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(RequestsAfterSelection(Trace()), GetParam().requests);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandTraceTest,
    ::testing::Values(
        TraceCase{"list", {"list"}, {kReadModelCode, kReadSettings, kReadModelCode, kReadSettings}},
        TraceCase{"show", {"show"}, {kReadSettings}},
        TraceCase{"quiet_keeps_the_read_error_state",
                  {"quiet", "performance"},
                  {kReadSettings, SetCdSpeed("80"), SetCdSpeed("81"),
                   ParameterPage("01 80 00 00 00 00 01"), kReadSettings}},
        TraceCase{"quiet_saved",
                  {"quiet", "persistent", "--save"},
                  {kReadSettings, SetCdSpeed("82"), SetCdSpeed("C3"),
                   ParameterPage("01 80 00 00 00 00 01"), kReadSettings}},
        TraceCase{"quiet_off_without_real_time",
                  {"--drive", "F", "quiet", "off"},
                  {kReadSettings, SetCdSpeed("83"), SetCdSpeed("80"),
                   ParameterPage("01 80 00 00 00 00 00"), kReadSettings}},
        TraceCase{"veritrax_keeps_the_quiet_mode_unsaved",
                  {"veritrax", "master", "--real-time", "--save"},
                  {kReadSettings, SetCdSpeed("81"), SetCdSpeed("82"),
                   ParameterPage("01 80 01 08 40 01 01"), kReadSettings}},
        TraceCase{"veritrax_perfect",
                  {"--drive", "F", "veritrax", "perfect"},
                  {kReadSettings, SetCdSpeed("81"), SetCdSpeed("82"),
                   ParameterPage("01 80 01 FE 01 00 00"), kReadSettings}},
        TraceCase{"led_keeps_values_not_given",
                  {"led", "--pattern", "flicker", "--brightness", "1"},
                  {kReadSettings, ParameterPage("0E 00 00 03 01 00 02 00"), kReadSettings}},
        TraceCase{"led_cycle_and_usb_pattern",
                  {"led", "--cycle", "3", "--usb-pattern", "Blink"},
                  {kReadSettings, ParameterPage("0E 00 00 00 02 00 03 01"), kReadSettings}},
        TraceCase{"force_eject", {"force-eject", "--yes"}, {kForceEject}},
        TraceCase{"factory_reset",
                  {"factory-reset", "-y"},
                  {ParameterPage("0E 00 00 00 02 00 02 00"), SetCdSpeed("C2"),
                   ParameterPage("01 80 00 00 00 01 00"), kReadSettings}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TavorenctlTest, BusPowerCheckCountsDownAndPassesOnTheDemoDrive) {
    const ToolRun run = Run({"bus-power-check", "--yes"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;

    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Please insert a disc.  Any kind of a disc will do.");
    std::vector<int> shown;
    for (const std::string& line : lines) {
        const std::size_t at = line.find("rest ");
        if (at != std::string::npos) shown.push_back(std::atoi(line.c_str() + at + 5));
    }
    std::vector<int> countdown;
    for (int second = 24; second >= 0; --second) countdown.push_back(second);
    EXPECT_EQ(shown, countdown);
    EXPECT_EQ(lines.back(), "OK: result 5200 is above 4500: the drive works on USB bus power");

    const std::vector<std::string> expected = {
        "51 00 00 00 00 00 00 00 22 00 00 00 dir=in len=34",
        "1B 00 00 00 02 00 00 00 00 00 00 00 dir=none len=0",
        "51 00 00 00 00 00 00 00 22 00 00 00 dir=in len=34",
        "1B 00 00 00 00 00 00 00 00 00 00 00 dir=none len=0",
        "3B 02 E6 01 00 00 00 00 00 00 00 00 dir=out len=0",
        "12 00 00 00 FE 00 00 00 00 00 00 00 dir=in len=254",
        "3C 02 E6 01 00 00 00 00 08 00 00 00 dir=in len=8",
    };
    EXPECT_EQ(WithoutRepeats(RequestsAfterSelection(Trace())), expected);
    EXPECT_NE(Trace().find("hold media events E -> ok"), std::string::npos);
}

struct PersistenceCase {
    const char* name;
    std::vector<std::vector<std::string>> earlierRuns;
    std::string shownLater;
};

class PersistenceTest : public TavorenctlTest,
                        public ::testing::WithParamInterface<PersistenceCase> {};

TEST_P(PersistenceTest, ALaterRunSeesOnlyWhatWasSaved) {
    for (const std::vector<std::string>& arguments : GetParam().earlierRuns) {
        const ToolRun run = Run(arguments);
        ASSERT_EQ(run.exitStatus, 0) << run.err;
    }
    const ToolRun show = Run({"show"});
    ASSERT_EQ(show.exitStatus, 0) << show.err;
    const std::vector<std::string> lines = Lines(show.out);
    EXPECT_NE(std::find(lines.begin(), lines.end(), GetParam().shownLater), lines.end())
        << show.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PersistenceTest,
    ::testing::Values(
        PersistenceCase{"quiet_unsaved", {{"quiet", "performance"}}, "quiet drive mode:   quiet"},
        PersistenceCase{
            "quiet_saved", {{"quiet", "performance", "--save"}}, "quiet drive mode:   performance"},
        PersistenceCase{"unsaved_change_after_a_saved_one",
                        {{"quiet", "performance", "--save"}, {"quiet", "off"}},
                        "quiet drive mode:   performance"},
        PersistenceCase{"veritrax_unsaved", {{"veritrax", "master"}}, "read-error mode:    off"},
        PersistenceCase{
            "veritrax_saved", {{"veritrax", "master", "--save"}}, "read-error mode:    master"},
        PersistenceCase{"quiet_change_does_not_save_veritrax",
                        {{"veritrax", "perfect"}, {"quiet", "performance", "--save"}},
                        "read-error mode:    off"},
        PersistenceCase{
            "led_is_kept_at_once", {{"led", "--pattern", "on"}}, "LED pattern:        On"},
        PersistenceCase{"factory_reset_saves_the_defaults",
                        {{"quiet", "performance", "--save"}, {"factory-reset", "--yes"}},
                        "quiet drive mode:   quiet"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RejectedCase {
    const char* name;
    std::vector<std::string> arguments;
    int exitStatus;
};

class RejectedBeforeSendingTest : public TavorenctlTest,
                                  public ::testing::WithParamInterface<RejectedCase> {};

TEST_P(RejectedBeforeSendingTest, OneErrorLineAndNothingSent) {
    const ToolRun run = Run(GetParam().arguments);
    EXPECT_EQ(run.exitStatus, GetParam().exitStatus);
    EXPECT_EQ(run.out, "");
    const std::vector<std::string> errorLines = Lines(run.err);
    ASSERT_EQ(errorLines.size(), 1u) << run.err;
    EXPECT_TRUE(errorLines[0].starts_with("tavorenctl: ")) << run.err;
    EXPECT_EQ(Trace(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RejectedBeforeSendingTest,
    ::testing::Values(RejectedCase{"no_command", {}, 1},
                      RejectedCase{"unknown_command", {"frobnicate"}, 1},
                      RejectedCase{"brightness_too_high", {"led", "--brightness", "3"}, 1},
                      RejectedCase{"brightness_not_a_number", {"led", "--brightness", "max"}, 1},
                      RejectedCase{"cycle_too_high", {"led", "--cycle", "4"}, 1},
                      RejectedCase{"cycle_negative", {"led", "--cycle", "-1"}, 1},
                      RejectedCase{"unknown_pattern", {"led", "--pattern", "blink4"}, 1},
                      RejectedCase{"unknown_usb_pattern", {"led", "--usb-pattern", "flash"}, 1},
                      RejectedCase{"unknown_quiet_mode", {"quiet", "loud"}, 1},
                      RejectedCase{"missing_quiet_mode", {"quiet"}, 1},
                      RejectedCase{"unknown_veritrax_mode", {"veritrax", "fast"}, 1},
                      RejectedCase{"drive_letter_out_of_range", {"--drive", "B", "show"}, 1},
                      RejectedCase{"device_node_out_of_range", {"--drive", "/dev/sr24", "show"}, 1},
                      RejectedCase{"not_an_optical_node", {"--drive", "/dev/sda", "show"}, 1},
                      RejectedCase{"json_for_a_change", {"quiet", "off", "--json"}, 1},
                      RejectedCase{"option_of_another_command", {"show", "--save"}, 1},
                      RejectedCase{"force_eject_unconfirmed", {"force-eject"}, 6},
                      RejectedCase{"factory_reset_unconfirmed", {"factory-reset"}, 6},
                      RejectedCase{"bus_power_check_unconfirmed", {"bus-power-check"}, 6}),
    [](const auto& info) { return std::string(info.param.name); });

struct DriveRefusalCase {
    const char* name;
    std::vector<std::string> arguments;
    int exitStatus;
    std::string errorPart;
};

class DriveRefusalTest : public TavorenctlTest,
                         public ::testing::WithParamInterface<DriveRefusalCase> {};

TEST_P(DriveRefusalTest, SendsNoChange) {
    const ToolRun run = Run(GetParam().arguments);
    EXPECT_EQ(run.exitStatus, GetParam().exitStatus);
    EXPECT_NE(run.err.find(GetParam().errorPart), std::string::npos) << run.err;
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    for (const std::string& request : RequestsAfterSelection(Trace())) {
        EXPECT_EQ(request, kReadSettings);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DriveRefusalTest,
    ::testing::Values(
        DriveRefusalCase{"disk", {"--drive", "C", "show"}, 2, "C is not a supported Tavoren drive"},
        DriveRefusalCase{"empty_letter", {"--drive", "Z", "quiet", "off"}, 2, "drive Z"},
        DriveRefusalCase{"no_led_control",
                         {"--drive", "F", "led", "--pattern", "on"},
                         2,
                         "F has no LED control"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TavorenctlTest, ASettingTheDriveDoesNotTakeFails) {
    const ToolRun run = Run({"--drive", "F", "veritrax", "master", "--real-time"});
    EXPECT_EQ(run.exitStatus, 3);
    EXPECT_NE(run.err.find("real-time off instead of on"), std::string::npos) << run.err;
}

struct ConfirmationCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string typed;
    std::string question;
    std::string request;
    bool confirmed;
};

class TerminalConfirmationTest : public TavorenctlTest,
                                 public ::testing::WithParamInterface<ConfirmationCase> {};

TEST_P(TerminalConfirmationTest, SendsOnlyAfterYes) {
    const ConfirmationCase& test = GetParam();
    const ToolRun run = Run(test.arguments, ToolInput::Terminal, test.typed);
    EXPECT_EQ(run.exitStatus, test.confirmed ? 0 : 6) << run.err;
    EXPECT_NE(run.out.find(test.question + " [y/N] "), std::string::npos) << run.out;
    const std::vector<std::string> requests = RequestsAfterSelection(Trace());
    EXPECT_EQ(std::find(requests.begin(), requests.end(), test.request) != requests.end(),
              test.confirmed);
    if (!test.confirmed) {
        EXPECT_TRUE(requests.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TerminalConfirmationTest,
    ::testing::Values(
        ConfirmationCase{"eject_yes",
                         {"force-eject"},
                         "y\n",
                         "If the drive is under operation, incompleted task will be discarded. "
                         "Do you continue to eject the disc?",
                         kForceEject,
                         true},
        ConfirmationCase{"eject_no",
                         {"force-eject"},
                         "n\n",
                         "If the drive is under operation, incompleted task will be discarded. "
                         "Do you continue to eject the disc?",
                         kForceEject,
                         false},
        ConfirmationCase{"reset_yes",
                         {"factory-reset"},
                         "YES\n",
                         "Reset all of the settings to the factory default. OK?",
                         SetCdSpeed("C2"),
                         true},
        ConfirmationCase{"reset_by_default_not",
                         {"factory-reset"},
                         "\n",
                         "Reset all of the settings to the factory default. OK?",
                         SetCdSpeed("C2"),
                         false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TavorenctlTest, BusPowerCheckWaitsForEnterOnATerminal) {
    const ToolRun run = Run({"bus-power-check"}, ToolInput::Terminal, "\n");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("Press Enter"), std::string::npos) << run.out;
}

TEST_F(TavorenctlTest, AnUnreadableStateFileStopsBeforeAnyCommand) {
    std::ofstream(StatePath()) << "not a state file\n";
    const ToolRun run = Run({"show"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("state file"), std::string::npos) << run.err;
    EXPECT_EQ(Trace(), "");
}

TEST_F(TavorenctlTest, FilesThatCannotBeUsedAreUsageErrors) {
    const std::string missingFolder = m_dir + "/missing/file";
    const ToolRun trace = RunTool({"--simulate", "--trace", missingFolder, "show"}, m_dir);
    EXPECT_EQ(trace.exitStatus, 1);
    EXPECT_NE(trace.err.find("--trace: cannot open " + missingFolder), std::string::npos)
        << trace.err;
    EXPECT_EQ(trace.out, "");

    const ToolRun state = RunTool({"--simulate=" + missingFolder, "show"}, m_dir);
    EXPECT_EQ(state.exitStatus, 1);
    EXPECT_NE(state.err.find("cannot write the state file"), std::string::npos) << state.err;
}

TEST_F(TavorenctlTest, HelpDocumentsCommandsAndExitStatuses) {
    const ToolRun run = RunTool({"--help"}, m_dir);
    EXPECT_EQ(run.exitStatus, 0);
    for (const char* part :
         {"list", "show", "quiet", "veritrax", "led", "bus-power-check", "force-eject",
          "factory-reset", "same three commands", "Exit status", "6  not confirmed"}) {
        EXPECT_NE(run.out.find(part), std::string::npos) << part;
    }
}

TEST_F(TavorenctlTest, VersionIsTheProductVersion) {
    const ToolRun run = RunTool({"--version"}, m_dir);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out, "tavorenctl 1.2.0.003\n");
}

}  // namespace
}  // namespace tavoren::testing

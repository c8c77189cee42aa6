#include "cli/Options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/ExitStatus.h"

namespace tavoren::cli {
namespace {

struct DriveSpecCase {
    std::string spec;
    std::optional<char> letter;
};

class DriveSpecTest : public ::testing::TestWithParam<DriveSpecCase> {};

TEST_P(DriveSpecTest, MapsLettersAndOpticalNodes) {
    EXPECT_EQ(ParseDriveSpec(GetParam().spec), GetParam().letter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DriveSpecTest,
    ::testing::Values(DriveSpecCase{"C", 'C'}, DriveSpecCase{"z", 'Z'}, DriveSpecCase{"B", {}},
                      DriveSpecCase{"1", {}}, DriveSpecCase{"", {}}, DriveSpecCase{"EF", {}},
                      DriveSpecCase{"/dev/sr0", 'C'}, DriveSpecCase{"/dev/sr2", 'E'},
                      DriveSpecCase{"/dev/sr23", 'Z'}, DriveSpecCase{"/dev/sr24", {}},
                      DriveSpecCase{"/dev/sr", {}}, DriveSpecCase{"/dev/sr02", {}},
                      DriveSpecCase{"/dev/sr1x", {}}, DriveSpecCase{"/dev/sr-1", {}},
                      DriveSpecCase{"/dev/sr+1", {}}, DriveSpecCase{"/dev/sg0", {}},
                      DriveSpecCase{"/dev/sr100", {}}));

Options Parsed(const std::vector<std::string>& arguments) {
    const ParseOutcome outcome = ParseCommandLine(arguments);
    EXPECT_TRUE(outcome.options.has_value()) << outcome.text;
    return outcome.options.value_or(Options{});
}

TEST(ParseCommandLineTest, ReadsGlobalOptionsBeforeAndAfterTheCommand) {
    const Options before =
        Parsed({"--drive", "/dev/sr3", "--simulate=s.txt", "--trace", "t.txt", "--json", "show"});
    const Options after =
        Parsed({"show", "--json", "--trace", "t.txt", "--simulate=s.txt", "--drive", "/dev/sr3"});
    for (const Options& options : {before, after}) {
        EXPECT_EQ(options.command, CommandKind::Show);
        EXPECT_EQ(options.driveLetter, 'F');
        EXPECT_TRUE(options.simulate);
        EXPECT_EQ(options.stateFile, "s.txt");
        EXPECT_EQ(options.traceFile, "t.txt");
        EXPECT_TRUE(options.json);
    }
}

TEST(ParseCommandLineTest, SimulateNeedsNoStateFile) {
    const Options options = Parsed({"--simulate", "list"});
    EXPECT_EQ(options.command, CommandKind::List);
    EXPECT_TRUE(options.simulate);
    EXPECT_EQ(options.stateFile, "");
    EXPECT_FALSE(options.driveLetter.has_value());
}

TEST(ParseCommandLineTest, ReadsTheValuesOfEachChange) {
    const Options quiet = Parsed({"quiet", "Persistent", "--save"});
    EXPECT_EQ(quiet.command, CommandKind::Quiet);
    EXPECT_EQ(quiet.quietMode, QuietMode::PersistentQuiet);
    EXPECT_TRUE(quiet.save);

    const Options veritrax = Parsed({"veritrax", "master", "--real-time"});
    EXPECT_EQ(veritrax.command, CommandKind::Veritrax);
    EXPECT_EQ(veritrax.veritraxMode, VeritraxMode::Master);
    EXPECT_TRUE(veritrax.realTime);
    EXPECT_FALSE(veritrax.save);

    const Options led = Parsed({"led", "--pattern", "FLICKER", "--cycle", "0"});
    EXPECT_EQ(led.led.pattern, std::uint8_t{3});
    EXPECT_EQ(led.led.blinkCycle, std::uint8_t{0});
    EXPECT_FALSE(led.led.brightness.has_value());
    EXPECT_FALSE(led.led.usbDirectPattern.has_value());

    const Options usb = Parsed({"led", "--usb-pattern", "blink", "--brightness", "2"});
    EXPECT_EQ(usb.led.usbDirectPattern, std::uint8_t{1});
    EXPECT_EQ(usb.led.brightness, std::uint8_t{2});
    EXPECT_FALSE(usb.led.pattern.has_value());

    EXPECT_TRUE(Parsed({"factory-reset", "--yes"}).yes);
}

struct BadInputCase {
    std::vector<std::string> arguments;
    std::string messagePart;
};

class BadInputTest : public ::testing::TestWithParam<BadInputCase> {};

TEST_P(BadInputTest, GivesOneUsageLineAndNoOptions) {
    const ParseOutcome outcome = ParseCommandLine(GetParam().arguments);
    EXPECT_FALSE(outcome.options.has_value());
    EXPECT_EQ(outcome.exitStatus, kExitUsage);
    EXPECT_TRUE(outcome.text.starts_with("tavorenctl: ")) << outcome.text;
    EXPECT_EQ(outcome.text.find('\n'), outcome.text.size() - 1) << outcome.text;
    EXPECT_NE(outcome.text.find(GetParam().messagePart), std::string::npos) << outcome.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInputTest,
    ::testing::Values(
        BadInputCase{{}, "a command is required"}, BadInputCase{{"show", "extra"}, "extra"},
        BadInputCase{{"--drive", "Q9", "show"}, "'Q9'"}, BadInputCase{{"frobnicate"}, "frobnicate"},
        BadInputCase{{"led", "--brightness", "7"}, "--brightness"},
        BadInputCase{{"led", "--brightness", "1.5"}, "--brightness"},
        BadInputCase{{"led", "--brightness", "99999999999999999999"}, "--brightness"},
        BadInputCase{{"led", "--cycle", ""}, "--cycle"},
        BadInputCase{{"led", "--pattern", "blink"}, "--pattern"},
        BadInputCase{{"led", "--usb-pattern", "off"}, "--usb-pattern"},
        BadInputCase{{"quiet", "silent"}, "silent"}, BadInputCase{{"veritrax"}, "mode"},
        BadInputCase{{"veritrax", "master", "--save", "--json"}, "--json"},
        BadInputCase{{"bus-power-check", "--json"}, "--json"},
        BadInputCase{{"list", "--yes"}, "--yes"}, BadInputCase{{"--trace"}, "--trace"},
        BadInputCase{{std::string("sho\0w", 5)}, "sho"}, BadInputCase{{"--drive"}, "--drive"},
        BadInputCase{{"show", "--drive", "E", "--drive", "F"}, "--drive"}));

TEST(ParseCommandLineTest, HelpAndVersionGoToStandardOutput) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--help"}, {"led", "--help"}, {"--version"}}) {
        const ParseOutcome outcome = ParseCommandLine(arguments);
        EXPECT_FALSE(outcome.options.has_value());
        EXPECT_EQ(outcome.exitStatus, kExitOk);
        EXPECT_FALSE(outcome.text.empty());
    }
    EXPECT_NE(ParseCommandLine({"led", "--help"}).text.find("--usb-pattern"), std::string::npos);
}

}  // namespace
}  // namespace tavoren::cli

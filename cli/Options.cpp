#include "cli/Options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <charconv>

#include "cli/DriveState.h"
#include "cli/ExitStatus.h"
#include "drive/DriveTypes.h"

namespace tavoren::cli {
namespace {

constexpr std::string_view kOpticalNodePrefix = "/dev/sr";

constexpr const char* kDescription =
    "Inspects and changes the settings stored in Tavoren USB Blu-ray drives.";

constexpr const char* kFooter = R"(
Each change of the quiet-drive or read-error setting sends the same three commands the
Setting page of the GUI sends: the transient quiet mode, the quiet mode, then the
read-error settings, each carrying the drive's current value for the part not being
changed. After every change the drive is read back; a setting that did not take fails.

--simulate runs on simulated drives (a disk at C, a full-featured drive at E, a basic
drive at F) in simulated time: pauses, the bus-power countdown included, take no time.
With STATEFILE, what a run saved to a drive is there in the next run; what it left
unsaved is gone, as after a power cycle.

Exit status:
  0  success
  1  invalid command line or value, or a trace or state file that cannot be used
  2  no supported drive, a drive that is not a supported one, or a feature it lacks
  3  the operating system refused a request, the drive failed a command, or the drive
     did not take the setting
  4  bus-power check passed with a result at or below 4500 (marginal)
  5  bus-power check: no disc found, or the drive stopped answering (NG)
  6  not confirmed: answered no, or no terminal and no --yes)";

// Accepts the names of `table` in any case; the lookups after parsing rely on it.
template <typename Value>
CLI::Validator OneOf(std::span<const NamedValue<Value>> table) {
    return CLI::Validator(
        [table](std::string& input) -> std::string {
            if (FindNamed(table, input)) return {};
            std::string names;
            for (const auto& entry : table) {
                names += names.empty() ? "" : ", ";
                names += entry.name;
            }
            return "'" + input + "' is not one of " + names;
        },
        "");
}

template <typename Value>
Value ValidatedValue(std::span<const NamedValue<Value>> table, const std::string& name) {
    return FindNamed(table, name).value();
}

CLI::App* AddSubcommand(CLI::App& app, const char* name, const char* description) {
    CLI::App* command = app.add_subcommand(name, description);
    command->fallthrough();
    return command;
}

// Every parsed value lands here; Options is filled from it once CLI11 is done.
struct RawArguments {
    std::string drive;
    std::string simulate;
    std::string trace;
    bool json = false;
    bool yes = false;
    bool save = false;
    bool realTime = false;
    std::string quietMode;
    std::string veritraxMode;
    std::string ledPattern;
    int brightness = 0;
    int blinkCycle = 0;
    std::string usbPattern;
};

struct CommandLine {
    CLI::App app{kDescription, kToolName};
    RawArguments raw;
    CLI::Option* drive = nullptr;
    CLI::Option* simulate = nullptr;
    CLI::Option* trace = nullptr;
    CLI::Option* ledPattern = nullptr;
    CLI::Option* brightness = nullptr;
    CLI::Option* blinkCycle = nullptr;
    CLI::Option* usbPattern = nullptr;
    std::vector<std::pair<CLI::App*, CommandKind>> commands;

    CommandLine() {
        // Checked after parsing, so that an unknown command is named as such.
        app.require_subcommand(0, 1);
        app.set_version_flag("--version", std::string(kToolName) + " " + kToolVersion);
        app.footer(kFooter);
        drive = app.add_option("--drive", raw.drive,
                               "Drive letter C..Z or device node /dev/srN (default: the first "
                               "supported drive)");
        drive->type_name("LETTER|DEVICE");
        simulate = app.add_option("--simulate", raw.simulate,
                                  "Run on simulated drives; STATEFILE keeps what they saved")
                       ->expected(0, 1)
                       ->type_name("[=STATEFILE]");
        app.add_flag("--json", raw.json, "JSON output (list and show)");
        trace =
            app.add_option("--trace", raw.trace, "Append every command sent and its result to FILE")
                ->type_name("FILE");

        Add(AddSubcommand(app, "list", "List the supported drives with their capabilities"),
            CommandKind::List);
        Add(AddSubcommand(app, "show", "Show the drive's current settings"), CommandKind::Show);
        AddQuiet();
        AddVeritrax();
        AddLed();
        AddConfirmed(AddSubcommand(app, "bus-power-check",
                                   "Check whether the drive works on USB bus power (about 26 s)"),
                     CommandKind::BusPowerCheck);
        AddConfirmed(AddSubcommand(app, "force-eject",
                                   "Eject the disc forcibly, discarding unfinished drive work"),
                     CommandKind::ForceEject);
        AddConfirmed(AddSubcommand(app, "factory-reset",
                                   "Reset all of the drive's settings to the factory default"),
                     CommandKind::FactoryReset);
    }

    void Add(CLI::App* command, CommandKind kind) { commands.emplace_back(command, kind); }

    void AddConfirmed(CLI::App* command, CommandKind kind) {
        const char* help = kind == CommandKind::BusPowerCheck
                               ? "Do not wait for Enter after asking for a disc"
                               : "Do not ask for confirmation";
        command->add_flag("-y,--yes", raw.yes, help);
        Add(command, kind);
    }

    void AddQuiet() {
        CLI::App* quiet = AddSubcommand(app, "quiet", "Set the quiet-drive (Calmspin) mode");
        quiet->add_option("mode", raw.quietMode, "off, quiet, performance or persistent")
            ->required()
            ->check(OneOf(QuietModeNames()));
        quiet->add_flag("--save", raw.save, "Keep the setting across power cycles");
        Add(quiet, CommandKind::Quiet);
    }

    void AddVeritrax() {
        CLI::App* veritrax = AddSubcommand(app, "veritrax", "Set the read-error (Veritrax) mode");
        veritrax->add_option("mode", raw.veritraxMode, "off, master or perfect")
            ->required()
            ->check(OneOf(VeritraxModeNames()));
        veritrax->add_flag("--real-time", raw.realTime, "Real-time Veritrax");
        veritrax->add_flag("--save", raw.save, "Keep the setting across power cycles");
        Add(veritrax, CommandKind::Veritrax);
    }

    void AddLed() {
        CLI::App* led =
            AddSubcommand(app, "led", "Set the LEDs; values not given keep what the drive holds");
        ledPattern = led->add_option("--pattern", raw.ledPattern, "Lighting pattern with no disc")
                         ->check(OneOf(LedPatternNames()))
                         ->type_name("blink1|blink2|blink3|flicker|on|off");
        brightness = led->add_option("--brightness", raw.brightness, "Brightness")
                         ->check(CLI::Range(0, 2).description(""))
                         ->type_name("0-2");
        blinkCycle = led->add_option("--cycle", raw.blinkCycle, "Blinking cycle")
                         ->check(CLI::Range(0, 3).description(""))
                         ->type_name("0-3");
        usbPattern =
            led->add_option("--usb-pattern", raw.usbPattern, "Lighting pattern in USB direct mode")
                ->check(OneOf(UsbDirectPatternNames()))
                ->type_name("on|blink");
        Add(led, CommandKind::Led);
    }

    std::optional<CommandKind> ChosenCommand() const {
        for (const auto& [command, kind] : commands) {
            if (command->parsed()) return kind;
        }
        return std::nullopt;
    }

    LedRequest Led() const {
        LedRequest led;
        if (ledPattern->count() > 0) {
            led.pattern = ValidatedValue(LedPatternNames(), raw.ledPattern);
        }
        if (brightness->count() > 0) led.brightness = static_cast<std::uint8_t>(raw.brightness);
        if (blinkCycle->count() > 0) led.blinkCycle = static_cast<std::uint8_t>(raw.blinkCycle);
        if (usbPattern->count() > 0) {
            led.usbDirectPattern = ValidatedValue(UsbDirectPatternNames(), raw.usbPattern);
        }
        return led;
    }
};

ParseOutcome Failure(const std::string& message) {
    return {std::nullopt, kExitUsage,
            std::string(kToolName) + ": " + message + " (see " + kToolName + " --help)\n"};
}

}  // namespace

std::optional<char> ParseDriveSpec(const std::string& spec) {
    if (spec.size() == 1) {
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(spec[0])));
        if (IsDriveLetter(letter)) return letter;
        return std::nullopt;
    }
    if (!spec.starts_with(kOpticalNodePrefix)) return std::nullopt;
    const std::string_view digits = std::string_view(spec).substr(kOpticalNodePrefix.size());
    const bool allDigits = std::ranges::all_of(
        digits, [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
    // No sign and no leading zero: the kernel names the nodes sr0, sr1, ...
    if (digits.empty() || digits.size() > 2 || !allDigits ||
        (digits.size() == 2 && digits[0] == '0')) {
        return std::nullopt;
    }
    int index = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (index > kLastDriveLetter - kFirstDriveLetter) return std::nullopt;
    return static_cast<char>(kFirstDriveLetter + index);
}

bool AsksForConfirmation(CommandKind command) {
    return command == CommandKind::BusPowerCheck || command == CommandKind::ForceEject ||
           command == CommandKind::FactoryReset;
}

ParseOutcome ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    try {
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        line.app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        return {std::nullopt, kExitOk, line.app.help()};
    } catch (const CLI::CallForVersion& version) {
        return {std::nullopt, kExitOk, std::string(version.what()) + "\n"};
    } catch (const CLI::ParseError& error) {
        return Failure(error.what());
    }

    const std::optional<CommandKind> command = line.ChosenCommand();
    if (!command) {
        return Failure(
            "a command is required: list, show, quiet, veritrax, led, "
            "bus-power-check, force-eject or factory-reset");
    }
    Options options;
    options.command = *command;
    const RawArguments& raw = line.raw;
    if (line.drive->count() > 0) {
        options.driveLetter = ParseDriveSpec(raw.drive);
        if (!options.driveLetter) {
            return Failure(
                "--drive: '" + raw.drive +
                "' is neither a drive letter C..Z nor a device node /dev/sr0../dev/sr23");
        }
    }
    if (line.trace->count() > 0 && raw.trace.empty()) return Failure("--trace: no file named");
    if (raw.json && options.command != CommandKind::List && options.command != CommandKind::Show) {
        return Failure("--json: only list and show have JSON output");
    }
    options.simulate = line.simulate->count() > 0;
    options.stateFile = raw.simulate;
    options.traceFile = raw.trace;
    options.json = raw.json;
    options.yes = raw.yes;
    options.save = raw.save;
    options.realTime = raw.realTime;
    if (options.command == CommandKind::Quiet) {
        options.quietMode = ValidatedValue(QuietModeNames(), raw.quietMode);
    }
    if (options.command == CommandKind::Veritrax) {
        options.veritraxMode = ValidatedValue(VeritraxModeNames(), raw.veritraxMode);
    }
    options.led = line.Led();
    return {options, kExitOk, {}};
}

}  // namespace tavoren::cli

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "drive/CommandSet.h"

namespace tavoren::cli {

inline constexpr const char* kToolName = "tavorenctl";
inline constexpr const char* kToolVersion = "1.2.0.003";

enum class CommandKind {
    List,
    Show,
    Quiet,
    Veritrax,
    Led,
    BusPowerCheck,
    ForceEject,
    FactoryReset,
};

// LED values the user gave; the others keep what the drive reports.
struct LedRequest {
    std::optional<std::uint8_t> pattern{};
    std::optional<std::uint8_t> brightness{};
    std::optional<std::uint8_t> blinkCycle{};
    std::optional<std::uint8_t> usbDirectPattern{};
};

struct Options {
    CommandKind command = CommandKind::List;
    std::optional<char> driveLetter;  // none: the first supported drive
    bool simulate = false;
    std::string stateFile;  // simulated drives' saved settings; empty: none kept
    std::string traceFile;  // empty: no trace
    bool json = false;
    bool yes = false;
    bool save = false;
    QuietMode quietMode = QuietMode::Quiet;
    VeritraxMode veritraxMode = VeritraxMode::Off;
    bool realTime = false;
    LedRequest led;
};

// The result of reading the command line: options to run, or text to print and a status.
struct ParseOutcome {
    std::optional<Options> options;
    int exitStatus = 0;
    std::string text;  // help or version (status 0, stdout), else one error line (stderr)
};

// `arguments` excludes the program name. Never throws.
ParseOutcome ParseCommandLine(const std::vector<std::string>& arguments);

// A drive letter C..Z (either case), or /dev/srN for letter 'C'+N.
std::optional<char> ParseDriveSpec(const std::string& spec);

bool AsksForConfirmation(CommandKind command);

}  // namespace tavoren::cli

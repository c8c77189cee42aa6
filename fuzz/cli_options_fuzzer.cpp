// tavorenctl's command line, whatever the user types: arguments are the input's pieces
// between zero bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/ExitStatus.h"
#include "cli/Options.h"
#include "drive/DriveTypes.h"
#include "fuzz/FuzzSupport.h"

namespace tavoren::fuzz {
namespace {

constexpr std::size_t kMaxArguments = 24;

std::vector<std::string> SplitArguments(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size && arguments.size() <= kMaxArguments; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back().push_back(static_cast<char>(data[i]));
        }
    }
    if (arguments.size() > kMaxArguments) arguments.pop_back();
    return arguments;
}

bool IsOneErrorLine(const std::string& text) {
    return text.starts_with(std::string(cli::kToolName) + ": ") && text.ends_with('\n');
}

void CheckOptions(const cli::Options& options) {
    if (options.driveLetter) FUZZ_CHECK(IsDriveLetter(*options.driveLetter));
    if (options.json) {
        FUZZ_CHECK(options.command == cli::CommandKind::List ||
                   options.command == cli::CommandKind::Show);
    }
    // Values outside what the drive knows never get as far as a command.
    const cli::LedRequest& led = options.led;
    if (led.pattern) FUZZ_CHECK(*led.pattern <= 5);
    if (led.brightness) FUZZ_CHECK(*led.brightness <= 2);
    if (led.blinkCycle) FUZZ_CHECK(*led.blinkCycle <= 3);
    if (led.usbDirectPattern) FUZZ_CHECK(*led.usbDirectPattern <= 1);
    if (!options.simulate) FUZZ_CHECK(options.stateFile.empty());
}

}  // namespace
}  // namespace tavoren::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavoren;
    const std::vector<std::string> arguments = fuzz::SplitArguments(data, size);
    const cli::ParseOutcome outcome = cli::ParseCommandLine(arguments);
    if (outcome.options) {
        FUZZ_CHECK(outcome.exitStatus == cli::kExitOk && outcome.text.empty());
        fuzz::CheckOptions(*outcome.options);
    } else if (outcome.exitStatus == cli::kExitOk) {
        FUZZ_CHECK(!outcome.text.empty());  // help or version
    } else {
        FUZZ_CHECK(outcome.exitStatus == cli::kExitUsage);
        FUZZ_CHECK(fuzz::IsOneErrorLine(outcome.text));
    }
    for (const std::string& argument : arguments) {
        const std::optional<char> letter = cli::ParseDriveSpec(argument);
        if (letter) FUZZ_CHECK(IsDriveLetter(*letter));
    }
    return 0;
}

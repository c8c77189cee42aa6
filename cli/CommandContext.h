#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Console.h"
#include "cli/Options.h"

namespace tavoren::cli {

struct CommandContext {
    const Options& options;
    Console& console;
    std::ostream& out;
    std::ostream& err;
};

// Prints one error line and returns `status`.
int Fail(const CommandContext& context, int status, const std::string& message);

// A change that stopped at a write the drive failed or the OS refused: kExitNotTaken with
// the reason.
int WriteFailed(const CommandContext& context, const std::string& deviceName);

// One value read back after a change, against the value sent.
struct ReadBack {
    std::string what;
    std::string sent;
    std::string reported;
};

// After a change: kExitNotTaken with the reason when the OS refused a request since the last
// ClearLastDeliveryFailure, the read-back failed (`readBackAccepted`, its transport result, is
// false) or the drive reports other values; kExitOk otherwise.
int ConfirmTaken(const CommandContext& context, const std::string& deviceName,
                 bool readBackAccepted, const std::vector<ReadBack>& values);

}  // namespace tavoren::cli

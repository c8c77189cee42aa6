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

// One value read back after a change, against the value sent.
struct ReadBack {
    std::string what;
    std::string sent;
    std::string reported;
};

// After a change: kExitNotTaken with the reason when the OS refused a request since the last
// ClearLastDeliveryFailure or the drive reports other values; kExitOk otherwise.
int ConfirmTaken(const CommandContext& context, const std::string& deviceName,
                 const std::vector<ReadBack>& values);

}  // namespace tavoren::cli

#pragma once

namespace tavoren::cli {

// The process exit statuses, listed in --help; scripts rely on them.
enum ExitStatus : int {
    kExitOk = 0,
    kExitUsage = 1,             // bad command line, invalid value, unusable trace or state file
    kExitNoDrive = 2,           // no supported drive, unknown drive, or a feature the drive lacks
    kExitNotTaken = 3,          // the OS refused a request, the drive failed one, or reports
                                // another value
    kExitBusPowerMarginal = 4,  // bus-power check result at or below the threshold
    kExitBusPowerFailed = 5,    // bus-power check: no disc, or the drive stopped answering
    kExitNotConfirmed = 6,      // confirmation refused or impossible (no terminal, no --yes)
};

}  // namespace tavoren::cli

#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "drive/DeviceBackend.h"

namespace tavoren::testing {

struct InProcessRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
    std::chrono::milliseconds slept{0};  // what the tool asked to sleep, none of it real
};

// Runs tavorenctl's command line through RunTool in this process, on `backend` instead of the
// backend the tool would choose. Confirmed commands need --yes, since standard input is empty
// and not a terminal.
InProcessRun RunInProcess(DeviceBackend& backend, const std::vector<std::string>& arguments);

}  // namespace tavoren::testing

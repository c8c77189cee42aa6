#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "drive/DeviceBackend.h"

namespace tavoren::cli {

// The whole tool: parses `arguments` (without the program name), runs the command and
// returns the exit status. A `backend` given replaces the one the options choose (see
// BackendSession::Start), so that tests can run the tool on drives of their own.
int RunTool(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
            std::ostream& err, std::unique_ptr<DeviceBackend> backend = nullptr);

}  // namespace tavoren::cli

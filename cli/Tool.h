#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tavoren::cli {

// The whole tool: parses `arguments` (without the program name), runs the command and
// returns the exit status.
int RunTool(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
            std::ostream& err);

}  // namespace tavoren::cli

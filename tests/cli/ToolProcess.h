#pragma once

#include <string>
#include <vector>

namespace tavoren::testing {

struct ToolRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Where the tool's standard input comes from.
enum class ToolInput {
    NoTerminal,  // /dev/null
    Terminal,    // a pseudo-terminal that holds `typed`
};

// Runs the real tavorenctl binary and waits for it; output goes through files in `workDir`.
ToolRun RunTool(const std::vector<std::string>& arguments, const std::string& workDir,
                ToolInput input = ToolInput::NoTerminal, const std::string& typed = {});

std::string ReadFile(const std::string& path);
std::vector<std::string> Lines(const std::string& text);

}  // namespace tavoren::testing

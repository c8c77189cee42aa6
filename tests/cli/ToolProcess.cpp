#include "ToolProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace tavoren::testing {
namespace {

// A pseudo-terminal whose input already holds what the user typed.
class TypedTerminal {
public:
    explicit TypedTerminal(const std::string& typed) {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        m_slave = open(ptsname(m_master), O_RDWR | O_NOCTTY);
        if (m_slave < 0) throw std::runtime_error("cannot open the pseudo-terminal");
        if (write(m_master, typed.data(), typed.size()) != static_cast<ssize_t>(typed.size())) {
            throw std::runtime_error("cannot type into the pseudo-terminal");
        }
    }
    ~TypedTerminal() {
        if (m_slave >= 0) close(m_slave);
        if (m_master >= 0) close(m_master);
    }
    TypedTerminal(const TypedTerminal&) = delete;
    TypedTerminal& operator=(const TypedTerminal&) = delete;

    int Slave() const { return m_slave; }

private:
    int m_master = -1;
    int m_slave = -1;
};

}  // namespace

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

ToolRun RunTool(const std::vector<std::string>& arguments, const std::string& workDir,
                ToolInput input, const std::string& typed) {
    const std::string outPath = workDir + "/stdout";
    const std::string errPath = workDir + "/stderr";
    std::vector<std::string> argv = {TAVORENCTL_PATH};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> argvPointers;
    for (std::string& argument : argv) argvPointers.push_back(argument.data());
    argvPointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    std::unique_ptr<TypedTerminal> terminal;
    if (input == ToolInput::Terminal) {
        terminal = std::make_unique<TypedTerminal>(typed);
        posix_spawn_file_actions_adddup2(&actions, terminal->Slave(), STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawnError =
        posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, argvPointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawnError != 0) throw std::runtime_error("cannot start " + argv[0]);

    int waitStatus = 0;
    waitpid(pid, &waitStatus, 0);
    ToolRun run;
    run.exitStatus = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

}  // namespace tavoren::testing

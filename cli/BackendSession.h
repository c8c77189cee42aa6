#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "cli/Options.h"
#include "drive/Clock.h"
#include "drive/DeviceBackend.h"

namespace tavoren::sim {
class SimulatedBus;
}

namespace tavoren::cli {

// The device backend of one run: chosen from the options, installed for every drive
// operation while the session lives, and the previous one put back afterwards.
class BackendSession {
public:
    struct Started;
    // Loads the simulated drives' state file and opens the trace file before anything is sent.
    // A `prepared` backend is used instead of the one the options choose, still traced; the
    // caller then decides how pauses pass, and --simulate's state file is not used.
    static Started Start(const Options& options,
                         std::unique_ptr<DeviceBackend> prepared = nullptr);
    ~BackendSession();
    BackendSession(const BackendSession&) = delete;
    BackendSession& operator=(const BackendSession&) = delete;

    // A comment line in the trace, so that a reader sees where each step begins.
    void Note(const std::string& line);
    // Closes the current drive and saves the simulated drives' state; error text on failure.
    std::string Finish();

private:
    BackendSession() = default;

    std::FILE* m_trace = nullptr;
    sim::SimulatedBus* m_bus = nullptr;
    std::string m_stateFile;
    std::unique_ptr<DeviceBackend> m_previousBackend;
    SleepFunction m_previousSleep;
    bool m_sleepReplaced = false;
};

struct BackendSession::Started {
    std::unique_ptr<BackendSession> session;  // null on failure
    std::string error;
};

}  // namespace tavoren::cli

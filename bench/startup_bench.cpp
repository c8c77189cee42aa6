// Start-up time and peak memory of the demo, from process start until its main window is on
// screen with the drives listed, against a bare dialog of the same size started the same way.
// Run under a display (xvfb-run) or with QT_QPA_PLATFORM=offscreen; optional argument: runs.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double milliseconds = 0;
    long maxRssKilobytes = 0;
    bool succeeded = false;
};

std::vector<char*> EnvironmentWithExitWhenShown(std::vector<std::string>& storage) {
    storage.emplace_back("TAVOREN_DEMO_EXIT_WHEN_SHOWN=1");
    std::vector<char*> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) environment.push_back(*entry);
    environment.push_back(storage.back().data());
    environment.push_back(nullptr);
    return environment;
}

Run RunOnce(const char* program) {
    std::vector<std::string> storage;
    std::vector<char*> environment = EnvironmentWithExitWhenShown(storage);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* arguments[] = {const_cast<char*>(program), nullptr};

    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, program, &actions, nullptr, arguments, environment.data()) == 0) {
        int status = 0;
        rusage usage{};
        if (wait4(child, &status, 0, &usage) == child) {
            run.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
            run.maxRssKilobytes = usage.ru_maxrss;
        }
    }
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    run.milliseconds = std::chrono::duration<double, std::milli>(end - start).count();
    return run;
}

struct Summary {
    double medianMilliseconds = 0;
    long maxRssKilobytes = 0;
    int failures = 0;
};

Summary Summarise(const std::vector<Run>& runs) {
    Summary summary;
    std::vector<double> times;
    for (const Run& run : runs) {
        if (!run.succeeded) ++summary.failures;
        times.push_back(run.milliseconds);
        summary.maxRssKilobytes = std::max(summary.maxRssKilobytes, run.maxRssKilobytes);
    }
    std::sort(times.begin(), times.end());
    const std::size_t middle = times.size() / 2;
    summary.medianMilliseconds =
        times.size() % 2 == 1 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
    return summary;
}

void Print(const char* name, const Summary& summary) {
    std::printf("%-12s median %8.1f ms   max RSS %8.1f MiB%s\n", name, summary.medianMilliseconds,
                summary.maxRssKilobytes / 1024.0,
                summary.failures != 0 ? "   (some runs failed)" : "");
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    // One unmeasured start of each warms the file cache and the font cache.
    RunOnce(TAVOREN_DEMO_PATH);
    RunOnce(TAVOREN_BARE_DIALOG_PATH);
    std::vector<Run> demo;
    std::vector<Run> bare;
    for (int run = 0; run < runs; ++run) {
        demo.push_back(RunOnce(TAVOREN_DEMO_PATH));
        bare.push_back(RunOnce(TAVOREN_BARE_DIALOG_PATH));
    }
    const Summary demoSummary = Summarise(demo);
    const Summary bareSummary = Summarise(bare);
    std::printf("%d runs each\n", runs);
    Print("demo", demoSummary);
    Print("bare dialog", bareSummary);
    std::printf("ratio        time %.2f   max RSS %.2f\n",
                demoSummary.medianMilliseconds / bareSummary.medianMilliseconds,
                static_cast<double>(demoSummary.maxRssKilobytes) /
                    static_cast<double>(bareSummary.maxRssKilobytes));
    return demoSummary.failures + bareSummary.failures == 0 ? 0 : 1;
}

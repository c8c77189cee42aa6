#include "drive/Clock.h"

#include <thread>

namespace tavoren {
namespace {

void RealSleep(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

SleepFunction& Slot() {
    static SleepFunction sleep = RealSleep;
    return sleep;
}

}  // namespace

void SleepFor(std::chrono::milliseconds duration) { Slot()(duration); }

SleepFunction InstallSleepFunction(SleepFunction sleep) {
    if (!sleep) sleep = RealSleep;
    Slot().swap(sleep);
    return sleep;
}

}  // namespace tavoren

#pragma once

#include <chrono>
#include <functional>

namespace tavoren {

// Pauses of the drive layer go through here, so that tests never sleep.
using SleepFunction = std::function<void(std::chrono::milliseconds)>;

void SleepFor(std::chrono::milliseconds duration);
// Installs `sleep` and returns the previous one; an empty function restores real sleeping.
SleepFunction InstallSleepFunction(SleepFunction sleep);

}  // namespace tavoren

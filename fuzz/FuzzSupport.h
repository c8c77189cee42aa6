#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "drive/ActiveBackend.h"
#include "drive/Clock.h"
#include "drive/CurrentDrive.h"
#include "drive/Transport.h"

// A broken invariant is a finding: report it and abort so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

namespace tavoren::fuzz {

// One input's device backend, with pauses taking no time; the drive layer's process-wide
// state is reset on both ends, since libFuzzer runs every input in the same process.
class ScopedBackend {
public:
    explicit ScopedBackend(std::unique_ptr<DeviceBackend> backend) {
        Reset();
        m_previousBackend = InstallDeviceBackend(std::move(backend));
        m_previousSleep = InstallSleepFunction([](std::chrono::milliseconds) {});
    }
    ~ScopedBackend() {
        Reset();
        InstallDeviceBackend(std::move(m_previousBackend));
        InstallSleepFunction(std::move(m_previousSleep));
    }
    ScopedBackend(const ScopedBackend&) = delete;
    ScopedBackend& operator=(const ScopedBackend&) = delete;

private:
    static void Reset() {
        CurrentDrive& drive = GetCurrentDrive();
        ReleaseMediaChangeNotification(drive);
        CloseDrive(drive);
        drive.letter = 0;
        drive.lastErrorClass = DriveErrorClass::NoSense;
        ClearLastDeliveryFailure();
    }

    std::unique_ptr<DeviceBackend> m_previousBackend;
    SleepFunction m_previousSleep;
};

}  // namespace tavoren::fuzz

#pragma once

#include <memory>

#include "drive/DeviceBackend.h"

namespace tavoren {

// The backend every drive operation goes through. Executables install one at start-up;
// until then a backend that delivers nothing is active.
DeviceBackend& ActiveDeviceBackend();
// Installs `backend` and returns the previous one (tests restore it).
std::unique_ptr<DeviceBackend> InstallDeviceBackend(std::unique_ptr<DeviceBackend> backend);

}  // namespace tavoren

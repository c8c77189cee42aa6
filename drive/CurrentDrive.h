#pragma once

#include "drive/DriveTypes.h"

namespace tavoren {

// The one process-wide record of the selected drive.
struct CurrentDrive {
    char letter = 0;  // 0 = no drive
    DeviceHandle commandHandle = kInvalidDeviceHandle;
    DeviceHandle notificationHandle = kInvalidDeviceHandle;
    DriveErrorClass lastErrorClass = DriveErrorClass::NoSense;
};

// Created on first use.
CurrentDrive& GetCurrentDrive();

}  // namespace tavoren

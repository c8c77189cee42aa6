#pragma once

#include <string>
#include <vector>

#include "cli/DriveState.h"

namespace tavoren::cli {

// One line of `list`.
struct DriveListing {
    char letter = 0;
    std::string deviceName;   // "E", "/dev/sr0"
    std::string displayName;  // the GUI's selector entry text
    std::string modelCode;
    bool realTime = false;
    bool ledControl = false;
    bool usbDirect = false;
};

std::string FormatListText(const std::vector<DriveListing>& drives);
std::string FormatListJson(const std::vector<DriveListing>& drives);

struct DriveReport {
    char letter = 0;
    std::string deviceName;
    std::string displayName;
    DriveState state;
};

std::string FormatShowText(const DriveReport& report);
std::string FormatShowJson(const DriveReport& report);

}  // namespace tavoren::cli

#pragma once

#include <optional>
#include <string>

namespace tavoren::cli {

struct SelectedDrive {
    char letter = 0;
    std::string deviceName;   // "E", "/dev/sr0"
    std::string displayName;  // the GUI's selector entry text
};

struct DriveSelection {
    std::optional<SelectedDrive> drive;  // open as the current drive when set
    int exitStatus = 0;
    std::string error;
};

// The requested drive when it is a supported one, else the first supported drive.
DriveSelection SelectDrive(std::optional<char> requested);

// Why the OS refused a request since the last ClearLastDeliveryFailure; empty when none was.
std::string DeliveryFailureText();

}  // namespace tavoren::cli

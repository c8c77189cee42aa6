#pragma once

#include <optional>
#include <string>
#include <vector>

#include "drive/Discovery.h"

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

// A device met on the pass over C to Z that is, or may be, a supported drive.
struct SurveyedDrive {
    DiscoveredDrive drive;
    std::string failure;  // set when a read failed: the drive is then not usable
};

// The pass over C to Z with every read checked: the supported drives, and the devices whose
// reads failed, which may be supported ones. Opens the first one listed as the current drive.
std::vector<SurveyedDrive> SurveyDrives();

// The model code of the current drive (empty for another maker's device, which refuses the
// read), or the failure of its read.
struct ModelCodeRead {
    std::string modelCode;
    std::string failure;
};
ModelCodeRead ReadCurrentModelCode();

// Why the OS refused a request since the last ClearLastDeliveryFailure; empty when none was.
std::string DeliveryFailureText();

// Why the drive operation just run failed, empty when it did not: the OS's refusal since the
// last ClearLastDeliveryFailure, else, when `accepted` is false, the drive's error class.
std::string FailureText(bool accepted);
// A write went through: the drive took it (`accepted`) and the OS refused nothing so far.
bool WentThrough(bool accepted);

}  // namespace tavoren::cli

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavoren {

// Model code from vendor buffer F1h; opens the letter and closes it again.
std::string ReadModelCode(char letter);
bool IsSupportedModel(const std::string& modelCode);
// Selector entry text: the device name, " : ", then the INQUIRY text; opens and closes the letter.
std::string GetDriveDisplayName(char letter);

struct DiscoveredDrive {
    char letter = 0;
    std::string displayName;
};

// The pass over C to Z: every supported drive in letter order. Opens the first listed
// drive as the current drive afterwards (or none, leaving letter 0).
std::vector<DiscoveredDrive> EnumerateSupportedDrives();

// The texts inside buffers already read: the model code of a vendor buffer F1h, and the
// selector entry text (device name, " : ", INQUIRY text) of INQUIRY data.
std::string ModelCodeText(const std::array<std::uint8_t, 256>& modelCodeBuffer);
std::string DisplayNameText(char letter, const std::array<std::uint8_t, 256>& inquiryData);

// Byte text from a drive, up to its first zero byte, as UTF-8 (bytes 80h and up as Latin-1).
std::string DriveTextToUtf8(const std::uint8_t* bytes, std::size_t maxLength);

}  // namespace tavoren

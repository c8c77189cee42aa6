#include "drive/Discovery.h"

#include <array>

#include "drive/ActiveBackend.h"
#include "drive/CommandSet.h"
#include "drive/CurrentDrive.h"
#include "drive/Transport.h"

namespace tavoren {
namespace {

constexpr const char* kSupportedModelCodes[] = {"KMV 4410", "KMV 4460", "KMV 4461"};

constexpr std::size_t kModelCodeStart = 16;
constexpr std::size_t kModelCodeEnd = 32;
constexpr std::size_t kInquiryTextStart = 8;
constexpr std::size_t kInquiryTextEnd = 45;

}  // namespace

std::string DriveTextToUtf8(const std::uint8_t* bytes, std::size_t maxLength) {
    std::string text;
    for (std::size_t i = 0; i < maxLength && bytes[i] != 0; ++i) {
        const std::uint8_t byte = bytes[i];
        if (byte < 0x80) {
            text.push_back(static_cast<char>(byte));
        } else {
            text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return text;
}

std::string ModelCodeText(const DriveDataBuffer& modelCodeBuffer) {
    // Byte 32 never belongs to the code, so it is at most 16 characters.
    return DriveTextToUtf8(modelCodeBuffer.data() + kModelCodeStart,
                           kModelCodeEnd - kModelCodeStart);
}

std::string DisplayNameText(char letter, const DriveDataBuffer& inquiryData) {
    return ActiveDeviceBackend().DeviceName(letter) + " : " +
           DriveTextToUtf8(inquiryData.data() + kInquiryTextStart,
                           kInquiryTextEnd - kInquiryTextStart);
}

std::string ReadModelCode(char letter) {
    DriveDataBuffer buffer{};
    if (!OpenDrive(letter)) return {};
    ReadModelCodeBuffer(buffer);
    CloseDrive(GetCurrentDrive());
    return ModelCodeText(buffer);
}

bool IsSupportedModel(const std::string& modelCode) {
    for (const char* code : kSupportedModelCodes) {
        if (modelCode.find(code) != std::string::npos) return true;
    }
    return false;
}

std::string GetDriveDisplayName(char letter) {
    DriveDataBuffer buffer{};
    if (!OpenDrive(letter)) return {};
    ReadInquiryData(buffer);
    CloseDrive(GetCurrentDrive());
    return DisplayNameText(letter, buffer);
}

std::vector<DiscoveredDrive> EnumerateSupportedDrives() {
    std::vector<DiscoveredDrive> drives;
    for (char letter = kFirstDriveLetter; letter <= kLastDriveLetter; ++letter) {
        const std::string modelCode = ReadModelCode(letter);
        if (modelCode.empty() || !IsSupportedModel(modelCode)) continue;
        drives.push_back({letter, GetDriveDisplayName(letter)});
    }
    OpenDrive(drives.empty() ? 0 : drives.front().letter);
    return drives;
}

}  // namespace tavoren

#include "drive/Discovery.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "drive/ActiveBackend.h"
#include "drive/CurrentDrive.h"
#include "sim/SimulatedBus.h"

namespace tavoren {
namespace {

using sim::DriveProfile;
using sim::SimulatedBus;
using sim::TraceEntry;

DriveProfile WithModelCode(std::string modelCode) {
    DriveProfile profile = sim::BasicDriveProfile();
    profile.modelCode = std::move(modelCode);
    return profile;
}

class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto bus = std::make_unique<SimulatedBus>();
        m_bus = bus.get();
        m_previous = InstallDeviceBackend(std::move(bus));
        GetCurrentDrive() = CurrentDrive{};
    }
    void TearDown() override {
        GetCurrentDrive() = CurrentDrive{};
        InstallDeviceBackend(std::move(m_previous));
    }
    SimulatedBus& Bus() { return *m_bus; }

    static std::vector<char> Letters(const std::vector<DiscoveredDrive>& drives) {
        std::vector<char> letters;
        for (const DiscoveredDrive& drive : drives) letters.push_back(drive.letter);
        return letters;
    }

private:
    SimulatedBus* m_bus = nullptr;
    std::unique_ptr<DeviceBackend> m_previous;
};

TEST_F(DiscoveryTest, ListsSupportedDrivesInLetterOrderAndOpensTheFirst) {
    Bus().Attach('C', sim::MakeSimulatedDisk());
    Bus().AttachDrive('F', sim::FullDriveProfile());
    Bus().AttachDrive('D', sim::LedDriveProfile());
    Bus().Attach('G', sim::MakeForeignOpticalDrive());

    const std::vector<DiscoveredDrive> drives = EnumerateSupportedDrives();

    EXPECT_EQ(Letters(drives), (std::vector<char>{'D', 'F'}));
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0].displayName.rfind("D : TAVOREN ", 0), 0u) << drives[0].displayName;
    EXPECT_EQ(GetCurrentDrive().letter, 'D');
    EXPECT_NE(GetCurrentDrive().commandHandle, kInvalidDeviceHandle);
    EXPECT_EQ(Bus().OpenHandleCount(), 1);
}

TEST_F(DiscoveryTest, ProbesEveryDeviceWithTheModelCodeReadAndNamesOnlySupportedOnes) {
    Bus().Attach('C', sim::MakeSimulatedDisk());
    Bus().AttachDrive('E', sim::FullDriveProfile());
    EnumerateSupportedDrives();

    std::vector<std::pair<char, std::uint8_t>> probes;
    std::vector<char> opens;
    for (const TraceEntry& entry : Bus().Trace()) {
        if (entry.kind == TraceEntry::Kind::Command) probes.emplace_back(entry.letter, entry.cdb[0]);
        if (entry.kind == TraceEntry::Kind::Open) opens.push_back(entry.letter);
    }
    const std::vector<std::pair<char, std::uint8_t>> expected = {
        {'C', 0x3C}, {'E', 0x3C}, {'E', 0x12}};
    EXPECT_EQ(probes, expected);
    // Every letter is tried; E is opened for its code, its name and as the current drive.
    EXPECT_EQ(std::count(opens.begin(), opens.end(), 'E'), 3);
    EXPECT_EQ(opens.size(), std::size_t{24 + 2});
}

struct ModelCodeCase {
    const char* name;
    std::string modelCode;
    std::string expectedCode;
    bool supported;
};

TEST_F(DiscoveryTest, ModelCodeIsSixteenBytesAndMatchedCaseSensitivelyAnywhere) {
    const ModelCodeCase cases[] = {
        {"exact code", "KMV 4410", "KMV 4410", true},
        {"code inside longer text", "BD-KMV 4460-ext", "BD-KMV 4460-ext", true},
        {"lower case", "kmv 4461", "kmv 4461", false},
        {"exactly sixteen characters", "ABCDEFGHKMV 4461", "ABCDEFGHKMV 4461", true},
        {"byte 32 never joins the code", "0123456789ABCDEFKMV 4410", "0123456789ABCDEF", false},
        {"zero ends the code", std::string("KMV\0 4410", 9), "KMV", false},
        {"other maker's code", "XR-9000", "XR-9000", false},
    };
    for (const ModelCodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bus().AttachDrive('E', WithModelCode(c.modelCode));
        EXPECT_EQ(ReadModelCode('E'), c.expectedCode);
        EXPECT_EQ(IsSupportedModel(c.expectedCode), c.supported);
        EXPECT_EQ(Letters(EnumerateSupportedDrives()),
                  c.supported ? std::vector<char>{'E'} : std::vector<char>{});
        Bus().Detach('E');
    }
}

struct DisplayNameCase {
    const char* name;
    std::string product;
    std::string vendorSpecific;
    std::string expected;
};

TEST_F(DiscoveryTest, DisplayNameIsTheInquiryTextFromByteEightToByteFortyFour) {
    const DisplayNameCase cases[] = {
        {"zero inside the product identification", std::string("BD\0RE", 5), "2026/10/14",
         "E : TAVOREN BD"},
        {"no zero before byte 45", "BD-RE  KMV4461U ", "ABCDEFGHIJKLMNOPQRST",
         "E : TAVOREN BD-RE  KMV4461U 1.03ABCDEFGHI"},
        {"Latin-1 bytes become UTF-8", "Lecteur \xE9t\xE9     ", "",
         "E : TAVOREN Lecteur \xC3\xA9t\xC3\xA9     1.03         "},
    };
    for (const DisplayNameCase& c : cases) {
        SCOPED_TRACE(c.name);
        DriveProfile profile = sim::FullDriveProfile();
        profile.product = c.product;
        profile.revision = "1.03";
        profile.vendorSpecific = c.vendorSpecific;
        Bus().AttachDrive('E', profile);
        EXPECT_EQ(GetDriveDisplayName('E'), c.expected);
        EXPECT_EQ(GetCurrentDrive().letter, 'E');
        EXPECT_EQ(GetCurrentDrive().commandHandle, kInvalidDeviceHandle);
        Bus().Detach('E');
    }
}

TEST_F(DiscoveryTest, NoDeviceGivesEmptyTextsWithoutHandle) {
    EXPECT_EQ(ReadModelCode('E'), "");
    EXPECT_EQ(GetDriveDisplayName('E'), "");
    EXPECT_EQ(GetDriveDisplayName(0), "");
    EXPECT_EQ(GetCurrentDrive().commandHandle, kInvalidDeviceHandle);
}

TEST_F(DiscoveryTest, NoSupportedDriveLeavesNoCurrentDrive) {
    Bus().Attach('C', sim::MakeSimulatedDisk());
    Bus().Attach('D', sim::MakeForeignOpticalDrive());
    EXPECT_TRUE(EnumerateSupportedDrives().empty());
    EXPECT_EQ(GetCurrentDrive().letter, 0);
    EXPECT_EQ(GetCurrentDrive().commandHandle, kInvalidDeviceHandle);
    EXPECT_EQ(Bus().OpenHandleCount(), 0);
}

TEST_F(DiscoveryTest, SecondPassWithOneDriveFewerListsOnlyTheRemainingOnes) {
    Bus().AttachDrive('D', sim::BasicDriveProfile());
    Bus().AttachDrive('F', sim::FullDriveProfile());
    ASSERT_EQ(Letters(EnumerateSupportedDrives()), (std::vector<char>{'D', 'F'}));
    Bus().Detach('D');
    EXPECT_EQ(Letters(EnumerateSupportedDrives()), std::vector<char>{'F'});
    EXPECT_EQ(GetCurrentDrive().letter, 'F');
    EXPECT_EQ(Bus().OpenHandleCount(), 1);
}

TEST_F(DiscoveryTest, UnpluggedDriveIsSkipped) {
    Bus().AttachDrive('D', sim::BasicDriveProfile()).Faults().unplugged = true;
    Bus().AttachDrive('E', sim::LedDriveProfile());
    EXPECT_EQ(Letters(EnumerateSupportedDrives()), std::vector<char>{'E'});
}

}  // namespace
}  // namespace tavoren

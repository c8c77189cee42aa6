#include "drive/Transport.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "tests/drive/ScriptedBackend.h"

namespace tavoren {
namespace {

using testing::ScriptedBackend;

constexpr Cdb kTestCdb = {0x51, 0, 0, 0, 0, 0, 0, 0, 0x22, 0, 0, 0};

class TransportTest : public testing::ScriptedBackendTest {
protected:
    bool Send(std::uint8_t* data = nullptr, std::uint32_t length = 0) {
        return SendDriveCommand(kTestCdb, GetCurrentDrive(), TransferDirection::DataIn, data,
                                length);
    }
};

TEST_F(TransportTest, StatusZeroIsSuccessWhateverTheSenseAreaHolds) {
    CommandResult good = ScriptedBackend::Sense(2, 0x3A, 0x00);
    good.scsiStatus = 0;
    Backend().Queue(good);
    GetCurrentDrive().lastErrorClass = DriveErrorClass::CommunicationTimeout;
    EXPECT_TRUE(Send());
    EXPECT_EQ(GetCurrentDrive().lastErrorClass, DriveErrorClass::CommunicationTimeout);
}

TEST_F(TransportTest, CheckConditionReportsTheClassAndNoResend) {
    Backend().Queue(ScriptedBackend::Sense(2, 0x3A, 0x01));
    EXPECT_FALSE(Send());
    EXPECT_EQ(GetCurrentDrive().lastErrorClass, DriveErrorClass::MediumNotPresent);
    EXPECT_EQ(Backend().sentCommands.size(), 1u);
}

TEST_F(TransportTest, CheckConditionWithNoSenseIsNoSenseFailure) {
    CommandResult empty = ScriptedBackend::GoodResult();
    empty.scsiStatus = 0x02;
    Backend().Queue(empty);
    GetCurrentDrive().lastErrorClass = DriveErrorClass::Other;
    EXPECT_FALSE(Send());
    EXPECT_EQ(GetCurrentDrive().lastErrorClass, DriveErrorClass::NoSense);
}

TEST_F(TransportTest, UnitAttentionIsResentWithTheSameRequest) {
    std::uint8_t buffer[34] = {};
    Backend().Queue(ScriptedBackend::Sense(6, 0x29, 0x00));
    Backend().QueueData({0xAB});
    EXPECT_TRUE(Send(buffer, sizeof buffer));
    ASSERT_EQ(Backend().sentCommands.size(), 2u);
    for (const ScriptedBackend::Sent& sent : Backend().sentCommands) {
        EXPECT_EQ(sent.cdb, kTestCdb);
        EXPECT_EQ(sent.length, sizeof buffer);
        EXPECT_TRUE(sent.hasBuffer);
    }
    EXPECT_EQ(buffer[0], 0xAB);
    EXPECT_EQ(GetCurrentDrive().lastErrorClass, DriveErrorClass::PowerOnReset);
}

TEST_F(TransportTest, UnitAttentionStormIsCappedAndReportedAsItsClass) {
    for (int i = 0; i < 100; ++i) Backend().Queue(ScriptedBackend::Sense(6, 0x28, 0x00));
    EXPECT_FALSE(Send());
    EXPECT_EQ(Backend().sentCommands.size(), std::size_t{kMaxUnitAttentionResends + 1});
    EXPECT_EQ(GetCurrentDrive().lastErrorClass, DriveErrorClass::MediumMayHaveChanged);
}

TEST_F(TransportTest, UnitAttentionThenAnotherFailureReportsTheLaterClass) {
    Backend().Queue(ScriptedBackend::Sense(6, 0x28, 0x00));
    Backend().Queue(ScriptedBackend::Sense(2, 0x04, 0x01));
    EXPECT_FALSE(Send());
    EXPECT_EQ(GetCurrentDrive().lastErrorClass, DriveErrorClass::BecomingReady);
}

TEST_F(TransportTest, NotDeliveredCountsAsSuccessAndKeepsTheOsError) {
    Backend().Queue(CommandResult::NotDelivered(EPERM, "SG_IO ioctl"));
    GetCurrentDrive().lastErrorClass = DriveErrorClass::BecomingReady;
    std::uint8_t buffer[4] = {};
    EXPECT_TRUE(Send(buffer, sizeof buffer));
    EXPECT_EQ(GetCurrentDrive().lastErrorClass, DriveErrorClass::BecomingReady);
    EXPECT_EQ(LastDeliveryFailure().osError, EPERM);
    EXPECT_STREQ(LastDeliveryFailure().reason, "SG_IO ioctl");
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(TransportTest, OpenDriveReplacesTheOpenHandle) {
    ASSERT_TRUE(OpenDrive('E'));
    const DeviceHandle first = GetCurrentDrive().commandHandle;
    ASSERT_TRUE(OpenDrive('F'));
    EXPECT_EQ(Backend().closed, std::vector<DeviceHandle>{first});
    EXPECT_EQ(GetCurrentDrive().letter, 'F');
    EXPECT_NE(GetCurrentDrive().commandHandle, kInvalidDeviceHandle);
}

TEST_F(TransportTest, OpenDriveWithLetterZeroClosesAndOpensNothing) {
    ASSERT_TRUE(OpenDrive('E'));
    EXPECT_FALSE(OpenDrive(0));
    EXPECT_EQ(GetCurrentDrive().letter, 0);
    EXPECT_EQ(GetCurrentDrive().commandHandle, kInvalidDeviceHandle);
    EXPECT_EQ(Backend().closed.size(), 1u);
    EXPECT_EQ(Backend().opened, std::vector<char>{'E'});
}

TEST_F(TransportTest, OpenDriveRefusesLettersOutsideTheDriveRange) {
    for (char letter : {'A', 'B', '[', 'c', '0', '\xC3'}) {
        SCOPED_TRACE(static_cast<int>(letter));
        EXPECT_FALSE(OpenDrive(letter));
        EXPECT_EQ(GetCurrentDrive().commandHandle, kInvalidDeviceHandle);
    }
    EXPECT_TRUE(Backend().opened.empty());
}

TEST_F(TransportTest, FailedOpenKeepsTheLetterWithoutHandle) {
    Backend().openFails = true;
    EXPECT_FALSE(OpenDrive('G'));
    EXPECT_EQ(GetCurrentDrive().letter, 'G');
    EXPECT_EQ(GetCurrentDrive().commandHandle, kInvalidDeviceHandle);
}

TEST_F(TransportTest, MediaChangeHoldIsOpenedOnTheCurrentLetterAndReleased) {
    OpenDrive('E');
    EXPECT_TRUE(SuppressMediaChangeNotification(GetCurrentDrive()));
    EXPECT_EQ(Backend().held, std::vector<char>{'E'});
    const DeviceHandle hold = GetCurrentDrive().notificationHandle;
    ReleaseMediaChangeNotification(GetCurrentDrive());
    EXPECT_EQ(Backend().closed.back(), hold);
    EXPECT_EQ(GetCurrentDrive().notificationHandle, kInvalidDeviceHandle);
}

TEST_F(TransportTest, FailedMediaChangeHoldLeavesNothingToRelease) {
    OpenDrive('E');
    Backend().holdFails = true;
    EXPECT_FALSE(SuppressMediaChangeNotification(GetCurrentDrive()));
    EXPECT_EQ(GetCurrentDrive().notificationHandle, kInvalidDeviceHandle);
    const std::size_t closes = Backend().closed.size();
    ReleaseMediaChangeNotification(GetCurrentDrive());
    EXPECT_EQ(Backend().closed.size(), closes);
}

}  // namespace
}  // namespace tavoren

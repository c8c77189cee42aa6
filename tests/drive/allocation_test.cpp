#include <gtest/gtest.h>

#include "tests/AllocationCounter.h"

#include "drive/ActiveBackend.h"
#include "drive/CommandSet.h"
#include "drive/Transport.h"

namespace tavoren {
namespace {

// Answers every command with a unit attention first, then GOOD, without allocating.
class QuietBackend final : public DeviceBackend {
public:
    DeviceHandle Open(char) override { return 7; }
    void Close(DeviceHandle) override {}
    CommandResult Execute(DeviceHandle, const CommandRequest& request) override {
        CommandResult result;
        result.delivered = true;
        if (m_attention) {
            result.scsiStatus = 2;
            result.sense[2] = 6;
            result.sense[12] = 0x29;
            result.senseLength = 18;
        } else if (request.data != nullptr && request.length > 8) {
            request.data[8] = 'T';
        }
        m_attention = !m_attention;
        return result;
    }
    DeviceHandle HoldMediaChangeNotification(char) override { return kInvalidDeviceHandle; }
    std::string DeviceName(char) const override { return {}; }

private:
    bool m_attention = true;
};

TEST(AllocationTest, CommandsAllocateNothing) {
    auto previous = InstallDeviceBackend(std::make_unique<QuietBackend>());
    OpenDrive('E');
    const long before = g_allocations.load();
    const DriveSettingsBlock block = ReadSettingsBlock();
    const bool present = IsTavorenDrivePresent();
    SetQuietMode(QuietMode::Quiet, true);
    WriteLedSettings(1, 2, 1, 0);
    const long after = g_allocations.load();
    OpenDrive(0);
    InstallDeviceBackend(std::move(previous));
    EXPECT_EQ(after - before, 0);
    EXPECT_TRUE(present);
    EXPECT_EQ(block.At(8), 'T');
}

}  // namespace
}  // namespace tavoren

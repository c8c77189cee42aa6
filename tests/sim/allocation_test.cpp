#include <gtest/gtest.h>

#include "tests/AllocationCounter.h"

#include "sim/SimulatedTavorenDrive.h"
#include "tests/sim/SimTestSupport.h"

namespace tavoren::sim {
namespace {

using namespace testing;

TEST(Allocation, DriveAnswersWithoutAllocating) {
    SimulatedTavorenDrive drive(FullDriveProfile());
    drive.SetSpinUpPolls(1);
    drive.SetReloadAfterEject(true);
    drive.SetBlockFilter([](DriveSettingsBlock& block, int index) {
        block.bytes[DriveSettingsBlock::kLedPattern] = static_cast<std::uint8_t>(index);
    });
    std::array<std::uint8_t, 256> buffer{};
    std::array<std::uint8_t, 256> page{0x0E, 0, 0, 4, 1, 0, 3, 1};
    const auto in = [&](const Cdb& cdb, std::uint32_t length) {
        return drive.Execute({cdb, kIn, buffer.data(), length});
    };
    constexpr std::uint8_t kCheck = 0x02;
    std::array<std::uint8_t, 12> statuses{};
    std::size_t next = 0;
    const auto record = [&](const CommandResult& result) { statuses[next++] = result.scsiStatus; };

    const long before = g_allocations.load();
    drive.PowerCycle();
    drive.InsertDisc();
    record(in(kInquiry, 254));
    record(in(kModelCodeRead, 48));
    record(in(kModelCodeRead, 48));
    record(in(kSettingsRead, 256));
    record(in(kBusPowerRead, 8));
    record(in(kDiscInformation, 34));
    record(in(kDiscInformation, 34));
    record(drive.Execute({kPageWrite, kOut, page.data(), 256}));
    record(drive.Execute({SpeedCdb(0xC1), kNone, nullptr, 0}));
    record(drive.Execute({kEject, kNone, nullptr, 0}));
    drive.Faults().garbageReads = true;
    record(in(kSettingsRead, 256));
    record(in(kSettingsRead, 256));
    const long after = g_allocations.load();

    EXPECT_EQ(after - before, 0);
    // Power-on and medium-change attentions, one spin-up poll, then the reload's medium change.
    const std::array<std::uint8_t, 12> expected = {0, kCheck, kCheck, 0, 0,      kCheck,
                                                   0, 0,      0,      0, kCheck, 0};
    EXPECT_EQ(statuses, expected);
}

}  // namespace
}  // namespace tavoren::sim

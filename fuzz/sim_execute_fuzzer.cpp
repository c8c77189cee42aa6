// The simulated devices under arbitrary command sequences: any CDB, direction, transfer
// length and data, with the drive's faults and disc state chosen by the input. Every buffer
// is followed by a guard region that no device may touch.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "sim/SimulatedBus.h"
#include "sim/SimulatedTavorenDrive.h"

namespace tavoren::fuzz {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kGuard = 64;
constexpr std::uint8_t kCanary = 0xA5;
constexpr std::uint32_t kMaxLength = 1 << 17;
constexpr int kMaxSteps = 24;

struct Device {
    std::unique_ptr<sim::SimulatedDevice> device;
    sim::SimulatedTavorenDrive* drive = nullptr;  // set for Tavoren drives
};

Device MakeDevice(FuzzedDataProvider& input) {
    Device made;
    switch (input.ConsumeIntegralInRange(0, 4)) {
        case 0:
            made.device = std::make_unique<sim::SimulatedTavorenDrive>(sim::BasicDriveProfile());
            break;
        case 1:
            made.device = std::make_unique<sim::SimulatedTavorenDrive>(sim::LedDriveProfile());
            break;
        case 2:
            made.device = std::make_unique<sim::SimulatedTavorenDrive>(sim::FullDriveProfile());
            break;
        case 3:
            return {sim::MakeSimulatedDisk(), nullptr};
        default:
            return {sim::MakeForeignOpticalDrive(), nullptr};
    }
    made.drive = static_cast<sim::SimulatedTavorenDrive*>(made.device.get());
    made.drive->SetSpinUpPolls(input.ConsumeIntegralInRange(0, 4));
    made.drive->SetReloadAfterEject(input.ConsumeBool());
    made.drive->SetBusPowerOutcome(
        static_cast<sim::BusPowerOutcome>(input.ConsumeIntegralInRange(0, 2)));
    made.drive->SetBusPowerResult(input.ConsumeIntegral<std::uint32_t>());
    if (input.ConsumeBool()) made.drive->InsertDisc();
    return made;
}

void ToggleFault(sim::DriveFaults& faults, int which) {
    switch (which) {
        case 0:
            faults.unplugged = !faults.unplugged;
            break;
        case 1:
            faults.stuckBecomingReady = !faults.stuckBecomingReady;
            break;
        case 2:
            faults.unitAttentionStorm = !faults.unitAttentionStorm;
            break;
        default:
            faults.garbageReads = !faults.garbageReads;
            break;
    }
}

// Changes of the drive between commands, as a user or the drive itself makes them.
void ChangeDrive(sim::SimulatedTavorenDrive& drive, FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            drive.PowerCycle();
            break;
        case 1:
            drive.InsertDisc();
            break;
        case 2:
            drive.RemoveDisc();
            break;
        default:
            ToggleFault(drive.Faults(), input.ConsumeIntegralInRange(0, 3));
            break;
    }
}

CommandRequest ConsumeRequest(FuzzedDataProvider& input, Bytes& buffer) {
    CommandRequest request;
    for (std::uint8_t& byte : request.cdb) byte = input.ConsumeIntegral<std::uint8_t>();
    request.direction = static_cast<TransferDirection>(input.ConsumeIntegralInRange(0, 2));
    request.length = input.ConsumeBool()
                         ? input.ConsumeIntegralInRange<std::uint32_t>(0, 300)
                         : input.ConsumeIntegralInRange<std::uint32_t>(0, kMaxLength);
    buffer.assign(request.length + kGuard, kCanary);
    if (request.direction == TransferDirection::DataOut) {
        const Bytes sent = input.ConsumeBytes<std::uint8_t>(request.length);
        std::copy(sent.begin(), sent.end(), buffer.begin());
    }
    request.data = request.length == 0 ? nullptr : buffer.data();
    return request;
}

void CheckAnswer(const CommandRequest& request, const CommandResult& result, const Bytes& before,
                 const Bytes& after, const sim::SimulatedTavorenDrive* drive,
                 const sim::DriveFaults& faults) {
    FUZZ_CHECK(std::equal(after.end() - kGuard, after.end(), before.end() - kGuard));
    if (!result.delivered) {
        FUZZ_CHECK(drive != nullptr && faults.unplugged);
        FUZZ_CHECK(after == before);
        return;
    }
    FUZZ_CHECK(result.scsiStatus == 0 || result.scsiStatus == 0x02);
    FUZZ_CHECK(result.residual >= 0 &&
               static_cast<std::uint32_t>(result.residual) <= request.length);
    if (request.direction != TransferDirection::DataIn) FUZZ_CHECK(after == before);
    if (result.scsiStatus != 0) {
        // Well-formed fixed sense, and nothing transferred.
        FUZZ_CHECK(result.senseLength == kSenseLength);
        FUZZ_CHECK(result.sense[0] == 0x70 && result.sense[7] == kSenseLength - 8);
        FUZZ_CHECK(static_cast<std::uint32_t>(result.residual) == request.length);
    }
    if (drive != nullptr && faults.unitAttentionStorm) {
        FUZZ_CHECK(result.scsiStatus == 0x02 && result.sense[2] == 0x06 &&
                   result.sense[12] == 0x29 && result.sense[13] == 0x00);
    }
    // What the device says it did not transfer is left as it was handed over.
    const std::size_t transferred = request.length - static_cast<std::uint32_t>(result.residual);
    FUZZ_CHECK(std::equal(after.begin() + transferred, after.end(), before.begin() + transferred));
}

}  // namespace
}  // namespace tavoren::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavoren;
    using namespace tavoren::fuzz;
    FuzzedDataProvider input(data, size);
    Device device = MakeDevice(input);
    Bytes buffer;
    for (int step = 0; step < kMaxSteps && input.remaining_bytes() > 0; ++step) {
        if (device.drive != nullptr && input.ConsumeIntegralInRange(0, 7) == 0) {
            ChangeDrive(*device.drive, input);
            continue;
        }
        const CommandRequest request = ConsumeRequest(input, buffer);
        const Bytes before = buffer;
        const sim::DriveFaults faults =
            device.drive != nullptr ? device.drive->Faults() : sim::DriveFaults{};
        const CommandResult result = device.device->Execute(request);
        CheckAnswer(request, result, before, buffer, device.drive, faults);
    }
    return 0;
}

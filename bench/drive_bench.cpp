#include <benchmark/benchmark.h>

#include "drive/ActiveBackend.h"
#include "drive/CommandSet.h"
#include "drive/CurrentDrive.h"
#include "drive/Transport.h"
#include "sim/SimulatedBus.h"

namespace {

// The simulated bus with one full-featured drive open at E, traced commands dropped.
class OpenSimulatedDrive {
public:
    OpenSimulatedDrive() {
        auto bus = std::make_unique<tavoren::sim::SimulatedBus>();
        m_bus = bus.get();
        m_bus->AttachDrive('E', tavoren::sim::FullDriveProfile());
        m_previous = tavoren::InstallDeviceBackend(std::move(bus));
        tavoren::OpenDrive('E');
    }
    ~OpenSimulatedDrive() {
        tavoren::OpenDrive(0);
        tavoren::InstallDeviceBackend(std::move(m_previous));
    }
    void DropTrace() { m_bus->ClearTrace(); }

private:
    tavoren::sim::SimulatedBus* m_bus;
    std::unique_ptr<tavoren::DeviceBackend> m_previous;
};

void BM_SendDriveCommand(benchmark::State& state) {
    OpenSimulatedDrive drive;
    const tavoren::Cdb keepAlive = {0x3C, 0x02, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (auto _ : state) {
        benchmark::DoNotOptimize(tavoren::SendDriveCommand(
            keepAlive, tavoren::GetCurrentDrive(), tavoren::TransferDirection::DataIn, nullptr, 0));
        drive.DropTrace();
    }
}
BENCHMARK(BM_SendDriveCommand);

void BM_ReadAndDecodeSettingsBlock(benchmark::State& state) {
    OpenSimulatedDrive drive;
    for (auto _ : state) {
        const tavoren::DriveSettingsBlock block = tavoren::ReadSettingsBlock();
        benchmark::DoNotOptimize(tavoren::DecodeQuietMode(block));
        benchmark::DoNotOptimize(block.HasLedControl());
        drive.DropTrace();
    }
}
BENCHMARK(BM_ReadAndDecodeSettingsBlock);

}  // namespace

BENCHMARK_MAIN();

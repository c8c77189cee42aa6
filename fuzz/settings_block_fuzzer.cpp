// The settings block as the drive may return it, whatever its bytes: decoding, the read path
// through the transport, the tool's report of it, and writing the decoded values back.
#include <algorithm>
#include <cstdint>

#include "cli/DriveState.h"
#include "cli/Report.h"
#include "drive/CommandSet.h"
#include "fuzz/FuzzSupport.h"
#include "sim/SimulatedBus.h"

namespace tavoren::fuzz {
namespace {

bool IsQuietMode(QuietMode mode) {
    return mode == QuietMode::PersistentQuiet || mode == QuietMode::Off ||
           mode == QuietMode::Performance || mode == QuietMode::Quiet;
}

DriveSettingsBlock BlockFrom(const std::uint8_t* data, std::size_t size) {
    // A short answer leaves the rest of the zeroed buffer as it was.
    DriveSettingsBlock block;
    std::copy_n(data, std::min(size, block.bytes.size()), block.bytes.begin());
    return block;
}

sim::SimulatedBus& InstallBus(std::unique_ptr<ScopedBackend>& scope) {
    auto bus = std::make_unique<sim::SimulatedBus>();
    sim::SimulatedBus& installed = *bus;
    installed.AttachDrive('E', sim::FullDriveProfile());
    scope = std::make_unique<ScopedBackend>(std::move(bus));
    FUZZ_CHECK(OpenDrive('E'));
    return installed;
}

void CheckReadPath(const DriveSettingsBlock& block) {
    std::unique_ptr<ScopedBackend> scope;
    sim::SimulatedBus& bus = InstallBus(scope);
    bus.DriveAt('E')->SetBlockFilter(
        [&block](DriveSettingsBlock& returned, int) { returned = block; });

    FUZZ_CHECK(ReadSettingsBlock().bytes == block.bytes);
    const QuietMode mode = ReadQuietMode();
    FUZZ_CHECK(IsQuietMode(mode));
    FUZZ_CHECK(mode == DecodeQuietMode(block));

    const cli::DriveReport report{'E', "E", "E : fuzzed drive", cli::DecodeDriveState(block)};
    FUZZ_CHECK(!cli::FormatShowText(report).empty());
    FUZZ_CHECK(!cli::FormatShowJson(report).empty());
}

// What is decoded from a block and written back must be what the drive then reports.
void CheckWriteBack(const DriveSettingsBlock& block) {
    std::unique_ptr<ScopedBackend> scope;
    InstallBus(scope);

    const QuietMode quiet = DecodeQuietMode(block);
    SetQuietModeTransient(quiet);
    SetQuietMode(quiet, false);
    FUZZ_CHECK(ReadQuietMode() == quiet);

    const VeritraxMode veritrax = cli::DecodeVeritraxMode(block);
    WriteVeritraxSettings(veritrax, block.HasRealTime(), false);
    FUZZ_CHECK(cli::DecodeVeritraxMode(ReadSettingsBlock()) == veritrax);

    const std::uint8_t pattern = block.At(DriveSettingsBlock::kLedPattern);
    const std::uint8_t brightness = block.At(DriveSettingsBlock::kLedBrightness);
    const std::uint8_t blinkCycle = block.At(DriveSettingsBlock::kLedBlinkCycle);
    const std::uint8_t usbPattern = block.At(DriveSettingsBlock::kUsbDirectPattern);
    WriteLedSettings(pattern, blinkCycle, brightness, usbPattern);
    const DriveSettingsBlock now = ReadSettingsBlock();
    FUZZ_CHECK(now.At(DriveSettingsBlock::kLedPattern) == pattern);
    FUZZ_CHECK(now.At(DriveSettingsBlock::kLedBrightness) == brightness);
    FUZZ_CHECK(now.At(DriveSettingsBlock::kLedBlinkCycle) == blinkCycle);
    FUZZ_CHECK(now.At(DriveSettingsBlock::kUsbDirectPattern) == usbPattern);
}

}  // namespace
}  // namespace tavoren::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tavoren::DriveSettingsBlock block = tavoren::fuzz::BlockFrom(data, size);
    tavoren::fuzz::CheckReadPath(block);
    tavoren::fuzz::CheckWriteBack(block);
    return 0;
}

// The Setting and LED pages on a drive whose settings block is the input: the real pages on
// the offscreen platform, through the simulated bus. The controls must show what the block
// says, and a click or Apply must send only the page's own commands, carrying what is shown.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "drive/CommandSet.h"
#include "fuzz/FuzzSupport.h"
#include "pages/CDialogSettingBd8.h"
#include "pages/CLedDialog.h"
#include "sim/SimulatedBus.h"

namespace tavoren::fuzz {
namespace {

constexpr int kQuietOn = 1012, kPersistent = 1003, kQuiet = 1004, kPerformance = 1005;
constexpr int kSaveQuiet = 1006, kVeritraxOn = 1007, kPerfect = 1008, kMaster = 1009;
constexpr int kRealTime = 1010, kSaveVeritrax = 1011;
constexpr int kSettingButtons[] = {kQuietOn,    kPersistent, kQuiet,  kPerformance, kSaveQuiet,
                                   kVeritraxOn, kPerfect,    kMaster, kRealTime,    kSaveVeritrax};
constexpr int kPatternList = 1000, kBrightnessBar = 1023, kBlinkCycleBar = 1024;
constexpr int kUsbDirectList = 1025, kApplyButton = 1040;

constexpr std::uint8_t kSetCdSpeed = 0xBB;
constexpr std::uint8_t kWriteBuffer = 0x3B;
constexpr std::uint8_t kVeritraxPage = 0x01;
constexpr std::uint8_t kLedPage = 0x0E;

// The drive's writes since the trace was last cleared.
std::vector<sim::TraceEntry> Writes(const sim::SimulatedBus& bus) {
    std::vector<sim::TraceEntry> writes;
    for (const sim::TraceEntry& entry : bus.Commands()) {
        if (entry.direction != TransferDirection::DataIn) writes.push_back(entry);
    }
    return writes;
}

bool IsPageWrite(const sim::TraceEntry& entry, std::uint8_t pageCode) {
    return entry.cdb[0] == kWriteBuffer && entry.dataOut.size() == kSettingsBlockSize &&
           entry.dataOut[0] == pageCode;
}

QAbstractButton* Button(const CPageDialog& page, int id) {
    auto* button = page.ControlAs<QAbstractButton>(id);
    FUZZ_CHECK(button != nullptr);
    return button;
}

bool Checked(const CPageDialog& page, int id) { return Button(page, id)->isChecked(); }
bool Enabled(const CPageDialog& page, int id) { return Button(page, id)->isEnabled(); }

void CheckSettingControls(const CDialogSettingBd8& page, const DriveSettingsBlock& block) {
    const QuietMode quiet = DecodeQuietMode(block);
    const bool quietOn = quiet != QuietMode::Off;
    FUZZ_CHECK(Checked(page, kQuietOn) == quietOn);
    FUZZ_CHECK(Checked(page, kPersistent) == (quiet == QuietMode::PersistentQuiet));
    FUZZ_CHECK(Checked(page, kQuiet) == (quiet == QuietMode::Quiet));
    FUZZ_CHECK(Checked(page, kPerformance) == (quiet == QuietMode::Performance));
    for (const int mode : {kPersistent, kQuiet, kPerformance}) {
        FUZZ_CHECK(Enabled(page, mode) == quietOn);
    }
    const bool veritraxOn = block.VeritraxOn();
    FUZZ_CHECK(Checked(page, kVeritraxOn) == veritraxOn);
    FUZZ_CHECK(Checked(page, kPerfect) == (veritraxOn && block.VeritraxPerfect()));
    FUZZ_CHECK(Checked(page, kMaster) == (veritraxOn && !block.VeritraxPerfect()));
    FUZZ_CHECK(Enabled(page, kPerfect) == veritraxOn && Enabled(page, kMaster) == veritraxOn);
    // Every refresh reads the same block here, so the real-time box follows byte 28 alone.
    FUZZ_CHECK(Checked(page, kRealTime) == block.HasRealTime());
    FUZZ_CHECK(Button(page, kRealTime)->isHidden() == !block.HasRealTime());
}

// A click sends the transient and the stored quiet mode, then the read-error page: nothing else.
void CheckSettingClick(CDialogSettingBd8& page, sim::SimulatedBus& bus,
                       const DriveSettingsBlock& block, int clicked) {
    QAbstractButton* button = Button(page, clicked);
    if (!button->isEnabled() || button->isHidden()) return;
    bus.ClearTrace();
    button->click();
    const std::vector<sim::TraceEntry> writes = Writes(bus);
    FUZZ_CHECK(writes.size() == 3);
    FUZZ_CHECK(writes[0].cdb[0] == kSetCdSpeed && writes[1].cdb[0] == kSetCdSpeed);
    const auto transient = static_cast<std::uint8_t>(writes[0].cdb[10]);
    const auto stored = static_cast<std::uint8_t>(writes[1].cdb[10]);
    FUZZ_CHECK((transient & 0xC0) == 0x80 && (stored & 0x80) != 0);
    FUZZ_CHECK(((stored + 3) & 0x03) == (transient & 0x03));
    FUZZ_CHECK(IsPageWrite(writes[2], kVeritraxPage));
    // The drive still reports the same block, so the page shows it again.
    CheckSettingControls(page, block);
}

void CheckLedPage(sim::SimulatedBus& bus, const DriveSettingsBlock& block) {
    const CLedDialog page(nullptr);
    auto* patterns = page.ControlAs<QComboBox>(kPatternList);
    auto* brightness = page.ControlAs<QSlider>(kBrightnessBar);
    auto* blinkCycle = page.ControlAs<QSlider>(kBlinkCycleBar);
    auto* usbPatterns = page.ControlAs<QComboBox>(kUsbDirectList);
    auto* apply = page.ControlAs<QPushButton>(kApplyButton);
    FUZZ_CHECK(patterns && brightness && blinkCycle && usbPatterns && apply);

    const std::uint8_t pattern = block.At(DriveSettingsBlock::kLedPattern);
    FUZZ_CHECK(patterns->currentIndex() == (pattern < 6 ? pattern : -1));
    FUZZ_CHECK(brightness->value() ==
               std::min(block.At(DriveSettingsBlock::kLedBrightness), std::uint8_t{2}));
    FUZZ_CHECK(blinkCycle->value() ==
               std::min(block.At(DriveSettingsBlock::kLedBlinkCycle), std::uint8_t{3}));
    FUZZ_CHECK(blinkCycle->isHidden() == (patterns->currentIndex() >= 3));
    FUZZ_CHECK(usbPatterns->isHidden() == !block.HasUsbDirect());
    if (block.HasUsbDirect()) {
        const std::uint8_t usbPattern = block.At(DriveSettingsBlock::kUsbDirectPattern);
        FUZZ_CHECK(usbPatterns->currentIndex() == (usbPattern < 2 ? usbPattern : -1));
    }

    if (!apply->isEnabled()) return;
    bus.ClearTrace();
    const auto shown = [](int index) { return static_cast<std::uint8_t>(index); };
    const std::uint8_t sentPattern = shown(patterns->currentIndex());
    const std::uint8_t sentBrightness = shown(brightness->value());
    const std::uint8_t sentCycle = shown(blinkCycle->value());
    const std::uint8_t sentUsb = shown(usbPatterns->currentIndex());
    apply->click();
    const std::vector<sim::TraceEntry> writes = Writes(bus);
    FUZZ_CHECK(writes.size() == 1 && IsPageWrite(writes[0], kLedPage));
    const std::vector<std::uint8_t>& sent = writes[0].dataOut;
    FUZZ_CHECK(sent[3] == sentPattern && sent[4] == sentBrightness && sent[6] == sentCycle &&
               sent[7] == sentUsb);
}

}  // namespace
}  // namespace tavoren::fuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(*argc, *argv);
    return 0;
}

// The first 256 bytes are the block; the next one picks the Setting page's control to click.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavoren;
    using namespace tavoren::fuzz;
    DriveSettingsBlock block;
    std::copy_n(data, std::min(size, kSettingsBlockSize), block.bytes.begin());
    const int clicked = kSettingButtons[size > kSettingsBlockSize
                                            ? data[kSettingsBlockSize] % std::size(kSettingButtons)
                                            : 0];

    auto owned = std::make_unique<sim::SimulatedBus>();
    sim::SimulatedBus& bus = *owned;
    bus.AttachDrive('E', sim::FullDriveProfile())
        .SetBlockFilter([&block](DriveSettingsBlock& returned, int) { returned = block; });
    const ScopedBackend scope(std::move(owned));
    FUZZ_CHECK(OpenDrive('E'));

    {
        CDialogSettingBd8 page(nullptr);
        CheckSettingControls(page, block);
        CheckSettingClick(page, bus, block, clicked);
    }
    CheckLedPage(bus, block);
    return 0;
}

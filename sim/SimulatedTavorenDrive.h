#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "drive/SettingsBlock.h"
#include "sim/SimulatedDevice.h"

namespace tavoren::sim {

// What a model reports about itself. Texts are placed raw at their INQUIRY offsets
// (vendor 8, product 16, revision 32, vendor-specific 36), each padded with spaces to its
// field width; a text may hold zero bytes. The model code is placed raw at byte 16 of F1h.
struct DriveProfile {
    std::string vendor = "TAVOREN";
    std::string product;
    std::string revision;
    std::string vendorSpecific;
    std::string modelCode;
    bool realTime = false;   // settings block byte 28
    bool ledControl = false; // byte 30
    bool usbDirect = false;  // byte 39
};

DriveProfile BasicDriveProfile();  // "KMV 4410": neither real-time nor LED
DriveProfile LedDriveProfile();    // "KMV 4460": LEDs, no USB direct mode
DriveProfile FullDriveProfile();   // "KMV 4461": everything

// Settings the drive keeps, volatile or saved.
struct DriveSettings {
    std::uint8_t quietCode = 2;        // 0 off, 1 performance, 2 quiet, 3 persistent quiet
    bool veritraxOn = false;
    std::uint8_t veritraxModeByte = 0; // FEh perfect, 08h master, as page byte 3 was sent
    bool realTimeVeritrax = false;
    std::uint8_t ledPattern = 0;
    std::uint8_t ledBrightness = 2;
    std::uint8_t ledBlinkCycle = 2;
    std::uint8_t usbDirectPattern = 0;

    bool operator==(const DriveSettings&) const = default;
};

enum class BusPowerOutcome {
    Pass,       // result above 4500
    Marginal,   // result at or below 4500
    DropsOffBus // the drive stops answering once the check starts
};

struct DriveFaults {
    bool unplugged = false;          // requests are not delivered, opens fail
    bool stuckBecomingReady = false; // READ DISC INFORMATION answers 2/04/01 for ever
    bool unitAttentionStorm = false; // every command answers 6/29/00
    bool garbageReads = false;       // data-in commands return pseudo-random bytes
};

// A Tavoren drive as the utility sees it through its commands.
class SimulatedTavorenDrive final : public SimulatedDevice {
public:
    explicit SimulatedTavorenDrive(DriveProfile profile);

    CommandResult Execute(const CommandRequest& request) override;

    const DriveProfile& Profile() const { return m_profile; }
    DriveSettings& Settings() { return m_volatile; }
    DriveSettings& SavedSettings() { return m_saved; }
    DriveFaults& Faults() { return m_faults; }

    // Volatile settings fall back to the saved ones; a power-on unit attention is pending.
    void PowerCycle();

    void InsertDisc();  // a changed-medium unit attention, then a few becoming-ready polls
    void RemoveDisc();
    bool HasDisc() const { return m_hasDisc; }
    bool TrayOpen() const { return m_trayOpen; }
    // Polls of READ DISC INFORMATION answered 2/04/01 after a disc goes in (default 3).
    void SetSpinUpPolls(int polls) { m_spinUpPolls = polls; }
    // When set, a disc is loaded again right after every eject (what the demo wants).
    void SetReloadAfterEject(bool reload) { m_reloadAfterEject = reload; }

    void SetBusPowerOutcome(BusPowerOutcome outcome) { m_busPowerOutcome = outcome; }
    void SetBusPowerResult(std::uint32_t value) { m_busPowerResult = value; }
    bool BusPowerCheckStarted() const { return m_busPowerStarted; }

    // The block as the drive would return it now.
    DriveSettingsBlock SettingsBlock() const;
    // Lets a test rewrite each returned block; `readIndex` counts F4h reads from 0.
    using BlockFilter = std::function<void(DriveSettingsBlock& block, int readIndex)>;
    void SetBlockFilter(BlockFilter filter) { m_blockFilter = std::move(filter); }

private:
    CommandResult Respond(const CommandRequest& request);
    CommandResult Dispatch(const CommandRequest& request);
    CommandResult FillWithGarbage(const CommandRequest& request);
    CommandResult ReadBuffer(const CommandRequest& request);
    CommandResult ReturnSettingsBlock(const CommandRequest& request, std::uint32_t length);
    CommandResult ReturnBusPowerResult(const CommandRequest& request, std::uint32_t length);
    CommandResult WriteBuffer(const CommandRequest& request);
    CommandResult WriteParameterPage(const CommandRequest& request);
    CommandResult SetCdSpeed(const CommandRequest& request);
    CommandResult StartStopUnit(const CommandRequest& request);
    CommandResult ReadDiscInformation(const CommandRequest& request);
    void StartBusPowerCheck();
    void Eject();

    DriveProfile m_profile;
    DriveSettings m_volatile;
    DriveSettings m_saved;
    DriveFaults m_faults;
    bool m_hasDisc = false;
    bool m_trayOpen = false;
    bool m_mediumChanged = false;
    bool m_powerOnPending = false;
    int m_spinUpPolls = 3;
    int m_spinUpRemaining = 0;
    bool m_reloadAfterEject = false;
    BusPowerOutcome m_busPowerOutcome = BusPowerOutcome::Pass;
    std::uint32_t m_busPowerResult = 0;
    bool m_busPowerStarted = false;
    int m_blockReads = 0;
    std::uint32_t m_garbageSeed = 0x2545F491;
    BlockFilter m_blockFilter;
};

}  // namespace tavoren::sim

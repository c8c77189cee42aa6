#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <chrono>
#include <memory>
#include <vector>

#include "drive/ActiveBackend.h"
#include "drive/Clock.h"
#include "drive/CommandSet.h"
#include "drive/CurrentDrive.h"
#include "drive/Transport.h"
#include "pages/CDialogSettingBd8.h"
#include "pages/CLedDialog.h"
#include "pages/CUtilityDialog.h"
#include "pages/Prompt.h"
#include "res/StringTable.h"
#include "sim/SimulatedBus.h"
#include "tests/faults/ScheduledFaults.h"

// The pages against a drive that fails part way: unplugged, or answering a storm of unit
// attentions from some command on. The pages must end in a known state, never write what the
// user did not ask for, and show what the drive then reports.
namespace tavoren {
namespace {

using testing::FaultKind;
using testing::FaultWindow;
using testing::ScheduledFaults;

constexpr int kQuietOn = 1012;
constexpr int kPersistentQuiet = 1003;
constexpr int kVeritraxOn = 1007;
constexpr int kRunButton = 1026;
constexpr int kApplyButton = 1040;
constexpr int kNoDiscString = 139;
constexpr int kMarginalString = 105;
constexpr int kDroppedOffString = 106;
constexpr int kCountdownAndVerdictTicks = 26;

bool IsWrite(const sim::TraceEntry& entry) { return entry.cdb[0] == 0x3B || entry.cdb[0] == 0xBB; }

struct SentWrite {
    Cdb cdb;
    std::vector<std::uint8_t> data;
    bool operator==(const SentWrite&) const = default;
};

class GuiFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_bus = std::make_unique<sim::SimulatedBus>();
        m_drive = &m_bus->AttachDrive('E', sim::FullDriveProfile());
        m_drive->SetSpinUpPolls(0);
        m_drive->InsertDisc();
        m_drive->SetReloadAfterEject(true);
        m_previousBackend = InstallDeviceBackend(
            std::make_unique<ScheduledFaults>(*m_bus, *m_drive, FaultWindow{}));
        GetCurrentDrive() = {};
        ASSERT_TRUE(OpenDrive('E'));
        res::OverrideUiLanguage(res::Language::English);
        m_previousSleep = InstallSleepFunction([this](std::chrono::milliseconds) { ++m_sleeps; });
        m_previousPrompt = InstallMessagePrompt(
            [this](QWidget*, const QString& text, QMessageBox::StandardButtons, QMessageBox::Icon) {
                m_prompts.push_back(text);
                return QMessageBox::Ok;
            });
        m_parent.resize(600, 500);
        m_parent.show();
    }
    void TearDown() override {
        InstallMessagePrompt(m_previousPrompt);
        InstallSleepFunction(m_previousSleep);
        res::OverrideUiLanguage(std::nullopt);
        GetCurrentDrive() = {};
        InstallDeviceBackend(std::move(m_previousBackend));
    }

    // From now on, the fault covers the commands from `first` (counted from 0 here) on.
    void ScheduleFault(FaultKind kind, std::size_t first) {
        m_bus->ClearTrace();
        InstallDeviceBackend(std::make_unique<ScheduledFaults>(
            *m_bus, *m_drive, FaultWindow{kind, first, FaultWindow::kForever}));
    }

    // The writes sent, a resend after a unit attention counted once.
    std::vector<SentWrite> Writes() const {
        std::vector<SentWrite> writes;
        for (const sim::TraceEntry& entry : m_bus->Commands()) {
            if (!IsWrite(entry)) continue;
            SentWrite write{entry.cdb, entry.dataOut};
            if (writes.empty() || !(writes.back() == write)) writes.push_back(std::move(write));
        }
        return writes;
    }
    std::size_t CommandCount() const { return m_bus->Commands().size(); }

    static bool IsPrefix(const std::vector<SentWrite>& part, const std::vector<SentWrite>& whole) {
        if (part.size() > whole.size()) return false;
        for (std::size_t i = 0; i < part.size(); ++i) {
            if (!(part[i] == whole[i])) return false;
        }
        return true;
    }

    std::unique_ptr<sim::SimulatedBus> m_bus;
    sim::SimulatedTavorenDrive* m_drive = nullptr;
    QWidget m_parent;
    int m_sleeps = 0;
    std::vector<QString> m_prompts;

private:
    std::unique_ptr<DeviceBackend> m_previousBackend;
    SleepFunction m_previousSleep;
    MessagePrompt m_previousPrompt;
};

struct FaultCase {
    const char* name;
    FaultKind kind;
};
constexpr FaultCase kFaults[] = {
    {"unplugged", FaultKind::Unplugged},
    {"unit-attention storm", FaultKind::UnitAttentionStorm},
};

TEST_F(GuiFaultTest, SettingClickEndsInTheDrivesStateWhereverTheFaultStarts) {
    // A healthy click first: its writes and its length bound every faulty one.
    std::vector<SentWrite> healthyWrites;
    std::size_t healthyCommands = 0;
    {
        CDialogSettingBd8 page(&m_parent);
        page.show();
        ScheduleFault(FaultKind::Unplugged, FaultWindow::kForever);
        page.ControlAs<QAbstractButton>(kPersistentQuiet)->click();
        healthyWrites = Writes();
        healthyCommands = CommandCount();
    }
    ASSERT_EQ(healthyWrites.size(), 3u);

    for (const FaultCase& fault : kFaults) {
        for (std::size_t first = 0; first <= healthyCommands; ++first) {
            SCOPED_TRACE(::testing::Message() << fault.name << " from command " << first);
            m_drive->Faults() = {};
            m_drive->Settings() = {};
            ScheduleFault(FaultKind::Unplugged, FaultWindow::kForever);
            CDialogSettingBd8 page(&m_parent);
            page.show();
            ScheduleFault(fault.kind, first);

            page.ControlAs<QAbstractButton>(kPersistentQuiet)->click();

            EXPECT_TRUE(IsPrefix(Writes(), healthyWrites));
            EXPECT_TRUE(m_prompts.empty());
            if (first <= healthyWrites.size()) {
                // Every read of the refresh failed: the page shows nothing switched on.
                EXPECT_FALSE(page.ControlAs<QAbstractButton>(kQuietOn)->isChecked());
                EXPECT_FALSE(page.ControlAs<QAbstractButton>(kPersistentQuiet)->isEnabled());
                EXPECT_FALSE(page.ControlAs<QAbstractButton>(kVeritraxOn)->isChecked());
            } else if (first == healthyCommands) {
                EXPECT_TRUE(page.ControlAs<QAbstractButton>(kPersistentQuiet)->isChecked());
            }
            m_drive->Faults() = {};
        }
    }
}

TEST_F(GuiFaultTest, BusPowerCheckOnADriveStuckBecomingReadyEndsWithinItsCap) {
    m_drive->Faults().stuckBecomingReady = true;
    CUtilityDialog page(&m_parent);
    page.show();
    m_bus->ClearTrace();

    page.ControlAs<QPushButton>(kRunButton)->click();

    ASSERT_FALSE(m_prompts.empty());
    EXPECT_EQ(m_prompts.back(), res::LoadString(kNoDiscString));
    EXPECT_EQ(m_sleeps, 2 * (kMaxDiscReadyPolls - 1));
    EXPECT_FALSE(page.PageTimer().isActive());
    EXPECT_FALSE(m_bus->NotificationHeld('E'));
    EXPECT_TRUE(page.ControlAs<QPushButton>(kRunButton)->isEnabled());
    EXPECT_TRUE(Writes().empty());
}

TEST_F(GuiFaultTest, BusPowerCheckEndsCleanlyWhereverTheDriveIsUnplugged) {
    std::size_t healthyCommands = 0;
    std::vector<SentWrite> healthyWrites;
    {
        CUtilityDialog page(&m_parent);
        ScheduleFault(FaultKind::Unplugged, FaultWindow::kForever);
        page.ControlAs<QPushButton>(kRunButton)->click();
        for (int tick = 0; tick < kCountdownAndVerdictTicks; ++tick) page.OnTimer();
        healthyCommands = CommandCount();
        healthyWrites = Writes();
    }
    ASSERT_EQ(healthyWrites.size(), 1u) << "the start of the check";
    ASSERT_GE(healthyCommands, 8u);
    for (std::size_t first = 0; first < healthyCommands; ++first) {
        SCOPED_TRACE(::testing::Message() << "unplugged from command " << first);
        m_drive->Faults() = {};
        m_drive->InsertDisc();
        m_prompts.clear();
        CUtilityDialog page(&m_parent);
        ScheduleFault(FaultKind::Unplugged, first);

        page.ControlAs<QPushButton>(kRunButton)->click();
        for (int tick = 0; tick < kCountdownAndVerdictTicks && page.PageTimer().isActive();
             ++tick) {
            page.OnTimer();
        }

        EXPECT_FALSE(page.PageTimer().isActive());
        EXPECT_FALSE(m_bus->NotificationHeld('E'));
        EXPECT_TRUE(page.ControlAs<QPushButton>(kRunButton)->isEnabled());
        EXPECT_TRUE(IsPrefix(Writes(), healthyWrites));
        // An unplugged drive answers nothing, so the check runs on and finds it gone; only the
        // result read itself failing leaves a drive that still answered INQUIRY.
        EXPECT_EQ(page.m_statusText->text(),
                  res::LoadString(first + 1 < healthyCommands ? kDroppedOffString
                                                              : kMarginalString));
    }
}

TEST_F(GuiFaultTest, GarbageSettingsBlocksNeverMakeTheLedPageWrite) {
    m_drive->Faults().garbageReads = true;
    CLedDialog page(&m_parent);
    for (int round = 0; round < 5; ++round) {
        page.show();
        page.hide();
    }
    EXPECT_TRUE(Writes().empty());

    page.show();
    auto* apply = page.ControlAs<QPushButton>(kApplyButton);
    auto* brightnessBar = page.ControlAs<QSlider>(1023);
    if (!apply->isEnabled()) brightnessBar->setValue(brightnessBar->value() == 0 ? 1 : 0);
    ASSERT_TRUE(apply->isEnabled());
    const int pattern = page.ControlAs<QComboBox>(1000)->currentIndex();
    const int brightness = page.ControlAs<QSlider>(1023)->value();
    const int cycle = page.ControlAs<QSlider>(1024)->value();
    apply->click();

    const std::vector<SentWrite> writes = Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].data[0], 0x0E);
    EXPECT_EQ(writes[0].data[3], static_cast<std::uint8_t>(pattern));
    EXPECT_EQ(writes[0].data[4], brightness);
    EXPECT_EQ(writes[0].data[6], cycle);
    EXPECT_LE(brightness, 2);
    EXPECT_LE(cycle, 3);
}

}  // namespace
}  // namespace tavoren

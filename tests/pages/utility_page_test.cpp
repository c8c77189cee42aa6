#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/CTavorenDriveUtilityDlg.h"
#include "drive/ActiveBackend.h"
#include "drive/Clock.h"
#include "drive/CommandSet.h"
#include "drive/CurrentDrive.h"
#include "drive/Transport.h"
#include "pages/CUtilityDialog.h"
#include "pages/Prompt.h"
#include "res/StringTable.h"
#include "sim/SimulatedBus.h"

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tavoren {
namespace {

using namespace std::chrono_literals;
using Answer = QMessageBox::StandardButton;

constexpr int kRunButton = 1026;
constexpr int kForceEjectButton = 1015;
constexpr int kResetButton = 1043;

constexpr int kInsertDiscString = 138;
constexpr int kNoDiscString = 139;
constexpr int kResetConfirmString = 145;
constexpr int kForceEjectConfirmString = 152;

// The countdown's 25 ticks and the verdict's.
constexpr int kCountdownTicks = 25;

struct Prompted {
    QWidget* owner = nullptr;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// A command the way the drive's manual names it, with the fields that tell the actions apart.
std::string Describe(const sim::TraceEntry& entry) {
    const Cdb& cdb = entry.cdb;
    const unsigned offset = (unsigned{cdb[3]} << 16) | (unsigned{cdb[4]} << 8) | cdb[5];
    switch (cdb[0]) {
        case 0x12:
            return "INQUIRY";
        case 0x1B:
            if (cdb[4] == 0x02) return "EJECT";
            if (cdb[4] == 0x00) return "STOP";
            return "START STOP UNIT " + Hex(cdb[4], 2) + "h";
        case 0x51:
            return "READ DISC INFORMATION";
        case 0xBB:
            return "SET CD SPEED " + Hex(cdb[10], 2) + "h";
        case 0x3C:
            return "READ BUFFER " + Hex(cdb[2], 2) + "h " + Hex(offset, 6) + "h";
        case 0x3B: {
            std::string text = "WRITE BUFFER " + Hex(cdb[2], 2) + "h " + Hex(offset, 6) + "h";
            for (std::size_t i = 0; i < entry.dataOut.size(); ++i) {
                if (i < 8) {
                    text += " " + Hex(entry.dataOut[i], 2);
                } else if (entry.dataOut[i] != 0) {
                    return text + " and more";
                }
            }
            return text;
        }
        default:
            return "opcode " + Hex(cdb[0], 2) + "h";
    }
}

// The page on a plain parent, a simulated full-featured drive at E, message boxes answered by
// the test and pauses recorded instead of slept.
class UtilityPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto bus = std::make_unique<sim::SimulatedBus>();
        m_bus = bus.get();
        m_previousBackend = InstallDeviceBackend(std::move(bus));
        m_drive = &m_bus->AttachDrive('E', sim::FullDriveProfile());
        m_drive->SetSpinUpPolls(0);
        GetCurrentDrive() = {};
        ASSERT_TRUE(OpenDrive('E'));
        res::OverrideUiLanguage(res::Language::English);
        g_pMainDlg = nullptr;
        m_previousSleep = InstallSleepFunction([this](std::chrono::milliseconds duration) {
            m_sleeps.push_back(duration);
            if (m_whileSleeping) m_whileSleeping();
        });
        m_previousPrompt = InstallMessagePrompt([this](QWidget* owner, const QString& text,
                                                       QMessageBox::StandardButtons buttons,
                                                       QMessageBox::Icon icon) {
            m_prompts.push_back({owner, text, buttons, icon});
            return m_answer ? m_answer(text) : Answer::Ok;
        });
    }

    void TearDown() override {
        m_host.reset();
        InstallMessagePrompt(std::move(m_previousPrompt));
        InstallSleepFunction(std::move(m_previousSleep));
        res::OverrideUiLanguage(std::nullopt);
        GetCurrentDrive() = {};
        InstallDeviceBackend(std::move(m_previousBackend));
    }

    CUtilityDialog& MakePage() {
        m_host = std::make_unique<QWidget>();
        m_host->resize(500, 500);
        m_page = new CUtilityDialog(m_host.get());
        m_host->show();
        m_page->show();
        return *m_page;
    }

    QPushButton* Button(int id) const { return m_page->ControlAs<QPushButton>(id); }
    bool ActionsEnabled() const {
        return Button(kRunButton)->isEnabled() && Button(kForceEjectButton)->isEnabled() &&
               Button(kResetButton)->isEnabled();
    }
    bool ActionsDisabled() const {
        return !Button(kRunButton)->isEnabled() && !Button(kForceEjectButton)->isEnabled() &&
               !Button(kResetButton)->isEnabled();
    }

    // A disc the drive has already spun up, so the trace starts with the action's own commands.
    void LoadSettledDisc() {
        m_drive->InsertDisc();
        ASSERT_TRUE(WaitForDiscReady());
        m_bus->ClearTrace();
    }

    // The user puts a disc in while message 138 is open.
    void InsertDiscWhenAsked() {
        m_answer = [this](const QString& text) {
            if (text == res::LoadString(kInsertDiscString)) m_drive->InsertDisc();
            return Answer::Ok;
        };
    }

    void Tick(int times) {
        for (int i = 0; i < times; ++i) m_page->OnTimer();
    }

    // What the drive was sent since the trace was last cleared; the transport's resends after a
    // unit attention are its own business.
    std::vector<std::string> Sent() const {
        std::vector<std::string> sent;
        for (const sim::TraceEntry& entry : m_bus->Commands()) {
            if (entry.senseKey != 0x06) sent.push_back(Describe(entry));
        }
        return sent;
    }

    sim::SimulatedBus* m_bus = nullptr;
    sim::SimulatedTavorenDrive* m_drive = nullptr;
    CUtilityDialog* m_page = nullptr;
    std::vector<Prompted> m_prompts;
    std::function<Answer(const QString& text)> m_answer;
    std::vector<std::chrono::milliseconds> m_sleeps;
    std::function<void()> m_whileSleeping;

private:
    std::unique_ptr<DeviceBackend> m_previousBackend;
    SleepFunction m_previousSleep;
    MessagePrompt m_previousPrompt;
    std::unique_ptr<QWidget> m_host;
};

std::optional<QString> HoverText(QWidget* control) {
    QToolTip::hideText();
    const QPoint pos = control->rect().center();
    QHelpEvent event(QEvent::ToolTip, pos, control->mapToGlobal(pos));
    QApplication::sendEvent(control, &event);
    if (!QToolTip::isVisible()) return std::nullopt;
    QTextDocument document;
    document.setHtml(QToolTip::text());
    return document.toPlainText();
}

class UtilityPageTextTest : public UtilityPageTest,
                            public ::testing::WithParamInterface<res::Language> {};

TEST_P(UtilityPageTextTest, ControlsAndTipsCarryTheirStrings) {
    res::OverrideUiLanguage(GetParam());
    CUtilityDialog& page = MakePage();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page.window()));
    const auto text = [](int stringId) { return res::DisplayText(res::LoadString(stringId)); };

    EXPECT_EQ(page.m_busPowerGroup->title(), text(130));
    EXPECT_EQ(page.m_ejectGroup->title(), text(132));
    EXPECT_EQ(page.m_statusText->text(), QString());
    EXPECT_EQ(page.m_spareText->text(), QString());
    EXPECT_EQ(page.m_resetButton, Button(kResetButton));

    struct ButtonStrings {
        int id;
        int label;
        int tip;
    };
    for (const ButtonStrings& button :
         {ButtonStrings{kRunButton, 131, 142}, ButtonStrings{kForceEjectButton, 133, 151},
          ButtonStrings{kResetButton, 144, 146}}) {
        SCOPED_TRACE(testing::Message() << "button " << button.id);
        EXPECT_EQ(Button(button.id)->text(), text(button.label));
        const std::optional<QString> tip = HoverText(Button(button.id));
        ASSERT_TRUE(tip.has_value());
        EXPECT_EQ(tip->simplified(), text(button.tip).simplified());
    }
    QToolTip::hideText();
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, UtilityPageTextTest,
                         ::testing::Values(res::Language::English, res::Language::Japanese),
                         [](const auto& info) {
                             return info.param == res::Language::English ? "English" : "Japanese";
                         });

TEST_F(UtilityPageTest, CheckCountsDownFrom24To0AndGivesItsVerdictOnThe26thTick) {
    CUtilityDialog& page = MakePage();
    page.m_statusText->setText(QStringLiteral("verdict of an earlier check"));
    bool heldWhileAsking = false;
    bool busyWhileAsking = false;
    m_answer = [&](const QString&) {
        heldWhileAsking = m_bus->NotificationHeld('E');
        busyWhileAsking = ActionsDisabled() && page.m_statusText->text().isEmpty();
        m_drive->InsertDisc();
        return Answer::Ok;
    };
    Button(kRunButton)->click();

    ASSERT_EQ(m_prompts.size(), 1u);
    EXPECT_EQ(m_prompts[0].text, res::LoadString(kInsertDiscString));
    EXPECT_EQ(m_prompts[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(m_prompts[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(m_prompts[0].owner, &page);
    EXPECT_TRUE(heldWhileAsking);
    EXPECT_TRUE(busyWhileAsking);
    EXPECT_TRUE(page.PageTimer().isActive());
    EXPECT_EQ(page.PageTimer().interval(), 1000);
    EXPECT_TRUE(m_drive->BusPowerCheckStarted());

    for (int secondsLeft = 24; secondsLeft >= 0; --secondsLeft) {
        page.OnTimer();
        EXPECT_EQ(page.m_statusText->text(),
                  QStringLiteral("Checking now, rest %1 sec.").arg(secondsLeft));
    }
    EXPECT_TRUE(page.PageTimer().isActive());
    EXPECT_TRUE(ActionsDisabled());
    EXPECT_TRUE(m_bus->NotificationHeld('E'));

    page.OnTimer();
    EXPECT_FALSE(page.PageTimer().isActive());
    EXPECT_EQ(page.m_statusText->text(), QStringLiteral("OK"));
    EXPECT_TRUE(ActionsEnabled());
    EXPECT_FALSE(m_bus->NotificationHeld('E'));
    EXPECT_EQ(m_prompts.size(), 1u);
}

TEST_F(UtilityPageTest, CountdownAndVerdictReadInTheUiLanguage) {
    res::OverrideUiLanguage(res::Language::Japanese);
    CUtilityDialog& page = MakePage();
    InsertDiscWhenAsked();
    Button(kRunButton)->click();
    page.OnTimer();
    EXPECT_EQ(page.m_statusText->text(), QStringLiteral("チェック中 残り24秒"));
    Tick(kCountdownTicks - 1);
    EXPECT_EQ(page.m_statusText->text(), QStringLiteral("チェック中 残り0秒"));
}

TEST(BusPowerVerdict, ResultsAbove4500PassAndTheRestAreMarginal) {
    struct Case {
        std::uint32_t result;
        int verdict;
    };
    for (const Case& c : {Case{0, 105}, Case{4500, 105}, Case{4501, 104}, Case{0xFFFFFFFF, 104}}) {
        EXPECT_EQ(CUtilityDialog::BusPowerVerdictString(c.result), c.verdict) << c.result;
    }
}

struct VerdictCase {
    const char* name;
    sim::BusPowerOutcome outcome;
    std::uint32_t result;
    QString verdict;
    std::vector<std::string> sentAtTheEnd;
};

void PrintTo(const VerdictCase& verdict, std::ostream* out) { *out << verdict.name; }

class UtilityVerdictTest : public UtilityPageTest,
                           public ::testing::WithParamInterface<VerdictCase> {};

// From a disc in the tray to the verdict: the disc comes out, the user loads one, the drive is
// stopped and checks itself; 26 s later it is asked who it is and how it did.
TEST_P(UtilityVerdictTest, CheckSendsItsCommandsInOrderAndReadsTheVerdict) {
    m_drive->SetBusPowerOutcome(GetParam().outcome);
    m_drive->SetBusPowerResult(GetParam().result);
    LoadSettledDisc();
    CUtilityDialog& page = MakePage();
    InsertDiscWhenAsked();
    Button(kRunButton)->click();
    EXPECT_EQ(Sent(),
              (std::vector<std::string>{"READ DISC INFORMATION", "EJECT", "READ DISC INFORMATION",
                                        "STOP", "WRITE BUFFER E6h 010000h"}));

    m_bus->ClearTrace();
    Tick(kCountdownTicks);
    EXPECT_EQ(Sent(), std::vector<std::string>{});
    Tick(1);
    EXPECT_EQ(Sent(), GetParam().sentAtTheEnd);
    EXPECT_EQ(page.m_statusText->text(), GetParam().verdict);
    EXPECT_FALSE(m_bus->NotificationHeld('E'));
    EXPECT_TRUE(ActionsEnabled());
}

INSTANTIATE_TEST_SUITE_P(Outcomes, UtilityVerdictTest,
                         ::testing::Values(VerdictCase{"JustAbove4500",
                                                       sim::BusPowerOutcome::Pass,
                                                       4501,
                                                       QStringLiteral("OK"),
                                                       {"INQUIRY", "READ BUFFER E6h 010000h"}},
                                           VerdictCase{"Exactly4500",
                                                       sim::BusPowerOutcome::Marginal,
                                                       4500,
                                                       QStringLiteral("OK"),
                                                       {"INQUIRY", "READ BUFFER E6h 010000h"}},
                                           // Nothing answers, so nothing more is asked of it.
                                           VerdictCase{"DropsOffTheBus",
                                                       sim::BusPowerOutcome::DropsOffBus,
                                                       0,
                                                       QStringLiteral("NG"),
                                                       {"INQUIRY"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UtilityPageTest, CheckWithAnEmptyTrayGoesStraightToTheRequestForADisc) {
    MakePage();
    InsertDiscWhenAsked();
    Button(kRunButton)->click();
    EXPECT_EQ(Sent(), (std::vector<std::string>{"READ DISC INFORMATION", "READ DISC INFORMATION",
                                                "STOP", "WRITE BUFFER E6h 010000h"}));
    EXPECT_TRUE(m_page->PageTimer().isActive());
}

TEST_F(UtilityPageTest, NoDiscAfterTheRequestEndsTheCheckWithoutStartingIt) {
    CUtilityDialog& page = MakePage();
    Button(kRunButton)->click();

    ASSERT_EQ(m_prompts.size(), 2u);
    EXPECT_EQ(m_prompts[0].text, res::LoadString(kInsertDiscString));
    EXPECT_EQ(m_prompts[1].text, res::LoadString(kNoDiscString));
    EXPECT_EQ(m_prompts[1].buttons, QMessageBox::Ok);
    EXPECT_EQ(m_prompts[1].icon, QMessageBox::NoIcon);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"READ DISC INFORMATION", "READ DISC INFORMATION"}));
    EXPECT_FALSE(m_drive->BusPowerCheckStarted());
    EXPECT_FALSE(page.PageTimer().isActive());
    EXPECT_FALSE(m_bus->NotificationHeld('E'));
    EXPECT_TRUE(ActionsEnabled());
    EXPECT_EQ(page.m_statusText->text(), QString());
}

TEST_F(UtilityPageTest, ClosingThePageMidCheckGivesMediaEventsBack) {
    MakePage();
    InsertDiscWhenAsked();
    Button(kRunButton)->click();
    Tick(3);
    ASSERT_TRUE(m_bus->NotificationHeld('E'));
    delete m_page;
    EXPECT_FALSE(m_bus->NotificationHeld('E'));
}

TEST_F(UtilityPageTest, ForceEjectAfterConfirmationHoldsTheLockThroughItsPause) {
    LoadSettledDisc();
    CUtilityDialog& page = MakePage();
    bool lockFreeWhilePausing = true;
    bool actionsEnabledWhilePausing = false;
    m_whileSleeping = [&] {
        lockFreeWhilePausing = page.m_ejectLock.try_acquire();
        if (lockFreeWhilePausing) page.m_ejectLock.release();
        actionsEnabledWhilePausing = ActionsEnabled();
    };
    Button(kForceEjectButton)->click();

    ASSERT_EQ(m_prompts.size(), 1u);
    EXPECT_EQ(m_prompts[0].text, res::LoadString(kForceEjectConfirmString));
    EXPECT_EQ(m_prompts[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(m_prompts[0].icon, QMessageBox::Warning);
    EXPECT_EQ(Sent(), std::vector<std::string>{"WRITE BUFFER E6h 020000h"});
    EXPECT_FALSE(m_drive->HasDisc());
    EXPECT_EQ(m_sleeps, std::vector<std::chrono::milliseconds>{1000ms});
    EXPECT_FALSE(lockFreeWhilePausing);
    EXPECT_TRUE(actionsEnabledWhilePausing);
    ASSERT_TRUE(page.m_ejectLock.try_acquire());
    page.m_ejectLock.release();
}

TEST_F(UtilityPageTest, FactoryResetAfterConfirmationSendsTheThreeWrites) {
    m_drive->Settings() = {0, true, 0xFE, true, 4, 0, 3, 1};
    MakePage();
    Button(kResetButton)->click();

    ASSERT_EQ(m_prompts.size(), 1u);
    EXPECT_EQ(m_prompts[0].text, res::LoadString(kResetConfirmString));
    EXPECT_EQ(m_prompts[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(m_prompts[0].icon, QMessageBox::Warning);
    EXPECT_EQ(Sent(), (std::vector<std::string>{
                          "WRITE BUFFER FAh 000000h 0E 00 00 00 02 00 02 00", "SET CD SPEED C2h",
                          "WRITE BUFFER FAh 000000h 01 80 00 00 00 01 00 00"}));
    EXPECT_EQ(m_drive->Settings(), sim::DriveSettings{});
}

// Only OK goes ahead; Cancel, or a box closed some other way, leaves the drive alone.
TEST_F(UtilityPageTest, AnythingButOkInAConfirmationSendsNothing) {
    LoadSettledDisc();
    MakePage();
    for (const int button : {kForceEjectButton, kResetButton}) {
        for (const Answer answer : {Answer::Cancel, Answer::NoButton}) {
            SCOPED_TRACE(testing::Message() << "button " << button << ", answer " << answer);
            m_answer = [answer](const QString&) { return answer; };
            m_prompts.clear();
            Button(button)->click();
            EXPECT_EQ(m_prompts.size(), 1u);
            EXPECT_EQ(Sent(), std::vector<std::string>{});
            EXPECT_EQ(m_sleeps, std::vector<std::chrono::milliseconds>{});
        }
    }
    EXPECT_TRUE(m_drive->HasDisc());
}

// Enter and Escape never press the focused button and never hide the page.
TEST_F(UtilityPageTest, EnterAndEscapeDoNothing) {
    CUtilityDialog& page = MakePage();
    for (const int button : {kRunButton, kForceEjectButton, kResetButton}) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            SCOPED_TRACE(testing::Message() << "button " << button << ", key " << key);
            Button(button)->setFocus();
            QTest::keyClick(Button(button), key);
            EXPECT_TRUE(page.isVisible());
            EXPECT_TRUE(m_prompts.empty());
            EXPECT_EQ(Sent(), std::vector<std::string>{});
        }
    }
}

// The page inside the real main window: E's check takes over the window; F is a second drive.
class UtilityInMainWindowTest : public UtilityPageTest {
protected:
    void SetUp() override {
        UtilityPageTest::SetUp();
        m_bus->AttachDrive('F', sim::BasicDriveProfile());
        m_window = std::make_unique<CTavorenDriveUtilityDlg>();
        m_window->show();
        for (std::uint32_t index = 0; index < m_window->m_pageCount; ++index) {
            if (auto* page = qobject_cast<CUtilityDialog*>(m_window->m_pages[index])) {
                m_page = page;
                m_utilityTab = static_cast<int>(index);
            }
        }
        ASSERT_NE(m_page, nullptr);
        m_window->TabControl()->setCurrentIndex(m_utilityTab);
        ASSERT_TRUE(m_page->isVisible());
    }

    void TearDown() override {
        m_window.reset();
        g_pMainDlg = nullptr;
        UtilityPageTest::TearDown();
    }

    bool WindowBusy() const {
        return m_window->m_busy && !m_window->m_driveCombo->isEnabled() &&
               !m_window->PollTimer().isActive();
    }
    bool WindowIdle() const {
        return !m_window->m_busy && m_window->m_driveCombo->isEnabled() &&
               m_window->PollTimer().isActive() && m_window->PollTimer().interval() == 5000;
    }

    std::unique_ptr<CTavorenDriveUtilityDlg> m_window;
    int m_utilityTab = -1;
};

TEST_F(UtilityInMainWindowTest, CheckHoldsTabsSelectorAndKeepAliveUntilItsVerdict) {
    bool busyWhileAsking = false;
    m_answer = [&](const QString&) {
        busyWhileAsking = WindowBusy();
        m_drive->InsertDisc();
        return Answer::Ok;
    };
    Button(kRunButton)->click();
    EXPECT_TRUE(busyWhileAsking);

    Tick(5);
    m_window->TabControl()->setCurrentIndex(0);
    EXPECT_TRUE(m_page->isVisible());
    EXPECT_FALSE(m_window->m_pages[0]->isVisible());
    EXPECT_TRUE(WindowBusy());

    Tick(kCountdownTicks + 1 - 5);
    EXPECT_EQ(m_page->m_statusText->text(), QStringLiteral("OK"));
    EXPECT_TRUE(WindowIdle());
    m_window->TabControl()->setCurrentIndex(m_utilityTab);
    m_window->TabControl()->setCurrentIndex(0);
    EXPECT_FALSE(m_page->isVisible());
    EXPECT_TRUE(m_window->m_pages[0]->isVisible());
}

TEST_F(UtilityInMainWindowTest, ADriveThatDropsOffTheBusIsDroppedFromTheListButNotFromTheTabs) {
    ASSERT_EQ(m_window->m_driveCombo->count(), 2);
    const std::uint32_t pageCount = m_window->m_pageCount;
    const std::array<CPageDialog*, 256> pages = m_window->m_pages;
    const int tabCount = m_window->TabControl()->count();
    m_drive->SetBusPowerOutcome(sim::BusPowerOutcome::DropsOffBus);
    InsertDiscWhenAsked();
    Button(kRunButton)->click();
    Tick(kCountdownTicks + 1);

    EXPECT_EQ(m_page->m_statusText->text(), QStringLiteral("NG"));
    EXPECT_FALSE(m_bus->NotificationHeld('E'));
    ASSERT_EQ(m_window->m_driveCombo->count(), 1);
    EXPECT_TRUE(m_window->m_driveCombo->itemText(0).startsWith(QStringLiteral("F : ")));
    EXPECT_EQ(m_window->m_driveLetters[0], 'F');
    EXPECT_EQ(GetCurrentDrive().letter, 'F');
    EXPECT_NE(GetCurrentDrive().commandHandle, kInvalidDeviceHandle);
    EXPECT_EQ(m_window->m_pageCount, pageCount);
    EXPECT_EQ(m_window->m_pages, pages);
    EXPECT_EQ(m_window->TabControl()->count(), tabCount);
    EXPECT_TRUE(m_page->isVisible());
    EXPECT_TRUE(WindowIdle());
}

// Escape on the page must not reach the main window, which would close.
TEST_F(UtilityInMainWindowTest, EscapeOnThePageLeavesTheWindowOpen) {
    m_bus->ClearTrace();
    Button(kRunButton)->setFocus();
    QTest::keyClick(Button(kRunButton), Qt::Key_Escape);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_TRUE(m_page->isVisible());
    EXPECT_TRUE(m_prompts.empty());
    EXPECT_EQ(Sent(), std::vector<std::string>{});
}

}  // namespace
}  // namespace tavoren

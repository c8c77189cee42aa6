#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "drive/CommandSet.h"
#include "drive/Discovery.h"
#include "drive/Transport.h"
#include "pages/CDialogSettingBd8.h"
#include "pages/CLedDialog.h"
#include "pages/CStatusDialog.h"
#include "pages/CUtilityDialog.h"

namespace tavoren::app::testing {
namespace {

using sim::DriveProfile;

enum class Page { Setting, Status, Utility, Led };

const char* TabText(Page page) {
    switch (page) {
        case Page::Setting:
            return "  Setting  ";
        case Page::Status:
            return "  Status  ";
        case Page::Utility:
            return "  Utility  ";
        case Page::Led:
            return "  LED  ";
    }
    return "";
}

bool IsPage(CPageDialog* page, Page kind) {
    switch (kind) {
        case Page::Setting:
            return dynamic_cast<CDialogSettingBd8*>(page) != nullptr;
        case Page::Status:
            return dynamic_cast<CStatusDialog*>(page) != nullptr;
        case Page::Utility:
            return dynamic_cast<CUtilityDialog*>(page) != nullptr;
        case Page::Led:
            return dynamic_cast<CLedDialog*>(page) != nullptr;
    }
    return false;
}

DriveProfile RealTimeWithoutLedProfile() {
    DriveProfile profile = sim::BasicDriveProfile();
    profile.realTime = true;
    return profile;
}

QTabBar* TabBarOf(const CTavorenDriveUtilityDlg& window) {
    return window.TabControl()->findChild<QTabBar*>();
}

void ClickTab(const CTavorenDriveUtilityDlg& window, int index) {
    QTabBar* bar = TabBarOf(window);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

// Which pages received show and hide events, in order.
class VisibilityLog : public QObject {
public:
    explicit VisibilityLog(const CTavorenDriveUtilityDlg& window) {
        for (std::uint32_t index = 0; index < window.m_pageCount; ++index) {
            window.m_pages[index]->installEventFilter(this);
            m_pages.push_back(window.m_pages[index]);
        }
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
            const auto index = std::find(m_pages.begin(), m_pages.end(), watched) - m_pages.begin();
            m_entries.push_back((event->type() == QEvent::Show ? "show " : "hide ") +
                                std::to_string(index));
        }
        return false;
    }
    std::vector<std::string> TakeEntries() { return std::exchange(m_entries, {}); }

private:
    std::vector<std::string> m_entries;
    std::vector<QObject*> m_pages;
};

// ---- the page set ----

struct PageSetCase {
    const char* name;
    DriveProfile (*firstDrive)();
    std::vector<Page> pages;
};

class PageSetTest : public AppTest, public ::testing::WithParamInterface<PageSetCase> {
protected:
    void ExpectPageSet(const CTavorenDriveUtilityDlg& window) {
        const std::vector<Page>& expected = GetParam().pages;
        ASSERT_EQ(window.m_pageCount, expected.size());
        ASSERT_EQ(window.TabControl()->count(), static_cast<int>(expected.size()));
        const int tabControlZ = window.children().indexOf(window.TabControl());
        const QPoint displayArea = window.TabControl()->currentWidget()->mapTo(&window, QPoint());
        for (std::size_t index = 0; index < expected.size(); ++index) {
            SCOPED_TRACE(index);
            CPageDialog* page = window.m_pages[index];
            EXPECT_EQ(window.TabControl()->tabText(static_cast<int>(index)),
                      QString::fromUtf8(TabText(expected[index])));
            EXPECT_TRUE(IsPage(page, expected[index]));
            EXPECT_EQ(page->parentWidget(), &window);
            EXPECT_GT(window.children().indexOf(page), tabControlZ);
            EXPECT_EQ(page->pos(), displayArea);
            EXPECT_EQ(page->isVisible(), index == 0);
        }
        EXPECT_EQ(window.m_pages[expected.size()], nullptr);
        EXPECT_EQ(window.TabControl()->currentIndex(), 0);
    }
};

TEST_P(PageSetTest, FollowsTheFirstDrivesRealTimeAndLedBytes) {
    Bus().AttachDrive('E', GetParam().firstDrive());
    Bus().AttachDrive('H', sim::FullDriveProfile());
    ExpectPageSet(ShowMainWindow());
}

TEST_P(PageSetTest, GarbageBlockDecidesByThoseTwoBytesAlone) {
    const DriveProfile profile = GetParam().firstDrive();
    Bus().AttachDrive('E', profile).SetBlockFilter([profile](DriveSettingsBlock& block, int read) {
        std::uint32_t state = 0x9E3779B9u + static_cast<std::uint32_t>(read);
        for (std::uint8_t& byte : block.bytes) {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<std::uint8_t>((state >> 24) | 1);
        }
        block.bytes[DriveSettingsBlock::kRealTime] = profile.realTime ? 0x80 : 0;
        block.bytes[DriveSettingsBlock::kLedControl] = profile.ledControl ? 0x02 : 0;
    });
    ExpectPageSet(ShowMainWindow());
}

TEST_P(PageSetTest, TabTextsAreTheSameInJapanese) {
    res::OverrideUiLanguage(res::Language::Japanese);
    Bus().AttachDrive('E', GetParam().firstDrive());
    ExpectPageSet(ShowMainWindow());
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, PageSetTest,
    ::testing::Values(
        PageSetCase{
            "NeitherRealTimeNorLed", sim::BasicDriveProfile, {Page::Setting, Page::Utility}},
        PageSetCase{"RealTimeOnly",
                    RealTimeWithoutLedProfile,
                    {Page::Setting, Page::Status, Page::Utility}},
        PageSetCase{"LedOnly", sim::LedDriveProfile, {Page::Setting, Page::Utility, Page::Led}},
        PageSetCase{"Both",
                    sim::FullDriveProfile,
                    {Page::Setting, Page::Status, Page::Utility, Page::Led}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- start-up ----

using StartUpTest = AppTest;

TEST_F(StartUpTest, ProbesEveryDriveThenReadsTheBlockAroundThePages) {
    Bus().Attach('C', sim::MakeSimulatedDisk());
    Bus().Attach('D', sim::MakeForeignOpticalDrive());
    Bus().AttachDrive('E', sim::FullDriveProfile());
    Bus().AttachDrive('F', sim::BasicDriveProfile());

    // What the pages themselves send while they are made and the first one is shown,
    // measured on the same drive outside the window.
    OpenDrive('E');
    std::vector<Sent> settingMade, statusMade, utilityMade, ledMade, settingShown;
    {
        QWidget host;
        CDialogSettingBd8* setting = nullptr;
        settingMade = SentBy([&] { setting = new CDialogSettingBd8(&host); });
        statusMade = SentBy([&] { new CStatusDialog(&host); });
        utilityMade = SentBy([&] { new CUtilityDialog(&host); });
        ledMade = SentBy([&] { new CLedDialog(&host); });
        settingShown = SentBy([&] {
            setting->show();
            host.show();
        });
    }
    CloseDrive(GetCurrentDrive());
    GetCurrentDrive() = {};
    Bus().ClearTrace();

    ShowMainWindow();

    std::vector<Sent> expected = {ModelCodeRead('C'), ModelCodeRead('D'), ModelCodeRead('E'),
                                  Inquiry('E'),       ModelCodeRead('F'), Inquiry('F')};
    Append(expected, settingMade);
    expected.push_back(SettingsRead('E'));
    Append(expected, statusMade);
    Append(expected, utilityMade);
    expected.push_back(SettingsRead('E'));
    Append(expected, ledMade);
    Append(expected, settingShown);
    EXPECT_EQ(Trace(), expected);
    EXPECT_EQ(GetCurrentDrive().letter, 'E');
}

struct NoDriveCase {
    const char* name;
    res::Language language;
};

class NoDriveTest : public AppTest, public ::testing::WithParamInterface<NoDriveCase> {};

TEST_P(NoDriveTest, ShowsTheMessageAndNothingElse) {
    res::OverrideUiLanguage(GetParam().language);
    Bus().Attach('C', sim::MakeSimulatedDisk());
    Bus().Attach('D', sim::MakeForeignOpticalDrive());

    const CTavorenDriveUtilityDlg& window = ShowMainWindow();

    EXPECT_EQ(Trace(), (std::vector<Sent>{ModelCodeRead('C'), ModelCodeRead('D')}));
    EXPECT_EQ(window.m_noDriveText->text(),
              res::DisplayText(res::LoadString(155, GetParam().language)));
    EXPECT_FALSE(window.m_noDriveText->text().contains('\r'));
    EXPECT_TRUE(window.m_noDriveText->isVisible());
    EXPECT_EQ(window.m_driveCombo->count(), 0);
    EXPECT_EQ(window.TabControl()->count(), 0);
    EXPECT_EQ(window.m_pageCount, 0u);
    EXPECT_TRUE(std::all_of(window.m_pages.begin(), window.m_pages.end(),
                            [](CPageDialog* page) { return page == nullptr; }));
    EXPECT_EQ(GetCurrentDrive().letter, 0);
    EXPECT_TRUE(window.PollTimer().isActive());
}

INSTANTIATE_TEST_SUITE_P(Languages, NoDriveTest,
                         ::testing::Values(NoDriveCase{"English", res::Language::English},
                                           NoDriveCase{"Japanese", res::Language::Japanese}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- drive selector ----

using DriveSelectorTest = AppTest;

TEST_F(DriveSelectorTest, ListsTheSupportedDrivesInLetterOrderAndOpensTheFirst) {
    Bus().Attach('C', sim::MakeSimulatedDisk());
    Bus().AttachDrive('F', sim::BasicDriveProfile());
    Bus().AttachDrive('D', sim::LedDriveProfile());

    const CTavorenDriveUtilityDlg& window = ShowMainWindow();

    ASSERT_EQ(window.m_driveCombo->count(), 2);
    EXPECT_EQ(window.m_driveCombo->currentIndex(), 0);
    EXPECT_EQ(window.m_driveLetters[0], 'D');
    EXPECT_EQ(window.m_driveLetters[1], 'F');
    EXPECT_EQ(window.m_driveLetters[2], 0);
    const QString first = window.m_driveCombo->itemText(0);
    const QString second = window.m_driveCombo->itemText(1);
    EXPECT_EQ(first, QString::fromUtf8(GetDriveDisplayName('D')));
    EXPECT_EQ(second, QString::fromUtf8(GetDriveDisplayName('F')));
    EXPECT_TRUE(first.startsWith("D : TAVOREN"));
    EXPECT_EQ(window.focusWidget(), window.m_driveCombo);
}

TEST_F(DriveSelectorTest, ControlCharactersInTheDriveTextAreShownAsReplacementCharacters) {
    DriveProfile profile = sim::BasicDriveProfile();
    profile.product = "BD\x01RE\tKMV\x7F\x85X";
    Bus().AttachDrive('E', profile);

    const CTavorenDriveUtilityDlg& window = ShowMainWindow();

    ASSERT_EQ(window.m_driveCombo->count(), 1);
    const QString shown = window.m_driveCombo->itemText(0);
    EXPECT_TRUE(shown.startsWith("E : TAVOREN BD\uFFFDRE\uFFFDKMV\uFFFD\uFFFDX"))
        << qPrintable(shown);
    EXPECT_TRUE(std::none_of(shown.begin(), shown.end(), [](QChar character) {
        return character.category() == QChar::Other_Control;
    }));
}

TEST_F(DriveSelectorTest, ASecondPassListsOnlyTheRemainingDrivesAndRefreshesNothing) {
    Bus().AttachDrive('D', sim::FullDriveProfile());
    Bus().AttachDrive('E', sim::BasicDriveProfile());
    Bus().AttachDrive('G', sim::LedDriveProfile());
    CTavorenDriveUtilityDlg& window = ShowMainWindow();
    window.m_driveCombo->setCurrentIndex(2);
    Bus().Detach('D');

    const std::vector<Sent> sent = SentBy([&] { window.EnumerateDrives(); });

    ASSERT_EQ(window.m_driveCombo->count(), 2);
    EXPECT_EQ(window.m_driveCombo->currentIndex(), 0);
    EXPECT_EQ(window.m_driveLetters[0], 'E');
    EXPECT_EQ(window.m_driveLetters[1], 'G');
    EXPECT_EQ(GetCurrentDrive().letter, 'E');
    EXPECT_EQ(sent, (std::vector<Sent>{ModelCodeRead('E'), Inquiry('E'), ModelCodeRead('G'),
                                       Inquiry('G')}));
    EXPECT_EQ(window.m_pageCount, 4u);
}

struct DriveChangeCase {
    const char* name;
    DriveProfile (*firstDrive)();
    DriveProfile (*secondDrive)();
    bool refreshesLedPage;
};

class DriveChangeTest : public AppTest, public ::testing::WithParamInterface<DriveChangeCase> {};

TEST_P(DriveChangeTest, OpensTheDriveThenRefreshesSettingAndMaybeLedPage) {
    const auto attachDrives = [this] {
        Bus().AttachDrive('E', GetParam().firstDrive());
        Bus().AttachDrive('F', GetParam().secondDrive());
    };
    attachDrives();
    CTavorenDriveUtilityDlg& window = ShowMainWindow();
    const std::vector<Sent> sent =
        SentBy([&] { QTest::keyClick(window.m_driveCombo, Qt::Key_Down); });
    EXPECT_EQ(GetCurrentDrive().letter, 'F');
    EXPECT_EQ(window.m_pageCount, static_cast<std::uint32_t>(window.TabControl()->count()));
    // Choosing the entry that is already selected is no change.
    EXPECT_TRUE(SentBy([&] { QTest::keyClick(window.m_driveCombo, Qt::Key_Down); }).empty());

    // The same steps by hand, in a window started the same way.
    StartOver();
    attachDrives();
    ShowMainWindow();
    ASSERT_NE(g_pSettingPage, nullptr);
    ASSERT_TRUE(!GetParam().refreshesLedPage || g_pLedPage != nullptr);
    const std::vector<Sent> expected = SentBy([] {
        OpenDrive('F');
        g_pSettingPage->RefreshFromDrive(false);
        ReadSettingsBlock();
        if (GetParam().refreshesLedPage) g_pLedPage->RefreshFromDrive();
    });
    EXPECT_EQ(sent, expected);
    EXPECT_TRUE(
        std::all_of(sent.begin(), sent.end(), [](const Sent& one) { return one.letter == 'F'; }));
}

INSTANTIATE_TEST_SUITE_P(
    Drives, DriveChangeTest,
    ::testing::Values(
        DriveChangeCase{"ToLedDriveWithLedPage", sim::FullDriveProfile, sim::LedDriveProfile, true},
        DriveChangeCase{"ToDriveWithoutLed", sim::FullDriveProfile, sim::BasicDriveProfile, false},
        DriveChangeCase{"ToLedDriveWithoutLedPage", sim::BasicDriveProfile, sim::FullDriveProfile,
                        false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- tabs and the busy protocol ----

class TabTest : public AppTest {
protected:
    CTavorenDriveUtilityDlg& ShowFourPages() {
        Bus().AttachDrive('E', sim::FullDriveProfile());
        CTavorenDriveUtilityDlg& window = ShowMainWindow();
        EXPECT_EQ(window.m_pageCount, 4u);
        return window;
    }
    // Busy as the Utility page enters and leaves it.
    static void EnterBusy(CTavorenDriveUtilityDlg& window) {
        window.StopPollTimer();
        window.m_driveCombo->setEnabled(false);
        window.m_busy = true;
    }
    static void LeaveBusy(CTavorenDriveUtilityDlg& window) {
        window.StartPollTimer();
        window.m_driveCombo->setEnabled(true);
        window.m_busy = false;
    }
};

TEST_F(TabTest, ATabChangeHidesTheShownPageThenShowsTheSelectedOne) {
    const CTavorenDriveUtilityDlg& window = ShowFourPages();
    VisibilityLog log(window);
    struct Step {
        int tab;
        std::vector<std::string> events;
    };
    const Step steps[] = {{2, {"hide 0", "show 2"}},
                          {3, {"hide 2", "show 3"}},
                          {1, {"hide 3", "show 1"}},
                          {0, {"hide 1", "show 0"}}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.tab);
        ClickTab(window, step.tab);
        EXPECT_EQ(log.TakeEntries(), step.events);
        for (std::uint32_t index = 0; index < window.m_pageCount; ++index) {
            EXPECT_EQ(window.m_pages[index]->isVisible(), static_cast<int>(index) == step.tab);
        }
    }
}

TEST_F(TabTest, WhileBusyTheHighlightMovesButTheShownPageStays) {
    CTavorenDriveUtilityDlg& window = ShowFourPages();
    ClickTab(window, 2);
    EnterBusy(window);
    VisibilityLog log(window);

    ClickTab(window, 3);

    EXPECT_EQ(window.TabControl()->currentIndex(), 3);
    EXPECT_TRUE(window.m_pages[2]->isVisible());
    EXPECT_FALSE(window.m_pages[3]->isVisible());
    EXPECT_TRUE(log.TakeEntries().empty());
    EXPECT_FALSE(window.PollTimer().isActive());

    LeaveBusy(window);
    ClickTab(window, 0);
    EXPECT_EQ(log.TakeEntries(), (std::vector<std::string>{"hide 2", "show 0"}));
}

// ---- keep-alive ----

using PollTimerTest = TabTest;

TEST_F(PollTimerTest, SendsTheKeepAliveToTheCurrentDriveEveryFiveSeconds) {
    CTavorenDriveUtilityDlg& window = ShowFourPages();
    EXPECT_TRUE(window.PollTimer().isActive());
    EXPECT_FALSE(window.PollTimer().isSingleShot());
    EXPECT_EQ(window.PollTimer().interval(), 5000);
    EXPECT_EQ(SentBy([&] { window.OnPollTimer(); }), std::vector<Sent>{KeepAlive('E')});
}

TEST_F(PollTimerTest, StopsWhileBusyAndResumesAtFiveSeconds) {
    CTavorenDriveUtilityDlg& window = ShowFourPages();
    EnterBusy(window);
    EXPECT_FALSE(window.PollTimer().isActive());
    LeaveBusy(window);
    EXPECT_TRUE(window.PollTimer().isActive());
    EXPECT_EQ(window.PollTimer().interval(), 5000);
}

TEST_F(PollTimerTest, WithoutADriveTheKeepAliveGoesNowhere) {
    CTavorenDriveUtilityDlg& window = ShowMainWindow();
    EXPECT_TRUE(window.PollTimer().isActive());
    EXPECT_EQ(SentBy([&] { window.OnPollTimer(); }),
              (std::vector<Sent>{{0, kOpReadBuffer, 0xFF, false}}));
}

// ---- keys ----

struct KeyCase {
    const char* name;
    bool onTabBar;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool closes;
};

class KeyTest : public AppTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyTest, EscapeClosesEnterNever) {
    Bus().AttachDrive('E', sim::FullDriveProfile());
    CTavorenDriveUtilityDlg& window = ShowMainWindow();
    QWidget* target =
        GetParam().onTabBar ? static_cast<QWidget*>(TabBarOf(window)) : window.m_driveCombo;
    QSignalSpy rejected(&window, &QDialog::rejected);
    QSignalSpy accepted(&window, &QDialog::accepted);

    QTest::keyClick(target, GetParam().key, GetParam().modifiers);

    EXPECT_EQ(window.isVisible(), !GetParam().closes);
    EXPECT_EQ(rejected.count(), GetParam().closes ? 1 : 0);
    EXPECT_EQ(accepted.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTest,
    ::testing::Values(KeyCase{"ReturnOnSelector", false, Qt::Key_Return, {}, false},
                      KeyCase{"KeypadEnterOnSelector", false, Qt::Key_Enter, Qt::KeypadModifier,
                              false},
                      KeyCase{"ReturnOnTabs", true, Qt::Key_Return, {}, false},
                      KeyCase{"EscapeOnSelector", false, Qt::Key_Escape, {}, true},
                      KeyCase{"EscapeOnTabs", true, Qt::Key_Escape, {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavoren::app::testing

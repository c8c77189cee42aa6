#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolTip>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "drive/ActiveBackend.h"
#include "drive/CurrentDrive.h"
#include "drive/SettingsBlock.h"
#include "drive/Transport.h"
#include "pages/CLedDialog.h"
#include "res/StringTable.h"
#include "sim/SimulatedBus.h"

namespace tavoren {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kPatternList = 1000;
constexpr int kBrightnessBar = 1023;
constexpr int kBlinkCycleBar = 1024;
constexpr int kUsbDirectList = 1025;
constexpr int kUsbDirectGroup = 1030;
constexpr int kBlinkCycleLabel = 1034;
constexpr int kUsbDirectLabel = 1035;
constexpr int kLongEndLabel = 1036;
constexpr int kApplyButton = 1040;

// What the user sees of the page's state.
struct Shown {
    int pattern = 0;  // -1: no selection
    int brightness = 0;
    int blinkCycle = 0;
    bool blinkCycleShown = false;
    bool usbDirectShown = false;
    int usbDirectPattern = 0;  // -1: no selection
    bool applyEnabled = false;
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& shown, std::ostream* out) {
    *out << "{pattern " << shown.pattern << ", brightness " << shown.brightness << ", cycle "
         << shown.blinkCycle << (shown.blinkCycleShown ? " shown" : " hidden") << ", usb "
         << shown.usbDirectPattern << (shown.usbDirectShown ? " shown" : " hidden") << ", apply "
         << (shown.applyEnabled ? "enabled" : "disabled") << "}";
}

// The page's LED values in the settings block.
struct LedBytes {
    std::uint8_t pattern = 0;     // 31
    std::uint8_t brightness = 0;  // 32
    std::uint8_t blinkCycle = 0;  // 34
    std::uint8_t usbDirect = 0;   // 39
    std::uint8_t usbPattern = 0;  // 40
};

void Put(DriveSettingsBlock& block, const LedBytes& led) {
    block.bytes[DriveSettingsBlock::kLedPattern] = led.pattern;
    block.bytes[DriveSettingsBlock::kLedBrightness] = led.brightness;
    block.bytes[DriveSettingsBlock::kLedBlinkCycle] = led.blinkCycle;
    block.bytes[DriveSettingsBlock::kUsbDirect] = led.usbDirect;
    block.bytes[DriveSettingsBlock::kUsbDirectPattern] = led.usbPattern;
}

void SetLeds(sim::DriveSettings& settings, int pattern, int brightness, int blinkCycle,
             int usbPattern) {
    settings.ledPattern = static_cast<std::uint8_t>(pattern);
    settings.ledBrightness = static_cast<std::uint8_t>(brightness);
    settings.ledBlinkCycle = static_cast<std::uint8_t>(blinkCycle);
    settings.usbDirectPattern = static_cast<std::uint8_t>(usbPattern);
}

// Page 0Eh as WriteLedSettings fills it: code, two zeros, pattern, brightness, zero, cycle, USB.
Bytes LedPage(std::uint8_t pattern, std::uint8_t brightness, std::uint8_t blinkCycle,
              std::uint8_t usbPattern) {
    return {0x0E, 0, 0, pattern, brightness, 0, blinkCycle, usbPattern};
}

class LedPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto bus = std::make_unique<sim::SimulatedBus>();
        m_bus = bus.get();
        m_previousBackend = InstallDeviceBackend(std::move(bus));
        GetCurrentDrive() = {};
        m_host = std::make_unique<QWidget>();
        m_host->resize(480, 400);
        m_host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_host.get()));
    }

    void TearDown() override {
        QToolTip::hideText();
        m_host.reset();
        InstallDeviceBackend(std::move(m_previousBackend));
        GetCurrentDrive() = {};
        res::OverrideUiLanguage(std::nullopt);
    }

    sim::SimulatedTavorenDrive& Open(char letter, sim::DriveProfile profile) {
        sim::SimulatedTavorenDrive& drive = m_bus->AttachDrive(letter, std::move(profile));
        EXPECT_TRUE(OpenDrive(letter));
        return drive;
    }

    std::unique_ptr<CLedDialog> MakePage() { return std::make_unique<CLedDialog>(m_host.get()); }

    // A page on drive E whose blocks carry `led`, already shown once as the user gets it.
    std::unique_ptr<CLedDialog> ShownPageWith(const LedBytes& led) {
        Open('E', sim::FullDriveProfile()).SetBlockFilter([led](DriveSettingsBlock& block, int) {
            Put(block, led);
        });
        auto page = MakePage();
        page->show();
        return page;
    }

    int SettingsReads() const {
        int reads = 0;
        for (const sim::TraceEntry& entry : m_bus->Commands()) {
            if (entry.cdb[0] == 0x3C && entry.cdb[1] == 0x01 && entry.cdb[2] == 0xF4) ++reads;
        }
        return reads;
    }

    // The first eight bytes of every LED page written, oldest first.
    std::vector<Bytes> LedPagesWritten() const {
        std::vector<Bytes> pages;
        for (const sim::TraceEntry& entry : m_bus->Commands()) {
            if (entry.cdb[0] == 0x3B && entry.cdb[2] == 0xFA && entry.dataOut.size() >= 8 &&
                entry.dataOut[0] == 0x0E) {
                pages.emplace_back(entry.dataOut.begin(), entry.dataOut.begin() + 8);
            }
        }
        return pages;
    }

    sim::SimulatedBus* m_bus = nullptr;
    std::unique_ptr<DeviceBackend> m_previousBackend;
    std::unique_ptr<QWidget> m_host;
};

Shown ShownBy(const CLedDialog& page) {
    const auto visible = [&page](int id) { return page.Control(id)->isVisibleTo(&page); };
    EXPECT_EQ(visible(kBlinkCycleBar), visible(kBlinkCycleLabel));
    EXPECT_EQ(visible(kBlinkCycleBar), visible(kLongEndLabel));
    EXPECT_EQ(visible(kUsbDirectList), visible(kUsbDirectGroup));
    EXPECT_EQ(visible(kUsbDirectList), visible(kUsbDirectLabel));
    return {page.ControlAs<QComboBox>(kPatternList)->currentIndex(),
            page.ControlAs<QSlider>(kBrightnessBar)->value(),
            page.ControlAs<QSlider>(kBlinkCycleBar)->value(),
            visible(kBlinkCycleBar),
            visible(kUsbDirectList),
            page.ControlAs<QComboBox>(kUsbDirectList)->currentIndex(),
            page.Control(kApplyButton)->isEnabled()};
}

// The user's own ways of changing the controls: arrow keys on a track bar or a closed list,
// a mouse click on the button.
void UserMoves(QSlider* bar, int position) {
    const Qt::Key key = position < bar->value() ? Qt::Key_Left : Qt::Key_Right;
    for (int presses = bar->maximum(); presses > 0 && bar->value() != position; --presses) {
        QTest::keyClick(bar, key);
    }
    ASSERT_EQ(bar->value(), position);
}

void UserSelects(QComboBox* list, int index) {
    const Qt::Key key = index < list->currentIndex() ? Qt::Key_Up : Qt::Key_Down;
    for (int presses = list->count(); presses > 0 && list->currentIndex() != index; --presses) {
        QTest::keyClick(list, key);
    }
    ASSERT_EQ(list->currentIndex(), index);
}

void UserSets(CLedDialog& page, int controlId, int value) {
    QWidget* control = page.Control(controlId);
    if (auto* bar = qobject_cast<QSlider*>(control)) {
        UserMoves(bar, value);
    } else if (auto* list = qobject_cast<QComboBox*>(control)) {
        UserSelects(list, value);
    } else {
        ADD_FAILURE() << "control " << controlId << " takes no value";
    }
}

void ClickApply(CLedDialog& page) {
    QTest::mouseClick(page.ControlAs<QPushButton>(kApplyButton), Qt::LeftButton);
}

TEST_F(LedPageTest, BlockBytesMapToTheControls) {
    struct Case {
        const char* name;
        LedBytes block;
        Shown shown;
    };
    const Case cases[] = {
        {"values in range", {1, 1, 2, 1, 1}, {1, 1, 2, true, true, 1, false}},
        {"Blink3 keeps the cycle", {2, 0, 1, 1, 0}, {2, 0, 1, true, true, 0, false}},
        {"Flicker hides the cycle", {3, 0, 0, 1, 0}, {3, 0, 0, false, true, 0, false}},
        {"Off hides the cycle", {5, 2, 3, 1, 1}, {5, 2, 3, false, true, 1, false}},
        {"pattern past the list", {6, 1, 1, 1, 0}, {-1, 1, 1, true, true, 0, true}},
        {"pattern FFh equals no selection", {0xFF, 1, 1, 1, 0}, {-1, 1, 1, true, true, 0, false}},
        {"brightness above the bar", {0, 3, 1, 1, 0}, {0, 2, 1, true, true, 0, true}},
        {"brightness FFh", {0, 0xFF, 1, 1, 0}, {0, 2, 1, true, true, 0, true}},
        {"cycle above the bar", {0, 1, 4, 1, 0}, {0, 1, 3, true, true, 0, true}},
        {"cycle above the bar while hidden", {4, 1, 9, 1, 0}, {4, 1, 3, false, true, 0, true}},
        {"USB pattern past the list", {0, 1, 1, 1, 2}, {0, 1, 1, true, true, -1, false}},
        {"no USB direct mode", {0, 1, 1, 0, 1}, {0, 1, 1, true, false, -1, false}},
        {"any nonzero USB direct flag", {0, 1, 1, 0x80, 1}, {0, 1, 1, true, true, 1, false}},
    };
    sim::SimulatedTavorenDrive& drive = Open('E', sim::FullDriveProfile());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        drive.SetBlockFilter([led = c.block](DriveSettingsBlock& block, int) { Put(block, led); });
        auto page = MakePage();
        EXPECT_EQ(ShownBy(*page), c.shown) << "after construction";
        page->show();
        EXPECT_EQ(ShownBy(*page), c.shown) << "after the first showing";
    }
}

TEST_F(LedPageTest, EveryByteTakenComesFromAReadOfItsOwn) {
    struct Case {
        const char* name;
        sim::DriveProfile profile;
        int construction, firstShowing, later;  // block reads of each refresh
    };
    // Three control bytes, the USB direct flag, its pattern only when set, and the four
    // reference bytes while the reference is being taken.
    const Case cases[] = {
        {"USB direct mode", sim::FullDriveProfile(), 9, 9, 5},
        {"no USB direct mode", sim::LedDriveProfile(), 8, 8, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open('E', c.profile);
        m_bus->ClearTrace();
        auto page = MakePage();
        EXPECT_EQ(g_pLedPage, page.get());
        EXPECT_EQ(SettingsReads(), c.construction);
        m_bus->ClearTrace();
        page->show();
        EXPECT_EQ(SettingsReads(), c.firstShowing);
        m_bus->ClearTrace();
        page->hide();
        EXPECT_EQ(SettingsReads(), c.later);
        m_bus->ClearTrace();
        page->RefreshFromDrive();
        EXPECT_EQ(SettingsReads(), c.later);
        page.reset();
        m_bus->Detach('E');
    }
    EXPECT_EQ(g_pLedPage, nullptr);
}

TEST_F(LedPageTest, ApplyIsEnabledExactlyWhileTheControlsDifferFromTheReference) {
    struct Step {
        int controlId;  // kApplyButton: a click
        int value;
        bool applyEnabled;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    // The drive starts at Blink1, brightness 2, cycle 2, USB direct pattern On.
    const Case cases[] = {
        {"brightness moved and back",
         {{kBrightnessBar, 1, true}, {kBrightnessBar, 0, true}, {kBrightnessBar, 2, false}}},
        {"cycle moved and back", {{kBlinkCycleBar, 3, true}, {kBlinkCycleBar, 2, false}}},
        {"stored pattern reselected", {{kPatternList, 4, true}, {kPatternList, 0, false}}},
        {"USB direct pattern reselected", {{kUsbDirectList, 1, true}, {kUsbDirectList, 0, false}}},
        {"two changes undone one by one",
         {{kBrightnessBar, 0, true},
          {kPatternList, 1, true},
          {kBrightnessBar, 2, true},
          {kPatternList, 0, false}}},
        {"applied values become the reference",
         {{kBrightnessBar, 1, true},
          {kApplyButton, 0, false},
          {kBrightnessBar, 2, true},
          {kBrightnessBar, 1, false}}},
    };
    sim::SimulatedTavorenDrive& drive = Open('E', sim::FullDriveProfile());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLeds(drive.Settings(), 0, 2, 2, 0);
        auto page = MakePage();
        page->show();
        ASSERT_FALSE(page->Control(kApplyButton)->isEnabled());
        for (const Step& step : c.steps) {
            SCOPED_TRACE(testing::Message()
                         << "control " << step.controlId << " to " << step.value);
            if (step.controlId == kApplyButton) {
                ClickApply(*page);
            } else {
                UserSets(*page, step.controlId, step.value);
            }
            EXPECT_EQ(page->Control(kApplyButton)->isEnabled(), step.applyEnabled);
        }
    }
}

// The thumb's centre for `position`, in the bar's own coordinates.
QPoint ThumbAt(QSlider* bar, int position) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = position;
    option.sliderValue = position;
    return bar->style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, bar)
        .center();
}

TEST_F(LedPageTest, ApplyFollowsTheThumbWhileItIsDragged) {
    auto page = ShownPageWith({0, 2, 2, 1, 0});
    auto* bar = page->ControlAs<QSlider>(kBrightnessBar);
    QTest::mousePress(bar, Qt::LeftButton, {}, ThumbAt(bar, 2));
    QTest::mouseMove(bar, ThumbAt(bar, 0));
    EXPECT_EQ(bar->sliderPosition(), 0);
    EXPECT_TRUE(page->Control(kApplyButton)->isEnabled());
    QTest::mouseMove(bar, ThumbAt(bar, 2));
    EXPECT_FALSE(page->Control(kApplyButton)->isEnabled());
    QTest::mouseMove(bar, ThumbAt(bar, 1));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, ThumbAt(bar, 1));
    EXPECT_EQ(ShownBy(*page), (Shown{0, 1, 2, true, true, 0, true}));
}

TEST_F(LedPageTest, TheCycleControlsAreShownOnlyForBlinkingPatterns) {
    auto page = ShownPageWith({0, 1, 1, 1, 0});
    for (int pattern : {3, 4, 5, 2, 1, 0, 5, 0}) {
        UserSelects(page->ControlAs<QComboBox>(kPatternList), pattern);
        const Shown shown = ShownBy(*page);
        EXPECT_EQ(shown.blinkCycleShown, pattern < 3) << "pattern " << pattern;
        EXPECT_EQ(shown.blinkCycle, 1) << "pattern " << pattern;
    }
}

TEST_F(LedPageTest, ApplyWritesTheShownValuesInTheDrivesOrderWithoutReadingBack) {
    auto page = ShownPageWith({0, 2, 2, 1, 0});
    UserSets(*page, kBlinkCycleBar, 3);
    UserSets(*page, kPatternList, 4);  // On: the cycle bar hides and keeps its position
    UserSets(*page, kBrightnessBar, 1);
    UserSets(*page, kUsbDirectList, 1);
    m_bus->ClearTrace();
    ClickApply(*page);
    EXPECT_EQ(LedPagesWritten(), std::vector<Bytes>{LedPage(4, 1, 3, 1)});
    EXPECT_EQ(m_bus->Commands().size(), 1u);
    EXPECT_FALSE(page->Control(kApplyButton)->isEnabled());
}

TEST_F(LedPageTest, ApplySendsFFhForNoSelectionAndTheMaximaOfClampedBars) {
    auto page = ShownPageWith({9, 7, 200, 1, 5});
    ASSERT_TRUE(page->Control(kApplyButton)->isEnabled());
    m_bus->ClearTrace();
    ClickApply(*page);
    EXPECT_EQ(LedPagesWritten(), std::vector<Bytes>{LedPage(0xFF, 2, 3, 0xFF)});
    EXPECT_FALSE(page->Control(kApplyButton)->isEnabled());
}

TEST_F(LedPageTest, BeforeTheFirstShowingTheDrivesNewValuesBecomeTheReference) {
    sim::SimulatedTavorenDrive& drive = Open('E', sim::FullDriveProfile());
    SetLeds(drive.Settings(), 0, 2, 2, 0);
    auto page = MakePage();
    SetLeds(drive.Settings(), 3, 1, 0, 1);  // e.g. factory defaults restored elsewhere
    page->show();
    EXPECT_EQ(ShownBy(*page), (Shown{3, 1, 0, false, true, 1, false}));
}

TEST_F(LedPageTest, AfterTheFirstShowingTheDrivesNewValuesEnableApply) {
    sim::SimulatedTavorenDrive& drive = Open('E', sim::FullDriveProfile());
    SetLeds(drive.Settings(), 0, 2, 2, 0);
    auto page = MakePage();
    page->show();
    SetLeds(drive.Settings(), 3, 1, 0, 1);
    page->hide();
    page->show();
    EXPECT_EQ(ShownBy(*page), (Shown{3, 1, 0, false, true, 1, true}));
    m_bus->ClearTrace();
    ClickApply(*page);
    EXPECT_EQ(LedPagesWritten(), std::vector<Bytes>{LedPage(3, 1, 0, 1)});
}

TEST_F(LedPageTest, AChangeOfDriveBeforeTheFirstShowingTakesTheReferenceFromTheNewDrive) {
    sim::SimulatedTavorenDrive& first = Open('E', sim::FullDriveProfile());
    SetLeds(first.Settings(), 0, 2, 2, 0);
    auto page = MakePage();
    SetLeds(Open('F', sim::FullDriveProfile()).Settings(), 1, 0, 3, 0);
    page->RefreshFromDrive();  // as the main window does after a change of drive
    page->show();
    EXPECT_EQ(ShownBy(*page), (Shown{1, 0, 3, true, true, 0, false}));
    ASSERT_TRUE(OpenDrive('E'));
    page->RefreshFromDrive();
    EXPECT_EQ(ShownBy(*page), (Shown{0, 2, 2, true, true, 0, true}));
}

TEST_F(LedPageTest, TheUsbDirectSelectionOfAnEarlierDriveIsStillSent) {
    struct Case {
        const char* name;
        bool earlierDriveWithUsbDirect;
        std::uint8_t usbPatternSent;
    };
    const Case cases[] = {
        {"only a drive without the mode", false, 0xFF},
        {"a drive with the mode first", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLeds(m_bus->AttachDrive('F', sim::LedDriveProfile()).Settings(), 0, 2, 2, 0);
        std::unique_ptr<CLedDialog> page;
        if (c.earlierDriveWithUsbDirect) {
            SetLeds(Open('E', sim::FullDriveProfile()).Settings(), 0, 2, 2, 1);
            page = MakePage();
        }
        ASSERT_TRUE(OpenDrive('F'));
        if (page) {
            page->RefreshFromDrive();  // as the main window does after a change of drive
        } else {
            page = MakePage();
        }
        page->show();
        const Shown shown = ShownBy(*page);
        EXPECT_FALSE(shown.usbDirectShown);
        EXPECT_EQ(static_cast<std::uint8_t>(shown.usbDirectPattern), c.usbPatternSent);
        // A leftover selection is compared with the new drive's byte 40, which is 0.
        EXPECT_EQ(shown.applyEnabled, c.earlierDriveWithUsbDirect);
        UserSets(*page, kBrightnessBar, 0);
        m_bus->ClearTrace();
        ClickApply(*page);
        EXPECT_EQ(LedPagesWritten(), std::vector<Bytes>{LedPage(0, 0, 2, c.usbPatternSent)});
        page.reset();
        m_bus->Detach('E');
        m_bus->Detach('F');
    }
}

TEST_F(LedPageTest, SwitchingAwayAndBackRefreshesTwiceAndDiscardsUnappliedChanges) {
    auto page = ShownPageWith({0, 2, 2, 1, 0});
    UserSets(*page, kBrightnessBar, 0);
    UserSets(*page, kPatternList, 3);
    UserSets(*page, kUsbDirectList, 1);
    m_bus->ClearTrace();
    page->hide();
    page->show();
    EXPECT_EQ(SettingsReads(), 2 * 5);
    EXPECT_EQ(ShownBy(*page), (Shown{0, 2, 2, true, true, 0, false}));
    EXPECT_TRUE(LedPagesWritten().empty());
}

TEST_F(LedPageTest, AFailedWriteStillBecomesTheReference) {
    sim::SimulatedTavorenDrive& drive = Open('E', sim::FullDriveProfile());
    SetLeds(drive.Settings(), 0, 2, 2, 0);
    auto page = MakePage();
    page->show();
    UserSets(*page, kBrightnessBar, 0);
    drive.Faults().unplugged = true;
    ClickApply(*page);
    EXPECT_FALSE(page->Control(kApplyButton)->isEnabled());
    drive.Faults().unplugged = false;
    page->hide();
    EXPECT_EQ(ShownBy(*page), (Shown{0, 2, 2, true, true, 0, true}));
}

TEST_F(LedPageTest, EnterAndEscapeLeaveThePageAsItIs) {
    auto page = ShownPageWith({0, 2, 2, 1, 0});
    UserSets(*page, kBrightnessBar, 1);
    auto* apply = page->ControlAs<QPushButton>(kApplyButton);
    apply->setFocus();
    m_bus->ClearTrace();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        SCOPED_TRACE(testing::Message() << "key " << key);
        for (int id : {kApplyButton, kBrightnessBar, kPatternList}) {
            QTest::keyClick(page->Control(id), key);
        }
        EXPECT_TRUE(page->isVisible());
        EXPECT_TRUE(m_bus->Commands().empty());
        EXPECT_EQ(ShownBy(*page), (Shown{0, 1, 2, true, true, 0, true}));
    }
}

// The tip a user gets on hovering `control`, or nothing.
std::optional<QString> TipOf(QWidget* control) {
    QToolTip::hideText();
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
    const QPoint pos = control->rect().center();
    QHelpEvent event(QEvent::ToolTip, pos, control->mapToGlobal(pos));
    QApplication::sendEvent(control, &event);
    if (!QToolTip::isVisible()) return std::nullopt;
    return QToolTip::text();
}

QString Text(QWidget* control) {
    if (auto* group = qobject_cast<QGroupBox*>(control)) return group->title();
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
    return {};
}

QStringList Items(QWidget* control) {
    auto* list = qobject_cast<QComboBox*>(control);
    QStringList items;
    for (int i = 0; list != nullptr && i < list->count(); ++i) items << list->itemText(i);
    return items;
}

TEST_F(LedPageTest, TextsItemsAndTipsComeFromTheStringTableInTheUiLanguage) {
    struct ControlString {
        int controlId;
        int stringId;
    };
    const ControlString texts[] = {
        {1028, 113}, {1032, 115}, {1031, 114}, {1029, 116}, {1033, 117},
        {1034, 118}, {1036, 119}, {1030, 120}, {1035, 121}, {1040, 140},
    };
    const ControlString tips[] = {
        {1040, 141}, {1023, 147}, {1024, 148}, {1025, 149}, {1000, 150},
    };
    Open('E', sim::FullDriveProfile());
    for (res::Language language : {res::Language::English, res::Language::Japanese}) {
        SCOPED_TRACE(language == res::Language::English ? "English" : "Japanese");
        res::OverrideUiLanguage(language);
        const auto string = [language](int id) {
            return res::DisplayText(res::LoadString(id, language));
        };
        auto page = MakePage();
        page->show();
        for (const ControlString& text : texts) {
            EXPECT_EQ(Text(page->Control(text.controlId)), string(text.stringId))
                << "control " << text.controlId;
        }
        EXPECT_EQ(Items(page->Control(kPatternList)),
                  (QStringList{string(107), string(108), string(109), string(110), string(111),
                               string(112)}));
        EXPECT_EQ(Items(page->Control(kUsbDirectList)), (QStringList{string(111), string(143)}));
        for (const ControlString& tip : tips) {
            SCOPED_TRACE(testing::Message() << "tip of " << tip.controlId);
            const std::optional<QString> shown = TipOf(page->Control(tip.controlId));
            const QString expected = string(tip.stringId).trimmed();
            if (expected.isEmpty()) {
                EXPECT_FALSE(shown.has_value());
            } else {
                ASSERT_TRUE(shown.has_value());
                EXPECT_TRUE(shown->contains(expected)) << shown->toStdString();
            }
        }
    }
}

}  // namespace
}  // namespace tavoren

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QHelpEvent>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drive/ActiveBackend.h"
#include "drive/CurrentDrive.h"
#include "drive/Transport.h"
#include "pages/CDialogSettingBd8.h"
#include "res/DialogBuilder.h"
#include "res/StringTable.h"
#include "sim/SimulatedBus.h"

namespace {

using namespace tavoren;
using Bytes = std::vector<std::uint8_t>;

constexpr int kQuietOn = 1012, kPersistent = 1003, kQuiet = 1004, kPerformance = 1005;
constexpr int kSaveQuiet = 1006, kVeritraxOn = 1007, kPerfect = 1008, kMaster = 1009;
constexpr int kRealTime = 1010, kSaveVeritrax = 1011;
constexpr int kNone = 0;
constexpr int kButtons[] = {kQuietOn,    kPersistent, kQuiet,  kPerformance, kSaveQuiet,
                            kVeritraxOn, kPerfect,    kMaster, kRealTime,    kSaveVeritrax};

// Commands as hexadecimal CDB text, with the first page bytes of a data-out command.
std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    char digits[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(digits, sizeof digits, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += digits;
    }
    return text;
}

constexpr std::size_t kPageBytesShown = 7;

std::string Describe(const sim::TraceEntry& entry) {
    std::string text = Hex(entry.cdb.data(), entry.cdb.size());
    if (entry.direction != TransferDirection::DataOut) return text;
    const auto& data = entry.dataOut;
    text += " | " + Hex(data.data(), std::min(data.size(), kPageBytesShown));
    const bool zeroTail =
        data.size() == 256 &&
        std::all_of(data.begin() + kPageBytesShown, data.end(), [](auto b) { return b == 0; });
    if (!zeroTail) text += " (and more)";
    return text;
}

std::string BlockRead() { return "3C 01 F4 00 00 00 00 01 00 00 00 00"; }

std::string Speed(std::uint8_t modeByte) {
    const std::uint8_t cdb[] = {0xBB, 0, 0, 0, 0xFE, 0, 0, 0, 0, 0, modeByte, 0};
    return Hex(cdb, sizeof cdb);
}

// Page 01h bytes 2 to 4 of each read-error mode.
struct VeritraxBytes {
    std::uint8_t on, retry, limit;
};
constexpr VeritraxBytes kOffPage{0x00, 0x00, 0x00};
constexpr VeritraxBytes kPerfectPage{0x01, 0xFE, 0x01};
constexpr VeritraxBytes kMasterPage{0x01, 0x08, 0x40};

std::string VeritraxWrite(VeritraxBytes mode, bool save, bool realTime) {
    const std::uint8_t page[] = {
        0x01, 0x80, mode.on, mode.retry, mode.limit, std::uint8_t(save), std::uint8_t(realTime)};
    return "3B 01 FA 00 00 00 00 01 00 00 00 00 | " + Hex(page, sizeof page);
}

std::vector<std::string> Reads(int count) { return std::vector<std::string>(count, BlockRead()); }

std::vector<std::string> Command(std::uint8_t transient, std::uint8_t quiet, std::string veritrax,
                                 int reads) {
    std::vector<std::string> sent = {Speed(transient), Speed(quiet), std::move(veritrax)};
    for (const std::string& read : Reads(reads)) sent.push_back(read);
    return sent;
}

class SettingPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        res::OverrideUiLanguage(res::Language::English);
        auto bus = std::make_unique<sim::SimulatedBus>();
        m_bus = bus.get();
        m_previousBackend = InstallDeviceBackend(std::move(bus));
        GetCurrentDrive() = {};
    }

    void TearDown() override {
        m_host.reset();
        g_pSettingPage = nullptr;
        InstallDeviceBackend(std::move(m_previousBackend));
        GetCurrentDrive() = {};
        res::OverrideUiLanguage(std::nullopt);
    }

    sim::SimulatedTavorenDrive& AttachDrive(sim::DriveProfile profile = sim::FullDriveProfile()) {
        m_drive = &m_bus->AttachDrive('E', std::move(profile));
        EXPECT_TRUE(OpenDrive('E'));
        return *m_drive;
    }

    void SetDrive(std::uint8_t quietCode, bool veritraxOn, std::uint8_t veritraxModeByte) {
        m_drive->Settings().quietCode = quietCode;
        m_drive->Settings().veritraxOn = veritraxOn;
        m_drive->Settings().veritraxModeByte = veritraxModeByte;
    }

    // The page inside a visible host, as the main window shows it, with the trace cleared.
    void CreatePage(bool show = true) {
        m_host = std::make_unique<QWidget>();
        m_host->resize(600, 500);
        m_page = new CDialogSettingBd8(m_host.get());
        if (!show) return;
        m_host->show();
        m_page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_host.get()));
        m_bus->ClearTrace();
    }

    std::vector<std::string> Sent() const {
        std::vector<std::string> sent;
        for (const sim::TraceEntry& entry : m_bus->Commands()) sent.push_back(Describe(entry));
        return sent;
    }
    std::vector<std::string> TakeSent() {
        std::vector<std::string> sent = Sent();
        m_bus->ClearTrace();
        return sent;
    }

    QAbstractButton* Button(int id) const { return m_page->ControlAs<QAbstractButton>(id); }
    bool Checked(int id) const { return Button(id)->isChecked(); }
    bool Enabled(int id) const { return Button(id)->isEnabled(); }
    void SetChecked(int id, bool checked) { res::SetButtonChecked(Button(id), checked); }

    std::vector<int> CheckedButtons() const {
        std::vector<int> checked;
        for (int id : kButtons) {
            if (Checked(id)) checked.push_back(id);
        }
        return checked;
    }

    // A user's click lands on the indicator, which is inside the button's hit area whatever
    // the length of its text.
    void Click(int id) {
        QAbstractButton* button = Button(id);
        QStyleOptionButton option;
        option.initFrom(button);
        const QStyle::SubElement indicator = qobject_cast<QRadioButton*>(button) != nullptr
                                                 ? QStyle::SE_RadioButtonIndicator
                                                 : QStyle::SE_CheckBoxIndicator;
        const QPoint centre = button->style()->subElementRect(indicator, &option, button).center();
        QTest::mouseClick(button, Qt::LeftButton, {}, centre);
    }

    sim::SimulatedBus* m_bus = nullptr;
    sim::SimulatedTavorenDrive* m_drive = nullptr;
    std::unique_ptr<DeviceBackend> m_previousBackend;
    std::unique_ptr<QWidget> m_host;
    CDialogSettingBd8* m_page = nullptr;
};

TEST_F(SettingPageTest, ConstructionReadsTheDriveAndPublishesThePage) {
    AttachDrive();
    SetDrive(3, true, 0x08);
    CreatePage(/*show=*/false);

    EXPECT_EQ(g_pSettingPage, m_page);
    EXPECT_EQ(Sent(), Reads(4));
    EXPECT_EQ(CheckedButtons(),
              (std::vector<int>{kQuietOn, kPersistent, kVeritraxOn, kMaster, kRealTime}));
}

// Bytes 2 and 3 through the quiet-mode decoder; the controls start opposite to the result.
TEST_F(SettingPageTest, QuietControlsFollowTheBlock) {
    struct Case {
        std::uint8_t byte2, byte3;
        int radio;
    };
    const Case cases[] = {
        {0, 2, kNone},       {1, 0, kPerformance}, {2, 0, kQuiet},
        {3, 0, kPersistent}, {0xFF, 2, kQuiet},    {0xFF, 0, kNone},
        {7, 3, kPersistent}, {4, 1, kPerformance}, {0x80, 0x55, kQuiet},
    };
    AttachDrive();
    CreatePage();
    SetChecked(kSaveQuiet, true);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "byte 2 " << int(c.byte2) << ", byte 3 " << int(c.byte3));
        const bool on = c.radio != kNone;
        SetChecked(kQuietOn, !on);
        SetChecked(c.radio == kPersistent ? kPerformance : kPersistent, true);
        for (int id : {kPersistent, kQuiet, kPerformance}) Button(id)->setEnabled(!on);
        m_drive->SetBlockFilter([c](DriveSettingsBlock& block, int) {
            block.bytes[2] = c.byte2;
            block.bytes[3] = c.byte3;
        });

        m_page->RefreshFromDrive(true);

        EXPECT_EQ(Checked(kQuietOn), on);
        for (int id : {kPersistent, kQuiet, kPerformance}) {
            EXPECT_EQ(Checked(id), id == c.radio) << id;
            EXPECT_EQ(Enabled(id), on) << id;
        }
        EXPECT_TRUE(Checked(kSaveQuiet));
    }
}

TEST_F(SettingPageTest, VeritraxControlsFollowTheBlock) {
    struct Case {
        std::uint8_t byte4, byte5;
        int radio;
    };
    const Case cases[] = {
        {0, 0xFE, kNone},   {0, 0x08, kNone},      {1, 0xFE, kPerfect},    {1, 0x08, kMaster},
        {1, 0x00, kMaster}, {0xFF, 0xFD, kMaster}, {0x80, 0xFE, kPerfect},
    };
    AttachDrive();
    CreatePage();
    SetChecked(kSaveVeritrax, true);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "byte 4 " << int(c.byte4) << ", byte 5 " << int(c.byte5));
        const bool on = c.radio != kNone;
        SetChecked(kVeritraxOn, !on);
        SetChecked(c.radio == kPerfect ? kMaster : kPerfect, true);
        for (int id : {kPerfect, kMaster}) Button(id)->setEnabled(!on);
        Button(kRealTime)->setEnabled(true);
        m_drive->SetBlockFilter([c](DriveSettingsBlock& block, int) {
            block.bytes[4] = c.byte4;
            block.bytes[5] = c.byte5;
        });

        m_page->RefreshFromDrive(true);

        EXPECT_EQ(Checked(kVeritraxOn), on);
        for (int id : {kPerfect, kMaster}) {
            EXPECT_EQ(Checked(id), id == c.radio) << id;
            EXPECT_EQ(Enabled(id), on) << id;
        }
        EXPECT_FALSE(Enabled(kRealTime));
        EXPECT_TRUE(Checked(kSaveVeritrax));
    }
}

// Byte 28 of the third read decides; a fourth read must confirm it before the box is ticked.
// The first two reads carry the opposite byte 28, so reading the flag from them shows.
TEST_F(SettingPageTest, RealTimeBoxFollowsTwoReadsOfByte28) {
    struct Case {
        std::uint8_t first, second;
        bool hideAbsent;
        bool hiddenBefore, checkedBefore;
        bool hiddenAfter, checkedAfter;
    };
    const Case cases[] = {
        // clang-format off
        // byte 28 first read, second read (unread after a 0); hideAbsent; before; after
        {0, 0, true, false, true, true, true},
        {0, 0, true, false, false, true, false},
        {0, 0, false, false, true, false, true},
        {0, 0, false, true, false, true, false},
        {1, 1, true, false, false, false, true},
        {5, 0x80, false, true, false, true, true},
        {1, 0, true, false, false, false, false},
        {1, 0, true, false, true, false, true},
        {1, 0, false, true, true, true, true},
        // clang-format on
    };
    AttachDrive();
    CreatePage();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "byte 28 " << int(c.first) << " then " << int(c.second)
                                        << ", hide " << c.hideAbsent << ", hidden "
                                        << c.hiddenBefore << ", checked " << c.checkedBefore);
        Button(kRealTime)->setHidden(c.hiddenBefore);
        Button(kRealTime)->setChecked(c.checkedBefore);
        Button(kRealTime)->setEnabled(true);
        m_drive->SetBlockFilter([c, read = 0](DriveSettingsBlock& block, int) mutable {
            const std::uint8_t decoy = c.first == 0 ? 1 : 0;
            const std::uint8_t byRead[] = {decoy, decoy, c.first, c.second};
            block.bytes[28] = read < 4 ? byRead[read] : decoy;
            ++read;
        });
        m_bus->ClearTrace();

        m_page->RefreshFromDrive(c.hideAbsent);

        EXPECT_EQ(Sent(), Reads(c.first == 0 ? 3 : 4));
        EXPECT_EQ(Button(kRealTime)->isHidden(), c.hiddenAfter);
        EXPECT_EQ(Checked(kRealTime), c.checkedAfter);
        EXPECT_FALSE(Enabled(kRealTime));
    }
}

// One click: both quiet-mode commands, the read-error page, then the refresh's reads.
TEST_F(SettingPageTest, EachClickSendsTheWholeStateThenRefreshes) {
    struct Case {
        const char* what;
        std::uint8_t quietCode;
        bool veritraxOn;
        std::uint8_t veritraxModeByte;
        int clicked;
        std::vector<std::string> sent;
        std::vector<int> checkedAfter;
    };
    const Case cases[] = {
        // clang-format off
        {"performance radio", 2, false, 0, kPerformance,
         Command(0x80, 0x81, VeritraxWrite(kOffPage, false, true), 4),
         {kQuietOn, kPerformance, kRealTime}},
        {"persistent radio", 2, false, 0, kPersistent,
         Command(0x82, 0x83, VeritraxWrite(kOffPage, false, true), 4),
         {kQuietOn, kPersistent, kRealTime}},
        {"quiet radio already checked", 2, true, 0x08, kQuiet,
         Command(0x81, 0x82, VeritraxWrite(kMasterPage, false, true), 4),
         {kQuietOn, kQuiet, kVeritraxOn, kMaster, kRealTime}},
        {"quiet feature off, whatever the radio", 1, false, 0, kQuietOn,
         Command(0x83, 0x80, VeritraxWrite(kOffPage, false, true), 4),
         {kRealTime}},
        {"quiet feature on from off", 0, false, 0, kQuietOn,
         Command(0x81, 0x82, VeritraxWrite(kOffPage, false, true), 4),
         {kQuietOn, kQuiet, kRealTime}},
        {"veritrax on from off", 2, false, 0, kVeritraxOn,
         Command(0x81, 0x82, VeritraxWrite(kPerfectPage, false, true), 4),
         {kQuietOn, kQuiet, kVeritraxOn, kPerfect, kRealTime}},
        {"veritrax off", 2, true, 0x08, kVeritraxOn,
         Command(0x81, 0x82, VeritraxWrite(kOffPage, false, true), 4),
         {kQuietOn, kQuiet, kRealTime}},
        {"perfect radio", 3, true, 0x08, kPerfect,
         Command(0x82, 0x83, VeritraxWrite(kPerfectPage, false, true), 4),
         {kQuietOn, kPersistent, kVeritraxOn, kPerfect, kRealTime}},
        {"master radio", 1, true, 0xFE, kMaster,
         Command(0x80, 0x81, VeritraxWrite(kMasterPage, false, true), 4),
         {kQuietOn, kPerformance, kVeritraxOn, kMaster, kRealTime}},
        {"save quiet setting", 3, true, 0x08, kSaveQuiet,
         Command(0x82, 0xC3, VeritraxWrite(kMasterPage, false, true), 4),
         {kQuietOn, kPersistent, kSaveQuiet, kVeritraxOn, kMaster, kRealTime}},
        {"save veritrax setting", 2, true, 0xFE, kSaveVeritrax,
         Command(0x81, 0x82, VeritraxWrite(kPerfectPage, true, true), 4),
         {kQuietOn, kQuiet, kVeritraxOn, kPerfect, kRealTime, kSaveVeritrax}},
        // clang-format on
    };
    AttachDrive();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetDrive(c.quietCode, c.veritraxOn, c.veritraxModeByte);
        CreatePage();

        Click(c.clicked);

        EXPECT_EQ(Sent(), c.sent);
        EXPECT_EQ(CheckedButtons(), c.checkedAfter);
    }
}

TEST_F(SettingPageTest, DriveWithoutRealTimeSendsItOffAndRefreshesWithThreeReads) {
    AttachDrive(sim::BasicDriveProfile());
    CreatePage();
    ASSERT_TRUE(Button(kRealTime)->isHidden());

    Click(kPerformance);

    EXPECT_EQ(Sent(), Command(0x80, 0x81, VeritraxWrite(kOffPage, false, false), 3));
}

TEST_F(SettingPageTest, SaveFlagsRideOnEveryLaterCommand) {
    AttachDrive();
    SetDrive(2, true, 0xFE);
    CreatePage();

    Click(kSaveQuiet);
    TakeSent();
    Click(kMaster);
    EXPECT_EQ(TakeSent(), Command(0x81, 0xC2, VeritraxWrite(kMasterPage, false, true), 4));

    Click(kSaveVeritrax);
    TakeSent();
    Click(kPerformance);
    EXPECT_EQ(TakeSent(), Command(0x80, 0xC1, VeritraxWrite(kMasterPage, true, true), 4));

    EXPECT_TRUE(Checked(kSaveQuiet));
    EXPECT_TRUE(Checked(kSaveVeritrax));
}

TEST_F(SettingPageTest, RealTimeBoxHiddenOnceStaysHiddenAndIsStillSent) {
    AttachDrive();
    m_drive->SetBlockFilter([](DriveSettingsBlock& block, int) { block.bytes[28] = 0; });
    CreatePage();
    ASSERT_TRUE(Button(kRealTime)->isHidden());
    ASSERT_FALSE(Checked(kRealTime));

    // Another drive with the flag is selected: ticked, not shown.
    m_drive->SetBlockFilter(nullptr);
    m_page->RefreshFromDrive(false);
    EXPECT_TRUE(Checked(kRealTime));
    EXPECT_TRUE(Button(kRealTime)->isHidden());

    TakeSent();
    Click(kPerformance);
    EXPECT_EQ(TakeSent(), Command(0x80, 0x81, VeritraxWrite(kOffPage, false, true), 4));
    EXPECT_TRUE(Button(kRealTime)->isHidden());
}

TEST_F(SettingPageTest, RealTimeBoxChangesOnlyRightAfterVeritraxIsSwitchedOn) {
    AttachDrive();
    CreatePage();
    ASSERT_TRUE(Checked(kRealTime));
    ASSERT_FALSE(Enabled(kRealTime));

    Click(kRealTime);
    EXPECT_EQ(Sent(), std::vector<std::string>{});
    EXPECT_TRUE(Checked(kRealTime));

    Click(kVeritraxOn);
    EXPECT_TRUE(Enabled(kRealTime));
    EXPECT_TRUE(Enabled(kPerfect));
    TakeSent();

    Click(kRealTime);
    EXPECT_EQ(TakeSent(), Command(0x81, 0x82, VeritraxWrite(kPerfectPage, false, false), 4));
    // The drive still reports the flag, so the refresh ticks the box again.
    EXPECT_TRUE(Checked(kRealTime));
    EXPECT_FALSE(Enabled(kRealTime));

    Click(kVeritraxOn);
    EXPECT_FALSE(Checked(kVeritraxOn));
    EXPECT_FALSE(Enabled(kRealTime));
    EXPECT_FALSE(Enabled(kPerfect));
}

TEST_F(SettingPageTest, VeritraxTheDriveRefusesLeavesItsControlsDisabled) {
    AttachDrive();
    m_drive->SetBlockFilter([](DriveSettingsBlock& block, int) { block.bytes[4] = 0; });
    CreatePage();

    Click(kVeritraxOn);

    EXPECT_EQ(Sent(), Command(0x81, 0x82, VeritraxWrite(kPerfectPage, false, true), 4));
    EXPECT_FALSE(Checked(kVeritraxOn));
    for (int id : {kPerfect, kMaster, kRealTime}) EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(SettingPageTest, DriveThatStopsAnsweringShowsEverythingOff) {
    AttachDrive();
    SetDrive(1, true, 0x08);
    CreatePage();
    m_drive->Faults().unplugged = true;

    Click(kQuiet);

    EXPECT_EQ(Sent(), Command(0x81, 0x82, VeritraxWrite(kMasterPage, false, true), 3));
    for (const sim::TraceEntry& entry : m_bus->Commands()) EXPECT_FALSE(entry.delivered);
    // The real-time box keeps its tick, hidden.
    EXPECT_EQ(CheckedButtons(), std::vector<int>{kRealTime});
    EXPECT_TRUE(Button(kRealTime)->isHidden());
    for (int id : {kPersistent, kQuiet, kPerformance, kPerfect, kMaster}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(window->isVisible() && qobject_cast<QDialog*>(window) != nullptr);
    }
}

TEST_F(SettingPageTest, KeysOnThePage) {
    struct Case {
        const char* what;
        Qt::Key key;
        std::vector<std::string> sent;
        bool saveQuietAfter;
    };
    const Case cases[] = {
        {"Return", Qt::Key_Return, {}, false},
        {"Enter", Qt::Key_Enter, {}, false},
        {"Escape", Qt::Key_Escape, Command(0x81, 0x82, VeritraxWrite(kOffPage, false, true), 4),
         false},
        {"Space", Qt::Key_Space, Command(0x81, 0xC2, VeritraxWrite(kOffPage, false, true), 4),
         true},
    };
    AttachDrive();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CreatePage();
        Button(kSaveQuiet)->setFocus();

        QTest::keyClick(Button(kSaveQuiet), c.key);

        EXPECT_EQ(Sent(), c.sent);
        EXPECT_EQ(Checked(kSaveQuiet), c.saveQuietAfter);
        EXPECT_TRUE(m_page->isVisible());
    }
}

TEST_F(SettingPageTest, ShowingHidingAndMovingRefresh) {
    struct Case {
        const char* what;
        void (*change)(QWidget& page);
        int reads;
    };
    const Case cases[] = {
        {"hidden", [](QWidget& page) { page.hide(); }, 4},
        {"shown", [](QWidget& page) { page.show(); }, 4},
        {"shown again, already visible", [](QWidget& page) { page.show(); }, 0},
        {"moved", [](QWidget& page) { page.move(page.pos() + QPoint(5, 3)); }, 4},
    };
    AttachDrive();
    CreatePage();
    std::uint8_t quietCode = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        quietCode = (quietCode + 1) % 4;
        m_drive->Settings().quietCode = quietCode;

        c.change(*m_page);
        QCoreApplication::processEvents();

        EXPECT_EQ(TakeSent(), Reads(c.reads));
        if (c.reads > 0) {
            EXPECT_EQ(Checked(kQuietOn), quietCode != 0);
            EXPECT_EQ(Checked(kPerformance), quietCode == 1);
            EXPECT_EQ(Checked(kQuiet), quietCode == 2);
            EXPECT_EQ(Checked(kPersistent), quietCode == 3);
        }
    }
}

TEST_F(SettingPageTest, TextsInBothLanguages) {
    struct Case {
        int id;
        const char* english;
        const char* japanese;
    };
    const Case cases[] = {
        {1037, "Calmspin Feature", "カームスピン機能"},
        {kQuietOn, "On", "On"},
        {kPersistent, "Persistent Quiet Mode", "常時静音モード"},
        {kQuiet, "Quiet Mode", "静音モード"},
        {kPerformance, "Performance Mode", "パフォーマンスモード"},
        {kSaveQuiet, "Save Calmspin Feature setting to the drive", "ドライブに設定を保存する"},
        {1044, "Veritrax", "Veritrax"},
        {kVeritraxOn, "On", "On"},
        {kPerfect, "Perfect Mode", "パーフェクトモード"},
        {kMaster, "Master Mode", "マスターモード"},
        {kRealTime, "Real Time Veritrax", "Real Time Veritrax"},
        {kSaveVeritrax, "Save VERITRAX setting to the drive", "ドライブに設定を保存する"},
    };
    AttachDrive();
    for (const res::Language language : {res::Language::English, res::Language::Japanese}) {
        res::OverrideUiLanguage(language);
        CreatePage(/*show=*/false);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.id);
            const QString expected =
                QString::fromUtf8(language == res::Language::English ? c.english : c.japanese);
            QWidget* control = m_page->Control(c.id);
            if (auto* group = qobject_cast<QGroupBox*>(control)) {
                EXPECT_EQ(group->title(), expected);
            } else {
                EXPECT_EQ(qobject_cast<QAbstractButton*>(control)->text(), expected);
            }
        }
    }
}

// Every button shows its whole text and stays inside the frame of its group.
TEST_F(SettingPageTest, TextsFitInsideTheirGroups) {
    struct Group {
        int groupId;
        std::vector<int> buttonIds;
    };
    const Group groups[] = {
        {1037, {kQuietOn, kPersistent, kQuiet, kPerformance, kSaveQuiet}},
        {1044, {kVeritraxOn, kPerfect, kMaster, kRealTime, kSaveVeritrax}},
    };
    AttachDrive();
    for (const res::Language language : {res::Language::English, res::Language::Japanese}) {
        res::OverrideUiLanguage(language);
        CreatePage();
        for (const Group& group : groups) {
            const QRect frame = m_page->Control(group.groupId)->geometry();
            for (int id : group.buttonIds) {
                SCOPED_TRACE(testing::Message() << Button(id)->text().toStdString());
                EXPECT_GE(Button(id)->width(), Button(id)->sizeHint().width());
                EXPECT_TRUE(frame.contains(Button(id)->geometry()));
            }
        }
    }
}

TEST_F(SettingPageTest, ToolTips) {
    struct Case {
        int id;
        const char* firstLine;  // nullptr: no tip
    };
    const Case cases[] = {
        {kQuietOn, "Switches the \"Calmspin Feature \" On/Off."},
        {kPersistent, "The drive will keep spinning in low speed to avoid operational and fan"},
        {kQuiet, "Factory default"},
        {kPerformance, "After inserting a disc, the drive will spin in maximum high speed."},
        {kSaveQuiet, nullptr},
        {kVeritraxOn, "Switches the \"Veritrax\" On/Off."},
        {kPerfect, "a read error is returned and drive operation will stop."},
        {kMaster, "the drive will interpolate the data and continue the operation."},
        {kRealTime, "Veritrax will work with the optimal algorithm for real-time playback."},
        {kSaveVeritrax, nullptr},
    };
    AttachDrive();
    CreatePage();
    Button(kRealTime)->setEnabled(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.id);
        QToolTip::hideText();
        ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
        QWidget* control = m_page->Control(c.id);
        const QPoint inside = control->rect().center();
        QHelpEvent event(QEvent::ToolTip, inside, control->mapToGlobal(inside));

        QApplication::sendEvent(control, &event);

        if (c.firstLine == nullptr) {
            EXPECT_FALSE(QToolTip::isVisible());
            continue;
        }
        ASSERT_TRUE(QToolTip::isVisible());
        QTextDocument shown;
        shown.setHtml(QToolTip::text());
        EXPECT_TRUE(shown.toPlainText().contains(QString::fromUtf8(c.firstLine)))
            << shown.toPlainText().toStdString();
    }
}

}  // namespace

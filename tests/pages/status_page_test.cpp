#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "drive/ActiveBackend.h"
#include "drive/CurrentDrive.h"
#include "drive/Transport.h"
#include "pages/CErrorIndicator.h"
#include "pages/CStatusDialog.h"
#include "res/StringTable.h"
#include "sim/SimulatedBus.h"

namespace tavoren {
namespace {

constexpr int kClearButton = 1013;
constexpr int kIndicator = 1022;

// What a user can read off the page: each control's kind, text, visibility and state.
std::vector<std::string> Snapshot(const QWidget& page) {
    std::vector<std::string> seen{page.isVisible() ? "page shown" : "page hidden"};
    for (const QWidget* child : page.findChildren<QWidget*>()) {
        QString text;
        if (const auto* label = qobject_cast<const QLabel*>(child)) text = label->text();
        if (const auto* group = qobject_cast<const QGroupBox*>(child)) text = group->title();
        if (const auto* button = qobject_cast<const QAbstractButton*>(child)) {
            text = button->text();
        }
        seen.push_back(std::string(child->metaObject()->className()) + " '" + text.toStdString() +
                       "'" + (child->isVisible() ? " shown" : " hidden") +
                       (child->isEnabled() ? "" : " disabled"));
    }
    return seen;
}

std::vector<std::string> Texts(const QWidget& page) {
    std::vector<std::string> texts;
    for (const QLabel* label : page.findChildren<QLabel*>()) {
        texts.push_back(label->text().toStdString());
    }
    for (const QGroupBox* group : page.findChildren<QGroupBox*>()) {
        texts.push_back(group->title().toStdString());
    }
    for (const QPushButton* button : page.findChildren<QPushButton*>()) {
        texts.push_back(button->text().toStdString());
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

// The pixels of `image` that are not `colour`, as "x,y" (the first few).
std::vector<std::string> PixelsOtherThan(const QImage& image, QColor colour) {
    std::vector<std::string> stray;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).rgb() != colour.rgb() && stray.size() < 5) {
                stray.push_back(std::to_string(x) + "," + std::to_string(y));
            }
        }
    }
    return stray;
}

class StatusPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto bus = std::make_unique<sim::SimulatedBus>();
        m_bus = bus.get();
        m_previousBackend = InstallDeviceBackend(std::move(bus));
        m_bus->AttachDrive('E', sim::FullDriveProfile());
        GetCurrentDrive() = {};
        ASSERT_TRUE(OpenDrive('E'));
        m_bus->ClearTrace();
        res::OverrideUiLanguage(res::Language::English);
        m_host.resize(500, 500);
        m_host.show();
    }

    void TearDown() override {
        res::OverrideUiLanguage(std::nullopt);
        GetCurrentDrive() = {};
        InstallDeviceBackend(std::move(m_previousBackend));
    }

    CStatusDialog& MakePage() {
        auto* page = new CStatusDialog(&m_host);
        page->show();
        return *page;
    }

    sim::SimulatedBus* m_bus = nullptr;
    QWidget m_host;

private:
    std::unique_ptr<DeviceBackend> m_previousBackend;
};

class StatusPageLanguageTest : public StatusPageTest,
                               public ::testing::WithParamInterface<res::Language> {};

TEST_P(StatusPageLanguageTest, LabelsAreJapaneseWhateverTheUiLanguage) {
    res::OverrideUiLanguage(GetParam());
    std::vector<std::string> expected{"Veritrax",
                                      "Error Indicator",
                                      "転送されたセクタ数",
                                      "0",
                                      "最後に転送されたセクタの時間",
                                      "00:00:00",
                                      "Clear"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Texts(MakePage()), expected);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, StatusPageLanguageTest,
                         ::testing::Values(res::Language::English, res::Language::Japanese),
                         [](const auto& info) {
                             return info.param == res::Language::English ? "English" : "Japanese";
                         });

// A fixed display: being made, shown, hidden, "Clear" and Escape neither talk to the drive nor
// change what the page shows.
TEST_F(StatusPageTest, NothingTheUserDoesChangesThePageOrReachesTheDrive) {
    CStatusDialog& page = MakePage();
    const std::vector<std::string> before = Snapshot(page);
    auto* clear = page.ControlAs<QPushButton>(kClearButton);
    ASSERT_NE(clear, nullptr);

    clear->click();
    EXPECT_EQ(Snapshot(page), before);
    for (QWidget* target :
         {static_cast<QWidget*>(clear), page.Control(kIndicator), static_cast<QWidget*>(&page)}) {
        SCOPED_TRACE(target->metaObject()->className());
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_EQ(Snapshot(page), before);
        EXPECT_TRUE(m_host.isVisible());
    }
    page.hide();
    page.show();
    EXPECT_EQ(Snapshot(page), before);
    EXPECT_TRUE(m_bus->Commands().empty());
}

TEST_F(StatusPageTest, PageIsPaintedInTheWindowColour) {
    CStatusDialog& page = MakePage();
    const QColor window = m_host.palette().color(QPalette::Base);
    ASSERT_NE(window.rgb(), m_host.palette().color(QPalette::Button).rgb());
    EXPECT_EQ(page.m_windowBrush.color().rgb(), window.rgb());

    // Below the group box the page is bare; seen from its parent, which paints button face.
    const QRect bareStrip(page.x(), page.geometry().bottom() - 10, page.width(), 10);
    const QImage bare = m_host.grab(bareStrip).toImage();
    EXPECT_EQ(PixelsOtherThan(bare, window), std::vector<std::string>{});
}

// The indicator shows its face and nothing else, however often and at whatever size it is drawn.
TEST_F(StatusPageTest, IndicatorPaintsOnlyTheButtonFace) {
    CStatusDialog& page = MakePage();
    auto* indicator = page.ControlAs<CErrorIndicator>(kIndicator);
    ASSERT_NE(indicator, nullptr);
    EXPECT_EQ(page.m_indicator, indicator);
    EXPECT_STREQ(indicator->metaObject()->className(), "CErrorIndicator");
    const QColor face = indicator->palette().color(QPalette::Button);
    ASSERT_NE(face.rgb(), page.m_windowBrush.color().rgb());

    EXPECT_EQ(PixelsOtherThan(indicator->grab().toImage(), face), std::vector<std::string>{});
    page.hide();
    page.show();
    EXPECT_EQ(PixelsOtherThan(indicator->grab().toImage(), face), std::vector<std::string>{});
    indicator->resize(indicator->width() * 2, indicator->height() + 7);
    EXPECT_EQ(PixelsOtherThan(indicator->grab().toImage(), face), std::vector<std::string>{});
}

}  // namespace
}  // namespace tavoren

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "AppTestSupport.h"
#include "app/CAboutDlg.h"
#include "res/DialogTemplate.h"

namespace tavoren::app::testing {
namespace {

using Command = unsigned;
constexpr Command kSeparator = 0;

struct MenuItem {
    Command command;
    QString text;
    bool operator==(const MenuItem&) const = default;
};

void PrintTo(const MenuItem& item, std::ostream* out) {
    *out << std::hex << item.command << " " << item.text.toStdString();
}

std::vector<MenuItem> ItemsOf(const QMenu& menu) {
    std::vector<MenuItem> items;
    for (QAction* action : menu.actions()) {
        items.push_back(action->isSeparator() ? MenuItem{kSeparator, {}}
                                              : MenuItem{action->data().toUInt(), action->text()});
    }
    return items;
}

QAction* ActionFor(const QMenu& menu, Command command) {
    for (QAction* action : menu.actions()) {
        if (!action->isSeparator() && action->data().toUInt() == command) return action;
    }
    return nullptr;
}

const QString kHelpText = QString::fromUtf8("ヘルプの表示");

// ---- the items ----

struct MenuCase {
    const char* name;
    res::Language language;
    bool japaneseLocale;
};

class WindowMenuTest : public AppTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(WindowMenuTest, HelpItemFollowsTheLocaleAboutItemTheUiLanguage) {
    res::OverrideUiLanguage(GetParam().language);
    res::OverrideUserLocaleJapanese(GetParam().japaneseLocale);
    Bus().AttachDrive('E', sim::BasicDriveProfile());

    const CTavorenDriveUtilityDlg& window = ShowMainWindow();

    const QString aboutText = res::LoadString(101, GetParam().language);
    std::vector<MenuItem> expected = {{kSeparator, {}}};
    if (GetParam().japaneseLocale) expected.push_back({0x20, kHelpText});
    expected.push_back({0x10, aboutText});
    EXPECT_EQ(ItemsOf(window.SystemMenu()), expected);
    EXPECT_EQ(QKeySequence::mnemonic(aboutText), QKeySequence(Qt::ALT | Qt::Key_A));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, WindowMenuTest,
    ::testing::Values(MenuCase{"EnglishUi", res::Language::English, false},
                      MenuCase{"EnglishUiJapaneseLocale", res::Language::English, true},
                      MenuCase{"JapaneseUiOtherLocale", res::Language::Japanese, false},
                      MenuCase{"JapaneseUi", res::Language::Japanese, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- how it opens ----

enum class Trigger { RightClick, MenuKey, ShiftF10 };

struct PopUpCase {
    const char* name;
    Trigger trigger;
    bool withDrive;
};

class WindowMenuPopUpTest : public AppTest, public ::testing::WithParamInterface<PopUpCase> {};

TEST_P(WindowMenuPopUpTest, OpensFromMouseAndKeyboard) {
    if (GetParam().withDrive) Bus().AttachDrive('E', sim::BasicDriveProfile());
    CTavorenDriveUtilityDlg& window = ShowMainWindow();
    QWidget* combo = window.m_driveCombo;

    switch (GetParam().trigger) {
        case Trigger::RightClick: {
            const QPoint background(window.width() / 2, window.height() - 2);
            QContextMenuEvent event(QContextMenuEvent::Mouse, background,
                                    window.mapToGlobal(background));
            QApplication::sendEvent(&window, &event);
            break;
        }
        case Trigger::MenuKey: {
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2),
                                    combo->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(combo, &event);
            break;
        }
        case Trigger::ShiftF10:
            QTest::keyClick(combo, Qt::Key_F10, Qt::ShiftModifier);
            break;
    }

    EXPECT_TRUE(window.SystemMenu().isVisible());
    window.SystemMenu().hide();
    EXPECT_TRUE(window.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Triggers, WindowMenuPopUpTest,
                         ::testing::Values(PopUpCase{"RightClick", Trigger::RightClick, true},
                                           PopUpCase{"MenuKeyOnSelector", Trigger::MenuKey, true},
                                           PopUpCase{"ShiftF10OnSelector", Trigger::ShiftF10, true},
                                           PopUpCase{"RightClickWithoutDrive", Trigger::RightClick,
                                                     false}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- help ----

class HelpTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(m_directory.isValid());
        m_previousDirectory = QDir::currentPath();
        QDir::setCurrent(m_directory.path());
        res::OverrideUserLocaleJapanese(true);
    }
    void TearDown() override {
        QDir::setCurrent(m_previousDirectory);
        AppTest::TearDown();
    }
    QString InWorkingDirectory(const char* name) const {
        return QDir(m_directory.path()).absoluteFilePath(QString::fromUtf8(name));
    }

private:
    QTemporaryDir m_directory;
    QString m_previousDirectory;
};

TEST_F(HelpTest, OpensTheHelpFileOfTheLocaleFromTheCurrentDirectory) {
    const CTavorenDriveUtilityDlg& window = ShowMainWindow();
    QAction* help = ActionFor(window.SystemMenu(), 0x20);
    ASSERT_NE(help, nullptr);

    help->trigger();
    // The locale is asked again when the item is chosen.
    res::OverrideUserLocaleJapanese(false);
    help->trigger();

    EXPECT_EQ(Shell().opened,
              (std::vector<QString>{InWorkingDirectory("QMV-TKSeries_Japanese.chm"),
                                    InWorkingDirectory("QMV-TKSeries_English.chm")}));
}

TEST_F(HelpTest, AMissingHelpFileShowsNoMessage) {
    UseSystemShell();
    const CTavorenDriveUtilityDlg& window = ShowMainWindow();
    QAction* help = ActionFor(window.SystemMenu(), 0x20);
    ASSERT_NE(help, nullptr);

    help->trigger();
    QApplication::processEvents();

    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(widget->isVisible() && qobject_cast<QMessageBox*>(widget) != nullptr);
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// ---- About box ----

class AboutBoxTest : public AppTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(AboutBoxTest, AboutItemRunsTheAboutBoxUntilOk) {
    res::OverrideUiLanguage(GetParam().language);
    res::OverrideUserLocaleJapanese(GetParam().japaneseLocale);
    Bus().AttachDrive('E', sim::BasicDriveProfile());
    const CTavorenDriveUtilityDlg& window = ShowMainWindow();
    QAction* about = ActionFor(window.SystemMenu(), 0x10);
    ASSERT_NE(about, nullptr);

    QString title;
    QStringList texts;
    bool hasIcon = false;
    bool closedByOk = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        title = box->windowTitle();
        for (QLabel* label : box->findChildren<QLabel*>()) {
            if (!label->pixmap().isNull()) hasIcon = true;
            if (!label->text().isEmpty()) texts << label->text();
        }
        auto* ok = box->findChild<QPushButton*>();
        if (ok != nullptr) QTest::mouseClick(ok, Qt::LeftButton);
        closedByOk = !box->isVisible();
        box->reject();
    });
    about->trigger();
    // Runs the check now even if no box opened, while its captures still exist.
    QApplication::processEvents();

    EXPECT_TRUE(closedByOk);
    EXPECT_EQ(title, QString::fromUtf8(res::FindTemplate(100, GetParam().language).title));
    EXPECT_TRUE(texts.contains("Tavoren BD Drive Utility, Version 1.2.0.003"));
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                            [](const QString& text) { return text.startsWith("Copyright"); }));
    EXPECT_TRUE(hasIcon);
    EXPECT_TRUE(window.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Languages, AboutBoxTest,
                         ::testing::Values(MenuCase{"English", res::Language::English, false},
                                           MenuCase{"Japanese", res::Language::Japanese, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavoren::app::testing

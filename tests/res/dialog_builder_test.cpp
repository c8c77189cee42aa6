#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <cmath>

#include "res/DialogBuilder.h"
#include "tests/res/QtPrinters.h"

using namespace Qt::StringLiterals;

namespace tavoren::res {
namespace {

constexpr int kAllTemplateIds[] = {kAboutTemplate,       kMainWindowTemplate, kStatusPageTemplate,
                                   kUtilityPageTemplate, kLedPageTemplate,    kSettingPageTemplate};

// A small template with an installed face, so that its metrics are the face's own.
DialogTemplate TestTemplate(std::span<const ControlTemplate> controls,
                            DialogFont font = {"DejaVu Sans", 10, 400, false}) {
    return {9000, Language::English, dialog_style::kChild, {}, {101, 57}, nullptr, font, controls};
}

int ExpectedUnits(int dialogUnits, int baseUnit, int divisor) {
    return static_cast<int>(std::lround(dialogUnits * static_cast<double>(baseUnit) / divisor));
}

const char* QtClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
        case ControlKind::Icon:
            return "QLabel";
        case ControlKind::GroupBox:
            return "QGroupBox";
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
            return "QPushButton";
        case ControlKind::AutoCheckBox:
            return "QCheckBox";
        case ControlKind::AutoRadioButton:
            return "QRadioButton";
        case ControlKind::DropDownList:
            return "QComboBox";
        case ControlKind::TrackBar:
            return "QSlider";
        case ControlKind::TabControl:
            return "QTabWidget";
        case ControlKind::Custom:
            return "QWidget";
    }
    return "";
}

TEST(DialogBuilderTest, MetricsComeFromTheTemplateFont) {
    for (const DialogFont font :
         {DialogFont{"DejaVu Sans", 10, 400, false}, DialogFont{"DejaVu Sans Mono", 9, 0, false},
          DialogFont{"DejaVu Serif", 13, 700, false}}) {
        SCOPED_TRACE(font.face);
        const QFont resolved = ResolveFont(font);
        EXPECT_EQ(resolved.family(), QString::fromUtf8(font.face));
        const QFontMetrics metrics(resolved);
        const int alphabet =
            metrics.horizontalAdvance(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"_s);
        const int averageWidth = static_cast<int>(std::lround(alphabet / 52.0));

        const DialogMetrics units = MetricsOf(resolved);
        EXPECT_EQ(units.averageCharWidth, averageWidth);
        EXPECT_EQ(units.charHeight, metrics.height());
        // Every remainder of the quarter and eighth divisions, so each rounding case shows.
        for (int du = 0; du <= 9; ++du) {
            EXPECT_EQ(
                units.ToPixels(QPoint(du, du)),
                QPoint(ExpectedUnits(du, averageWidth, 4), ExpectedUnits(du, metrics.height(), 8)))
                << du;
        }
        EXPECT_EQ(units.ToPixels(QRect(3, 5, 7, 9)),
                  QRect(ExpectedUnits(3, averageWidth, 4), ExpectedUnits(5, metrics.height(), 8),
                        ExpectedUnits(7, averageWidth, 4), ExpectedUnits(9, metrics.height(), 8)));
    }
}

TEST(DialogBuilderTest, MissingFacesAndShellFontsUseTheSystemFont) {
    const QFont system = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    ASSERT_NE(system.family(), u"DejaVu Sans"_s);
    const std::pair<DialogFont, QString> cases[] = {
        {{"MS UI Gothic", 9, 0, false}, system.family()},
        {{"MS Shell Dlg", 8, 400, true}, system.family()},
        {{"DejaVu Sans", 8, 400, true}, system.family()},
        {{"DejaVu Sans", 8, 400, false}, u"DejaVu Sans"_s},
    };
    for (const auto& [font, family] : cases) {
        SCOPED_TRACE(testing::Message() << font.face << (font.shellFont ? " shell" : ""));
        const QFont resolved = ResolveFont(font);
        EXPECT_EQ(resolved.family(), family);
        EXPECT_EQ(resolved.pointSize(), font.pointSize);
    }
}

// Every template in both languages: kinds, ids, geometry, styles, root size and title.
TEST(DialogBuilderTest, BuildsEveryTemplateAsLaidOut) {
    for (const Language language : {Language::English, Language::Japanese}) {
        for (const int id : kAllTemplateIds) {
            const DialogTemplate& dialog = FindTemplate(id, language);
            SCOPED_TRACE(testing::Message()
                         << "template " << id << " language " << static_cast<int>(language));
            QWidget root;
            const auto built = BuildDialog(dialog, &root);
            EXPECT_EQ(root.font().family(), ResolveFont(dialog.font).family());
            EXPECT_EQ(root.size(), built->ToPixels(dialog.size));
            EXPECT_EQ(root.minimumSize(), root.maximumSize());
            EXPECT_EQ(root.windowTitle(),
                      dialog.title == nullptr ? QString() : QString::fromUtf8(dialog.title));
            ASSERT_EQ(built->Controls().size(), dialog.controls.size());

            for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
                const ControlTemplate& control = dialog.controls[i];
                QWidget* widget = built->Controls()[i];
                SCOPED_TRACE(testing::Message() << "control " << control.id);
                EXPECT_STREQ(widget->metaObject()->className(), QtClassOf(control.kind));
                EXPECT_EQ(widget->parentWidget(), &root);
                if (control.id != -1) {
                    EXPECT_EQ(built->Control(control.id), widget);
                    EXPECT_EQ(widget->objectName(), u"ctl%1"_s.arg(control.id));
                }
                const QRect pixels = built->ToPixels(control.rect);
                if (control.kind == ControlKind::DropDownList) {
                    EXPECT_EQ(widget->geometry(),
                              QRect(pixels.topLeft(),
                                    QSize(pixels.width(), widget->sizeHint().height())));
                    EXPECT_LT(widget->height(), pixels.height());
                } else if (control.kind != ControlKind::Icon) {
                    EXPECT_EQ(widget->geometry(), pixels);
                }
                EXPECT_EQ(widget->isHidden(), control.Has(control_style::kHidden));
                EXPECT_EQ(widget->isEnabled(), !control.Has(control_style::kDisabled));
                EXPECT_EQ((widget->focusPolicy() & Qt::TabFocus) != 0,
                          control.Has(control_style::kTabStop));
                if (auto* label = qobject_cast<QLabel*>(widget); label && control.text) {
                    EXPECT_EQ(label->text(), QString::fromUtf8(control.text));
                    EXPECT_EQ(label->textFormat(), Qt::PlainText);
                }
            }
            EXPECT_EQ(built->Control(-1), nullptr);
        }
    }
}

TEST(DialogBuilderTest, KindSpecificSettings) {
    QWidget about;
    const auto aboutBox = BuildDialog(FindTemplate(kAboutTemplate, Language::English), &about);
    EXPECT_TRUE(aboutBox->ControlAs<QPushButton>(1)->isDefault());
    const auto* icon = qobject_cast<QLabel*>(aboutBox->Controls().front());
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());

    QWidget led;
    const auto ledPage = BuildDialog(FindTemplate(kLedPageTemplate, Language::English), &led);
    auto* brightness = ledPage->ControlAs<QSlider>(1023);
    ASSERT_NE(brightness, nullptr);
    EXPECT_EQ(brightness->orientation(), Qt::Horizontal);
    EXPECT_EQ(brightness->tickPosition(), QSlider::NoTicks);
    EXPECT_FALSE(ledPage->ControlAs<QComboBox>(1000)->isEditable());
    EXPECT_FALSE(ledPage->ControlAs<QLabel>(1033)->wordWrap());

    // The no-drive label is several lines high, so the message wraps inside it.
    QWidget main;
    const auto mainWindow =
        BuildDialog(FindTemplate(kMainWindowTemplate, Language::Japanese), &main);
    auto* noDrive = mainWindow->ControlAs<QLabel>(1051);
    EXPECT_TRUE(noDrive->wordWrap());
    noDrive->setText(DisplayText(LoadString(155, Language::Japanese)));
    EXPECT_LE(noDrive->heightForWidth(noDrive->width()), noDrive->height());
}

TEST(DialogBuilderTest, SortedListsSortAsItemsArrive) {
    const std::pair<int, QStringList> cases[] = {
        {kMainWindowTemplate, {u"alpha"_s, u"Beta"_s, u"delta"_s, u"Gamma"_s}},
        {kLedPageTemplate, {u"delta"_s, u"Beta"_s, u"Gamma"_s, u"alpha"_s}},
    };
    for (const auto& [id, expected] : cases) {
        QWidget root;
        const auto built = BuildDialog(FindTemplate(id, Language::English), &root);
        auto* combo = built->ControlAs<QComboBox>(1000);
        combo->addItem(u"delta"_s, 4);
        combo->addItem(u"Beta"_s, 2);
        combo->addItems({u"Gamma"_s, u"alpha"_s});
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
        }
        EXPECT_EQ(items, expected) << id;
        EXPECT_EQ(combo->itemData(combo->findText(u"Beta"_s)).toInt(), 2);
    }
}

// Group boxes do not own the controls inside them and lie below them, even when the
// template lists them after those controls.
TEST(DialogBuilderTest, GroupBoxesLieBelowTheirControls) {
    QWidget root;
    const auto built = BuildDialog(FindTemplate(kUtilityPageTemplate, Language::Japanese), &root);
    for (const int labelId : {1027, 1041}) {
        QWidget* label = built->Control(labelId);
        EXPECT_EQ(root.childAt(label->geometry().center()), label) << labelId;
    }
}

struct RadioCase {
    const char* name;
    DialogTemplate dialog;
    std::vector<std::pair<int, std::vector<int>>> groups;  // first radio, members
    std::vector<int> notFirst;
};

const ControlTemplate kSplitByLabel[] = {
    {1, ControlKind::AutoRadioButton, control_style::kGroup, {0, 0, 40, 10}, "a", nullptr},
    {2, ControlKind::AutoRadioButton, 0, {0, 10, 40, 10}, "b", nullptr},
    {3, ControlKind::Label, control_style::kGroup, {0, 20, 40, 8}, "", nullptr},
    {4, ControlKind::AutoRadioButton, 0, {0, 30, 40, 10}, "c", nullptr},
    {5, ControlKind::AutoCheckBox, control_style::kTabStop, {0, 40, 40, 10}, "", nullptr},
    {6, ControlKind::AutoRadioButton, 0, {0, 50, 40, 10}, "d", nullptr},
};

TEST(DialogBuilderTest, RadioGroupsRunUntilTheNextGroupFlag) {
    const RadioCase cases[] = {
        {"setting page",
         FindTemplate(kSettingPageTemplate, Language::English),
         {{1003, {1003, 1004, 1005}}, {1008, {1008, 1009}}},
         {1004, 1005, 1009, 1012}},
        {"split by a label", TestTemplate(kSplitByLabel), {{1, {1, 2}}, {4, {4, 6}}}, {2, 6}},
    };
    for (const RadioCase& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget root;
        const auto built = BuildDialog(c.dialog, &root);
        for (const auto& [first, members] : c.groups) {
            QButtonGroup* group = built->RadioGroup(first);
            ASSERT_NE(group, nullptr) << first;
            EXPECT_TRUE(group->exclusive());
            std::vector<QAbstractButton*> expected;
            for (const int id : members) {
                expected.push_back(built->ControlAs<QAbstractButton>(id));
            }
            const QList<QAbstractButton*> buttons = group->buttons();
            EXPECT_EQ(std::vector<QAbstractButton*>(buttons.begin(), buttons.end()), expected);
        }
        for (const int id : c.notFirst) {
            EXPECT_EQ(built->RadioGroup(id), nullptr) << id;
        }
    }
}

TEST(DialogBuilderTest, SeparateRadioGroupsDoNotUncheckEachOther) {
    QWidget root;
    const auto built = BuildDialog(FindTemplate(kSettingPageTemplate, Language::English), &root);
    auto radio = [&](int id) { return built->ControlAs<QRadioButton>(id); };
    radio(1003)->click();
    radio(1008)->click();
    EXPECT_TRUE(radio(1003)->isChecked());
    EXPECT_TRUE(radio(1008)->isChecked());
    radio(1004)->click();
    EXPECT_FALSE(radio(1003)->isChecked());
    EXPECT_TRUE(radio(1004)->isChecked());
    EXPECT_TRUE(radio(1008)->isChecked());
}

TEST(DialogBuilderTest, SetButtonCheckedCanLeaveAGroupWithNothingChecked) {
    QWidget root;
    const auto built = BuildDialog(FindTemplate(kSettingPageTemplate, Language::English), &root);
    auto radio = [&](int id) { return built->ControlAs<QRadioButton>(id); };
    for (const int id : {1003, 1004, 1005}) {
        SetButtonChecked(radio(id), true);
        EXPECT_TRUE(radio(id)->isChecked());
        SetButtonChecked(radio(id), false);
        EXPECT_EQ(built->RadioGroup(1003)->checkedButton(), nullptr) << id;
    }
    // The group stays exclusive afterwards.
    SetButtonChecked(radio(1003), true);
    SetButtonChecked(radio(1005), true);
    EXPECT_FALSE(radio(1003)->isChecked());

    // Buttons outside a group: auto-exclusive radio buttons and check boxes.
    QWidget parent;
    auto* alone = new QRadioButton(&parent);
    auto* box = new QCheckBox(&parent);
    for (QAbstractButton* button :
         {static_cast<QAbstractButton*>(alone), static_cast<QAbstractButton*>(box)}) {
        SetButtonChecked(button, true);
        SetButtonChecked(button, false);
        EXPECT_FALSE(button->isChecked());
    }
    EXPECT_TRUE(alone->autoExclusive());
}

TEST(DialogBuilderTest, CustomControlsComeFromTheirFactory) {
    QFrame* made = nullptr;
    QWidget* madeFor = nullptr;
    RegisterCustomControl("TestIndicator", [&](QWidget* parent) {
        madeFor = parent;
        made = new QFrame(parent);
        return made;
    });
    const ControlTemplate controls[] = {
        {7, ControlKind::Custom, control_style::kTabStop, {4, 4, 40, 11}, "", "TestIndicator"},
        {8, ControlKind::Custom, 0, {4, 20, 40, 11}, "", "UnknownClass"},
    };
    QWidget root;
    const auto built = BuildDialog(TestTemplate(controls), &root);
    EXPECT_EQ(built->Control(7), made);
    EXPECT_EQ(madeFor, &root);
    EXPECT_EQ(made->geometry(), built->ToPixels(QRect(4, 4, 40, 11)));
    EXPECT_EQ(made->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(built->Control(8)->metaObject(), &QWidget::staticMetaObject);
}

std::vector<int> TabCycle(QWidget& root, const BuiltDialog& built, QWidget* first,
                          std::size_t steps) {
    root.show();
    root.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&root));
    first->setFocus(Qt::TabFocusReason);
    std::vector<int> ids;
    for (std::size_t i = 0; i < steps; ++i) {
        QWidget* focused = QApplication::focusWidget();
        int id = -2;
        for (const ControlTemplate& control : built.Template().controls) {
            if (built.Control(control.id) == focused) {
                id = control.id;
            }
        }
        ids.push_back(id);
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    return ids;
}

// Tab walks the tab-stop controls in template order and wraps around.
TEST(DialogBuilderTest, TabOrderIsTemplateOrder) {
    const std::tuple<int, Language, std::vector<int>> cases[] = {
        {kUtilityPageTemplate, Language::English, {1026, 1015, 1043}},
        {kUtilityPageTemplate, Language::Japanese, {1043, 1015, 1026}},
        {kSettingPageTemplate, Language::English, {1012, 1006, 1007, 1010, 1011}},
    };
    for (const auto& [id, language, order] : cases) {
        SCOPED_TRACE(testing::Message() << "template " << id);
        QWidget root;
        const auto built = BuildDialog(FindTemplate(id, language), &root);
        std::vector<int> expected = order;
        expected.insert(expected.end(), order.begin(), order.end());
        EXPECT_EQ(TabCycle(root, *built, built->Control(order.front()), expected.size()), expected);
    }
}

}  // namespace
}  // namespace tavoren::res

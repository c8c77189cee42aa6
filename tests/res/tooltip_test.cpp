#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>
#include <optional>

#include "res/StringTable.h"
#include "res/ToolTips.h"
#include "tests/res/QtPrinters.h"

using namespace Qt::StringLiterals;

namespace tavoren::res {
namespace {

// What a user sees on hovering a control: the tip's text, its width and its number of lines.
struct ShownTip {
    QString text;
    int width = 0;
    int lines = 0;
};

class ToolTipTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_window.setToolTip(u"window tip"_s);
        m_window.resize(200, 100);
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    }
    void TearDown() override {
        OverrideUiLanguage(std::nullopt);
        QToolTip::hideText();
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
    }

    QWidget* ControlWithTip(int stringId) {
        auto* control = new QPushButton(u"control"_s, &m_window);
        control->show();
        AddToolTip(control, stringId);
        return control;
    }

    static std::optional<ShownTip> Hover(QWidget* control) {
        QToolTip::hideText();
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
        const QPoint pos = control->rect().center();
        QHelpEvent event(QEvent::ToolTip, pos, control->mapToGlobal(pos));
        QApplication::sendEvent(control, &event);
        if (!QToolTip::isVisible()) {
            return std::nullopt;
        }
        const QLabel* label = TipLabel();
        if (label == nullptr) {
            ADD_FAILURE() << "no tip label";
            return std::nullopt;
        }
        // The tip's own layout: its font, the width it got.
        QTextDocument document;
        document.setDefaultFont(label->font());
        document.setHtml(QToolTip::text());
        document.setTextWidth(label->width());
        document.size();
        int lines = 0;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            lines += block.layout()->lineCount();
        }
        QString text = document.toPlainText();
        // A table starts and ends with a block break of its own.
        while (text.startsWith(u'\n')) {
            text.remove(0, 1);
        }
        while (text.endsWith(u'\n')) {
            text.chop(1);
        }
        return ShownTip{text, label->width() - 2 * label->margin(), lines};
    }

    static const QLabel* TipLabel() {
        for (const QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->inherits("QTipLabel") && widget->isVisible()) {
                return static_cast<const QLabel*>(widget);
            }
        }
        return nullptr;
    }

    QWidget m_window;
};

struct TipCase {
    int stringId;
    Language language;
    bool shown;
};

// The text is loaded when the tip shows, so the language set after registration counts. A
// control whose string has no text shows nothing, not even its window's tip.
TEST_F(ToolTipTest, ShowsTheStringOfTheCurrentLanguage) {
    const TipCase cases[] = {
        {141, Language::English, false},   {141, Language::Japanese, true},
        {134, Language::English, true},    {1012, Language::English, true},
        {147, Language::English, true},    {101, Language::English, true},
        {155, Language::Japanese, true},   {1004, Language::English, true},
        {9999, Language::Japanese, false},
    };
    for (const TipCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "string " << c.stringId);
        QWidget* control = ControlWithTip(c.stringId);
        OverrideUiLanguage(c.language);
        const std::optional<ShownTip> tip = Hover(control);
        ASSERT_EQ(tip.has_value(), c.shown);
        if (tip) {
            EXPECT_EQ(tip->text, DisplayText(LoadString(c.stringId, c.language)));
        }
    }
}

struct TipShape {
    int stringId;
    Language language;
    bool wraps;
    int lines;  // when it does not wrap
};

// Lines wider than the maximum wrap; narrower tips keep their own width and line breaks.
TEST_F(ToolTipTest, WrapsAtTheMaximumWidth) {
    const TipShape cases[] = {
        {135, Language::English, true, 0},   {135, Language::Japanese, true, 0},
        {1004, Language::English, true, 0},  {147, Language::English, false, 1},
        {138, Language::Japanese, false, 2}, {145, Language::Japanese, false, 2},
    };
    for (const TipShape& c : cases) {
        SCOPED_TRACE(testing::Message() << "string " << c.stringId);
        QWidget* control = ControlWithTip(c.stringId);
        OverrideUiLanguage(c.language);
        const std::optional<ShownTip> tip = Hover(control);
        ASSERT_TRUE(tip.has_value());
        const int storedLines =
            static_cast<int>(DisplayText(LoadString(c.stringId, c.language)).count(u'\n') + 1);
        if (c.wraps) {
            // The table's cell spacing adds a few pixels to the text width.
            EXPECT_LE(tip->width, kMaxTipWidth + 4);
            EXPECT_GT(tip->lines, storedLines);
        } else {
            EXPECT_LT(tip->width, kMaxTipWidth);
            EXPECT_EQ(tip->lines, c.lines);
        }
    }
}

}  // namespace
}  // namespace tavoren::res

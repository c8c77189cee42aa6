#include "res/ToolTips.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>
#include <algorithm>

#include "res/StringTable.h"

namespace tavoren::res {
namespace {

// Rich text keeps the stored spaces and line breaks (white-space pre) and, for a tip wider than
// kMaxTipWidth, wraps inside a table of that width.
QString TipHtml(const QString& stored) {
    const QString shown = DisplayText(stored);
    const QFontMetrics metrics(QToolTip::font());
    int widest = 0;
    for (const QString& line : shown.split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    const QString escaped = shown.toHtmlEscaped();
    if (widest <= kMaxTipWidth) {
        return QStringLiteral("<p style=\"white-space:pre\">%1</p>").arg(escaped);
    }
    return QStringLiteral(
               "<table width=\"%1\"><tr><td style=\"white-space:pre-wrap\">%2</td></tr></table>")
        .arg(kMaxTipWidth)
        .arg(escaped);
}

class ToolTipLoader : public QObject {
public:
    ToolTipLoader(QWidget* control, int stringId) : QObject(control), m_stringId(stringId) {
        control->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) {
            return false;
        }
        auto* control = static_cast<QWidget*>(watched);
        const QString text = LoadString(m_stringId);
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), TipHtml(text), control,
                               control->rect());
        }
        // Handled either way: a control without text shows no tip, not its parent's.
        event->accept();
        return true;
    }

private:
    int m_stringId;
};

}  // namespace

void AddToolTip(QWidget* control, int stringId) { new ToolTipLoader(control, stringId); }

}  // namespace tavoren::res

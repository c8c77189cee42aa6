#include "pages/CPageDialog.h"

#include <QKeyEvent>
#include <QPushButton>

#include "res/DialogBuilder.h"

CPageDialog::CPageDialog(int templateId, QWidget* parent)
    : QWidget(parent), m_built(tavoren::res::BuildDialog(templateId, this)) {
    // Children show with their parent unless hidden explicitly; the host shows pages itself.
    hide();
    move(m_built->ToPixels(m_built->Template().origin));
    for (QWidget* control : m_built->Controls()) {
        control->installEventFilter(this);
        // Enter on a page never presses one of its buttons.
        if (auto* button = qobject_cast<QPushButton*>(control)) button->setAutoDefault(false);
    }
    installEventFilter(this);
}

CPageDialog::~CPageDialog() = default;

QWidget* CPageDialog::Control(int id) const { return m_built->Control(id); }

void CPageDialog::WidenControlsToFitTexts() { tavoren::res::WidenControlsToFitTexts(*m_built); }

void CPageDialog::setVisible(bool visible) {
    const bool changes = isHidden() == visible;
    QWidget::setVisible(visible);
    if (changes) OnWindowPosChanged();
}

void CPageDialog::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (isVisible()) OnWindowPosChanged();
}

void CPageDialog::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible()) OnWindowPosChanged();
}

bool CPageDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Escape:
                OnCancelCommand();
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                OnEnterKey();
                return true;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

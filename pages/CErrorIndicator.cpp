#include "pages/CErrorIndicator.h"

#include <QPainter>

#include "res/DialogBuilder.h"

CErrorIndicator::CErrorIndicator(QWidget* parent) : QWidget(parent) { setCursor(Qt::ArrowCursor); }

void CErrorIndicator::RegisterWindowClass() {
    static bool registered = false;
    if (registered) return;
    tavoren::res::RegisterCustomControl(
        kClassName, [](QWidget* parent) { return new CErrorIndicator(parent); });
    registered = true;
}

void CErrorIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
}

#pragma once

#include <QDialog>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWindow>

// Closes a dialog once its window is really on screen, not merely shown (install it on the
// dialog's window handle).
class CloseOnExpose : public QObject {
public:
    explicit CloseOnExpose(QDialog* dialog) : QObject(dialog), m_dialog(dialog) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, m_dialog, &QDialog::reject);
        }
        return false;
    }

private:
    QDialog* m_dialog;
};

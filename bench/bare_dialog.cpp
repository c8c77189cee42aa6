// The yardstick for the start-up benchmark: an empty Qt dialog of the main window's size,
// run modally like the main window and closed as soon as it is on screen.
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include "res/DialogBuilder.h"
#include "res/DialogTemplate.h"

namespace {

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

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    const tavoren::res::DialogTemplate& main =
        tavoren::res::FindTemplate(tavoren::res::kMainWindowTemplate, tavoren::res::UiLanguage());
    dialog.setFixedSize(
        tavoren::res::MetricsOf(tavoren::res::ResolveFont(main.font)).ToPixels(main.size));
    dialog.winId();
    dialog.windowHandle()->installEventFilter(new CloseOnExpose(&dialog));
    dialog.exec();
    return 0;
}

// The yardstick for the start-up benchmark: an empty Qt dialog of the main window's size,
// run modally like the main window and closed as soon as it is on screen.
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include "app/CloseOnExpose.h"
#include "res/DialogBuilder.h"
#include "res/DialogTemplate.h"

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

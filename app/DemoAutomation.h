#pragma once

#include <QObject>
#include <QString>

class CTavorenDriveUtilityDlg;
class QWindow;

// The demo's unattended modes, chosen through the environment (the program itself takes no
// arguments): TAVOREN_DEMO_SCREENSHOTS=DIR grabs every page, the About box and the no-drive
// window to DIR/<lang>-<name>.png; TAVOREN_DEMO_EXIT_WHEN_SHOWN=1 closes the main window as
// soon as it is on screen. Without either variable it does nothing.
class DemoAutomation : public QObject {
public:
    DemoAutomation();

    bool TakesScreenshots() const { return !m_screenshotDir.isEmpty(); }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnMainWindowShown(CTavorenDriveUtilityDlg* window);
    void CloseWhenExposed(QWindow* window, CTavorenDriveUtilityDlg* dialog);
    void CaptureMainWindow(CTavorenDriveUtilityDlg* window);
    void Save(QWidget* widget, const QString& name);

    QString m_screenshotDir;
    bool m_exitWhenShown = false;
    bool m_captureNextDialog = false;
};

#include "app/DemoAutomation.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "app/CAboutDlg.h"
#include "app/CloseOnExpose.h"
#include "app/CTavorenDriveUtilityDlg.h"
#include "res/StringTable.h"

namespace {

QString LanguageTag() {
    return tavoren::res::UiLanguage() == tavoren::res::Language::Japanese ? QStringLiteral("ja")
                                                                          : QStringLiteral("en");
}

}  // namespace

DemoAutomation::DemoAutomation()
    : m_screenshotDir(qEnvironmentVariable("TAVOREN_DEMO_SCREENSHOTS")),
      m_exitWhenShown(qEnvironmentVariableIntValue("TAVOREN_DEMO_EXIT_WHEN_SHOWN") != 0) {
    if (TakesScreenshots() || m_exitWhenShown) {
        qApp->installEventFilter(this);
    }
    if (TakesScreenshots()) {
        QDir().mkpath(m_screenshotDir);
    }
}

bool DemoAutomation::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show) {
        return false;
    }
    if (auto* window = qobject_cast<CTavorenDriveUtilityDlg*>(watched)) {
        OnMainWindowShown(window);
    } else if (auto* about = qobject_cast<CAboutDlg*>(watched); about && m_captureNextDialog) {
        m_captureNextDialog = false;
        QTimer::singleShot(0, about, [this, about] {
            Save(about, QStringLiteral("about"));
            about->accept();
        });
    }
    return false;
}

void DemoAutomation::OnMainWindowShown(CTavorenDriveUtilityDlg* window) {
    if (m_exitWhenShown) {
        CloseWhenExposed(window->windowHandle(), window);
    }
    if (TakesScreenshots()) {
        QTimer::singleShot(0, window, [this, window] { CaptureMainWindow(window); });
    }
}

void DemoAutomation::CloseWhenExposed(QWindow* window, CTavorenDriveUtilityDlg* dialog) {
    window->installEventFilter(new CloseOnExpose(dialog));
}

void DemoAutomation::CaptureMainWindow(CTavorenDriveUtilityDlg* window) {
    QTabWidget* tabs = window->TabControl();
    if (window->m_pageCount == 0) {
        Save(window, QStringLiteral("no-drive"));
    }
    for (int index = 0; index < tabs->count(); ++index) {
        tabs->setCurrentIndex(index);
        QApplication::processEvents();
        Save(window, tabs->tabText(index).trimmed().toLower());
    }
    if (window->m_pageCount != 0) {
        m_captureNextDialog = true;
        window->OnSysCommand(CTavorenDriveUtilityDlg::kAboutCommand);
    }
    window->reject();
}

void DemoAutomation::Save(QWidget* widget, const QString& name) {
    QApplication::processEvents();
    const QString path =
        QDir(m_screenshotDir).absoluteFilePath(LanguageTag() + '-' + name + ".png");
    if (widget->grab().save(path)) {
        std::printf("%s\n", qPrintable(path));
        std::fflush(stdout);
    } else {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    }
}

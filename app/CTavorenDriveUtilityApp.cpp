#include "app/CTavorenDriveUtilityApp.h"

#include "app/CTavorenDriveUtilityDlg.h"
#include "res/StringTable.h"

CTavorenDriveUtilityApp::CTavorenDriveUtilityApp(int& argc, char** argv)
    : QApplication(argc, argv) {
    setApplicationName(QString::fromUtf8(tavoren::res::kApplicationName));
    setApplicationDisplayName(QString::fromUtf8(tavoren::res::kApplicationName));
}

bool CTavorenDriveUtilityApp::InitInstance() {
    CTavorenDriveUtilityDlg dlg;
    dlg.exec();
    return false;
}

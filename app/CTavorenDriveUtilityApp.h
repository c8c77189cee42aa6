#pragma once

#include <QApplication>

// The application object: owns the life of the process.
class CTavorenDriveUtilityApp : public QApplication {
public:
    CTavorenDriveUtilityApp(int& argc, char** argv);

    // The whole run of the program: the main window, modally, until it closes. Always false:
    // there is no further event loop to run once the window is gone.
    bool InitInstance();
};

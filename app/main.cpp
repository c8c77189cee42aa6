#include <memory>

#include "app/CTavorenDriveUtilityApp.h"
#include "drive/ActiveBackend.h"
#include "drive/linux/LinuxSgBackend.h"

int main(int argc, char** argv) {
    CTavorenDriveUtilityApp app(argc, argv);
    tavoren::InstallDeviceBackend(std::make_unique<tavoren::LinuxSgBackend>());
    app.InitInstance();
    return 0;
}

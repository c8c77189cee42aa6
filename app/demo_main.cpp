#include <memory>

#include "app/CTavorenDriveUtilityApp.h"
#include "app/DemoAutomation.h"
#include "drive/ActiveBackend.h"
#include "drive/CurrentDrive.h"
#include "sim/SimulatedBus.h"

namespace {

// What the program shows on a machine without any supported drive.
void InstallBusWithoutDrives() {
    auto bus = std::make_unique<tavoren::sim::SimulatedBus>();
    bus->Attach('C', tavoren::sim::MakeSimulatedDisk());
    tavoren::InstallDeviceBackend(std::move(bus));
    tavoren::GetCurrentDrive() = {};
}

}  // namespace

int main(int argc, char** argv) {
    CTavorenDriveUtilityApp app(argc, argv);
    tavoren::InstallDeviceBackend(tavoren::sim::MakeDemoBus());
    DemoAutomation automation;
    app.InitInstance();
    if (automation.TakesScreenshots()) {
        InstallBusWithoutDrives();
        app.InitInstance();
    }
    return 0;
}

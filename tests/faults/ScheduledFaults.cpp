#include "ScheduledFaults.h"

namespace tavoren::testing {

CommandResult ScheduledFaults::Execute(DeviceHandle handle, const CommandRequest& request) {
    const bool inWindow = m_window.Covers(m_sent++);
    sim::DriveFaults& faults = m_drive.Faults();
    switch (m_window.kind) {
        case FaultKind::Unplugged:
            // Once gone, the drive stays gone: opens fail as well as commands.
            faults.unplugged = faults.unplugged || inWindow;
            break;
        case FaultKind::UnitAttentionStorm:
            faults.unitAttentionStorm = inWindow;
            break;
    }
    return m_bus.Execute(handle, request);
}

}  // namespace tavoren::testing

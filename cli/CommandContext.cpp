#include "cli/CommandContext.h"

#include <ostream>

#include "cli/DriveAccess.h"
#include "cli/ExitStatus.h"

namespace tavoren::cli {

int Fail(const CommandContext& context, int status, const std::string& message) {
    context.err << kToolName << ": " << message << '\n';
    return status;
}

int WriteFailed(const CommandContext& context, const std::string& deviceName) {
    return Fail(context, kExitNotTaken,
                deviceName + ": the setting did not take: " + FailureText(false));
}

int ConfirmTaken(const CommandContext& context, const std::string& deviceName,
                 bool readBackAccepted, const std::vector<ReadBack>& values) {
    const std::string refused = DeliveryFailureText();
    if (!refused.empty()) {
        return Fail(context, kExitNotTaken, deviceName + ": the setting did not take: " + refused);
    }
    // The values of a failed read are zeros, not the drive's.
    if (!readBackAccepted) {
        return Fail(context, kExitNotTaken,
                    deviceName + ": cannot read the setting back: " + FailureText(false));
    }
    std::string differences;
    for (const ReadBack& value : values) {
        if (value.sent == value.reported) continue;
        if (!differences.empty()) differences += ", ";
        differences += value.what + " " + value.reported + " instead of " + value.sent;
    }
    if (differences.empty()) return kExitOk;
    return Fail(context, kExitNotTaken,
                deviceName + ": the setting did not take: the drive reports " + differences);
}

}  // namespace tavoren::cli

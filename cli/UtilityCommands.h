#pragma once

#include "cli/CommandContext.h"
#include "cli/DriveAccess.h"

namespace tavoren::cli {

int RunBusPowerCheck(const CommandContext& context, const SelectedDrive& drive);
int RunForceEject(const CommandContext& context, const SelectedDrive& drive);
int RunFactoryReset(const CommandContext& context, const SelectedDrive& drive);

}  // namespace tavoren::cli

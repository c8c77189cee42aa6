#pragma once

#include <vector>

#include "cli/CommandContext.h"
#include "cli/DriveAccess.h"
#include "drive/Discovery.h"

namespace tavoren::cli {

// Every discovered drive with its model code and capabilities.
int RunList(const CommandContext& context, const std::vector<DiscoveredDrive>& drives);
int RunShow(const CommandContext& context, const SelectedDrive& drive);
int RunQuiet(const CommandContext& context, const SelectedDrive& drive);
int RunVeritrax(const CommandContext& context, const SelectedDrive& drive);
int RunLed(const CommandContext& context, const SelectedDrive& drive);

}  // namespace tavoren::cli

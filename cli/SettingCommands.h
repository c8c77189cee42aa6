#pragma once

#include <vector>

#include "cli/CommandContext.h"
#include "cli/DriveAccess.h"

namespace tavoren::cli {

// Every surveyed drive with its model code and capabilities; fails when one cannot be read.
int RunList(const CommandContext& context, const std::vector<SurveyedDrive>& drives);
int RunShow(const CommandContext& context, const SelectedDrive& drive);
int RunQuiet(const CommandContext& context, const SelectedDrive& drive);
int RunVeritrax(const CommandContext& context, const SelectedDrive& drive);
int RunLed(const CommandContext& context, const SelectedDrive& drive);

}  // namespace tavoren::cli

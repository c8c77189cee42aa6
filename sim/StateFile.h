#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sim/SimulatedTavorenDrive.h"

namespace tavoren::sim {

// One line of the state file: the letter, then every setting as key=value.
struct StateLine {
    char letter = 0;
    DriveSettings settings;
};

std::string FormatStateLine(const StateLine& line);
// Empty when the line lacks a key, repeats one, names an unknown one or holds a bad value.
std::optional<StateLine> ParseStateLine(std::string_view text);

}  // namespace tavoren::sim

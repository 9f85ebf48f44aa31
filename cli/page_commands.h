#pragma once

#include "cli/options.h"

// The commands that make a page: `arc` and `strobe`.
ToolCommand AddArcCommand(CLI::App& tool);
ToolCommand AddStrobeCommand(CLI::App& tool);

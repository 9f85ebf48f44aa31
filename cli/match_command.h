#pragma once

#include "cli/options.h"

// The `match` command: the arm-cartridge resonance and the pivot height for a rake change.
ToolCommand AddMatchCommand(CLI::App& tool);

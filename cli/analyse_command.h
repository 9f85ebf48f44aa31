#pragma once

#include "cli/options.h"

// The `analyse` command: tracking error and distortion of the three geometries and the user's arm, as a table,
// JSON or CSV on standard output, and with -o or --print the chart.
ToolCommand AddAnalyseCommand(CLI::App& tool);

#pragma once

#include "cli/options.h"

// The `speed` command: reads a recording of a test tone through libsndfile in blocks, measures it with the speed
// meter and prints the figures as text, JSON or CSV (the deviation over time), and with -o the chart.
ToolCommand AddSpeedCommand(CLI::App& tool);

#pragma once

#include "analysis/analysis_types.h"

#include <optional>

// What to do to the user's arm (the last column) to reach the analysis's target geometry: how far to slide the
// cartridge and which way to turn it, and, since a fixed headshell cannot turn, the best overhang for the offset it
// has with what that costs. None when the analysis has no user's arm, no target column, or either has no figures.
std::optional<ArmAdvice> AdviceFor(const AlignmentAnalysis& analysis);

// A sentence on what each geometry is best at (program text, with its period).
std::string_view GeometryTradeOff();

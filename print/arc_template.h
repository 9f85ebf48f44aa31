#pragma once

#include "geometry/alignment.h"

#include <optional>
#include <string>

// The texts of the arc template that depend on the record, built apart from the page.

// " (DIN)" for an inner groove radius of exactly 57.5, " (IEC)" for exactly 60.325, else empty.
std::string InnerGrooveSuffix(double innerGrooveRadius);
// " (DIN/IEC)" for an outer groove radius of exactly 146.05, else empty.
std::string OuterGrooveSuffix(double outerGrooveRadius);
// The ID without its trailing blanks (or zero bytes), the geometry's name and " (exact)" for an exact solution
// (Windows-1252).
std::string ArcTemplateTitle(const ArmInputs& arm);

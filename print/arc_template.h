#pragma once

#include "geometry/parameter_record.h"

#include <optional>
#include <string>

// The texts of the arc template that depend on the record, built apart from the page.

// " (DIN)" for an inner groove radius of exactly 57.5, " (IEC)" for exactly 60.325, else empty.
std::string InnerGrooveSuffix(double innerGrooveRadius);
// " (DIN/IEC)" for an outer groove radius of exactly 146.05, else empty.
std::string OuterGrooveSuffix(double outerGrooveRadius);
// The ID without its trailing blanks and the geometry's name (Windows-1252); none for an unknown geometry.
std::optional<std::string> ArcTemplateTitle(const ParameterRecord& record);

#pragma once

#include "geometry/parameter_record.h"
#include "geometry/result.h"

// The compute phase alone, on any record (depends only on its inputs and, without a geometry, its results).
void ComputeAlignment(ParameterRecord& record);

// Why null points n1 < n2 given for a spindle-to-pivot distance d make no alignment ("must lie ..."), or nothing
// when they do: both inside (0, d), the inner one the smaller, and an offset angle whose sine (n1 + n2) / 2L stays
// below 1.
Outcome CheckCustomNulls(double spindleToPivot, double innerNull, double outerNull);

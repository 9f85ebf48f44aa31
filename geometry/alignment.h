#pragma once

#include "geometry/parameter_record.h"

// The compute phase alone, on any record (depends only on its inputs and, without a geometry, its results).
void ComputeAlignment(ParameterRecord& record);

#pragma once

#include "geometry/field_reader.h"
#include "geometry/parameter_record.h"

// Reads the window's fields into `Parameters` in the window's order, then computes the alignment.
void ReadAndComputeAlignment(const FieldReader& window);
// The compute phase alone, on any record (depends only on its inputs and, without a geometry, its results).
void ComputeAlignment(ParameterRecord& record);

#pragma once

#include "geometry/alignment.h"
#include "windows/field_reader.h"
#include "windows/parameter_record.h"

// Reads the window's fields into the record in the window's order, then computes the alignment. A geometry button
// that is not checked leaves the record's choice as it was.
void ReadAndComputeAlignment(const FieldReader& window, ParameterRecord& record);
// The same into the Windows program's own record, `Parameters`.
void ReadAndComputeAlignment(const FieldReader& window);

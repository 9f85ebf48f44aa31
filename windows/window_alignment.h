#pragma once

#include "geometry/alignment.h"
#include "windows/field_reader.h"

// Reads the window's fields into `Parameters` in the window's order, then computes the alignment.
void ReadAndComputeAlignment(const FieldReader& window);

#pragma once

#include "print/strobe_speeds.h"
#include "windows/field_reader.h"

#include <cstdint>
#include <string>
#include <string_view>

// The custom strobe disk's values: the last ones accepted in its dialog, kept for the life of the process.
// The captions hold exactly 36 bytes once stored.
extern std::int32_t CustomOuterBars;
extern std::int32_t CustomInnerBars;
extern std::string CustomCaption1;
extern std::string CustomCaption2;

// Reads the dialog's two counts (rounded, halves to even) and two captions into the four values above.
void ReadCustomStrobeFields(const FieldReader& dialog);

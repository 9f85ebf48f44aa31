#pragma once

// The paper a region prints on when nothing else says: the Linux tool asks it of the locale's territory, the page of
// the browser language's region, so that the same place gets the same paper in every form.

#include "print/paper.h"

#include <span>
#include <string_view>

// The regions (ISO 3166 codes, upper case) where Letter is the common paper.
std::span<const std::string_view> LetterRegions();

// Letter for a region that prints on it ("CL", "us": case does not matter), A4 for every other region and for a text
// that names none ("", "419", "C").
PaperSize DefaultPaperForRegion(std::string_view region);

// The paper's name as the settings take it ("letter", "a4").
std::string_view DefaultPaperNameForRegion(std::string_view region);

#pragma once

// Two null points as people type them: "66.0;120.9", "66.0/120.9", "66+120.9", "66 120.9", "66.0, 120.9" or
// "66.0,120.9", each number read as the other lengths are (a decimal comma is a decimal point). A comma separates
// the two where only one of the commas can: "66,0,120,9" is 66 and 120.9, but "66,5,120" could be 66 and 5.12 or
// 66.5 and 120 and is refused with both spellings.

#include "geometry/result.h"

#include <optional>
#include <string>
#include <string_view>

struct NullPointsText {
    double Inner = 0;
    double Outer = 0;
    // A comma was read as a decimal comma.
    bool DecimalComma = false;
};

// The two numbers of a text (UTF-8), in the order given; the reason, worded to follow "--nulls", when the text is
// not two numbers read in full or can be read as two pairs.
Result<NullPointsText> ReadNullPointsText(std::string_view text);

// One null point typed in a field of its own ("66,0"), read as the lengths are; nothing when the text is not one
// number read in full.
std::optional<NullPointsText> ReadNullPointText(std::string_view text);

// The texts a --nulls text gives the page's two null point fields: the two lengths it reads as ("66;120,9" gives
// "66" and "120.9"), or the whole text in the first field and nothing in the second when it does not read, so that
// the refusal quotes what was given.
struct NullPointFields {
    std::string Inner;
    std::string Outer;
};
NullPointFields NullPointFieldsOf(std::string_view nullsText);

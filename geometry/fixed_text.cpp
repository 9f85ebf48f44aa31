#include "geometry/fixed_text.h"

#include <algorithm>

std::string FixedLengthText(std::string_view text, std::size_t length) {
    std::string fixed(text.substr(0, std::min(text.size(), length)));
    fixed.resize(length, ' ');
    return fixed;
}

// Any double through both masks: the text always has the mask's shape, carries a sign exactly for negative values,
// and reads back to within half a thousandth (plus the value's own rounding).
#include "geometry/numeric_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* rule, double value, std::string_view mask, const std::string& text) {
    std::fprintf(stderr, "%s\nvalue: %.17g (mask \"%.*s\")\ntext: \"%s\"\n", rule, value, static_cast<int>(mask.size()),
                 mask.data(), text.c_str());
    std::abort();
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// -?(0|[1-9][0-9]*)\.[0-9]{3} followed by exactly the mask's literal.
bool HasMaskShape(std::string_view text, std::string_view literal) {
    if (text.size() < literal.size() || text.substr(text.size() - literal.size()) != literal) {
        return false;
    }
    text.remove_suffix(literal.size());
    if (!text.empty() && text.front() == '-') {
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos || point == 0 || text.size() - point - 1 != 3) {
        return false;
    }
    if (point > 1 && text.front() == '0') {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i != point && !IsDigit(text[i])) {
            return false;
        }
    }
    return true;
}

double UnitInLastPlace(double magnitude) {
    return std::nextafter(magnitude, HUGE_VAL) - magnitude;
}

void Check(double value, std::string_view mask) {
    const std::string_view literal = mask == AngleMask ? std::string_view("\xB0") : std::string_view();
    const std::string text = FormatNumber(value, mask);
    if (std::isinf(value)) {
        return; // any text will do for an infinity, as long as it was made without harm
    }
    if (!HasMaskShape(text, literal)) {
        Fail("the text does not have the mask's shape", value, mask, text);
    }
    if (std::isnan(value) || value == 0) {
        if (text != "0.000" + std::string(literal)) {
            Fail("zero, negative zero and NaN are not written as a plain zero", value, mask, text);
        }
        return;
    }
    if ((text.front() == '-') != (value < 0)) {
        Fail("the sign does not follow the value", value, mask, text);
    }
    const double readBack = TextToNumber(text);
    const double magnitude = std::fabs(value);
    if (magnitude < 1e9) {
        const double tolerance = 0.0005 + 2 * UnitInLastPlace(magnitude + 0.001) + magnitude * 1e-17;
        if (!(std::fabs(readBack - value) <= tolerance)) {
            Fail("the text reads back further than half a thousandth from the value", value, mask, text);
        }
    } else if (!(std::fabs(readBack - value) <= 0.0005 + magnitude * 1e-15)) {
        Fail("a large value's text does not read back to the value", value, mask, text);
    }
}

} // namespace

// The first byte chooses how the rest becomes a double: its low bit the bit pattern of eight bytes or the value
// of the text, so both odd doubles and decimal ties near the rounding points get explored.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool fromBits = (data[0] & 1) != 0;
    ++data;
    --size;
    double value = 0;
    if (fromBits) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, data, std::min<std::size_t>(size, sizeof bits));
        std::memcpy(&value, &bits, sizeof value);
    } else {
        value = TextToNumber(std::string_view(reinterpret_cast<const char*>(data), size));
    }
    Check(value, LengthMask);
    Check(value, AngleMask);
    Check(-value, LengthMask);
    return 0;
}

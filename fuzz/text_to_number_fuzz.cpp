// Any field text: the reading never fails, and where the C library can read the same text as a plain decimal the
// two agree (exactly for the short values the fields are made for, to one unit in the last place otherwise).
#include "geometry/numeric_text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* rule, std::string_view text, double ours, double reference) {
    std::fprintf(stderr, "%s\ntext (%zu bytes): \"%.*s\"\nread: %.17g  reference: %.17g\n", rule, text.size(),
                 static_cast<int>(std::min<std::size_t>(text.size(), 200)), text.data(), ours, reference);
    std::abort();
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The shape strtod and the field reading both know: [sign] digits [. digits] [e [sign] digits], whole text, at
// least one mantissa digit, no blanks. `decimals` counts the digits after the point; `exponent` reports an
// exponent part whose value could reach the field reading's cap.
struct PlainDecimal {
    bool Matches = false;
    std::size_t Decimals = 0;
    bool HasExponent = false;
    bool ExponentBeyondCap = false;
};

PlainDecimal ClassifyPlainDecimal(std::string_view text) {
    PlainDecimal shape;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    std::size_t digits = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        ++digits;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
            ++digits;
            ++shape.Decimals;
        }
    }
    if (digits == 0) {
        return shape;
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        shape.HasExponent = true;
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            ++pos;
        }
        const std::size_t first = pos;
        long exponent = 0;
        for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
            exponent = std::min(exponent * 10 + (text[pos] - '0'), 100000L);
        }
        if (pos == first) {
            return shape; // strtod would not take the "e"
        }
        shape.ExponentBeyondCap = exponent > 9999;
    }
    shape.Matches = pos == text.size();
    return shape;
}

bool WithinOneUlp(double ours, double reference) {
    if (ours == reference) {
        return true;
    }
    return ours == std::nextafter(reference, HUGE_VAL) || ours == std::nextafter(reference, -HUGE_VAL);
}

void CheckAgainstStrtod(std::string_view text, double ours) {
    const PlainDecimal shape = ClassifyPlainDecimal(text);
    if (!shape.Matches || shape.ExponentBeyondCap) {
        return;
    }
    const std::string terminated(text);
    errno = 0;
    const double reference = std::strtod(terminated.c_str(), nullptr);
    if (errno == ERANGE) {
        return; // outside the double range: the reading's answer there is its own
    }
    if (std::signbit(ours) != std::signbit(reference)) {
        Fail("the sign differs from strtod's", text, ours, reference);
    }
    if (!shape.HasExponent && shape.Decimals <= 3 && std::fabs(reference) < 400) {
        if (ours != reference) {
            Fail("a short decimal below 400 is not the nearest double", text, ours, reference);
        }
        return;
    }
    if (!WithinOneUlp(ours, reference)) {
        Fail("a plain decimal is more than one unit in the last place from strtod's", text, ours, reference);
    }
}

// "&H" with at most 16 hex digits is a 64-bit pattern read as signed.
void CheckHexPattern(std::string_view text, double ours) {
    if (text.size() < 3 || text.size() > 18 || text[0] != '&' || (text[1] != 'H' && text[1] != 'h')) {
        return;
    }
    for (std::size_t i = 2; i < text.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) {
            return;
        }
    }
    const std::string digits(text.substr(2));
    const auto pattern = static_cast<std::int64_t>(std::strtoull(digits.c_str(), nullptr, 16));
    if (ours != static_cast<double>(pattern)) {
        Fail("a hex pattern does not read as its signed 64-bit value", text, ours, static_cast<double>(pattern));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t consumed = 0;
    const double ours = TextToNumber(text, consumed);
    if (consumed > text.size()) {
        Fail("more characters consumed than the text holds", text, ours, static_cast<double>(consumed));
    }
    const double again = TextToNumber(text);
    if (std::memcmp(&ours, &again, sizeof ours) != 0 && !(std::isnan(ours) && std::isnan(again))) {
        Fail("the two readings differ", text, ours, again);
    }
    if (std::isnan(ours)) {
        Fail("a text read as NaN", text, ours, 0);
    }
    CheckAgainstStrtod(text, ours);
    CheckHexPattern(text, ours);
    return 0;
}

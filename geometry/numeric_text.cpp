#include "geometry/numeric_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

bool IsLeadingSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Value of a digit in bases up to 36: "0".."9", then "A"/"a" = 10 up to "Z"/"z" = 35.
int DigitValue(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 10;
    }
    return 99;
}

// "&H1F", "&O17", "&B101", "&17": an integer pattern of at most 64 bits, read as signed.
double ReadBasedInteger(std::string_view text, std::size_t& consumed) {
    std::size_t pos = 1;
    unsigned base = 8;
    if (pos < text.size()) {
        switch (text[pos]) {
        case 'H':
        case 'h':
            base = 16;
            ++pos;
            break;
        case 'O':
        case 'o':
        case 'Q':
        case 'q':
            base = 8;
            ++pos;
            break;
        case 'B':
        case 'b':
            base = 2;
            ++pos;
            break;
        default:
            break;
        }
    }
    std::uint64_t pattern = 0;
    bool anyDigit = false;
    bool overflow = false;
    for (; pos < text.size(); ++pos) {
        const auto digit = static_cast<unsigned>(DigitValue(text[pos]));
        if (digit >= base) {
            break;
        }
        if (pattern > (std::numeric_limits<std::uint64_t>::max() - digit) / base) {
            overflow = true; // needs more than 64 bits
        }
        pattern = pattern * base + digit;
        anyDigit = true;
    }
    consumed = anyDigit ? pos : 0;
    if (!anyDigit || overflow) {
        return 0;
    }
    return static_cast<double>(static_cast<std::int64_t>(pattern));
}

constexpr int MaxSignificantDigits = 18;
constexpr int MaxExponent = 9999;

} // namespace

double TextToNumber(std::string_view text) {
    std::size_t consumed = 0;
    return TextToNumber(text, consumed);
}

double TextToNumber(std::string_view text, std::size_t& consumed) {
    consumed = 0;
    std::size_t pos = 0;
    while (pos < text.size() && IsLeadingSpace(text[pos])) {
        ++pos;
    }
    const std::size_t blanks = pos;
    text.remove_prefix(pos);
    if (text.empty()) {
        return 0;
    }
    if (text.front() == '&') {
        const double value = ReadBasedInteger(text, consumed);
        consumed += consumed > 0 ? blanks : 0;
        return value;
    }

    pos = 0;
    bool negative = false;
    if (text[pos] == '+' || text[pos] == '-') {
        negative = text[pos] == '-';
        ++pos;
    }
    std::uint64_t mantissa = 0;
    int significant = 0;
    long scale = 0; // power of ten that the mantissa is to be multiplied by
    bool anyDigit = false;
    bool seenPoint = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (!IsDigit(c)) {
            break;
        }
        anyDigit = true;
        const int digit = c - '0';
        if (significant < MaxSignificantDigits) {
            mantissa = mantissa * 10 + static_cast<unsigned>(digit);
            if (mantissa != 0) {
                ++significant;
            }
            if (seenPoint) {
                --scale;
            }
        } else if (!seenPoint) {
            ++scale; // dropped digit still moves the decimal point
        }
    }
    if (anyDigit && pos < text.size() &&
        (text[pos] == 'E' || text[pos] == 'e' || text[pos] == 'D' || text[pos] == 'd')) {
        ++pos;
        bool negativeExponent = false;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            negativeExponent = text[pos] == '-';
            ++pos;
        }
        long exponent = 0;
        for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
            exponent = std::min<long>(exponent * 10 + (text[pos] - '0'), MaxExponent);
        }
        scale += negativeExponent ? -exponent : exponent;
    }
    if (!anyDigit) {
        return negative ? -0.0 : 0.0;
    }
    consumed = blanks + pos;

    // One extended-precision rounding of mantissa * 10^scale: strtold on canonical digits gives exactly that
    // on both toolchains and turns values beyond its range into infinity or zero.
    char canonical[48];
    char* end = std::to_chars(canonical, canonical + 20, mantissa).ptr;
    *end++ = 'E';
    end = std::to_chars(end, canonical + sizeof canonical - 1, scale).ptr;
    *end = '\0';
    const long double extended = std::strtold(canonical, nullptr);
    const double magnitude = static_cast<double>(extended);
    return negative ? -magnitude : magnitude;
}

namespace {

// "d.ddddddddddddddddde±x": the value rounded once to 18 significant digits. std::to_chars does it exactly; a
// standard library without it for floating point (Emscripten's libc++) falls back on the C library's printf, which
// rounds the exact binary value as well (ties to even in the default rounding mode).
template <typename Number> std::string_view ScientificText(Number value, char (&buffer)[64]) {
    if constexpr (requires(char* at, Number v) { std::to_chars(at, at, v, std::chars_format::scientific, 17); }) {
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 17);
        return std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer));
    } else {
        const int length = std::snprintf(buffer, sizeof buffer, "%.17e", static_cast<double>(value));
        return std::string_view(buffer, static_cast<std::size_t>(std::clamp(length, 0, 63)));
    }
}

// Emscripten's fallback for the shortest text: the fewest significant digits that read back as the value, laid out
// as std::to_chars lays them out (plain or scientific, whichever is shorter, plain on a tie).
[[maybe_unused]] std::string ShortestFromPrintf(double value) {
    if (!std::isfinite(value) || value == 0) {
        return std::isnan(value)   ? "nan"
               : std::isinf(value) ? (value < 0 ? "-inf" : "inf")
                                   : (std::signbit(value) ? "-0" : "0");
    }
    char buffer[64];
    int precision = 0;
    do {
        std::snprintf(buffer, sizeof buffer, "%.*e", precision, value);
    } while (std::strtod(buffer, nullptr) != value && ++precision < 17);
    const std::string_view scientific(buffer);
    const std::size_t e = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, e)) {
        if (IsDigit(c)) {
            digits += c;
        }
    }
    const int exponent = std::atoi(buffer + e + 1);
    const std::string sign = value < 0 ? "-" : "";
    std::string exponentText = std::to_string(exponent < 0 ? -exponent : exponent);
    if (exponentText.size() < 2) {
        exponentText.insert(0, 1, '0');
    }
    const std::string tail = digits.size() > 1 ? "." + digits.substr(1) : "";
    const std::string inScientific = sign + digits[0] + tail + "e" + (exponent < 0 ? "-" : "+") + exponentText;
    std::string plain;
    const long count = static_cast<long>(digits.size());
    if (exponent >= count - 1) {
        // A whole number is written out exactly, as to_chars writes it ("12345678901234567168", not "...7000").
        char whole[400];
        std::snprintf(whole, sizeof whole, "%.0f", std::fabs(value));
        plain = whole;
    } else if (exponent >= 0) {
        plain = digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "." +
                digits.substr(static_cast<std::size_t>(exponent + 1));
    } else {
        plain = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    plain.insert(0, sign);
    return plain.size() <= inScientific.size() ? plain : inScientific;
}

template <typename Number> std::string ShortestOf(Number value) {
    if constexpr (requires(char* at, Number v) { std::to_chars(at, at, v); }) {
        char buffer[40];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        return std::string(buffer, result.ptr);
    } else {
        return ShortestFromPrintf(value);
    }
}

struct MaskParts {
    int Decimals = 0;
    std::string Literal;
};

// The masks in use are "###.000" and "###.000\°": placeholders, a point, placeholders and escaped literals.
MaskParts ReadMask(std::string_view mask) {
    MaskParts parts;
    bool afterPoint = false;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        if (c == '\\' && i + 1 < mask.size()) {
            parts.Literal += mask[++i];
        } else if (c == '.') {
            afterPoint = true;
        } else if ((c == '0' || c == '#') && afterPoint) {
            ++parts.Decimals;
        } else if (c != '0' && c != '#') {
            parts.Literal += c;
        }
    }
    return parts;
}

} // namespace

std::string FormatNumber(double value, std::string_view mask) {
    const MaskParts parts = ReadMask(mask);
    if (std::isnan(value) || value == 0) {
        std::string zero = "0";
        if (parts.Decimals > 0) {
            zero += '.' + std::string(static_cast<std::size_t>(parts.Decimals), '0');
        }
        return zero + parts.Literal;
    }
    const bool negative = value < 0;
    if (std::isinf(value)) {
        return (negative ? "-Infinity" : "Infinity") + parts.Literal;
    }

    // 18 significant digits, rounded once (ties to even) from the exact binary value.
    char buffer[64];
    const std::string_view scientific = ScientificText(std::fabs(value), buffer);
    std::string digits;
    std::size_t e = scientific.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (IsDigit(scientific[i])) {
            digits += scientific[i];
        }
    }
    int exponent = 0;
    std::from_chars(scientific.data() + e + 1 + (scientific[e + 1] == '+' ? 1 : 0),
                    scientific.data() + scientific.size(), exponent);

    // Digits before the point: exponent + 1. Lay the digit string out over integer and kept decimals.
    const long integerDigits = exponent + 1;
    const long keep = integerDigits + parts.Decimals; // digits of the string that are kept
    std::string kept;
    bool roundUp = false;
    if (keep <= 0) {
        // Everything is dropped; the first dropped digit lies before the string when keep < 0.
        if (keep == 0) {
            const char first = digits[0];
            const bool laterNonZero = digits.find_first_not_of('0', 1) != std::string::npos;
            // A tie rounds to the even neighbour, and the kept digit is 0 (even).
            roundUp = first > '5' || (first == '5' && laterNonZero);
        }
    } else if (static_cast<std::size_t>(keep) >= digits.size()) {
        kept = digits + std::string(static_cast<std::size_t>(keep) - digits.size(), '0');
    } else {
        kept = digits.substr(0, static_cast<std::size_t>(keep));
        const char first = digits[static_cast<std::size_t>(keep)];
        const bool laterNonZero =
            digits.find_first_not_of('0', static_cast<std::size_t>(keep) + 1) != std::string::npos;
        if (first > '5' || (first == '5' && laterNonZero)) {
            roundUp = true;
        } else if (first == '5') {
            roundUp = (kept.back() - '0') % 2 == 1;
        }
    }
    // `kept` holds the number times 10^Decimals, possibly with fewer digits than the fraction needs.
    const std::size_t fractionDigits = static_cast<std::size_t>(parts.Decimals);
    if (kept.size() < fractionDigits + 1) {
        kept.insert(0, fractionDigits + 1 - kept.size(), '0');
    }
    if (roundUp) {
        std::size_t i = kept.size();
        bool carry = true;
        while (carry && i > 0) {
            --i;
            if (kept[i] == '9') {
                kept[i] = '0';
            } else {
                ++kept[i];
                carry = false;
            }
        }
        if (carry) {
            kept.insert(0, 1, '1');
        }
    }
    std::string integerPart = kept.substr(0, kept.size() - fractionDigits);
    const std::size_t firstNonZero = integerPart.find_first_not_of('0');
    integerPart = firstNonZero == std::string::npos ? "0" : integerPart.substr(firstNonZero);
    std::string text = negative ? "-" : "";
    text += integerPart;
    if (fractionDigits > 0) {
        text += '.';
        text += kept.substr(kept.size() - fractionDigits);
    }
    return text + parts.Literal;
}

std::string ShortestText(double value) {
    return ShortestOf(value);
}

long double SquareRoot(long double value) {
    if (std::isnan(value) || value < 0) {
        return value;
    }
    return std::sqrt(value);
}

std::int32_t RoundToInteger(double value) {
    constexpr std::int32_t OutOfRange = std::numeric_limits<std::int32_t>::min();
    if (std::isnan(value)) {
        return OutOfRange;
    }
    const double rounded = std::nearbyint(value); // the default rounding mode: ties to even
    if (rounded < -2147483648.0 || rounded > 2147483647.0) {
        return OutOfRange;
    }
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::string> PartlyReadNumber(std::string_view text) {
    std::size_t consumed = 0;
    const double value = TextToNumber(text, consumed);
    const std::size_t meaningful = text.find_last_not_of(" \t\r\n");
    if (consumed == 0 || (meaningful != std::string_view::npos && consumed <= meaningful)) {
        return ShortestText(value);
    }
    return std::nullopt;
}

std::optional<std::string> DecimalCommaAsPoint(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsLeadingSpace(text[pos])) {
        ++pos;
    }
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    while (pos < text.size() && IsDigit(text[pos])) {
        ++pos;
    }
    if (pos + 1 >= text.size() || text[pos] != ',' || !IsDigit(text[pos + 1])) {
        return std::nullopt;
    }
    std::string pointed(text);
    pointed[pos] = '.';
    return pointed;
}

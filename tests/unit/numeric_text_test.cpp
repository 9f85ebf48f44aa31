#include "geometry/numeric_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

struct TextCase {
    const char* Text;
    double Expected;
};

class TextToNumberReads : public testing::TestWithParam<TextCase> {};

TEST_P(TextToNumberReads, TheLeadingNumber) {
    const auto& c = GetParam();
    const double value = TextToNumber(c.Text);
    EXPECT_EQ(value, c.Expected) << '"' << c.Text << '"';
    EXPECT_EQ(std::signbit(value), std::signbit(c.Expected)) << '"' << c.Text << '"';
}

INSTANTIATE_TEST_SUITE_P(Decimals, TextToNumberReads,
                         testing::Values(TextCase{"57.5", 57.5}, TextCase{"  209", 209}, TextCase{"146.05 mm", 146.05},
                                         TextCase{"57,5", 57}, TextCase{".5", 0.5}, TextCase{"5.", 5},
                                         TextCase{"1.2.3", 1.2}, TextCase{"1e2", 100}, TextCase{"2.5D-1", 0.25},
                                         TextCase{"1e", 1}, TextCase{"+7", 7}, TextCase{"-.5", -0.5},
                                         TextCase{"0.005", 0.005}, TextCase{"1d+2x", 100},
                                         TextCase{"\t\r\n60.325", 60.325}, TextCase{"1E+", 1},
                                         TextCase{"0.000000000000000000000123", 1.23e-22}));

INSTANTIATE_TEST_SUITE_P(NotNumbers, TextToNumberReads,
                         testing::Values(TextCase{"- 5", -0.0}, TextCase{"+-1", 0.0}, TextCase{"", 0.0},
                                         TextCase{"abc", 0.0}, TextCase{"-0", -0.0}, TextCase{"   ", 0.0},
                                         TextCase{"\v5", 0.0}, TextCase{"-", -0.0}, TextCase{".e5", 0.0}));

INSTANTIATE_TEST_SUITE_P(OtherBases, TextToNumberReads,
                         testing::Values(TextCase{"&H1F", 31}, TextCase{"&b101", 5}, TextCase{"&17", 15},
                                         TextCase{"&o17", 15}, TextCase{"&Q17", 15}, TextCase{"&h", 0},
                                         TextCase{"&H1FG", 31}, TextCase{"&HFFFFFFFFFFFFFFFF", -1},
                                         TextCase{"&H7FFFFFFFFFFFFFFF", 9223372036854775807.0},
                                         TextCase{"&H10000000000000000", 0}, TextCase{"&H0000000000000000001", 1},
                                         TextCase{"&8", 0}, TextCase{"&Z", 0}));

INSTANTIATE_TEST_SUITE_P(Extremes, TextToNumberReads,
                         testing::Values(TextCase{"1e9999", std::numeric_limits<double>::infinity()},
                                         TextCase{"-1e9999", -std::numeric_limits<double>::infinity()},
                                         TextCase{"1e99999999999", std::numeric_limits<double>::infinity()},
                                         TextCase{"1e-9999", 0.0}, TextCase{"-1e-9999", -0.0},
                                         TextCase{"12345678901234567890", 12345678901234567800.0}));

// The tool's and the page's decimal comma stands only where the number's point would; the fields' own reading keeps
// stopping there.
TEST(TextToNumber, ADecimalCommaOnlyWhereThePointWouldStand) {
    const std::pair<const char*, const char*> cases[] = {
        {"57,5", "57.5"}, {" -,5", " -.5"},   {"3,25e1", "3.25e1"}, {"1,234,5", "1.234,5"}, {"57.5,3", nullptr},
        {"57,", nullptr}, {"57, 5", nullptr}, {"&H1,5", nullptr},   {"abc,5", nullptr},     {"57", nullptr}};
    for (const auto& [typed, pointed] : cases) {
        EXPECT_EQ(DecimalCommaAsPoint(typed), pointed ? std::optional<std::string>(pointed) : std::nullopt) << typed;
    }
    EXPECT_EQ(TextToNumber("57,5"), 57);
}

TEST(TextToNumber, DropsDigitsAfterTheEighteenthWithoutRounding) {
    // The 19th digit would round up; it is dropped instead, and still moves the point.
    EXPECT_EQ(TextToNumber("1234567890123456789"), 1234567890123456780.0);
    EXPECT_EQ(TextToNumber("0.1234567890123456789"), TextToNumber("0.123456789012345678"));
    const std::string longNumber = "1" + std::string(9999, '0');
    EXPECT_EQ(TextToNumber(longNumber), std::numeric_limits<double>::infinity());
    EXPECT_EQ(TextToNumber("0." + std::string(9999, '0') + "1"), 0.0);
}

TEST(TextToNumber, ShortDecimalsAreTheNearestDouble) {
    // Every field value with three decimals below 400 must equal the compiler's reading of the same literal,
    // because the template compares radii with decimal constants exactly.
    for (int thousandths = 0; thousandths < 400000; thousandths += 7) {
        char text[32];
        std::snprintf(text, sizeof text, "%d.%03d", thousandths / 1000, thousandths % 1000);
        ASSERT_EQ(TextToNumber(text), std::strtod(text, nullptr)) << text;
    }
}

struct FormatCase {
    double Value;
    const char* Expected;
};

class FormatLength : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatLength, ThreeDecimals) {
    EXPECT_EQ(FormatNumber(GetParam().Value, LengthMask), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatLength,
    testing::Values(FormatCase{57.5, "57.500"}, FormatCase{146.05, "146.050"}, FormatCase{209, "209.000"},
                    FormatCase{63.102939254, "63.103"}, FormatCase{0.5, "0.500"}, FormatCase{0, "0.000"},
                    FormatCase{-17.25, "-17.250"}, FormatCase{1234.5678, "1234.568"}, FormatCase{999.9996, "1000.000"},
                    FormatCase{0.0625, "0.062"}, FormatCase{0.1875, "0.188"}, FormatCase{2.0005, "2.001"},
                    FormatCase{1.0005, "1.000"}, FormatCase{-0.0004, "-0.000"}, FormatCase{-0.0, "0.000"},
                    FormatCase{std::numeric_limits<double>::quiet_NaN(), "0.000"},
                    FormatCase{std::numeric_limits<double>::infinity(), "Infinity"},
                    FormatCase{-std::numeric_limits<double>::infinity(), "-Infinity"}, FormatCase{0.0005, "0.001"},
                    FormatCase{0.00051, "0.001"}, FormatCase{0.0015, "0.002"}, FormatCase{0.00049, "0.000"},
                    FormatCase{9.5e-5, "0.000"}, FormatCase{1e-300, "0.000"}, FormatCase{-0.0006, "-0.001"},
                    FormatCase{123456789.0, "123456789.000"}, FormatCase{1e20, "100000000000000000000.000"},
                    FormatCase{4.9e-324, "0.000"}));

TEST(FormatNumber, AngleMaskAppendsTheDegreeSign) {
    EXPECT_EQ(FormatNumber(23.751610868, AngleMask), "23.752\xB0");
    EXPECT_EQ(FormatNumber(-84.84284753914957, AngleMask), "-84.843\xB0");
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::quiet_NaN(), AngleMask), "0.000\xB0");
    EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity(), AngleMask), "-Infinity\xB0");
}

TEST(FormatNumber, LargeValuesKeepEighteenSignificantDigits) {
    // 1e300 as a double is 1.00000000000000005250...e300: 18 rounded digits, then zeros.
    const std::string text = FormatNumber(1e300, LengthMask);
    EXPECT_EQ(text.substr(0, 18), "100000000000000005");
    EXPECT_EQ(text.size(), 301u + 4u);
    EXPECT_EQ(text.substr(18, 283), std::string(283, '0'));
}

TEST(SquareRoot, PassesNegativesThrough) {
    EXPECT_EQ(static_cast<double>(SquareRoot(2)), 1.4142135623730951);
    EXPECT_EQ(SquareRoot(-0.09L), -0.09L);
    EXPECT_EQ(SquareRoot(0), 0);
    EXPECT_TRUE(std::isnan(SquareRoot(std::numeric_limits<long double>::quiet_NaN())));
    EXPECT_EQ(SquareRoot(-std::numeric_limits<long double>::infinity()), -std::numeric_limits<long double>::infinity());
}

struct RoundCase {
    double Value;
    std::int32_t Expected;
};

class RoundToIntegerGives : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundToIntegerGives, NearestWithTiesToEven) {
    EXPECT_EQ(RoundToInteger(GetParam().Value), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RoundToIntegerGives,
    testing::Values(RoundCase{2.5, 2}, RoundCase{3.5, 4}, RoundCase{-2.5, -2}, RoundCase{0.5, 0}, RoundCase{1.5, 2},
                    RoundCase{160.5, 160}, RoundCase{161.5, 162}, RoundCase{72.4, 72}, RoundCase{2.4999999, 2},
                    RoundCase{2147483647.0, 2147483647}, RoundCase{2147483647.4, 2147483647},
                    RoundCase{2147483647.5, std::numeric_limits<std::int32_t>::min()},
                    RoundCase{-2147483648.5, std::numeric_limits<std::int32_t>::min()},
                    RoundCase{-2147483648.4, std::numeric_limits<std::int32_t>::min()},
                    RoundCase{-2147483647.6, std::numeric_limits<std::int32_t>::min()},
                    RoundCase{9999999999.0, std::numeric_limits<std::int32_t>::min()},
                    RoundCase{std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<std::int32_t>::min()},
                    RoundCase{std::numeric_limits<double>::infinity(), std::numeric_limits<std::int32_t>::min()}));

} // namespace

// Every form writes numbers in messages and reports the same way, whether its library has a floating-point
// to_chars or not: the shortest text that reads back, a whole number written out exactly.
TEST(ShortestText, SameTextWithAndWithoutToChars) {
    const std::pair<double, const char*> cases[] = {
        {57.5, "57.5"},
        {0.1, "0.1"},
        {1e20, "1e+20"},
        {1e22, "1e+22"},
        {-0.0, "-0"},
        {1e-7, "1e-07"},
        {12345678901234567890.0, "12345678901234567168"},
        {222.296, "222.296"},
        {123456789.0, "123456789"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(ShortestText(value), text) << value;
    }
}

#include "geometry/alignment.h"
#include "geometry/confirmation_text.h"
#include "geometry/windows_1252.h"
#include "windows/record_adaptor.h"

#include <gtest/gtest.h>

namespace {

TEST(ConfirmationText, DefaultFieldsGiveTheTenLines) {
    ParameterRecord record{};
    record.SpindleToPivot = 209;
    record.InnerGrooveRadius = 57.5;
    record.OuterGrooveRadius = 146.05;
    record.GeometryChoice = 1;
    AssignArmId(record, "");
    ComputeAlignment(record);
    EXPECT_EQ(ConfirmationText(record), "ID = " + std::string(40, ' ') +
                                            "\nInner groove radius = 57.500"
                                            "\nOuter groove radius = 146.050"
                                            "\nPivot to spindle distance = 209.000"
                                            "\nInner null radius = 63.103"
                                            "\nOuter null radius = 119.173"
                                            "\nEffective length = 226.277"
                                            "\nOverhang = 17.277"
                                            "\nOffset angle = 23.752\xB0"
                                            "\nLinear offset = 91.138");
}

TEST(ConfirmationText, ShowsTheFirstFortyBytesOfTheId) {
    ParameterRecord record{};
    AssignArmId(record, "SME 3009 Series II improved, detachable shell");
    const std::string text = ConfirmationText(record);
    EXPECT_EQ(text.substr(0, text.find('\n')), "ID = SME 3009 Series II improved, detachable ");
}

struct CodeCase {
    const char* Utf8;
    const char* Bytes;
};

class Windows1252Conversion : public testing::TestWithParam<CodeCase> {};

TEST_P(Windows1252Conversion, RoundTripsThroughUtf8AndUtf16) {
    const auto& c = GetParam();
    EXPECT_EQ(Utf8ToWindows1252(c.Utf8), c.Bytes);
    EXPECT_EQ(Windows1252ToUtf8(c.Bytes), c.Utf8);
    EXPECT_EQ(Utf16ToWindows1252(Windows1252ToUtf16(c.Bytes)), c.Bytes);
}

INSTANTIATE_TEST_SUITE_P(Texts, Windows1252Conversion,
                         testing::Values(CodeCase{"L\xC3\xB6"
                                                  "fgren A",
                                                  "L\xF6"
                                                  "fgren A"},
                                         CodeCase{"23.752\xC2\xB0", "23.752\xB0"},
                                         CodeCase{"\xE2\x82\xAC 5 \xE2\x80\x94 \xC5\xBD", "\x80 5 \x97 \x8E"},
                                         CodeCase{"plain", "plain"}));

TEST(Windows1252, MissingCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToWindows1252("\xE6\x97\xA5\xE6\x9C\xAC"), "??"); // two CJK characters
    EXPECT_EQ(Utf8ToWindows1252("a\xF0\x9F\x8E\xB5z"), "a?z");      // beyond the basic plane
    EXPECT_EQ(Utf8ToWindows1252("a\xC3"), "a?");                    // cut short
    EXPECT_EQ(Utf8ToWindows1252("\xFF\xFE"), "??");                 // not UTF-8 at all
    EXPECT_EQ(Utf16ToWindows1252(u"\U0001F3B5\u0416"), "??");
}

} // namespace

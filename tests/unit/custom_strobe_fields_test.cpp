#include "tests/unit/printout_test_support.h"
#include "windows/control_ids.h"
#include "windows/custom_strobe_fields.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using printout_test::TableFieldReader;

// --- counts: the number reading, then the nearest integer with halves to even ---

struct CountCase {
    std::string Text;
    std::int32_t Count;
};

TEST(CustomStrobeFields, CountsRoundHalvesToEven) {
    const CountCase cases[] = {
        {"160.5", 160}, {"161.5", 162}, {"72.4", 72}, {"72.6", 73}, {"216", 216},
        {"ABC", 0},     {"", 0},        {"-3", -3},   {"0.5", 0},   {"1.5", 2},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(c.Text);
        TableFieldReader dialog;
        dialog.Texts = {{ControlId::OuterBarsField, c.Text}, {ControlId::InnerBarsField, c.Text}};
        CustomOuterBars = 999;
        CustomInnerBars = 999;
        ReadCustomStrobeFields(dialog);
        EXPECT_EQ(CustomOuterBars, c.Count);
        EXPECT_EQ(CustomInnerBars, c.Count);
    }
}

TEST(CustomStrobeFields, EachFieldGoesToItsOwnValue) {
    TableFieldReader dialog;
    dialog.Texts = {{ControlId::OuterBarsField, "216"},
                    {ControlId::InnerBarsField, "160"},
                    {ControlId::Caption1Field, "first"},
                    {ControlId::Caption2Field, "second line"}};
    ReadCustomStrobeFields(dialog);
    EXPECT_EQ(CustomOuterBars, 216);
    EXPECT_EQ(CustomInnerBars, 160);
    EXPECT_EQ(CustomCaption1, CentreCaption("first"));
    EXPECT_EQ(CustomCaption2, CentreCaption("second line"));
}

// --- captions: centred into exactly 36 bytes, the odd blank after the text ---

namespace {

struct CaptionCase {
    std::string Text;
    std::size_t Before;
    std::string Kept;
};

} // namespace

TEST(CustomStrobeFields, CaptionsCentredIntoThirtySixBytes) {
    const std::string forty = "0123456789012345678901234567890123456789";
    const CaptionCase cases[] = {
        {"ABC", 16, "ABC"},
        {"", 18, ""},
        {"AB", 17, "AB"},
        {forty, 0, forty.substr(0, 36)},
        {forty.substr(0, 36), 0, forty.substr(0, 36)},
        {forty.substr(0, 35), 0, forty.substr(0, 35)},
        {"33 1/3 RPM - 60 HZ - 216 BARS", 3, "33 1/3 RPM - 60 HZ - 216 BARS"},
        {"L\xF6wen \xB0", 14, "L\xF6wen \xB0"},
    };
    for (const CaptionCase& c : cases) {
        SCOPED_TRACE(c.Text);
        const std::string expected =
            std::string(c.Before, ' ') + c.Kept + std::string(36 - c.Before - c.Kept.size(), ' ');
        EXPECT_EQ(CentreCaption(c.Text), expected);

        TableFieldReader dialog;
        dialog.Texts = {{ControlId::Caption1Field, c.Text}, {ControlId::Caption2Field, c.Text}};
        ReadCustomStrobeFields(dialog);
        EXPECT_EQ(CustomCaption1, expected);
        EXPECT_EQ(CustomCaption2, expected);
        EXPECT_EQ(CustomCaption1.size(), 36u);
    }
}

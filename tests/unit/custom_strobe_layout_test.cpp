#include "windows/custom_strobe_layout.h"
#include "windows/window_styles.h"
#include "dialog_template_reader.h"
#include "windows/control_ids.h"

#include "windows/field_table.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using namespace WindowStyle;

// --- The dialog as a template ---

TEST(CustomStrobeTemplate, Header) {
    const ReadDialog read = ReadDialogTemplate(CustomStrobeTemplate());
    EXPECT_EQ(read.Style, Popup | Caption | DialogModalFrame | DialogSetFont | DialogNoFailCreate | Dialog3dLook);
    EXPECT_EQ(read.Style & SysMenu, 0u) << "no system menu and so no close box";
    EXPECT_EQ(read.X, 102);
    EXPECT_EQ(read.Y, 88);
    EXPECT_EQ(read.Width, 211);
    EXPECT_EQ(read.Height, 180);
    EXPECT_EQ(read.Caption, u"Custom Strobe Parameters");
    EXPECT_EQ(read.FontPoints, 8);
    EXPECT_EQ(read.FontFace, u"MS Sans Serif");
}

TEST(CustomStrobeTemplate, ControlsInIdOrderWithoutGroups) {
    struct Expected {
        int Id;
        std::u16string ClassName;
        std::u16string Text;
        std::int16_t X, Y, Width, Height;
    };
    const Expected expected[] = {
        {1026, u"STATIC", u"Number of outer bars", 15, 20, 70, 15},
        {1027, u"STATIC", u"Number of inner bars", 15, 50, 70, 15},
        {1028, u"STATIC", u"Caption line 1", 15, 80, 70, 15},
        {1029, u"STATIC", u"Caption line 2", 15, 110, 70, 15},
        {1030, u"EDIT", u"216", 90, 20, 35, 10},
        {1031, u"EDIT", u"160", 90, 50, 35, 10},
        {1032, u"EDIT", u"33 1/3 RPM - 60 HZ - 216 BARS", 90, 80, 105, 10},
        {1033, u"EDIT", u"45 RPM - 60 HZ - 160 BARS", 90, 110, 105, 10},
        {1034, u"BUTTON", u"OK", 25, 140, 65, 15},
        {1035, u"BUTTON", u"Cancel", 120, 140, 65, 15},
    };
    const ReadDialog read = ReadDialogTemplate(CustomStrobeTemplate());
    ASSERT_EQ(read.Items.size(), std::size(expected));
    for (std::size_t index = 0; index < std::size(expected); ++index) {
        const Expected& want = expected[index];
        const ReadDialogItem& have = read.Items[index];
        EXPECT_EQ(have.Id, want.Id);
        EXPECT_EQ(have.ClassName, want.ClassName) << want.Id;
        EXPECT_EQ(have.Text, want.Text) << want.Id;
        EXPECT_EQ(have.X, want.X) << want.Id;
        EXPECT_EQ(have.Y, want.Y) << want.Id;
        EXPECT_EQ(have.Width, want.Width) << want.Id;
        EXPECT_EQ(have.Height, want.Height) << want.Id;
        EXPECT_EQ(have.Style & Group, 0u) << want.Id;
        EXPECT_EQ((have.Style & TabStop) != 0, want.ClassName != u"STATIC") << want.Id;
        EXPECT_EQ(have.Style & 0xF, 0u) << want.Id << ": no default push button, single-line boxes";
        EXPECT_EQ(have.ExtendedStyle, want.ClassName == u"EDIT" ? ExClientEdge : 0u) << want.Id;
    }
}

// --- The bar count limit: counts are read as the dialog reads them, halves to even ---

TEST(CustomStrobeLimit, CountsAtAndAroundTheLimit) {
    struct Case {
        const char* Outer;
        const char* Inner;
        bool Allowed;
    };
    const Case cases[] = {
        {"216", "160", true},
        {"10000", "10000", true},
        {"10000.5", "1", true},
        {"10001", "160", false},
        {"216", "10001", false},
        {"10000.51", "1", false},
        {"20000", "160", false},
        {"-5", "0", true},
        {"ABC", "", true},
        {"99999", "1", false},
        // Beyond 32 bits the count would become the lowest integer and print nothing: refused like any large count.
        {"9999999999", "1", false},
        {"1", "1e9999", false},
        {"-9999999999", "1", true},
    };
    for (const Case& c : cases) {
        FieldTextTable table;
        table.Texts = {{ControlId::OuterBarsField, c.Outer}, {ControlId::InnerBarsField, c.Inner}};
        EXPECT_EQ(BarCountsWithinLimit(table), c.Allowed) << c.Outer << " / " << c.Inner;
    }
    // The refusal sends the focus to the first count beyond the limit.
    FieldTextTable both;
    both.Texts = {{ControlId::OuterBarsField, "10001"}, {ControlId::InnerBarsField, "10001"}};
    EXPECT_EQ(BarCountBeyondLimit(both), ControlId::OuterBarsField);
    both.Texts[ControlId::OuterBarsField] = "216";
    EXPECT_EQ(BarCountBeyondLimit(both), ControlId::InnerBarsField);
}

TEST(CustomStrobeLimit, RefusalSentence) {
    EXPECT_EQ(BarCountRefusal, "The number of bars must be 10000 or less.");
    EXPECT_EQ(MaximumBarCount, 10000);
}

} // namespace

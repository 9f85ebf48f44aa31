#include "print/strobe_speeds.h"

#include <gtest/gtest.h>

namespace {

struct SpeedCase {
    const char* Typed;
    std::int64_t Numerator, Denominator; // 0/0: refused
    const char* Text;
};

TEST(PlatterSpeeds, ReadAsPeopleWriteThem) {
    // clang-format off
    const SpeedCase cases[] = {
        {"33 1/3", 100, 3, "33 1/3"}, {"33.33", 100, 3, "33 1/3"}, {"33.3", 100, 3, "33 1/3"},
        {"33\xE2\x85\x93", 100, 3, "33 1/3"}, {" 100/3 ", 100, 3, "33 1/3"}, {"16 2/3", 50, 3, "16 2/3"},
        {"16.67", 50, 3, "16 2/3"}, {"16.66", 50, 3, "16 2/3"}, {"45", 45, 1, "45"}, {"78", 78, 1, "78"},
        {"45.0", 45, 1, "45"}, {"33.34", 1667, 50, "33.34"}, {"45.5", 91, 2, "45.5"},
        {"0", 0, 0, ""}, {"301", 0, 0, ""}, {"x", 0, 0, ""}, {"33,3", 0, 0, ""}, {"1/0", 0, 0, ""}, {"", 0, 0, ""},
    };
    // clang-format on
    for (const SpeedCase& c : cases) {
        const std::optional<PlatterSpeed> speed = ReadPlatterSpeed(c.Typed);
        ASSERT_EQ(speed.has_value(), c.Denominator != 0) << c.Typed;
        if (speed) {
            EXPECT_EQ(speed->Numerator, c.Numerator) << c.Typed;
            EXPECT_EQ(speed->Denominator, c.Denominator) << c.Typed;
            EXPECT_EQ(speed->Text, c.Text) << c.Typed;
        }
    }
    EXPECT_EQ(ReadPlatterSpeeds("33.33,45").Value().size(), 2u);
    EXPECT_NE(ReadPlatterSpeeds("33.33,45,78").Message().find("not 3"), std::string::npos);
    EXPECT_NE(ReadPlatterSpeeds("33.33,").Message().find("'' is not a speed"), std::string::npos);
}

struct RingCase {
    const char* Speed;
    int Mains;
    std::int32_t Bars;
    const char* Caption;
    const char* Note; // "" when the ring freezes
};

TEST(StrobeRings, CountsCaptionsAndDrift) {
    // clang-format off
    const RingCase cases[] = {
        {"33 1/3", 60, 216, "33 1/3 RPM - 60 HZ - 216 BARS", ""},
        {"45", 60, 160, "45 RPM - 60 HZ - 160 BARS", ""},
        {"33.33", 50, 180, "33 1/3 RPM - 50 HZ - 180 BARS", ""},
        // The built-in 50 Hz disk's own note, derived.
        {"45", 50, 133, "45 RPM - 50 HZ - 133 BARS", "(45 RPM must drift CCW 5 bars per 20sec)"},
        {"78", 50, 77, "78 RPM - 50 HZ - 77 BARS", "(78 RPM must drift CW 2 bars per 20sec)"},
        {"78", 60, 92, "78 RPM - 60 HZ - 92 BARS", "(78 RPM must drift CCW 8 bars per 20sec)"},
        {"16 2/3", 50, 360, "16 2/3 RPM - 50 HZ - 360 BARS", ""},
        // 7200 / 33.34 = 215.96: 216 bars pass 0.024 a second too fast.
        {"33.34", 60, 216, "33.34 RPM - 60 HZ - 216 BARS", "(33.34 RPM must drift CW 1 bar per 42sec)"},
    };
    // clang-format on
    for (const RingCase& c : cases) {
        const StrobeRing ring = StrobeRingFor(*ReadPlatterSpeed(c.Speed), c.Mains);
        EXPECT_EQ(ring.Bars, c.Bars) << c.Speed;
        EXPECT_EQ(RingCaption(ring), c.Caption);
        EXPECT_EQ(DriftNote(ring), c.Note);
        EXPECT_EQ(DriftReport(ring).empty(), std::string(c.Note).empty()) << c.Speed;
    }
    EXPECT_EQ(DriftReport(StrobeRingFor(*ReadPlatterSpeed("45"), 50)),
              "the 45 rpm ring (133 bars at 50 Hz) drifts counter-clockwise by 0.25 bars a second (one bar every 4 s)"
              " at exactly 45 rpm");
}

TEST(StrobeRings, DisksFromSpeedsOrCounts) {
    const StrobeDiskLayout one = StrobeDiskForSpeeds({*ReadPlatterSpeed("78")}, 50);
    EXPECT_EQ(one.OuterBars, 77);
    EXPECT_EQ(one.InnerBars, 0);
    EXPECT_EQ(one.Caption2, "");
    EXPECT_EQ(one.Notes.size(), 1u);
    const StrobeDiskLayout counts = StrobeDiskForCounts(200, 0);
    EXPECT_EQ(counts.Caption1, "200 BARS");
    EXPECT_EQ(counts.Caption2, "");
    EXPECT_EQ(BuiltInStrobeMains(180, 133), 50);
    EXPECT_EQ(BuiltInStrobeMains(133, 180), std::nullopt);
}

} // namespace

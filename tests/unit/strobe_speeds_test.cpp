#include "print/strobe_speeds.h"
#include "settings/settings.h"

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
        // A decimal comma, thirds to any length, the unit after the number.
        {"33,3", 100, 3, "33 1/3"}, {"16,67", 50, 3, "16 2/3"}, {"45,5", 91, 2, "45.5"},
        {"33.3333333", 100, 3, "33 1/3"}, {"16.666666666666667", 50, 3, "16 2/3"}, {"33.3334", 166667, 5000, "33.3334"},
        {"45.1000000", 451, 10, "45.1"}, {"45.123456", 705054, 15625, "45.123456"},
        {"45 rpm", 45, 1, "45"}, {"33 1/3 RPM", 100, 3, "33 1/3"}, {"78rpm", 78, 1, "78"},
        // The ends of the range: the 8 1/3 rpm of talking books down to 8, and 300.
        {"8", 8, 1, "8"}, {"8 1/3", 25, 3, "8 1/3"}, {"300", 300, 1, "300"},
        {"7.999999", 0, 0, ""}, {"300.000001", 0, 0, ""}, {"3", 0, 0, ""},
        {"0", 0, 0, ""}, {"301", 0, 0, ""}, {"x", 0, 0, ""}, {"1/0", 0, 0, ""}, {"", 0, 0, ""}, {"rpm", 0, 0, ""},
        {"45.1234567", 0, 0, ""}, {"33,3,3", 0, 0, ""}, {"33.3,3", 0, 0, ""},
        // A whole number run into its fraction is refused, not read as 110 1/3 or 54.
        {"331/3", 0, 0, ""}, {"162/3", 0, 0, ""}, {"1001/3", 0, 0, ""}, {"200/3", 200, 3, "66 2/3"},
    };
    // clang-format on
    for (const SpeedCase& c : cases) {
        const Result<PlatterSpeed> speed = ReadPlatterSpeed(c.Typed);
        ASSERT_EQ(speed.Ok(), c.Denominator != 0) << c.Typed << ": " << speed.Message();
        if (speed) {
            EXPECT_EQ(speed->Numerator, c.Numerator) << c.Typed;
            EXPECT_EQ(speed->Denominator, c.Denominator) << c.Typed;
            EXPECT_EQ(speed->Text, c.Text) << c.Typed;
        }
    }
    EXPECT_EQ(ReadPlatterSpeed("331/3").Message(),
              "'331/3' could be 110 1/3 rpm or, with a blank, '33 1/3': write '110 1/3' or '33 1/3'");
    EXPECT_EQ(ReadPlatterSpeed("45.1234567").Message(),
              "'45.1234567' has more than 6 decimals and is not a third; a speed is read to the millionth of an rpm");
}

struct ListCase {
    const char* Typed;
    const char* Read;  // the speeds as "+" would join them; "" when refused
    bool DecimalComma; // or, when refused, a part of the reason
    const char* Reason = "";
};

// A comma is a decimal comma only where it cannot stand between two speeds; "+" always does.
TEST(PlatterSpeeds, ListsReadTheCommaOnlyOneWay) {
    // clang-format off
    const ListCase cases[] = {
        {"33,3", "33 1/3", true}, {"45,5", "45.5", true}, {"33,33", "33 1/3", true}, {"45,45", "45.45", true},
        {"33.33,78", "33 1/3+78", false}, {"33 1/3,45", "33 1/3+45", false}, {"33,3,45", "33 1/3+45", true},
        {"45,5,33,3", "45.5+33 1/3", true}, {"33,3+45", "33 1/3+45", true}, {"78+45", "78+45", false},
        {" 45 rpm + 33,3 rpm ", "45+33 1/3", true}, {"300,300", "300+300", false}, {"45", "45", false},
        {"78,45", "", false, "'78,45' could be 78.45 rpm (write 78.45) or 78 and 45 rpm (write 78+45)"},
        {"78,26", "", false, "could be 78.26 rpm (write 78.26) or 78 and 26 rpm (write 78+26)"},
        {"33,8", "", false, "could be 33.8 rpm"},
        {"33,45,78", "", false, "not 3; with a decimal comma, put + between the two speeds (33,3+45)"},
        {"33+45+78", "", false, "not 3"}, {"33.33,", "", false, "'' is not a speed"},
        {"331/3,45", "", false, "could be 110 1/3 rpm or, with a blank, '33 1/3'"},
        {"33,3,3", "", false, "not 3"}, {"", "", false, "'' is not a speed"},
    };
    // clang-format on
    for (const ListCase& c : cases) {
        const Result<PlatterSpeedList> read = ReadPlatterSpeeds(c.Typed);
        ASSERT_EQ(read.Ok(), *c.Read != '\0') << c.Typed << ": " << read.Message();
        if (!read) {
            EXPECT_NE(read.Message().find(c.Reason), std::string::npos) << c.Typed << ": " << read.Message();
            continue;
        }
        std::string speeds;
        for (const PlatterSpeed& speed : read->Speeds) {
            speeds += (speeds.empty() ? "" : "+") + speed.Text;
        }
        EXPECT_EQ(speeds, c.Read) << c.Typed;
        EXPECT_EQ(read->DecimalComma, c.DecimalComma) << c.Typed;
    }
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

namespace {

// A pasted speed reads the same whatever blank it brought along, in every field that takes one: --speeds of the
// disk and --rpm of the analysis.
TEST(PlatterSpeeds, ReadTheSameWhateverBlankSurroundsThem) {
    const SettingsReport plainDisk = ReadSettings(SettingsCommand::Strobe, {{"speeds", "45"}}, {});
    const SettingsReport plainAnalysis = ReadSettings(SettingsCommand::Analyse, {{"rpm", "45"}}, {});
    ASSERT_TRUE(plainDisk.Disk && plainAnalysis.Analysis);
    for (const char* blank : {" ", "\t", "\n", "\r\n", "\r", " \t\n", "\v", "\f"}) {
        for (const std::string& typed :
             {std::string(blank) + "45", "45" + std::string(blank), blank + std::string("45") + blank}) {
            SCOPED_TRACE(testing::PrintToString(typed));
            const Result<PlatterSpeed> speed = ReadPlatterSpeed(typed);
            ASSERT_TRUE(speed) << speed.Message();
            EXPECT_EQ(speed->Numerator, 45);
            const SettingsReport disk = ReadSettings(SettingsCommand::Strobe, {{"speeds", typed}}, {});
            EXPECT_TRUE(disk.Refusals.empty()) << disk.Refusals.front().Message;
            ASSERT_TRUE(disk.Disk);
            EXPECT_EQ(disk.Disk->OuterBars, plainDisk.Disk->OuterBars);
            EXPECT_EQ(disk.Disk->Caption1, plainDisk.Disk->Caption1);
            const SettingsReport analysis = ReadSettings(SettingsCommand::Analyse, {{"rpm", typed}}, {});
            EXPECT_TRUE(analysis.Refusals.empty()) << analysis.Refusals.front().Message;
            ASSERT_TRUE(analysis.Analysis);
            EXPECT_EQ(analysis.Analysis->Inputs.Rpm, 45);
        }
    }
}

} // namespace

#include "analysis/alignment_analysis.h"
#include "geometry/alignment.h"
#include "geometry/angles.h"
#include "print/arc_template.h"
#include "settings/null_points.h"
#include "settings/settings.h"
#include "windows/record_adaptor.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <string>

namespace {

AnalysisInputs InputsOf(double d, double inner, double outer) {
    AnalysisInputs inputs;
    inputs.SpindleToPivot = d;
    inputs.InnerGrooveRadius = inner;
    inputs.OuterGrooveRadius = outer;
    return inputs;
}

struct NullCase {
    double D;
    double Inner;
    double Outer;
};

TEST(CustomNulls, TheArmThroughTwoNullsFollowsTheirFormulas) {
    for (const NullCase& c :
         {NullCase{222, 66.0, 120.9}, NullCase{209, 60.325, 117.417}, NullCase{300, 70, 116}, NullCase{150, 10, 140}}) {
        ParameterRecord record{};
        record.SpindleToPivot = c.D;
        record.GeometryChoice = CustomNullsChoice;
        record.InnerNullRadius = c.Inner;
        record.OuterNullRadius = c.Outer;
        ComputeAlignment(record);
        const double length = std::sqrt(c.D * c.D + c.Inner * c.Outer);
        EXPECT_NEAR(record.EffectiveLength, length, 1e-9 * length);
        EXPECT_NEAR(record.Overhang, length - c.D, 1e-9 * length);
        EXPECT_NEAR(record.OffsetAngle, std::asin((c.Inner + c.Outer) / (2 * length)) * 180 / static_cast<double>(Pi),
                    1e-9);
        EXPECT_NEAR(record.LinearOffset, (c.Inner + c.Outer) / 2, 1e-9);
        // The arm so set has its tracking error zero at both given points.
        for (const double null : {c.Inner, c.Outer}) {
            EXPECT_NEAR(TrackingErrorAt(c.D, record.EffectiveLength, record.OffsetAngle, null), 0, 1e-9) << null;
        }
    }
}

TEST(CustomNulls, RefusesNullsOutsideTheArmOrOutOfOrder) {
    struct Case {
        NullCase Nulls;
        std::string Reason; // empty: accepted
    };
    for (const Case& c : {Case{{222, 66, 120.9}, ""}, Case{{222, 0, 120.9}, "must lie between 0"},
                          Case{{222, -5, 120.9}, "must lie between 0"}, Case{{222, 66, 222}, "must lie between 0"},
                          Case{{222, 66, NAN}, "must lie between 0"}, Case{{222, 120.9, 66}, "inner null point first"},
                          Case{{222, 66, 66}, "inner null point first"}}) {
        const Outcome checked = CheckCustomNulls(c.Nulls.D, c.Nulls.Inner, c.Nulls.Outer);
        EXPECT_EQ(checked.Ok(), c.Reason.empty()) << c.Nulls.Inner << " " << c.Nulls.Outer;
        EXPECT_NE(checked.Message().find(c.Reason), std::string::npos) << checked.Message();
    }
}

TEST(CustomNulls, TextsReadAsTwoNumbersOrAreRefused) {
    struct Case {
        std::string Text;
        double Inner, Outer;
        bool DecimalComma;
        std::string Refused; // a part of the reason; empty when read
    };
    const Case cases[] = {
        {"66.0,120.9", 66, 120.9, false, ""},
        {"66;120.9", 66, 120.9, false, ""},
        {"66/120.9", 66, 120.9, false, ""},
        {"66+120.9", 66, 120.9, false, ""},
        {" 66 120.9 ", 66, 120.9, false, ""},
        {"66.0, 120.9", 66, 120.9, false, ""},
        {"\t66\t120.9\t", 66, 120.9, false, ""},
        {"66\t", 0, 0, false, "must be two null points"},
        {"66,0;120,9", 66, 120.9, true, ""},
        {"66,0 120,9", 66, 120.9, true, ""},
        {"66,0,120,9", 66, 120.9, true, ""},
        {"120.9,66", 120.9, 66, false, ""}, // read as given; the order is checked with the distance
        {"66,5,120", 0, 0, false, "could be 66 and 5.12 mm or 66.5 and 120 mm: write 66;5.12 or 66.5;120"},
        {"66", 0, 0, false, "must be two null points"},
        {"66;120;130", 0, 0, false, "must be two null points"},
        {"66mm;120", 0, 0, false, "must be two null points"},
        {"", 0, 0, false, "must be two null points"},
        {"a,b", 0, 0, false, "must be two null points"},
    };
    for (const Case& c : cases) {
        const Result<NullPointsText> read = ReadNullPointsText(c.Text);
        ASSERT_EQ(read.Ok(), c.Refused.empty()) << c.Text << ": " << read.Message();
        if (read) {
            EXPECT_EQ(read->Inner, c.Inner) << c.Text;
            EXPECT_EQ(read->Outer, c.Outer) << c.Text;
            EXPECT_EQ(read->DecimalComma, c.DecimalComma) << c.Text;
        } else {
            EXPECT_NE(read.Message().find(c.Refused), std::string::npos) << read.Message();
        }
    }
}

SettingsReport Read(SettingsCommand command, const NamedSettings& settings) {
    return ReadSettings(command, settings, {PaperSize::A4, false});
}

// The tool's refusals and warnings are in the bad-input table; the page alone can send a switch with a value.
TEST(CustomNulls, SettingsTakeTheSwitchAsOnOrOffAndNothingElse) {
    const SettingsReport refused = Read(SettingsCommand::Values, {{"exact", "maybe"}});
    ASSERT_EQ(refused.Refusals.size(), 1u);
    EXPECT_EQ(refused.Refusals[0].Code, "not-a-switch");
    EXPECT_EQ(refused.Refusals[0].Message, "--exact takes no value, not 'maybe'");
    const SettingsReport exactWithNulls = Read(SettingsCommand::Arc, {{"nulls", "66;120"}, {"exact", "on"}});
    ASSERT_EQ(exactWithNulls.Warnings.size(), 1u);
    EXPECT_EQ(exactWithNulls.Warnings[0].Code, "exact-with-nulls");
}

TEST(CustomNulls, NamedSettingsGiveTheCustomAndExactAlignments) {
    const SettingsReport custom =
        Read(SettingsCommand::Values, {{"spindle-to-pivot", "222"}, {"preset", "iec"}, {"nulls", "66,0;120,9"}});
    ASSERT_FALSE(custom.Refused());
    EXPECT_EQ(custom.Alignment.Values.InnerNullRadius, 66);
    EXPECT_EQ(custom.Alignment.Values.OuterNullRadius, 120.9);
    const nlohmann::json json = nlohmann::json::parse(ReportJson(custom));
    EXPECT_EQ(json["alignment"]["geometry"], "custom");
    EXPECT_EQ(json["notes"][0]["message"], "--nulls \"66,0;120,9\" reads as 66 and 120.9 mm (a decimal comma)");

    // The page sends its switch as on or off; the tool gives --exact without a value.
    for (const std::string on : {"", "on", "true"}) {
        const SettingsReport exact =
            Read(SettingsCommand::Values, {{"spindle-to-pivot", "222"}, {"preset", "iec"}, {"exact", on}});
        EXPECT_TRUE(exact.Alignment.Inputs.Exact) << on;
        EXPECT_NEAR(exact.Alignment.Values.OuterNullRadius, 121.039, 5e-4) << on;
        EXPECT_EQ(nlohmann::json::parse(ReportJson(exact))["alignment"]["exact"], true);
    }
    const SettingsReport exactArc =
        Read(SettingsCommand::Arc, {{"id", "Deck"}, {"geometry", "lofgren-b"}, {"exact", ""}});
    EXPECT_EQ(ArcTemplateTitle(exactArc.Alignment.Inputs), "Deck - L\xF6"
                                                           "fgren B (exact)");
    const SettingsReport off =
        Read(SettingsCommand::Values, {{"spindle-to-pivot", "222"}, {"preset", "iec"}, {"exact", "off"}});
    EXPECT_FALSE(off.Alignment.Inputs.Exact);
    EXPECT_NEAR(off.Alignment.Values.OuterNullRadius, 120.891, 5e-4);
}

TEST(CustomNulls, AnalysisAddsACustomColumnAndAdvisesTowardsIt) {
    const SettingsReport report = Read(SettingsCommand::Analyse, {{"spindle-to-pivot", "222"},
                                                                  {"preset", "iec"},
                                                                  {"nulls", "66;120.9"},
                                                                  {"overhang", "19"},
                                                                  {"offset-angle", "23"}});
    ASSERT_TRUE(report.Analysis) << (report.Refused() ? report.Refusals[0].Message : "");
    const AlignmentAnalysis& analysis = *report.Analysis;
    ASSERT_EQ(analysis.Arms.size(), 5u);
    EXPECT_EQ(analysis.Arms[3].Arm, AnalysedArm::Custom);
    EXPECT_NEAR(*analysis.Arms[3].InnerNull, 66, 1e-9);
    EXPECT_NEAR(*analysis.Arms[3].OuterNull, 120.9, 1e-9);
    ASSERT_TRUE(analysis.Advice);
    EXPECT_EQ(analysis.Advice->Target, AnalysedArm::Custom);
    EXPECT_EQ(analysis.Advice->Steps.at(0),
              "To set your arm to Custom: slide the cartridge 1.7 mm towards the pivot (overhang 19.0 to 17.3 mm).");
}

// A larger offset angle turns the cartridge's front further towards the spindle: clockwise, seen from above, for an
// arm to the right of the platter; the overhang grows away from the pivot.
TEST(CustomNulls, AdviceSaysWhichWayToSlideAndTurn) {
    struct Case {
        double Overhang, Offset;
        std::string Says;
    };
    for (const Case& c :
         {Case{19, 24,
               "slide the cartridge 1.7 mm towards the pivot (overhang 19.0 to 17.3 mm), and turn it 1.0\xB0 "
               "counter-clockwise as seen from above (offset angle 24.0 to 23.0\xB0)."},
          Case{16, 22,
               "slide the cartridge 1.3 mm away from the pivot (overhang 16.0 to 17.3 mm), and turn it 1.0\xB0 "
               "clockwise as seen from above (offset angle 22.0 to 23.0\xB0)."},
          Case{17.3, 23.0,
               "Your arm is set to L\xF6"
               "fgren A already"}}) {
        AnalysisInputs inputs = InputsOf(222, 60.325, 146.05);
        inputs.Arm = UserArmInput{222 + c.Overhang, c.Offset};
        const AlignmentAnalysis analysis = AnalyseAlignment(inputs).Value();
        ASSERT_TRUE(analysis.Advice);
        EXPECT_NE(analysis.Advice->Steps[0].find(c.Says), std::string::npos) << analysis.Advice->Steps[0];
        // A headshell that cannot turn gets the best overhang for its own offset, and what that costs.
        EXPECT_EQ(analysis.Advice->Steps.size(), c.Offset == 23.0 ? 1u : 2u);
    }
}

} // namespace

#include "geometry/numeric_text.h"
#include "windows/control_ids.h"
#include "windows/field_table.h"
#include "windows/program_records.h"
#include "windows/record_adaptor.h"
#include "windows/window_alignment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <string>

namespace {

// The main window as a table: field texts by control and the checked option button.
class FieldTable : public FieldTextTable {
public:
    FieldTable() {
        Texts = {{ControlId::SpindleToPivotField, "209"}, {ControlId::InnerGrooveField, "57.5"},
                 {ControlId::OuterGrooveField, "146.05"}, {ControlId::CorrectionXField, "1.0"},
                 {ControlId::CorrectionYField, "1.0"},    {ControlId::ArmIdField, ""}};
        Checks = {{ControlId::LofgrenAButton, 1}};
    }
};

std::string F(double value) {
    return FormatNumber(value, LengthMask);
}

struct GeometryRow {
    int Choice;
    const char* Inner;
    const char* Outer;
    const char* N1;
    const char* N2;
    const char* L;
    const char* Overhang;
    const char* Offset;
    const char* Linear;
};

class PublishedGeometries : public testing::TestWithParam<GeometryRow> {};

TEST_P(PublishedGeometries, GiveTheTabulatedResultsAtD209) {
    const auto& row = GetParam();
    ParameterRecord record{};
    record.SpindleToPivot = 209;
    record.InnerGrooveRadius = TextToNumber(row.Inner);
    record.OuterGrooveRadius = TextToNumber(row.Outer);
    record.GeometryChoice = static_cast<std::int16_t>(row.Choice);
    ComputeAlignment(record);
    EXPECT_EQ(F(record.InnerNullRadius), row.N1);
    EXPECT_EQ(F(record.OuterNullRadius), row.N2);
    EXPECT_EQ(F(record.EffectiveLength), row.L);
    EXPECT_EQ(F(record.Overhang), row.Overhang);
    EXPECT_EQ(F(record.OffsetAngle), row.Offset);
    EXPECT_EQ(F(record.LinearOffset), row.Linear);
    // The invariants of ordinary input.
    EXPECT_LT(record.InnerNullRadius, record.OuterNullRadius);
    EXPECT_NEAR(record.EffectiveLength * record.EffectiveLength,
                209.0 * 209.0 + record.InnerNullRadius * record.OuterNullRadius, 1e-9);
    EXPECT_NEAR(record.LinearOffset, record.EffectiveLength * std::sin(record.OffsetAngle * std::numbers::pi / 180),
                1e-9);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, PublishedGeometries, testing::Values(
    GeometryRow{1, "57.5", "146.05", "63.103", "119.173", "226.277", "17.277", "23.752", "91.138"},
    GeometryRow{1, "60.325", "146.05", "65.998", "120.891", "227.287", "18.287", "24.276", "93.445"},
    GeometryRow{1, "63", "145", "68.689", "121.786", "228.137", "19.137", "24.674", "95.237"},
    GeometryRow{2, "57.5", "146.05", "67.414", "114.862", "226.769", "17.769", "23.697", "91.138"},
    GeometryRow{2, "60.325", "146.05", "70.285", "116.604", "227.764", "18.764", "24.222", "93.445"},
    GeometryRow{2, "63", "145", "72.903", "117.572", "228.588", "19.588", "24.622", "95.237"},
    GeometryRow{3, "57.5", "146.05", "57.500", "115.522", "224.329", "15.329", "22.684", "86.511"},
    GeometryRow{3, "60.325", "146.05", "60.325", "117.417", "225.309", "16.309", "23.231", "88.871"},
    GeometryRow{3, "63", "145", "63.000", "118.527", "226.160", "17.160", "23.661", "90.763"}));
// clang-format on

ParameterRecord Computed(int choice, double d, double inner, double outer) {
    ParameterRecord record{};
    record.GeometryChoice = static_cast<std::int16_t>(choice);
    record.SpindleToPivot = d;
    record.InnerGrooveRadius = inner;
    record.OuterGrooveRadius = outer;
    ComputeAlignment(record);
    return record;
}

TEST(ComputeAlignment, LongerArmChangesLengthButNotNullRadii) {
    const auto record = Computed(1, 222, 60.325, 146.05);
    EXPECT_EQ(F(record.EffectiveLength), "239.296");
    EXPECT_EQ(F(record.Overhang), "17.296");
    EXPECT_EQ(F(record.OffsetAngle), "22.986");
    EXPECT_EQ(F(record.InnerNullRadius), "65.998");
    EXPECT_EQ(F(record.OuterNullRadius), "120.891");
}

TEST(ComputeAlignment, SwappedRadiiSwapTheNullPoints) {
    const auto normal = Computed(1, 209, 60.325, 146.05);
    const auto swapped = Computed(1, 209, 146.05, 60.325);
    EXPECT_EQ(F(swapped.InnerNullRadius), "120.891");
    EXPECT_EQ(F(swapped.OuterNullRadius), "65.998");
    for (auto field : {&ParameterRecord::EffectiveLength, &ParameterRecord::Overhang, &ParameterRecord::LinearOffset}) {
        EXPECT_EQ(F(swapped.*field), F(normal.*field));
    }
    // The offset angle is taken at the (now outer) first null point, so it is not the same angle.
    EXPECT_EQ(F(swapped.OffsetAngle),
              F(std::asin((120.891 + 65.998) / (2 * swapped.EffectiveLength)) * 180 / std::numbers::pi));
}

TEST(ComputeAlignment, EqualRadiiUnderLofgrenBMeet) {
    const auto record = Computed(2, 209, 60.325, 60.325);
    EXPECT_EQ(F(record.InnerNullRadius), "60.325");
    EXPECT_EQ(F(record.OuterNullRadius), "60.325");
}

TEST(ComputeAlignment, ZeroDistanceGoesThroughTheFormulas) {
    const auto record = Computed(1, 0, 60.325, 146.05);
    EXPECT_EQ(F(record.EffectiveLength), "89.323");
    EXPECT_EQ(F(record.Overhang), "89.323");
    EXPECT_EQ(FormatNumber(record.OffsetAngle, AngleMask), "-84.843\xB0");
}

TEST(ComputeAlignment, ZeroInnerRadiusUnderStevensonGivesNaN) {
    const auto record = Computed(3, 209, 0, 146.05);
    EXPECT_EQ(record.InnerNullRadius, 0);
    EXPECT_TRUE(std::isnan(record.OuterNullRadius));
    EXPECT_EQ(record.EffectiveLength, 209);
    EXPECT_EQ(record.Overhang, 0);
    EXPECT_TRUE(std::isnan(record.OffsetAngle));
    EXPECT_TRUE(std::isnan(record.LinearOffset));
    EXPECT_EQ(F(record.LinearOffset), "0.000");
}

TEST(ComputeAlignment, EmptyRadiiUnderLofgrenAGiveNaN) {
    const auto record = Computed(1, 209, 0, 0);
    for (auto field :
         {&ParameterRecord::InnerNullRadius, &ParameterRecord::OuterNullRadius, &ParameterRecord::EffectiveLength,
          &ParameterRecord::Overhang, &ParameterRecord::OffsetAngle, &ParameterRecord::LinearOffset}) {
        EXPECT_TRUE(std::isnan(record.*field));
    }
}

TEST(ComputeAlignment, WithoutGeometryKeepsEarlierResultsAndRecomputesTheAngle) {
    ParameterRecord record = Computed(1, 209, 57.5, 146.05);
    const double inner = record.InnerNullRadius;
    record.GeometryChoice = 0;
    record.SpindleToPivot = 222; // the overhang stays, so the effective length seen by the angle changes
    record.OffsetAngle = 0;
    ComputeAlignment(record);
    EXPECT_EQ(record.InnerNullRadius, inner);
    EXPECT_NE(record.OffsetAngle, 0);
    EXPECT_EQ(F(record.LinearOffset), "91.138");
}

TEST(ReadAndComputeAlignment, ReadsTheFieldsIntoTheRecord) {
    FieldTable window;
    window.Texts[ControlId::InnerGrooveField] = "57,5";
    window.Texts[ControlId::CorrectionXField] = "1.02";
    window.Texts[ControlId::CorrectionYField] = "0.98";
    window.Texts[ControlId::ArmIdField] = std::string(50, 'x');
    ReadAndComputeAlignment(window);
    EXPECT_EQ(Parameters.InnerGrooveRadius, 57);
    EXPECT_EQ(Parameters.CorrectionFactorX, 1.02);
    EXPECT_EQ(Parameters.CorrectionFactorY, 0.98);
    EXPECT_EQ(ArmIdText(Parameters), std::string(40, 'x'));
    EXPECT_EQ(Parameters.GeometryChoice, 1);
}

TEST(ReadAndComputeAlignment, LastCheckedButtonWinsAndNoneKeepsTheChoice) {
    FieldTable window;
    window.Checks = {{ControlId::LofgrenAButton, 1}, {ControlId::StevensonAButton, 1}};
    ReadAndComputeAlignment(window);
    EXPECT_EQ(Parameters.GeometryChoice, 3);
    window.Checks = {{ControlId::LofgrenBButton, 2}}; // indeterminate does not count
    ReadAndComputeAlignment(window);
    EXPECT_EQ(Parameters.GeometryChoice, 3);
    window.Checks = {{ControlId::LofgrenBButton, 1}};
    window.Texts[ControlId::ArmIdField] = "";
    ReadAndComputeAlignment(window);
    EXPECT_EQ(Parameters.GeometryChoice, 2);
    EXPECT_EQ(ArmIdText(Parameters), std::string(40, ' '));
}

} // namespace

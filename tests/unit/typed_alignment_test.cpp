#include "geometry/alignment.h"
#include "windows/record_adaptor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// Bits, not values: a NaN must come out as the same NaN, and -0 as -0, for the record to be a mere adaptor.
std::uint64_t Bits(double value) {
    // memcpy, not std::bit_cast, which the browser build's library lacks.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

struct Radii {
    double Inner;
    double Outer;
};

// Every geometry, the custom null points included, over ordinary arms and the odd ones the window lets through:
// a zero distance, swapped, equal and zero radii, a NaN.
TEST(TypedAlignment, TheRecordGivesTheTypedCoresVeryBits) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> distances = {209, 222, 0, 150.5, 310, -5, nan};
    const std::vector<Radii> radii = {{57.5, 146.05},   {60.325, 146.05}, {63, 145}, {146.05, 60.325},
                                      {60.325, 60.325}, {0, 146.05},      {0, 0},    {1e-300, 1e300}};
    const Geometry geometries[] = {Geometry::LofgrenA, Geometry::LofgrenB, Geometry::StevensonA, Geometry::CustomNulls};
    int compared = 0;
    for (const double d : distances) {
        for (const Radii& r : radii) {
            for (const Geometry geometry : geometries) {
                ParameterRecord record{};
                record.SpindleToPivot = d;
                record.InnerGrooveRadius = r.Inner;
                record.OuterGrooveRadius = r.Outer;
                record.GeometryChoice = ChoiceOfGeometry(geometry);
                record.InnerNullRadius = 66.5;
                record.OuterNullRadius = 121;
                ArmInputs arm;
                arm.SpindleToPivot = d;
                arm.InnerGrooveRadius = r.Inner;
                arm.OuterGrooveRadius = r.Outer;
                arm.Choice = geometry;
                arm.Nulls = {66.5, 121};
                const Alignment typed = ComputeAlignment(arm);
                ComputeAlignment(record);
                SCOPED_TRACE(testing::Message()
                             << GeometryKey(geometry) << " d=" << d << " radii " << r.Inner << "/" << r.Outer);
                EXPECT_EQ(Bits(record.InnerNullRadius), Bits(typed.InnerNullRadius));
                EXPECT_EQ(Bits(record.OuterNullRadius), Bits(typed.OuterNullRadius));
                EXPECT_EQ(Bits(record.EffectiveLength), Bits(typed.EffectiveLength));
                EXPECT_EQ(Bits(record.Overhang), Bits(typed.Overhang));
                EXPECT_EQ(Bits(record.OffsetAngle), Bits(typed.OffsetAngle));
                EXPECT_EQ(Bits(record.LinearOffset), Bits(typed.LinearOffset));
                EXPECT_EQ(ArmInputsOf(record).Choice, geometry);
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, 7 * 8 * 4);
}

// A record read before any option button was: the results it holds stay, and the offset follows from them.
TEST(TypedAlignment, ARecordWithoutAGeometryKeepsItsResults) {
    ParameterRecord record{};
    record.SpindleToPivot = 222;
    record.InnerGrooveRadius = 60.325;
    record.OuterGrooveRadius = 146.05;
    record.InnerNullRadius = 66;
    record.OuterNullRadius = 121;
    record.EffectiveLength = 239.3;
    record.Overhang = 17.3;
    ComputeAlignment(record);
    EXPECT_EQ(record.InnerNullRadius, 66);
    EXPECT_EQ(record.EffectiveLength, 239.3);
    Alignment held;
    held.InnerNullRadius = 66;
    held.OuterNullRadius = 121;
    held.EffectiveLength = 239.3;
    held.Overhang = 17.3;
    const Alignment offset = WithOffsetAngle(222, held);
    EXPECT_EQ(Bits(record.OffsetAngle), Bits(offset.OffsetAngle));
    EXPECT_EQ(record.LinearOffset, 93.5);
    EXPECT_FALSE(GeometryOfChoice(0));
}

// The keys and choices name the same geometry both ways.
TEST(TypedAlignment, ChoicesAndKeysRoundTrip) {
    for (const Geometry geometry :
         {Geometry::LofgrenA, Geometry::LofgrenB, Geometry::StevensonA, Geometry::CustomNulls}) {
        EXPECT_EQ(GeometryOfChoice(ChoiceOfGeometry(geometry)), geometry) << GeometryKey(geometry);
    }
    EXPECT_EQ(ChoiceOfGeometry(Geometry::LofgrenB), 2);
    EXPECT_EQ(GeometryKey(Geometry::StevensonA), "stevenson-a");
}

} // namespace

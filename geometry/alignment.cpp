#include "geometry/alignment.h"

#include "geometry/angles.h"
#include "geometry/numeric_text.h"

#include <cmath>

namespace {

using Extended = long double;

// The Stevenson coefficients were published to four places and have always been held in single precision.
constexpr float StevensonInnerWeight = 0.8284f;
constexpr float StevensonOuterWeight = 0.1716f;

struct NullPoints {
    Extended Inner;
    Extended Outer;
    Extended EffectiveLength;
};

NullPoints LofgrenA(Extended ri, Extended ro, Extended d) {
    const Extended k = 1 / SquareRoot(2);
    const Extended inner = 2 * ri * ro / (ri * (1 - k) + ro * (1 + k));
    const Extended outer = 2 * ri * ro / (ri * (1 + k) + ro * (1 - k));
    // The product of the null radii in closed form, not as inner * outer.
    const Extended product = 8 * (ri * ri) * (ro * ro) / ((ri + ro) * (ri + ro) + 4 * ri * ro);
    return {inner, outer, SquareRoot(product + d * d)};
}

Extended LofgrenBMean(Extended ri, Extended ro) {
    const Extended s = ri + ro;
    const Extended p = ri * ro;
    return p * s / (0.25L * (s * s) + p);
}

NullPoints LofgrenB(Extended ri, Extended ro, Extended d) {
    const Extended s = ri + ro;
    const Extended p = ri * ro;
    const Extended mean = LofgrenBMean(ri, ro);
    const Extended product = 3 * p * (s * mean - p) / (s * s - p);
    const Extended productForRadii = 3 * p * (s * mean - p) / (ri * ri + ri * ro + ro * ro);
    const Extended spread = SquareRoot(mean * mean - productForRadii);
    return {mean - spread, mean + spread, SquareRoot(product + d * d)};
}

NullPoints StevensonA(Extended ri, Extended ro, Extended d) {
    const Extended inner = ri;
    const Extended x =
        static_cast<Extended>(StevensonInnerWeight) * inner + static_cast<Extended>(StevensonOuterWeight) * ro;
    const Extended product = inner * inner * ro / x;
    return {inner, product / inner, SquareRoot(product + d * d)};
}

// Given null points: the arm through both has L² = d² + n1 n2 (the product of the roots of the null equation).
NullPoints CustomNulls(Extended inner, Extended outer, Extended d) {
    return {inner, outer, SquareRoot(inner * outer + d * d)};
}

Alignment FromNullPoints(const NullPoints& points, Extended d) {
    Alignment alignment;
    alignment.InnerNullRadius = static_cast<double>(points.Inner);
    alignment.OuterNullRadius = static_cast<double>(points.Outer);
    alignment.EffectiveLength = static_cast<double>(points.EffectiveLength);
    alignment.Overhang = static_cast<double>(points.EffectiveLength - d);
    return alignment;
}

NullPoints NullPointsOf(Geometry geometry, Extended ri, Extended ro, Extended d, const NullRadii& nulls) {
    switch (geometry) {
    case Geometry::LofgrenB:
        return LofgrenB(ri, ro, d);
    case Geometry::StevensonA:
        return StevensonA(ri, ro, d);
    case Geometry::CustomNulls:
        return CustomNulls(nulls.Inner, nulls.Outer, d);
    case Geometry::LofgrenA:
        break;
    }
    return LofgrenA(ri, ro, d);
}

} // namespace

Alignment WithOffsetAngle(double spindleToPivot, Alignment nulls) {
    // The offset angle puts the cartridge tangent to the groove at the inner null point.
    const Extended d = spindleToPivot;
    const Extended inner = nulls.InnerNullRadius;
    const Extended length = static_cast<Extended>(nulls.Overhang) + d;
    const Extended cosine = (length * length + inner * inner - d * d) / (2 * inner * length);
    const Extended theta = Pi / 2 - std::atan(cosine / SquareRoot(1 - cosine * cosine));
    nulls.OffsetAngle = static_cast<double>(90 - theta * DegreesPerRadian);
    nulls.LinearOffset = static_cast<double>((static_cast<Extended>(nulls.OuterNullRadius) + inner) / 2);
    return nulls;
}

Alignment ComputeAlignment(const ArmInputs& arm) {
    const Extended d = arm.SpindleToPivot;
    const NullPoints points = NullPointsOf(arm.Choice, arm.InnerGrooveRadius, arm.OuterGrooveRadius, d, arm.Nulls);
    return WithOffsetAngle(arm.SpindleToPivot, FromNullPoints(points, d));
}

Alignment AlignmentThroughNulls(double spindleToPivot, double innerNull, double outerNull) {
    const Extended d = spindleToPivot;
    return WithOffsetAngle(spindleToPivot, FromNullPoints(CustomNulls(innerNull, outerNull, d), d));
}

double LofgrenBNullRadiusMean(double innerGrooveRadius, double outerGrooveRadius) {
    return static_cast<double>(LofgrenBMean(innerGrooveRadius, outerGrooveRadius));
}

std::string_view GeometryKey(Geometry geometry) {
    switch (geometry) {
    case Geometry::LofgrenB:
        return "lofgren-b";
    case Geometry::StevensonA:
        return "stevenson-a";
    case Geometry::CustomNulls:
        return "custom";
    case Geometry::LofgrenA:
        break;
    }
    return "lofgren-a";
}

Outcome CheckCustomNulls(double spindleToPivot, double innerNull, double outerNull) {
    const auto inside = [&](double null) { return null > 0 && null < spindleToPivot; };
    if (!inside(innerNull) || !inside(outerNull)) {
        return Failure{"must lie between 0 and the spindle to pivot distance (" + ShortestText(spindleToPivot) +
                       " mm)"};
    }
    if (!(innerNull < outerNull)) {
        return Failure{"must give the inner null point first and the outer one larger"};
    }
    // Follows from the two checks above for any real arm, as (n1 + n2)² >= 4L² means n2 - n1 >= 2d; kept so that
    // no caller can reach the square root of a negative number through rounding.
    const Extended d = spindleToPivot;
    const Extended length = std::sqrt(static_cast<Extended>(innerNull) * outerNull + d * d);
    if (!(static_cast<Extended>(innerNull) + outerNull < 2 * length)) {
        return Failure{"leave no offset angle: their sum must be less than twice the effective length"};
    }
    return Done{};
}

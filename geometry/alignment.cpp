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

NullPoints LofgrenB(ParameterRecord& record, Extended ri, Extended ro, Extended d) {
    const Extended s = ri + ro;
    const Extended p = ri * ro;
    const Extended mean = p * s / (0.25L * (s * s) + p);
    record.NullRadiusMean = static_cast<double>(mean);
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

} // namespace

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

void ComputeAlignment(ParameterRecord& record) {
    const Extended d = record.SpindleToPivot;
    const Extended ri = record.InnerGrooveRadius;
    const Extended ro = record.OuterGrooveRadius;

    bool computed = true;
    NullPoints points{};
    switch (record.GeometryChoice) {
    case 1:
        points = LofgrenA(ri, ro, d);
        break;
    case 2:
        points = LofgrenB(record, ri, ro, d);
        break;
    case 3:
        points = StevensonA(ri, ro, d);
        break;
    case CustomNullsChoice:
        points = CustomNulls(record.InnerNullRadius, record.OuterNullRadius, d);
        break;
    default:
        computed = false; // no geometry read yet: the previous results stay
        break;
    }
    if (computed) {
        record.InnerNullRadius = static_cast<double>(points.Inner);
        record.OuterNullRadius = static_cast<double>(points.Outer);
        record.EffectiveLength = static_cast<double>(points.EffectiveLength);
        record.Overhang = static_cast<double>(points.EffectiveLength - d);
    }

    // The offset angle puts the cartridge tangent to the groove at the inner null point.
    const Extended inner = record.InnerNullRadius;
    const Extended length = static_cast<Extended>(record.Overhang) + d;
    const Extended cosine = (length * length + inner * inner - d * d) / (2 * inner * length);
    const Extended theta = Pi / 2 - std::atan(cosine / SquareRoot(1 - cosine * cosine));
    record.OffsetAngle = static_cast<double>(90 - theta * DegreesPerRadian);
    record.LinearOffset = static_cast<double>((static_cast<Extended>(record.OuterNullRadius) + inner) / 2);
}

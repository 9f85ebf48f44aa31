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

} // namespace

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

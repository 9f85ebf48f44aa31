#include "analysis/exact_alignment.h"

#include "analysis/numerics.h"

#include "geometry/alignment.h"
#include "geometry/angles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace {

using numerics::Extended;

// Newton's steps stop when no null point moves by more than this (mm); the conditions then hold to about 1e-15.
constexpr Extended SolvedStep = 1e-11L;
constexpr int MostSteps = 60;
// Step of the difference quotients (mm): small against the lengths, large against long double's rounding.
constexpr Extended DifferenceStep = 1e-6L;
// The integrand's nearest singularity, where the sine of the tracking error reaches 1, lies at r = L - d, the
// overhang. The pieces are spaced geometrically away from it (in ln(r - overhang)), each at most doubling its
// distance, so that a tiny inner groove near the overhang integrates as well as an ordinary one; ordinary grooves
// take two pieces of 20 points. Each Newton step integrates at least seven times, on a phone as the user types.
constexpr int GaussPoints = 20;
constexpr int LeastGaussPieces = 2;
constexpr Extended PieceGrowth = 2;

// An arm given by its null points, which is how the solutions are searched for: L² = d² + n1 n2 and
// sin beta = (n1 + n2) / 2L, so the tracking error vanishes at both by construction.
struct NullArm {
    Extended Inner;
    Extended Outer;
    Extended Length;
    Extended Offset; // radians

    NullArm(Extended d, Extended inner, Extended outer)
        : Inner(inner), Outer(outer), Length(std::sqrt(d * d + inner * outer)),
          Offset(std::asin((inner + outer) / (2 * Length))) {}

    Extended Sine(Extended r) const { return (r * r + Inner * Outer) / (2 * r * Length); }
    Extended TrackingError(Extended r) const { return std::asin(Sine(r)) - Offset; }
    // The distortion without its constant factor 100 V / Omega, which moves no solution.
    Extended Distortion(Extended r) const { return std::fabs(std::tan(TrackingError(r))) / r; }
};

bool Plausible(Extended d, Extended inner, Extended outer) {
    return std::isfinite(inner) && std::isfinite(outer) && inner > 0 && inner < outer && outer < d;
}

// The largest distortion between the null points, where it has one hump: golden section down to rounding.
Extended LargestBetweenNulls(const NullArm& arm) {
    const auto distortion = [&](Extended r) { return arm.Distortion(r); };
    const numerics::Interval top = numerics::NarrowedToLargest({arm.Inner, arm.Outer}, 0, 1e-13L, distortion);
    return std::max(distortion(top.From), distortion(top.To));
}

using Pair = std::array<Extended, 2>;

// One Newton step for two equations in the two null points: the residuals and their difference quotients.
template <typename Residuals> std::optional<Pair> NewtonStep(const Pair& at, const Residuals& residuals) {
    const Pair f = residuals(at[0], at[1]);
    std::array<Pair, 2> jacobian{}; // [equation][null]
    for (std::size_t k = 0; k < 2; ++k) {
        Pair up = at;
        Pair down = at;
        up[k] += DifferenceStep;
        down[k] -= DifferenceStep;
        const Pair fu = residuals(up[0], up[1]);
        const Pair fd = residuals(down[0], down[1]);
        for (std::size_t e = 0; e < 2; ++e) {
            jacobian[e][k] = (fu[e] - fd[e]) / (2 * DifferenceStep);
        }
    }
    const Extended determinant = jacobian[0][0] * jacobian[1][1] - jacobian[0][1] * jacobian[1][0];
    if (!(std::fabs(determinant) > 0) || !std::isfinite(determinant)) {
        return std::nullopt;
    }
    return Pair{(f[0] * jacobian[1][1] - f[1] * jacobian[0][1]) / determinant,
                (f[1] * jacobian[0][0] - f[0] * jacobian[1][0]) / determinant};
}

// Newton's method on two residuals from the closed form's nulls, each step halved while it leaves the plausible
// null points or does not lessen the residuals.
template <typename Residuals> std::optional<Pair> SolvePair(Extended d, Pair at, const Residuals& residuals) {
    const auto size = [&](const Pair& x) {
        const Pair f = residuals(x[0], x[1]);
        return std::hypot(f[0], f[1]);
    };
    for (int step = 0; step < MostSteps; ++step) {
        const std::optional<Pair> delta = NewtonStep(at, residuals);
        if (!delta) {
            return std::nullopt;
        }
        const Extended before = size(at);
        Extended scale = 1;
        Pair next{};
        for (int halving = 0; halving < 40; ++halving, scale /= 2) {
            next = {at[0] - scale * (*delta)[0], at[1] - scale * (*delta)[1]};
            if (Plausible(d, next[0], next[1]) && size(next) <= before) {
                break;
            }
        }
        if (!Plausible(d, next[0], next[1])) {
            return std::nullopt;
        }
        const Extended moved = std::max(std::fabs(next[0] - at[0]), std::fabs(next[1] - at[1]));
        at = next;
        if (moved <= SolvedStep) {
            return std::isfinite(size(at)) ? std::optional<Pair>(at) : std::nullopt;
        }
    }
    return std::nullopt;
}

// The gradient of the mean square distortion, integral of tan² TE / r² over r1..r2, in the two null points. The
// square has no kink at the nulls, so Gauss-Legendre integrates it and its derivatives as they are.
Pair MeanSquareGradient(const numerics::GaussRule<GaussPoints>& rule, Extended d, Extended r1, Extended r2, Extended n1,
                        Extended n2) {
    const NullArm arm(d, n1, n2);
    const Extended length = arm.Length;
    const Extended sineOffset = (n1 + n2) / (2 * length);
    const Extended cosineOffset = std::sqrt(1 - sineOffset * sineOffset);
    Pair gradient{0, 0};
    // r = singularity + e^u, dr = e^u du: equal pieces in u are geometric in the distance from the singularity.
    const Extended overhang = length - d;
    const Extended singularity = overhang > 0 && overhang < r1 ? overhang : 0;
    const Extended from = std::log(r1 - singularity);
    const Extended to = std::log(r2 - singularity);
    const int pieces = std::max(LeastGaussPieces, static_cast<int>(std::ceil((to - from) / std::log(PieceGrowth))));
    const Extended width = (to - from) / pieces;
    for (int k = 0; k < pieces; ++k) {
        const Extended middle = from + width * (k + 0.5L);
        for (std::size_t i = 0; i < rule.Nodes.size(); ++i) {
            const Extended stretch = std::exp(middle + width / 2 * rule.Nodes[i]);
            const Extended r = singularity + stretch;
            const Extended s = arm.Sine(r);
            const Extended t = std::tan(std::asin(s) - arm.Offset);
            const Extended weight = rule.Weights[i] * width / 2 * stretch;
            for (std::size_t j = 0; j < 2; ++j) {
                const Extended other = j == 0 ? n2 : n1;
                const Extended dLength = other / (2 * length);
                const Extended dSine = other / (2 * r * length) - s * dLength / length;
                const Extended dSineOffset = 1 / (2 * length) - sineOffset * dLength / length;
                const Extended dError = dSine / std::sqrt(1 - s * s) - dSineOffset / cosineOffset;
                gradient[j] += weight * 2 * t * (1 + t * t) * dError / (r * r);
            }
        }
    }
    return gradient;
}

Failure NoSolution(AnalysedArm geometry) {
    return Failure{"no exact " + std::string(ArmName(geometry)) + " solution was found for these lengths"};
}

} // namespace

Result<ExactAlignment> SolveExactAlignment(AnalysedArm geometry, double spindleToPivot, double innerGrooveRadius,
                                           double outerGrooveRadius) {
    const Extended d = spindleToPivot;
    const Extended r1 = innerGrooveRadius;
    const Extended r2 = outerGrooveRadius;
    if (!(std::isfinite(d) && r1 > 0 && r1 < r2 && r2 < d)) {
        return Failure{"an exact solution needs groove radii more than 0 mm, the inner one the smaller, and less "
                       "than the spindle to pivot distance"};
    }
    ArmInputs closedForm;
    closedForm.SpindleToPivot = spindleToPivot;
    closedForm.InnerGrooveRadius = innerGrooveRadius;
    closedForm.OuterGrooveRadius = outerGrooveRadius;
    const auto closedNulls = [&](Geometry choice) {
        closedForm.Choice = choice;
        return ComputeAlignment(closedForm);
    };
    std::optional<Pair> nulls;
    switch (geometry) {
    case AnalysedArm::LofgrenA: {
        const Alignment start = closedNulls(Geometry::LofgrenA);
        nulls = SolvePair(d, {start.InnerNullRadius, start.OuterNullRadius}, [&](Extended n1, Extended n2) {
            const NullArm arm(d, n1, n2);
            const Extended peak = LargestBetweenNulls(arm);
            return Pair{arm.Distortion(r1) / peak - 1, arm.Distortion(r2) / peak - 1};
        });
        break;
    }
    case AnalysedArm::LofgrenB: {
        const Alignment start = closedNulls(Geometry::LofgrenB);
        const numerics::GaussRule<GaussPoints>& rule = numerics::GaussLegendre<GaussPoints>();
        nulls = SolvePair(d, {start.InnerNullRadius, start.OuterNullRadius},
                          [&](Extended n1, Extended n2) { return MeanSquareGradient(rule, d, r1, r2, n1, n2); });
        break;
    }
    case AnalysedArm::StevensonA: {
        const Alignment start = closedNulls(Geometry::StevensonA);
        // One unknown, the outer null; the second equation holds the inner one at r1.
        nulls = SolvePair(d, {r1, start.OuterNullRadius}, [&](Extended n1, Extended n2) {
            if (!Plausible(d, n1, n2)) {
                return Pair{n1 - r1, std::numeric_limits<Extended>::quiet_NaN()};
            }
            const NullArm arm(d, n1, n2);
            return Pair{n1 - r1, arm.Distortion(r2) / LargestBetweenNulls(arm) - 1};
        });
        if (nulls) {
            (*nulls)[0] = r1;
        }
        break;
    }
    case AnalysedArm::Custom:
    case AnalysedArm::UserArm:
        return Failure{"only the three geometries have an exact solution"};
    }
    if (!nulls) {
        return NoSolution(geometry);
    }
    const NullArm arm(d, (*nulls)[0], (*nulls)[1]);
    ExactAlignment exact;
    exact.InnerNull = static_cast<double>(arm.Inner);
    exact.OuterNull = static_cast<double>(arm.Outer);
    exact.EffectiveLength = static_cast<double>(arm.Length);
    exact.OffsetAngle = static_cast<double>(arm.Offset * DegreesPerRadian);
    return exact;
}

Result<Alignment> AlignmentOf(const ArmInputs& arm) {
    if (!arm.Exact || arm.Choice == Geometry::CustomNulls) {
        return ComputeAlignment(arm);
    }
    const AnalysedArm geometry = arm.Choice == Geometry::LofgrenB     ? AnalysedArm::LofgrenB
                                 : arm.Choice == Geometry::StevensonA ? AnalysedArm::StevensonA
                                                                      : AnalysedArm::LofgrenA;
    const Result<ExactAlignment> exact =
        SolveExactAlignment(geometry, arm.SpindleToPivot, arm.InnerGrooveRadius, arm.OuterGrooveRadius);
    if (!exact) {
        return Failure{exact.Message()};
    }
    // The arm through the solved null points, as for given ones.
    return AlignmentThroughNulls(arm.SpindleToPivot, exact->InnerNull, exact->OuterNull);
}

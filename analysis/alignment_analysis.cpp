#include "analysis/alignment_analysis.h"

#include "analysis/numerics.h"

#include "analysis/arm_advice.h"
#include "analysis/exact_alignment.h"

#include "geometry/alignment.h"
#include "geometry/angles.h"
#include "geometry/numeric_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

using numerics::Extended;
using numerics::Interval;
using numerics::NarrowedToLargest;

constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();

// Rounding may carry the sine argument a hair past 1 at the edge of the arm's reach; that much still counts as 1.
constexpr Extended ReachSlack = 1e-12L;
// Samples per smooth piece before the largest distortion is refined, and how far it is refined.
constexpr int PeakSamples = 16;
constexpr Extended PeakTolerance = 1e-8L;
// Gauss-Legendre nodes per subinterval and subintervals per smooth piece for the mean and the RMS.
constexpr int GaussPoints = 16;
constexpr int GaussSubintervals = 4;
// A tracking error this close to 90 degrees shows as 90.000 in the figures: the arm is across the groove there.
constexpr Extended RightAngleSlack = 0.0005L;
// The best overhang is found to this length.
constexpr Extended OverhangTolerance = 1e-6L;

// One arm on one turntable, everything the formulas need, in radians and extended precision.
struct ArmModel {
    Extended SpindleToPivot;
    Extended EffectiveLength;
    Extended Offset;          // radians
    Extended DistortionScale; // 100 * V / Omega, so that D = scale * |tan TE| / r

    // The sine argument, or NaN beyond the arm's reach.
    Extended Sine(Extended r) const {
        const Extended d = SpindleToPivot;
        const Extended l = EffectiveLength;
        const Extended s = (r * r + l * l - d * d) / (2 * r * l);
        if (!(std::fabs(s) <= 1 + ReachSlack)) {
            return std::numeric_limits<Extended>::quiet_NaN();
        }
        return std::clamp(s, Extended{-1}, Extended{1});
    }
    Extended TrackingError(Extended r) const { return std::asin(Sine(r)) - Offset; }
    Extended Distortion(Extended r) const { return DistortionScale * std::fabs(std::tan(TrackingError(r))) / r; }
    // d/dr ln D = 2 TE' / sin 2TE - 1/r: its sign is the distortion's slope, and its root, unlike the flat top of
    // the distortion itself, is found to the last digit.
    Extended DistortionSlope(Extended r) const {
        const Extended d = SpindleToPivot;
        const Extended l = EffectiveLength;
        const Extended s = Sine(r);
        const Extended sineSlope = (1 - (l * l - d * d) / (r * r)) / (2 * l);
        const Extended errorSlope = sineSlope / std::sqrt(1 - s * s);
        return 2 * errorSlope / std::sin(2 * TrackingError(r)) - 1 / r;
    }
};

Extended DistortionScaleOf(double rpm, double velocity) {
    const Extended omega = 2 * Pi * static_cast<Extended>(rpm) / 60;
    return 100 * static_cast<Extended>(velocity) / omega;
}

ArmModel ModelOf(const AnalysisInputs& inputs, double effectiveLength, double offsetAngle) {
    return {inputs.SpindleToPivot, effectiveLength, offsetAngle / DegreesPerRadian,
            DistortionScaleOf(inputs.Rpm, inputs.Velocity)};
}

// The stretch of r1..r2 split where the distortion has its kinks (the nulls), so each piece is smooth.
std::vector<Interval> SmoothPieces(Interval range, const std::optional<double>& inner,
                                   const std::optional<double>& outer) {
    std::vector<Extended> cuts{range.From};
    for (const std::optional<double>& null : {inner, outer}) {
        if (null && *null > range.From && *null < range.To) {
            cuts.push_back(*null);
        }
    }
    cuts.push_back(range.To);
    std::sort(cuts.begin(), cuts.end());
    std::vector<Interval> pieces;
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
        pieces.push_back({cuts[i], cuts[i + 1]});
    }
    return pieces;
}

struct Peak {
    Extended Value = -1;
    Extended Radius = 0;
};

template <typename Function> void Consider(Peak& peak, Extended r, const Function& f) {
    const Extended value = f(r);
    if (value > peak.Value) {
        peak = {value, r};
    }
}

// Bisection on the sign of a slope that falls through zero on the bracket, until no long double lies between.
template <typename Slope> Extended SlopeRoot(Interval bracket, const Slope& slope) {
    Extended low = bracket.From;
    Extended high = bracket.To;
    for (int step = 0; step < 256; ++step) {
        const Extended middle = low + (high - low) / 2;
        if (!(middle > low && middle < high)) {
            break;
        }
        (slope(middle) > 0 ? low : high) = middle;
    }
    return low + (high - low) / 2;
}

// The function's slope is not known: the golden section then narrows to where the top is flat within rounding.
constexpr auto NoSlope = [](Extended) { return std::numeric_limits<Extended>::quiet_NaN(); };

// The largest value of a function that has one hump at most on the piece: sampled, then refined around the best
// sample, by the root of its slope where that is known and changes sign there, else by golden section.
template <typename Function, typename Slope = decltype(NoSlope)>
Peak LargestOnPiece(Interval piece, const Function& f, const Slope& slope = NoSlope) {
    Peak peak;
    const Extended step = (piece.To - piece.From) / PeakSamples;
    int best = 0;
    for (int i = 0; i <= PeakSamples; ++i) {
        const Extended r = i == PeakSamples ? piece.To : piece.From + step * i;
        const Extended value = f(r);
        if (value > peak.Value) {
            peak = {value, r};
            best = i;
        }
    }
    const Interval around{piece.From + step * std::max(best - 1, 0),
                          best + 1 >= PeakSamples ? piece.To : piece.From + step * (best + 1)};
    if (slope(around.From) > 0 && slope(around.To) < 0) {
        Consider(peak, SlopeRoot(around, slope), f);
        return peak;
    }
    const Interval narrowed = NarrowedToLargest(around, PeakTolerance, PeakTolerance, f);
    Consider(peak, (narrowed.From + narrowed.To) / 2, f);
    return peak;
}

template <typename Function, typename Slope = decltype(NoSlope)>
Peak Largest(const std::vector<Interval>& pieces, const Function& f, const Slope& slope = NoSlope) {
    Peak peak;
    for (const Interval& piece : pieces) {
        const Peak candidate = LargestOnPiece(piece, f, slope);
        if (candidate.Value > peak.Value) {
            peak = candidate;
        }
    }
    return peak;
}

struct Integrals {
    Extended OfDistortion = 0;
    Extended OfSquare = 0;
};

Integrals IntegrateDistortion(const std::vector<Interval>& pieces, const ArmModel& model) {
    const numerics::GaussRule<GaussPoints>& rule = numerics::GaussLegendre<GaussPoints>();
    Integrals sums;
    for (const Interval& piece : pieces) {
        const Extended width = (piece.To - piece.From) / GaussSubintervals;
        for (int k = 0; k < GaussSubintervals; ++k) {
            const Extended middle = piece.From + width * (k + 0.5L);
            for (std::size_t i = 0; i < rule.Nodes.size(); ++i) {
                const Extended value = model.Distortion(middle + width / 2 * rule.Nodes[i]);
                const Extended weight = rule.Weights[i] * width / 2;
                sums.OfDistortion += weight * value;
                sums.OfSquare += weight * value * value;
            }
        }
    }
    return sums;
}

Interval ReachOf(const ArmModel& model) {
    return {std::fabs(model.EffectiveLength - model.SpindleToPivot), model.EffectiveLength + model.SpindleToPivot};
}

// The stretch of the range where |TE| reaches 90 degrees (less the slack): its ends are ends of the range or radii
// where sin(beta -/+ 90) = (r² + L² - d²) / (2 r L), so those are the only radii to look at.
std::optional<Interval> RightAngleSpan(const ArmModel& model, Interval range) {
    const Extended limit = (90 - RightAngleSlack) / DegreesPerRadian;
    const Extended d = model.SpindleToPivot;
    const Extended l = model.EffectiveLength;
    std::vector<Extended> candidates{range.From, range.To};
    for (const Extended k : {std::sin(model.Offset - limit), std::sin(model.Offset + limit)}) {
        const Extended discriminant = k * k * l * l - l * l + d * d;
        if (discriminant >= 0) {
            for (const int sign : {-1, 1}) {
                const Extended r = k * l + sign * std::sqrt(discriminant);
                if (r > range.From && r < range.To) {
                    candidates.push_back(r);
                }
            }
        }
    }
    std::optional<Interval> span;
    for (const Extended r : candidates) {
        // Candidates that are roots lie on the limit up to rounding; the others are checked as they are.
        if (std::fabs(model.TrackingError(r)) >= limit - 1e-12L) {
            span = span ? Interval{std::min(span->From, r), std::max(span->To, r)} : Interval{r, r};
        }
    }
    return span;
}

Peak LargestDistortion(const ArmModel& model, Interval range, const std::optional<double>& inner,
                       const std::optional<double>& outer) {
    return Largest(
        SmoothPieces(range, inner, outer), [&](Extended r) { return model.Distortion(r); },
        [&](Extended r) { return model.DistortionSlope(r); });
}

std::optional<double> NullRoot(double spindleToPivot, double effectiveLength, double offsetAngle, int sign) {
    const Extended d = spindleToPivot;
    const Extended l = effectiveLength;
    const Extended beta = offsetAngle / DegreesPerRadian;
    const Extended cosine = l * std::cos(beta);
    const Extended discriminant = d * d - cosine * cosine;
    if (!(discriminant >= 0)) {
        return std::nullopt;
    }
    const Extended root = l * std::sin(beta) + sign * std::sqrt(discriminant);
    // A root within rounding of the spindle is no null point on a record: with no overhang the inner root is zero
    // in exact arithmetic and a few ulps either side of it in any other, which would make it come and go.
    const Extended noise = 1e-12L * (d + l);
    if (!(root > noise)) {
        return std::nullopt;
    }
    return static_cast<double>(root);
}

void FillCurve(ArmFigures& figures, const ArmModel& model, const AnalysisInputs& inputs) {
    const Extended start = static_cast<Extended>(inputs.InnerGrooveRadius) - CurveMargin;
    const Extended end = static_cast<Extended>(inputs.OuterGrooveRadius) + CurveMargin;
    const auto steps = static_cast<long>(std::floor((end - start) / CurveStep + 1e-9L));
    const Interval reach = ReachOf(model);
    auto add = [&](Extended r) {
        if (!(r > 0) || r < reach.From || r > reach.To) {
            figures.CurveClipped = true;
            return;
        }
        const Extended te = model.TrackingError(r);
        figures.Curve.Radius.push_back(static_cast<double>(r));
        figures.Curve.TrackingError.push_back(static_cast<double>(te * DegreesPerRadian));
        figures.Curve.Distortion.push_back(static_cast<double>(model.DistortionScale * std::fabs(std::tan(te)) / r));
    };
    for (long k = 0; k <= steps; ++k) {
        add(start + CurveStep * k);
    }
    if (end - (start + CurveStep * steps) > 1e-9L) {
        add(end);
    }
}

// Everything about one arm: L and beta, its nulls, the figures over r1..r2 and the curve.
ArmFigures AnalyseArm(AnalysedArm arm, const AnalysisInputs& inputs, double effectiveLength, double offsetAngle,
                      std::optional<double> inner, std::optional<double> outer) {
    ArmFigures figures;
    figures.Arm = arm;
    figures.EffectiveLength = effectiveLength;
    figures.Overhang = static_cast<double>(static_cast<Extended>(effectiveLength) - inputs.SpindleToPivot);
    figures.OffsetAngle = offsetAngle;
    figures.InnerNull = inner;
    figures.OuterNull = outer;
    const ArmModel model = ModelOf(inputs, effectiveLength, offsetAngle);
    const Interval reach = ReachOf(model);
    figures.ReachFrom = static_cast<double>(reach.From);
    figures.ReachTo = static_cast<double>(reach.To);
    const Interval range{std::max<Extended>(inputs.InnerGrooveRadius, reach.From),
                         std::min<Extended>(inputs.OuterGrooveRadius, reach.To)};
    figures.ReachesGrooves =
        range.From == inputs.InnerGrooveRadius && range.To == inputs.OuterGrooveRadius && range.From < range.To;
    figures.ReachesNoGroove = !(range.From < range.To);
    FillCurve(figures, model, inputs);
    if (figures.ReachesNoGroove) {
        for (double* value : {&figures.MaxTrackingError, &figures.MaxTrackingErrorRadius, &figures.MaxDistortion,
                              &figures.MaxDistortionRadius, &figures.MeanDistortion, &figures.RmsDistortion}) {
            *value = NotANumber;
        }
        return figures;
    }

    // |TE| is largest at an end of the range or where the sine argument is least, r = sqrt(L² - d²).
    Peak te;
    const auto absoluteError = [&](Extended r) { return std::fabs(model.TrackingError(r)); };
    Consider(te, range.From, absoluteError);
    Consider(te, range.To, absoluteError);
    const Extended turning =
        model.EffectiveLength * model.EffectiveLength - model.SpindleToPivot * model.SpindleToPivot;
    if (turning > 0 && std::sqrt(turning) > range.From && std::sqrt(turning) < range.To) {
        Consider(te, std::sqrt(turning), absoluteError);
    }
    if (const std::optional<Interval> span = RightAngleSpan(model, range)) {
        figures.RightAngleFrom = static_cast<double>(span->From);
        figures.RightAngleTo = static_cast<double>(span->To);
    }
    figures.MaxTrackingError = static_cast<double>(te.Value * DegreesPerRadian);
    figures.MaxTrackingErrorRadius = static_cast<double>(te.Radius);

    const Peak distortion = LargestDistortion(model, range, inner, outer);
    figures.MaxDistortion = static_cast<double>(distortion.Value);
    figures.MaxDistortionRadius = static_cast<double>(distortion.Radius);
    const Integrals sums = IntegrateDistortion(SmoothPieces(range, inner, outer), model);
    const Extended width = range.To - range.From;
    figures.MeanDistortion = static_cast<double>(sums.OfDistortion / width);
    figures.RmsDistortion = static_cast<double>(std::sqrt(sums.OfSquare / width));
    return figures;
}

ArmFigures AnalyseGeometry(AnalysedArm arm, Geometry geometry, const AnalysisInputs& inputs) {
    ArmInputs given;
    given.SpindleToPivot = inputs.SpindleToPivot;
    given.InnerGrooveRadius = inputs.InnerGrooveRadius;
    given.OuterGrooveRadius = inputs.OuterGrooveRadius;
    given.Choice = geometry;
    if (geometry == Geometry::CustomNulls && inputs.Nulls) {
        given.Nulls = {inputs.Nulls->Inner, inputs.Nulls->Outer};
    }
    const Alignment alignment = ComputeAlignment(given);
    return AnalyseArm(arm, inputs, alignment.EffectiveLength, alignment.OffsetAngle, alignment.InnerNullRadius,
                      alignment.OuterNullRadius);
}

std::string Three(double value) {
    return FormatNumber(value, LengthMask);
}

// The peak distortion over r1..r2 is quasi-convex in L at a fixed offset (TE grows with L at every radius), so a
// golden-section search over the lengths that reach the whole range finds its least value. None, and why, when no
// length reaches all the grooves or the best one still turns the stylus across a groove.
std::optional<OverhangOptimum> BestOverhangFor(const AnalysisInputs& inputs, const ArmFigures& arm, std::string& none) {
    const Extended d = inputs.SpindleToPivot;
    const Extended r1 = inputs.InnerGrooveRadius;
    const Extended r2 = inputs.OuterGrooveRadius;
    const Extended low = std::max({d - r1, r2 - d, Extended{0}});
    const Extended high = d + r1;
    if (!(low < high)) {
        // An arm reaches |L - d| .. L + d, so all the grooves only when r2 - d <= L <= d + r1.
        none = "No overhang is suggested: from a spindle to pivot distance of " + Three(inputs.SpindleToPivot) +
               " mm no arm reaches all the grooves, which takes more than " +
               Three(static_cast<double>((r2 - r1) / 2)) + " mm";
        return std::nullopt;
    }
    const double beta = arm.OffsetAngle;
    const double offset = static_cast<double>(beta / DegreesPerRadian);
    const auto scale = static_cast<double>(DistortionScaleOf(inputs.Rpm, inputs.Velocity));
    // The search needs the peak only to steer, so it runs in double precision, which is several times faster;
    // the figures at the length it finds are computed in full.
    const auto peakAt = [&](Extended length) {
        const auto l = static_cast<double>(length);
        const double dd = inputs.SpindleToPivot;
        const auto distortion = [&](Extended radius) -> Extended {
            const auto r = static_cast<double>(radius);
            const double sine = std::clamp((r * r + l * l - dd * dd) / (2 * r * l), -1.0, 1.0);
            return scale * std::fabs(std::tan(std::asin(sine) - offset)) / r;
        };
        return Largest(SmoothPieces({r1, r2}, InnerNullOf(dd, l, beta), OuterNullOf(dd, l, beta)), distortion).Value;
    };
    // The smallest peak is the largest of its negative (negation is exact, so the steps are the same).
    const Interval narrowed =
        NarrowedToLargest({low, high}, OverhangTolerance, 0, [&](Extended length) { return -peakAt(length); });
    const auto length = static_cast<double>((narrowed.From + narrowed.To) / 2);
    const ArmFigures best =
        AnalyseArm(AnalysedArm::UserArm, inputs, length, beta, InnerNullOf(inputs.SpindleToPivot, length, beta),
                   OuterNullOf(inputs.SpindleToPivot, length, beta));
    if (best.RightAngleFrom || !std::isfinite(best.MaxDistortion)) {
        none = "No overhang is suggested: with an offset angle of " + Three(beta) +
               "\xB0 every arm that reaches all the grooves turns the stylus across some of them";
        return std::nullopt;
    }
    OverhangOptimum optimum;
    optimum.OffsetAngle = beta;
    optimum.Overhang = best.Overhang;
    optimum.EffectiveLength = length;
    optimum.InnerNull = best.InnerNull;
    optimum.OuterNull = best.OuterNull;
    optimum.MaxDistortion = best.MaxDistortion;
    optimum.MaxDistortionRadius = best.MaxDistortionRadius;
    optimum.RmsDistortion = best.RmsDistortion;
    if (arm.ReachesGrooves) {
        optimum.Gain = arm.MaxDistortion - best.MaxDistortion;
    }
    return optimum;
}

bool Finite(double value) {
    return std::isfinite(value);
}

std::string RightAngleProblem(const ArmFigures& arm) {
    const std::string from = Three(*arm.RightAngleFrom);
    const std::string to = Three(*arm.RightAngleTo);
    const std::string name = arm.Arm == AnalysedArm::UserArm  ? "your arm"
                             : arm.Arm == AnalysedArm::Custom ? "an arm with the custom null points"
                                                              : std::string(ArmName(arm.Arm));
    return name + " cannot play the grooves: its tracking error reaches 90\xB0 " +
           (from == to ? "at " + from + " mm" : "from " + from + " to " + to + " mm");
}

// Whether a figure is lower than the lowest so far; one that cannot be computed never is, and replaces none.
bool Lower(double figure, double lowest) {
    return std::isfinite(figure) && !(lowest <= figure);
}

} // namespace

double TrackingErrorAt(double spindleToPivot, double effectiveLength, double offsetAngle, double radius) {
    const ArmModel model{spindleToPivot, effectiveLength, offsetAngle / DegreesPerRadian, 0};
    return static_cast<double>(model.TrackingError(radius) * DegreesPerRadian);
}

double DistortionAt(double trackingError, double radius, double rpm, double velocity) {
    const Extended te = trackingError / DegreesPerRadian;
    return static_cast<double>(DistortionScaleOf(rpm, velocity) * std::fabs(std::tan(te)) / radius);
}

std::optional<double> InnerNullOf(double spindleToPivot, double effectiveLength, double offsetAngle) {
    return NullRoot(spindleToPivot, effectiveLength, offsetAngle, -1);
}

std::optional<double> OuterNullOf(double spindleToPivot, double effectiveLength, double offsetAngle) {
    return NullRoot(spindleToPivot, effectiveLength, offsetAngle, +1);
}

Outcome CheckAnalysisInputs(const AnalysisInputs& inputs) {
    if (!Finite(inputs.SpindleToPivot) || inputs.SpindleToPivot <= 0) {
        return Failure{"the spindle to pivot distance must be more than 0 mm"};
    }
    if (!Finite(inputs.InnerGrooveRadius) || !Finite(inputs.OuterGrooveRadius) || inputs.InnerGrooveRadius <= 0 ||
        inputs.InnerGrooveRadius >= inputs.OuterGrooveRadius) {
        return Failure{"the inner groove radius must be more than 0 mm and less than the outer groove radius"};
    }
    // No record or arm comes near this; beyond it the curves would grow without bound.
    const double longest =
        std::max({inputs.SpindleToPivot, inputs.OuterGrooveRadius, inputs.Arm ? inputs.Arm->EffectiveLength : 0.0});
    if (longest > MaxAnalysedLength) {
        return Failure{"lengths of more than 10000 mm cannot be analysed"};
    }
    if (!Finite(inputs.Rpm) || inputs.Rpm <= 0) {
        return Failure{"the speed must be more than 0 rpm"};
    }
    if (!Finite(inputs.Velocity) || inputs.Velocity <= 0) {
        return Failure{"the recorded velocity must be more than 0 mm/s"};
    }
    if (inputs.Arm) {
        if (!Finite(inputs.Arm->EffectiveLength) || inputs.Arm->EffectiveLength <= 0) {
            return Failure{"the arm's effective length must be more than 0 mm"};
        }
        if (!Finite(inputs.Arm->OffsetAngle) || std::fabs(inputs.Arm->OffsetAngle) >= 90) {
            return Failure{"the arm's offset angle must lie between -90 and 90 degrees"};
        }
    }
    return Done{};
}

AnalysisInputs AnalysisInputsOf(const ArmInputs& arm) {
    AnalysisInputs inputs;
    inputs.SpindleToPivot = arm.SpindleToPivot;
    inputs.InnerGrooveRadius = arm.InnerGrooveRadius;
    inputs.OuterGrooveRadius = arm.OuterGrooveRadius;
    inputs.ArmId = arm.Id;
    return inputs;
}

namespace {

// An analysis, or why there is none and, when an arm turns the stylus across the grooves, which one.
struct Analysed {
    AlignmentAnalysis Analysis;
    std::string Problem;
    std::optional<AnalysedArm> ArmAcross;
};

Analysed Analyse(const AnalysisInputs& inputs) {
    Analysed analysed;
    AlignmentAnalysis& analysis = analysed.Analysis;
    analysis.Inputs = inputs;
    if (const Outcome accepted = CheckAnalysisInputs(inputs); !accepted) {
        analysed.Problem = accepted.Message();
        return analysed;
    }
    analysis.Arms.push_back(AnalyseGeometry(AnalysedArm::LofgrenA, Geometry::LofgrenA, inputs));
    analysis.Arms.push_back(AnalyseGeometry(AnalysedArm::LofgrenB, Geometry::LofgrenB, inputs));
    analysis.Arms.push_back(AnalyseGeometry(AnalysedArm::StevensonA, Geometry::StevensonA, inputs));
    if (inputs.Exact) {
        for (ArmFigures& arm : analysis.Arms) {
            const Result<ExactAlignment> exact =
                SolveExactAlignment(arm.Arm, inputs.SpindleToPivot, inputs.InnerGrooveRadius, inputs.OuterGrooveRadius);
            if (!exact) {
                analysed.Problem = exact.Message();
                return analysed;
            }
            analysis.ClosedForms.push_back(arm);
            arm = AnalyseArm(arm.Arm, inputs, exact->EffectiveLength, exact->OffsetAngle, exact->InnerNull,
                             exact->OuterNull);
        }
    }
    for (std::size_t i = 1; i < 3; ++i) {
        if (Lower(analysis.Arms[i].MaxDistortion, analysis.Arms[analysis.LowestPeak].MaxDistortion)) {
            analysis.LowestPeak = i;
        }
        if (Lower(analysis.Arms[i].RmsDistortion, analysis.Arms[analysis.LowestRms].RmsDistortion)) {
            analysis.LowestRms = i;
        }
    }
    if (inputs.Nulls) {
        analysis.Arms.push_back(AnalyseGeometry(AnalysedArm::Custom, Geometry::CustomNulls, inputs));
    }
    if (inputs.Arm) {
        const double length = inputs.Arm->EffectiveLength;
        const double beta = inputs.Arm->OffsetAngle;
        analysis.Arms.push_back(AnalyseArm(AnalysedArm::UserArm, inputs, length, beta,
                                           InnerNullOf(inputs.SpindleToPivot, length, beta),
                                           OuterNullOf(inputs.SpindleToPivot, length, beta)));
    }
    // Figures at a right angle are no figures: the distortion there is infinite or the rounding's noise.
    for (const ArmFigures& arm : analysis.Arms) {
        if (arm.RightAngleFrom) {
            analysed.Problem = RightAngleProblem(arm);
            analysed.ArmAcross = arm.Arm;
            return analysed;
        }
    }
    if (inputs.Arm) {
        analysis.BestOverhang = BestOverhangFor(inputs, analysis.Arms.back(), analysis.NoBestOverhang);
        analysis.Advice = AdviceFor(analysis);
    }
    return analysed;
}

} // namespace

Result<AlignmentAnalysis> AnalyseAlignment(const AnalysisInputs& inputs) {
    Analysed analysed = Analyse(inputs);
    if (!analysed.Problem.empty()) {
        return Failure{std::move(analysed.Problem)};
    }
    return std::move(analysed.Analysis);
}

std::optional<AnalysedArm> ArmAcrossTheGrooves(const AnalysisInputs& inputs) {
    return Analyse(inputs).ArmAcross;
}

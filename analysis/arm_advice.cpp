#include "analysis/arm_advice.h"

#include "geometry/numeric_text.h"

#include <cmath>

namespace {

// A hand sets an overhang to a tenth of a millimetre and an angle to a tenth of a degree, so the advice speaks in
// tenths, and a change that rounds to none is no change.
constexpr std::string_view TenthMask = "###.0";

double Tenths(double value) {
    return TextToNumber(FormatNumber(value, TenthMask));
}

std::string Tenth(double value) {
    return FormatNumber(value, TenthMask);
}

std::string Three(double value) {
    return FormatNumber(value, LengthMask);
}

// "slide the cartridge 1.7 mm towards the pivot (overhang 19.0 to 17.3 mm)": a shorter overhang brings the stylus
// nearer the pivot.
std::string SlideStep(double from, double to) {
    const double change = Tenths(to) - Tenths(from);
    return "slide the cartridge " + Tenth(std::fabs(change)) + " mm " +
           (change < 0 ? "towards the pivot" : "away from the pivot") + " (overhang " + Tenth(from) + " to " +
           Tenth(to) + " mm)";
}

// The offset turns the cartridge's front from the line to the pivot towards the spindle; for an arm to the right
// of a platter that turns clockwise, as arms are mounted, that is clockwise seen from above, so a larger offset
// angle is a clockwise turn.
std::string TurnStep(double from, double to) {
    const double change = Tenths(to) - Tenths(from);
    return "turn it " + Tenth(std::fabs(change)) + "\xB0 " + (change > 0 ? "clockwise" : "counter-clockwise") +
           " as seen from above (offset angle " + Tenth(from) + " to " + Tenth(to) + "\xB0)";
}

bool Changes(double from, double to) {
    return Tenths(to) != Tenths(from);
}

} // namespace

std::string_view GeometryTradeOff() {
    return "L\xF6"
           "fgren A has the lowest peak distortion, L\xF6"
           "fgren B the lowest average (RMS), and Stevenson A is best at the inner grooves.";
}

std::optional<ArmAdvice> AdviceFor(const AlignmentAnalysis& analysis) {
    const ArmFigures* arm = FindArm(analysis, AnalysedArm::UserArm);
    const ArmFigures* target = FindArm(analysis, analysis.Inputs.Target);
    if (arm == nullptr || target == nullptr || !std::isfinite(arm->Overhang) || !std::isfinite(target->Overhang)) {
        return std::nullopt;
    }
    ArmAdvice advice;
    advice.Target = target->Arm;
    advice.Exact = analysis.Inputs.Exact && target->Arm != AnalysedArm::Custom;
    advice.OverhangFrom = arm->Overhang;
    advice.OverhangTo = target->Overhang;
    advice.OffsetAngleFrom = arm->OffsetAngle;
    advice.OffsetAngleTo = target->OffsetAngle;
    const std::string name = std::string(ArmName(target->Arm)) + (advice.Exact ? " (exact)" : "");
    const bool slide = Changes(advice.OverhangFrom, advice.OverhangTo);
    const bool turn = Changes(advice.OffsetAngleFrom, advice.OffsetAngleTo);
    if (!slide && !turn) {
        advice.Steps.push_back("Your arm is set to " + name + " already: leave the overhang (" +
                               Tenth(advice.OverhangFrom) + " mm) and the offset angle (" +
                               Tenth(advice.OffsetAngleFrom) + "\xB0) as they are.");
        return advice;
    }
    std::string step = "To set your arm to " + name + ": ";
    if (slide) {
        step += SlideStep(advice.OverhangFrom, advice.OverhangTo);
    }
    if (slide && turn) {
        step += ", and ";
    }
    if (turn) {
        step += TurnStep(advice.OffsetAngleFrom, advice.OffsetAngleTo);
    }
    advice.Steps.push_back(step + ".");
    const std::optional<OverhangOptimum>& fixed = analysis.BestOverhang;
    if (turn && fixed) {
        std::string still = Changes(advice.OverhangFrom, fixed->Overhang)
                                ? SlideStep(advice.OverhangFrom, fixed->Overhang)
                                : "leave the overhang as it is (" + Tenth(advice.OverhangFrom) + " mm)";
        advice.Steps.push_back(
            "If the headshell cannot turn: " + still + " for the lowest peak distortion at its offset angle, " +
            Three(fixed->MaxDistortion) + " % at the peak and " + Three(fixed->RmsDistortion) + " % RMS against " +
            Three(target->MaxDistortion) + " % and " + Three(target->RmsDistortion) + " % with " + name + ".");
    }
    return advice;
}

#include "analysis/arm_match.h"

#include "geometry/numeric_text.h"

#include <cmath>
#include <numbers>
#include <string>
#include <utility>

namespace {

// Grams to kilograms, and µm/mN (10^-6 m per 10^-3 N) to m/N.
constexpr double KgPerG = 1e-3;
constexpr double MetresPerNewtonPerCu = 1e-3;

// A resonance is known to a tenth of a hertz at best: the masses on data sheets are rounded to a gram or a tenth,
// and the compliance to a unit or two.
std::string Tenth(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e15) {
        return ShortestText(value);
    }
    const auto tenths = static_cast<long long>(std::llround(std::fabs(value) * 10));
    return (value < 0 && tenths != 0 ? "-" : "") + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string HzText(const ArmMatch& match) {
    return match.Range ? Tenth(match.LowestHz) + " to " + Tenth(match.HighestHz) + " Hz"
                       : Tenth(match.LowestHz) + " Hz";
}

// "3.2 g", "1.0 to 3.2 g", "up to 3.2 g": a range whose one end needs no change at all.
std::string RangeText(double least, double most, std::string_view unit) {
    if (least > most) {
        std::swap(least, most);
    }
    const std::string suffix = " " + std::string(unit);
    if (Tenth(least) == Tenth(most)) {
        return Tenth(most) + suffix;
    }
    return least <= 0 ? "up to " + Tenth(most) + suffix : Tenth(least) + " to " + Tenth(most) + suffix;
}

MatchVerdict VerdictOf(double lowest, double highest) {
    if (highest < LowestGoodHz) {
        return MatchVerdict::TooLow;
    }
    if (lowest > HighestGoodHz) {
        return MatchVerdict::TooHigh;
    }
    if (lowest < LowestGoodHz) {
        return MatchVerdict::PartlyLow;
    }
    if (highest > HighestGoodHz) {
        return MatchVerdict::PartlyHigh;
    }
    return MatchVerdict::Good;
}

std::string JudgementOf(const ArmMatch& match) {
    const std::string band =
        "the target of " + ShortestText(LowestGoodHz) + " to " + ShortestText(HighestGoodHz) + " Hz";
    const std::string warps = "record warps (below about " + ShortestText(WarpsBelowHz) + " Hz)";
    const std::string footfall = "footfall and the lowest notes (above about " + ShortestText(FootfallAboveHz) + " Hz)";
    const std::string hz = HzText(match);
    switch (match.Verdict) {
    case MatchVerdict::TooLow:
        return hz + " lies below " + band + ", towards " + warps +
               ", which excite it: the arm sways, the stylus mistracks and the woofers pump";
    case MatchVerdict::TooHigh:
        return hz + " lies above " + band + ", towards " + footfall +
               ", which excite it: the bass turns muddy and the arm may feed back";
    case MatchVerdict::PartlyLow:
        return hz + " reaches below " + band + ": the cartridge may suit the arm, but with little room above " + warps;
    case MatchVerdict::PartlyHigh:
        return hz + " reaches above " + band + ": the cartridge may suit the arm, but with little room below " +
               footfall;
    case MatchVerdict::Good:
        break;
    }
    return hz + " lies within " + band + ", clear of " + warps + " and of " + footfall;
}

// A compliance at 10 Hz, and for a cartridge quoted at 100 Hz the figure it would be quoted as.
std::string ComplianceText(double complianceCu, const ArmMatchInput& input) {
    std::string text = Tenth(complianceCu) + " µm/mN at 10 Hz";
    if (input.ComplianceAtHz == 100) {
        text += " (" + RangeText(complianceCu / MostFactor100Hz, complianceCu / LeastFactor100Hz, "µm/mN") +
                " as quoted at 100 Hz)";
    }
    return text;
}

std::vector<std::string> AdviceOf(const ArmMatch& match, const ArmMatchInput& input) {
    if (match.Verdict == MatchVerdict::Good) {
        return {"the cartridge suits the arm: nothing to change"};
    }
    // The mass and the compliance that would put the resonance at the aim; from the ends of a compliance range
    // come the ends of the mass range.
    const double leastMass = MassForHz(AimHz, match.MostComplianceCu);
    const double mostMass = MassForHz(AimHz, match.LeastComplianceCu);
    const double compliance = ComplianceForHz(AimHz, match.TotalMassG);
    std::vector<std::string> advice;
    const bool tooHigh = match.Verdict == MatchVerdict::TooHigh || match.Verdict == MatchVerdict::PartlyHigh;
    if (tooHigh) {
        advice.push_back("add " + RangeText(leastMass - match.TotalMassG, mostMass - match.TotalMassG, "g") +
                         " at the headshell (a heavier headshell, or a weight under the screws) for about " +
                         ShortestText(AimHz) + " Hz");
        advice.push_back("or look for a cartridge of more compliance: about " + ComplianceText(compliance, input) +
                         " with this mass");
        return advice;
    }
    // Lighter can only go as far as the cartridge itself: below it no arm or headshell reaches.
    if (mostMass > input.CartridgeMassG) {
        advice.push_back("take off " + RangeText(match.TotalMassG - mostMass, match.TotalMassG - leastMass, "g") +
                         " (a lighter headshell, fewer extras, or a lighter arm) for about " + ShortestText(AimHz) +
                         " Hz");
    }
    advice.push_back(std::string(advice.empty() ? "" : "or ") + "look for a cartridge of less compliance: about " +
                     ComplianceText(compliance, input) + " with this mass");
    return advice;
}

} // namespace

double ResonanceHz(double massG, double complianceCu) {
    return 1 / (2 * std::numbers::pi * std::sqrt(massG * KgPerG * complianceCu * MetresPerNewtonPerCu));
}

double MassForHz(double hz, double complianceCu) {
    const double omega = 2 * std::numbers::pi * hz;
    return 1 / (omega * omega * complianceCu * MetresPerNewtonPerCu) / KgPerG;
}

double ComplianceForHz(double hz, double massG) {
    const double omega = 2 * std::numbers::pi * hz;
    return 1 / (omega * omega * massG * KgPerG) / MetresPerNewtonPerCu;
}

ArmMatch MatchArm(const ArmMatchInput& input) {
    ArmMatch match;
    match.TotalMassG = input.EffectiveMassG + input.CartridgeMassG + input.ExtraMassG;
    match.Range = input.ComplianceAtHz == 100;
    match.LeastComplianceCu = input.ComplianceCu * (match.Range ? LeastFactor100Hz : 1);
    match.MostComplianceCu = input.ComplianceCu * (match.Range ? MostFactor100Hz : 1);
    match.LowestHz = ResonanceHz(match.TotalMassG, match.MostComplianceCu);
    match.HighestHz = ResonanceHz(match.TotalMassG, match.LeastComplianceCu);
    match.Verdict = VerdictOf(match.LowestHz, match.HighestHz);
    match.Judgement = JudgementOf(match);
    match.Advice = AdviceOf(match, input);
    return match;
}

double PivotHeightChangeMm(double effectiveLengthMm, double rakeChangeDeg) {
    return effectiveLengthMm * std::tan(rakeChangeDeg * std::numbers::pi / 180);
}

std::string_view VerdictKey(MatchVerdict verdict) {
    switch (verdict) {
    case MatchVerdict::TooLow:
        return "too-low";
    case MatchVerdict::TooHigh:
        return "too-high";
    case MatchVerdict::PartlyLow:
        return "partly-low";
    case MatchVerdict::PartlyHigh:
        return "partly-high";
    case MatchVerdict::Good:
        break;
    }
    return "good";
}

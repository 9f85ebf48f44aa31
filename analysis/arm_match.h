#pragma once

// Whether a cartridge suits an arm: the resonance of the arm's effective mass, with the cartridge and its screws,
// on the stylus's compliance, judged against the band that lies clear of record warps below and of footfall and the
// lowest notes above; and the change of pivot height that tilts the stylus by a given rake angle. Pure arithmetic
// on given numbers; the texts are UTF-8.

#include <string>
#include <vector>

// The band a resonance should lie in, the aim within it, and what lies either side.
inline constexpr double LowestGoodHz = 8;
inline constexpr double HighestGoodHz = 12;
inline constexpr double AimHz = 10;
inline constexpr double WarpsBelowHz = 6;
inline constexpr double FootfallAboveHz = 15;

// A compliance quoted at 100 Hz, as Japanese makers give it, is lower than the dynamic compliance at 10 Hz that the
// resonance depends on; the factor quoted in practice lies between these two.
inline constexpr double LeastFactor100Hz = 1.5;
inline constexpr double MostFactor100Hz = 2.2;

struct ArmMatchInput {
    double EffectiveMassG = 0;
    double CartridgeMassG = 0;
    // Screws, nuts, a headshell's extras: whatever rides on the headshell besides the cartridge.
    double ExtraMassG = 0;
    // In µm/mN (10^-6 cm/dyn, "compliance units"), measured at `ComplianceAtHz` (10 or 100).
    double ComplianceCu = 0;
    int ComplianceAtHz = 10;
};

enum class MatchVerdict { Good, TooLow, TooHigh, PartlyLow, PartlyHigh };

struct ArmMatch {
    double TotalMassG = 0;
    // The dynamic compliance at 10 Hz: one figure for a 10 Hz compliance, a range for a 100 Hz one.
    double LeastComplianceCu = 0;
    double MostComplianceCu = 0;
    bool Range = false;
    // The resonance (equal ends for a 10 Hz compliance); the most compliance gives the lowest.
    double LowestHz = 0;
    double HighestHz = 0;
    MatchVerdict Verdict = MatchVerdict::Good;
    // One sentence on where the resonance lies and what that means, then what to do to reach about 10 Hz.
    std::string Judgement;
    std::vector<std::string> Advice;
};

// f = 1 / (2 pi sqrt(M C)) with M in kg and C in m/N, from grams and µm/mN.
double ResonanceHz(double massG, double complianceCu);
// The mass in grams that resonates at `hz` on a compliance, and the compliance that does with a mass.
double MassForHz(double hz, double complianceCu);
double ComplianceForHz(double hz, double massG);

// The match of positive masses and compliance (the caller refuses any other).
ArmMatch MatchArm(const ArmMatchInput& input);

// The change of pivot height that changes the stylus's rake (vertical tracking) angle by `rakeChangeDeg`, for an
// arm of that effective length: L tan(change); positive raises the pivot.
double PivotHeightChangeMm(double effectiveLengthMm, double rakeChangeDeg);

// The key a report gives a verdict ("good", "too-low", "too-high", "partly-low", "partly-high").
std::string_view VerdictKey(MatchVerdict verdict);

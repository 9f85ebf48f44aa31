#include "settings/match_report.h"

#include "geometry/numeric_text.h"
#include "speed/speed_advice.h"

#include <cmath>

namespace {

// Masses and compliances are read off data sheets to a tenth at best; a height is set with shims to a tenth of a
// millimetre.
std::string Tenth(double value) {
    return SpeedNumberText(value, 1);
}

std::string Grams(double value) {
    return ShortestText(value) + " g";
}

constexpr std::string_view Cu = " \xC2\xB5m/mN";
constexpr std::string_view Degrees = "\xC2\xB0";

} // namespace

std::vector<MatchRow> MatchRows(const SettingsReport& report) {
    std::vector<MatchRow> rows;
    if (report.Refused()) {
        return rows;
    }
    if (report.Match && report.MatchInput) {
        const ArmMatch& match = *report.Match;
        const ArmMatchInput& input = *report.MatchInput;
        rows.push_back({"total-mass", "Total mass",
                        Tenth(match.TotalMassG) + " g (arm " + Grams(input.EffectiveMassG) + ", cartridge " +
                            Grams(input.CartridgeMassG) + ", extras " + Grams(input.ExtraMassG) + ")"});
        rows.push_back({"compliance", "Compliance at 10 Hz",
                        match.Range
                            ? Tenth(match.LeastComplianceCu) + " to " + Tenth(match.MostComplianceCu) +
                                  std::string(Cu) + " (" + ShortestText(input.ComplianceCu) + " at 100 Hz, times " +
                                  ShortestText(LeastFactor100Hz) + " to " + ShortestText(MostFactor100Hz) + ")"
                            : ShortestText(input.ComplianceCu) + std::string(Cu)});
        rows.push_back(
            {"resonance", "Resonance",
             (match.Range ? Tenth(match.LowestHz) + " to " + Tenth(match.HighestHz) : Tenth(match.LowestHz)) +
                 " Hz (target " + ShortestText(LowestGoodHz) + " to " + ShortestText(HighestGoodHz) + " Hz)"});
    }
    if (report.Rake) {
        const RakeChange& rake = *report.Rake;
        const double mm = rake.PivotHeightChangeMm;
        rows.push_back({"pivot-height", "Pivot height change",
                        (mm > 0 && Tenth(mm) != "0.0" ? "+" : "") + Tenth(mm) + " mm for " +
                            (rake.ChangeDeg > 0 ? "+" : "") + ShortestText(rake.ChangeDeg) + std::string(Degrees) +
                            " on a " + ShortestText(rake.EffectiveLengthMm) + " mm arm"});
    }
    return rows;
}

std::vector<std::string> MatchAdvice(const SettingsReport& report) {
    std::vector<std::string> advice;
    if (report.Refused()) {
        return advice;
    }
    if (report.Match) {
        advice = report.Match->Advice;
    }
    if (report.Rake) {
        const RakeChange& rake = *report.Rake;
        const double mm = std::fabs(rake.PivotHeightChangeMm);
        if (Tenth(mm) == "0.0") {
            advice.push_back("the pivot height stays: a change of " + ShortestText(rake.ChangeDeg) +
                             std::string(Degrees) + " is less than a tenth of a millimetre on this arm");
        } else {
            advice.push_back(std::string(rake.ChangeDeg > 0 ? "raise" : "lower") + " the arm's pivot by " + Tenth(mm) +
                             " mm (" + ShortestText(rake.EffectiveLengthMm) + " mm times tan " +
                             ShortestText(std::fabs(rake.ChangeDeg)) + std::string(Degrees) + ") for a rake angle " +
                             ShortestText(std::fabs(rake.ChangeDeg)) + std::string(Degrees) +
                             (rake.ChangeDeg > 0 ? " larger" : " smaller"));
        }
    }
    return advice;
}

std::string MatchText(const SettingsReport& report) {
    std::string text;
    for (const MatchRow& row : MatchRows(report)) {
        const std::size_t width = 22;
        text += "  " + row.Label + std::string(row.Label.size() < width ? width - row.Label.size() : 1, ' ') +
                row.Value + "\n";
    }
    if (report.Match) {
        text += report.Match->Judgement + "\n";
    }
    const std::vector<std::string> advice = MatchAdvice(report);
    if (!advice.empty()) {
        text += "What to do:\n";
        for (const std::string& step : advice) {
            text += "  - " + step + "\n";
        }
    }
    return text;
}

#include "settings/settings.h"

#include "analysis/analysis_report.h"
#include "geometry/alignment.h"
#include "geometry/confirmation_text.h"
#include "geometry/windows_1252.h"
#include "settings/match_report.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>

namespace {

using Json = nlohmann::ordered_json;

// A number as the report gives it: to nine decimals and at most twelve significant digits, then the shortest text
// that reads back; null when it is not finite. Past that the forms' arithmetic differs in its last bits (80-bit
// long double against 128-bit, and their mathematical libraries), and a tracking error of 5e-15 degrees at a null
// point is noise, not a figure. Only exact double operations decide the rounding, so it is the same everywhere.
double Rounded(double value) {
    constexpr int MostDecimals = 9;
    constexpr int SignificantDigits = 12;
    int digitsBeforePoint = 1;
    for (double limit = 10; std::fabs(value) >= limit && digitsBeforePoint < 400; limit *= 10) {
        ++digitsBeforePoint;
    }
    const int decimals = std::min(MostDecimals, SignificantDigits - digitsBeforePoint);
    double scale = 1;
    for (int i = 0; i < (decimals < 0 ? -decimals : decimals); ++i) {
        scale *= 10;
    }
    const double rounded = decimals >= 0 ? std::round(value * scale) / scale : std::round(value / scale) * scale;
    // No negative zero: noise around 0 reads as 0 whichever side it fell on.
    return rounded == 0 || !std::isfinite(rounded) ? (rounded == 0 ? 0.0 : value) : rounded;
}

Json Number(double value) {
    return std::isfinite(value) ? Json(Rounded(value)) : Json(nullptr);
}

// The analysis's own document keeps every bit; in the report its numbers are rounded as the report's are.
void RoundNumbers(Json& json) {
    if (json.is_number_float()) {
        json = Number(json.get<double>());
    } else if (json.is_structured()) {
        for (Json& element : json) {
            RoundNumbers(element);
        }
    }
}

Json Notices(const std::vector<SettingNotice>& notices) {
    Json list = Json::array();
    for (const SettingNotice& notice : notices) {
        list.push_back({{"code", notice.Code},
                        {"field", notice.Field.empty() ? Json(nullptr) : Json(notice.Field)},
                        {"severity", notice.Severity},
                        {"message", notice.Message}});
    }
    return list;
}

Json Settings(const std::vector<ReadSetting>& settings) {
    Json object = Json::object();
    for (const ReadSetting& setting : settings) {
        Json read = {{"text", setting.Text}, {"given", setting.Given}};
        if (setting.Number) {
            read["value"] = Number(*setting.Number);
        }
        if (!setting.Reading.empty()) {
            read["reading"] = setting.Reading;
        }
        read["note"] = setting.Note.empty() ? Json(nullptr) : Json(setting.Note);
        object[setting.Name] = read;
    }
    return object;
}

Json AlignmentJson(const SettingsReport& report) {
    const ArmInputs& arm = report.Alignment.Inputs;
    const Alignment& values = report.Alignment.Values;
    Json lines = Json::array();
    const std::string text = Windows1252ToUtf8(ConfirmationText(report.Alignment));
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return {{"geometry", GeometryKey(arm.Choice)},
            {"exact", arm.Exact},
            {"id", Windows1252ToUtf8(arm.Id)},
            {"spindle_to_pivot_mm", Number(arm.SpindleToPivot)},
            {"inner_groove_radius_mm", Number(arm.InnerGrooveRadius)},
            {"outer_groove_radius_mm", Number(arm.OuterGrooveRadius)},
            {"inner_null_radius_mm", Number(values.InnerNullRadius)},
            {"outer_null_radius_mm", Number(values.OuterNullRadius)},
            {"effective_length_mm", Number(values.EffectiveLength)},
            {"overhang_mm", Number(values.Overhang)},
            {"offset_angle_deg", Number(values.OffsetAngle)},
            {"linear_offset_mm", Number(values.LinearOffset)},
            {"correction_x", Number(report.Correction.X)},
            {"correction_y", Number(report.Correction.Y)},
            {"lines", lines}};
}

Json Analysis(const AlignmentAnalysis& analysis) {
    Json document = AnalysisDocument(analysis);
    Json figures = Json::object();
    for (const char* key :
         {"inputs", "arms", "closed_forms", "best_overhang", "no_best_overhang", "advice", "trade_off"}) {
        figures[key] = document[key];
    }
    RoundNumbers(figures);
    figures["table"] = Windows1252ToUtf8(AnalysisText(analysis));
    return figures;
}

Json Speed(const SpeedReport& speed) {
    Json components = Json::array();
    for (const SpeedComponent& component : speed.Components) {
        components.push_back(
            {{"hz", Number(component.Hz)}, {"percent", Number(component.Percent)}, {"name", component.Name}});
    }
    Json advice = Json::array();
    for (const std::string& step : speed.Advice) {
        advice.push_back(step);
    }
    return {{"nominal_tone_hz", Number(speed.NominalToneHz)},
            {"measured_tone_hz", Number(speed.MeasuredToneHz)},
            {"tone_given", speed.ToneGiven},
            {"nominal_rpm", Number(speed.NominalRpm)},
            {"rpm", Number(speed.Rpm)},
            {"error_percent", Number(speed.ErrorPercent)},
            {"drift_percent_per_minute", Number(speed.DriftPercentPerMinute)},
            {"weighted_2sigma_percent", Number(speed.Weighted2SigmaPercent)},
            {"unweighted_2sigma_percent", Number(speed.Unweighted2SigmaPercent)},
            {"weighted_rms_percent", Number(speed.WeightedRmsPercent)},
            {"components", components},
            {"from_s", Number(speed.FromSeconds)},
            {"to_s", Number(speed.ToSeconds)},
            {"revolutions", speed.Revolutions},
            {"bridged_impulses", speed.BridgedImpulses},
            {"clipped", speed.Clipped},
            {"sample_rate_hz", Number(speed.SampleRate)},
            {"channels", speed.Channels},
            {"advice", advice}};
}

Json Match(const SettingsReport& report) {
    const std::optional<ArmMatch>& match = report.Match;
    const std::optional<RakeChange>& rake = report.Rake;
    Json resonance = Json(nullptr);
    Json range = Json(nullptr);
    if (match) {
        (match->Range ? range : resonance) =
            match->Range ? Json::array({Number(match->LowestHz), Number(match->HighestHz)}) : Number(match->LowestHz);
    }
    const auto either = [](bool known, double value) { return known ? Number(value) : Json(nullptr); };
    return {{"total_mass_g", either(match.has_value(), match ? match->TotalMassG : 0)},
            {"compliance_at_hz", report.MatchInput ? Json(report.MatchInput->ComplianceAtHz) : Json(nullptr)},
            {"dynamic_compliance_cu",
             match ? Json::array({Number(match->LeastComplianceCu), Number(match->MostComplianceCu)}) : Json(nullptr)},
            {"resonance_hz", resonance},
            {"resonance_hz_range", range},
            {"target_hz", Json::array({Number(LowestGoodHz), Number(HighestGoodHz)})},
            {"verdict", match ? Json(VerdictKey(match->Verdict)) : Json(nullptr)},
            {"judgement", match ? Json(match->Judgement) : Json(nullptr)},
            {"effective_length_mm", either(rake.has_value(), rake ? rake->EffectiveLengthMm : 0)},
            {"rake_change_deg", either(rake.has_value(), rake ? rake->ChangeDeg : 0)},
            {"pivot_height_change_mm", either(rake.has_value(), rake ? rake->PivotHeightChangeMm : 0)}};
}

} // namespace

std::string ReportJson(const SettingsReport& report) {
    const bool alignment = !report.Refused() && report.Command != SettingsCommand::Strobe &&
                           report.Command != SettingsCommand::Speed && report.Command != SettingsCommand::Match;
    Json document = {
        {"format", "quillmere-report"},
        {"version", 1},
        {"command", CommandName(report.Command)},
        {"settings", Settings(report.Settings)},
        {"refusals", Notices(report.Refusals)},
        {"warnings", Notices(report.Warnings)},
        {"notes", Notices(report.Notes)},
        {"alignment", alignment ? AlignmentJson(report) : Json(nullptr)},
        {"analysis", report.Analysis && !report.Refused() ? Analysis(*report.Analysis) : Json(nullptr)},
    };
    if (report.Command == SettingsCommand::Speed) {
        document["speed"] = report.Speed && !report.Refused() ? Speed(*report.Speed) : Json(nullptr);
    }
    if (report.Command == SettingsCommand::Match) {
        document["match"] = report.Refused() ? Json(nullptr) : Match(report);
        Json advice = Json::array();
        for (const std::string& step : MatchAdvice(report)) {
            advice.push_back(step);
        }
        document["advice"] = report.Refused() ? Json(nullptr) : advice;
    }
    if (report.Command == SettingsCommand::Arc && !report.Refused()) {
        // How many sheets the template comes on: a download of more than one is joined by hand.
        document["sheets"] = report.Page.Sheets;
    }
    // A text given in bytes that are not UTF-8 (the page's are always UTF-8) is shown with U+FFFD where they stand,
    // as the page would show it, rather than ending the tool.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

#include "analysis/analysis_report.h"

#include "analysis/arm_advice.h"

#include "geometry/numeric_text.h"
#include "geometry/windows_1252.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string_view>

namespace {

constexpr std::size_t LabelWidth = 24;
constexpr std::size_t ColumnWidth = 12;
constexpr std::string_view LowestMark = " *";
constexpr std::string_view NoMark = "  ";
constexpr std::string_view NoFigure = "-";

std::string Three(double value) {
    return FormatNumber(value, LengthMask);
}

// A figure of the table: a dash where there is none (an arm that reaches no groove), never the mask's 0.000.
std::string Figure(double value) {
    return std::isfinite(value) ? Three(value) : std::string(NoFigure);
}

std::string NullText(const std::optional<double>& radius) {
    return radius ? Three(*radius) : std::string("none");
}

std::string PaddedLeft(std::string_view text, std::size_t width) {
    return std::string(width > text.size() ? width - text.size() : 0, ' ') + std::string(text);
}

std::string PaddedRight(std::string_view text, std::size_t width) {
    return std::string(text) + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

struct TableRow {
    std::string_view Label;
    std::function<std::string(const ArmFigures&)> Cell;
    std::optional<std::size_t> Marked; // the column that gets the mark
};

std::string InputsLine(const AnalysisInputs& inputs) {
    return "Spindle to pivot " + Three(inputs.SpindleToPivot) + " mm, grooves " + Three(inputs.InnerGrooveRadius) +
           " to " + Three(inputs.OuterGrooveRadius) + " mm, " + Three(inputs.Rpm) + " rpm, peak velocity " +
           Three(inputs.Velocity) + " mm/s";
}

std::string ComparisonLines(const AlignmentAnalysis& analysis) {
    const ArmFigures& arm = analysis.Arms.back();
    const ArmFigures& peak = analysis.Arms[analysis.LowestPeak];
    const ArmFigures& rms = analysis.Arms[analysis.LowestRms];
    const std::string name(ArmName(arm.Arm));
    std::string text;
    if (arm.ReachesNoGroove) {
        text = name + " reaches none of the grooves: it has no figures to compare.\n";
    } else {
        text = name + (arm.ReachesGrooves ? "" : " (over the grooves it reaches)") + ": largest distortion " +
               Figure(arm.MaxDistortion) + " % against " + Figure(peak.MaxDistortion) + " % with " +
               std::string(ArmName(peak.Arm)) + ", RMS " + Figure(arm.RmsDistortion) + " % against " +
               Figure(rms.RmsDistortion) + " % with " + std::string(ArmName(rms.Arm)) + ".\n";
    }
    if (const std::optional<OverhangOptimum>& best = analysis.BestOverhang) {
        text += "With its offset angle of " + Three(best->OffsetAngle) + "\xB0, an overhang of " +
                Three(best->Overhang) + " mm (effective length " + Three(best->EffectiveLength) +
                " mm) gives the lowest largest distortion: " + Three(best->MaxDistortion) + " %" +
                (best->Gain ? ", " + Three(*best->Gain) + " percentage points less" : std::string()) + ".\n";
    } else if (!analysis.NoBestOverhang.empty()) {
        text += analysis.NoBestOverhang + ".\n";
    }
    if (analysis.Advice) {
        for (const std::string& step : analysis.Advice->Steps) {
            text += step + "\n";
        }
    }
    return text;
}

// A closed form's figure and how far the exact solution lies from it: "65.998 (-0.021)".
std::string WithDifference(double closed, double exact) {
    const std::string difference = Three(exact - closed);
    const bool zero = difference.find_first_not_of("-0.") == std::string::npos;
    return Figure(closed) + " (" + (zero ? "0.000" : (exact > closed ? "+" : "") + difference) + ")";
}

constexpr std::size_t DifferenceColumnWidth = 18;

struct ClosedFormRow {
    std::string_view Label;
    std::string_view Key;
    std::function<double(const ArmFigures&)> Value;
};

std::vector<ClosedFormRow> ClosedFormRows() {
    const auto null = [](std::optional<double> ArmFigures::*field) {
        return
            [field](const ArmFigures& arm) { return (arm.*field).value_or(std::numeric_limits<double>::quiet_NaN()); };
    };
    const auto f = [](double ArmFigures::*field) { return [field](const ArmFigures& arm) { return arm.*field; }; };
    return {
        {"Inner null radius (mm)", "inner_null_radius_mm", null(&ArmFigures::InnerNull)},
        {"Outer null radius (mm)", "outer_null_radius_mm", null(&ArmFigures::OuterNull)},
        {"Effective length (mm)", "effective_length_mm", f(&ArmFigures::EffectiveLength)},
        {"Overhang (mm)", "overhang_mm", f(&ArmFigures::Overhang)},
        {"Offset angle (\xB0)", "offset_angle_deg", f(&ArmFigures::OffsetAngle)},
        {"Largest distortion (%)", "max_distortion_percent", f(&ArmFigures::MaxDistortion)},
        {"RMS distortion (%)", "rms_distortion_percent", f(&ArmFigures::RmsDistortion)},
    };
}

// The closed forms beside the exact solutions the table shows: each figure, and the exact one minus it.
std::string ClosedFormLines(const AlignmentAnalysis& analysis) {
    std::string text = "\nThe closed forms, and (in brackets) the exact solution minus the closed form:\n";
    std::string line(LabelWidth, ' ');
    for (const ArmFigures& closed : analysis.ClosedForms) {
        line += PaddedLeft(ArmName(closed.Arm), DifferenceColumnWidth);
    }
    text += line + '\n';
    for (const ClosedFormRow& row : ClosedFormRows()) {
        line = PaddedRight(row.Label, LabelWidth);
        for (std::size_t i = 0; i < analysis.ClosedForms.size(); ++i) {
            line += PaddedLeft(WithDifference(row.Value(analysis.ClosedForms[i]), row.Value(analysis.Arms[i])),
                               DifferenceColumnWidth);
        }
        text += line + '\n';
    }
    return text;
}

// A number as JSON has it: the shortest text that reads back as the same double; null when it is not finite.
nlohmann::ordered_json Number(double value) {
    return std::isfinite(value) ? nlohmann::ordered_json(value) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json Number(const std::optional<double>& value) {
    return value ? Number(*value) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json Radius(const std::optional<double>& radius) {
    return radius ? Number(*radius) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json Column(const std::vector<double>& values) {
    nlohmann::ordered_json column = nlohmann::ordered_json::array();
    for (double value : values) {
        column.push_back(Number(value));
    }
    return column;
}

nlohmann::ordered_json ArmJson(const AlignmentAnalysis& analysis, std::size_t index) {
    const ArmFigures& arm = analysis.Arms[index];
    const bool geometry = index < 3;
    return {
        {"key", ArmKey(arm.Arm)},
        {"name", Windows1252ToUtf8(ArmName(arm.Arm))},
        {"inner_null_radius_mm", Radius(arm.InnerNull)},
        {"outer_null_radius_mm", Radius(arm.OuterNull)},
        {"effective_length_mm", Number(arm.EffectiveLength)},
        {"overhang_mm", Number(arm.Overhang)},
        {"offset_angle_deg", Number(arm.OffsetAngle)},
        {"max_tracking_error_deg", Number(arm.MaxTrackingError)},
        {"max_tracking_error_radius_mm", Number(arm.MaxTrackingErrorRadius)},
        {"max_distortion_percent", Number(arm.MaxDistortion)},
        {"max_distortion_radius_mm", Number(arm.MaxDistortionRadius)},
        {"mean_distortion_percent", Number(arm.MeanDistortion)},
        {"rms_distortion_percent", Number(arm.RmsDistortion)},
        {"lowest_max_distortion", geometry && index == analysis.LowestPeak},
        {"lowest_rms_distortion", geometry && index == analysis.LowestRms},
        {"reach_mm", {Number(arm.ReachFrom), Number(arm.ReachTo)}},
        {"reaches_grooves", arm.ReachesGrooves},
        {"curve",
         {{"radius_mm", Column(arm.Curve.Radius)},
          {"tracking_error_deg", Column(arm.Curve.TrackingError)},
          {"distortion_percent", Column(arm.Curve.Distortion)}}},
    };
}

std::string CsvNumber(double value) {
    return std::isfinite(value) ? nlohmann::ordered_json(value).dump() : std::string();
}

std::string CsvName(AnalysedArm arm) {
    std::string key(ArmKey(arm));
    std::replace(key.begin(), key.end(), '-', '_');
    return key;
}

} // namespace

AnalysisCells AnalysisTableCells(const AlignmentAnalysis& analysis) {
    AnalysisCells table;
    table.Inputs = InputsLine(analysis.Inputs);
    if (analysis.Inputs.Exact) {
        table.ExactNote =
            "L\xF6"
            "fgren A, L\xF6"
            "fgren B and Stevenson A solved exactly for these lengths; their closed forms follow the table.";
    }
    const auto f = [](double ArmFigures::*field) {
        return [field](const ArmFigures& arm) { return Figure(arm.*field); };
    };
    const TableRow rows[] = {
        {"Inner null radius (mm)", [](const ArmFigures& arm) { return NullText(arm.InnerNull); }, std::nullopt},
        {"Outer null radius (mm)", [](const ArmFigures& arm) { return NullText(arm.OuterNull); }, std::nullopt},
        {"Effective length (mm)", f(&ArmFigures::EffectiveLength), std::nullopt},
        {"Overhang (mm)", f(&ArmFigures::Overhang), std::nullopt},
        {"Offset angle (\xB0)", f(&ArmFigures::OffsetAngle), std::nullopt},
        {"Largest |TE| (\xB0)", f(&ArmFigures::MaxTrackingError), std::nullopt},
        {"  at radius (mm)", f(&ArmFigures::MaxTrackingErrorRadius), std::nullopt},
        {"Largest distortion (%)", f(&ArmFigures::MaxDistortion), analysis.LowestPeak},
        {"  at radius (mm)", f(&ArmFigures::MaxDistortionRadius), std::nullopt},
        {"Mean distortion (%)", f(&ArmFigures::MeanDistortion), std::nullopt},
        {"RMS distortion (%)", f(&ArmFigures::RmsDistortion), analysis.LowestRms},
    };
    for (const ArmFigures& arm : analysis.Arms) {
        table.Arms.emplace_back(ArmName(arm.Arm));
    }
    for (const TableRow& row : rows) {
        AnalysisCells::Row cells{std::string(row.Label), {}, row.Marked};
        for (const ArmFigures& arm : analysis.Arms) {
            cells.Cells.push_back(row.Cell(arm));
        }
        table.Rows.push_back(std::move(cells));
    }
    table.Footnote = "* the lowest of the three geometries";
    table.TradeOff = GeometryTradeOff();
    if (analysis.Inputs.Arm) {
        table.Comparison = ComparisonLines(analysis);
    }
    if (!analysis.ClosedForms.empty()) {
        table.ClosedForms = ClosedFormLines(analysis);
    }
    return table;
}

std::string AnalysisText(const AlignmentAnalysis& analysis) {
    const AnalysisCells table = AnalysisTableCells(analysis);
    std::string text = table.Inputs + "\n";
    if (!table.ExactNote.empty()) {
        text += table.ExactNote + "\n";
    }
    text += "\n";
    text += std::string(LabelWidth, ' ');
    for (const std::string& arm : table.Arms) {
        text += PaddedLeft(arm, ColumnWidth) + std::string(NoMark);
    }
    text.erase(text.find_last_not_of(' ') + 1);
    text += '\n';
    for (const AnalysisCells::Row& row : table.Rows) {
        std::string line = PaddedRight(row.Label, LabelWidth);
        for (std::size_t i = 0; i < row.Cells.size(); ++i) {
            line += PaddedLeft(row.Cells[i], ColumnWidth);
            line += row.Marked == i ? LowestMark : NoMark;
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + '\n';
    }
    text += "\n" + table.Footnote + "\n" + table.TradeOff + "\n";
    text += table.Comparison + table.ClosedForms;
    return text;
}

nlohmann::ordered_json AnalysisDocument(const AlignmentAnalysis& analysis) {
    const AnalysisInputs& inputs = analysis.Inputs;
    nlohmann::ordered_json arm = nullptr;
    if (inputs.Arm) {
        arm = {{"effective_length_mm", Number(inputs.Arm->EffectiveLength)},
               {"overhang_mm", Number(static_cast<double>(static_cast<long double>(inputs.Arm->EffectiveLength) -
                                                          inputs.SpindleToPivot))},
               {"offset_angle_deg", Number(inputs.Arm->OffsetAngle)}};
    }
    nlohmann::ordered_json arms = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < analysis.Arms.size(); ++i) {
        arms.push_back(ArmJson(analysis, i));
    }
    nlohmann::ordered_json best = nullptr;
    if (const std::optional<OverhangOptimum>& optimum = analysis.BestOverhang) {
        best = {{"offset_angle_deg", Number(optimum->OffsetAngle)},
                {"overhang_mm", Number(optimum->Overhang)},
                {"effective_length_mm", Number(optimum->EffectiveLength)},
                {"inner_null_radius_mm", Radius(optimum->InnerNull)},
                {"outer_null_radius_mm", Radius(optimum->OuterNull)},
                {"max_distortion_percent", Number(optimum->MaxDistortion)},
                {"max_distortion_radius_mm", Number(optimum->MaxDistortionRadius)},
                {"rms_distortion_percent", Number(optimum->RmsDistortion)},
                {"max_distortion_gain_percent", Number(optimum->Gain)}};
    }
    nlohmann::ordered_json closedForms = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < analysis.ClosedForms.size(); ++i) {
        const ArmFigures& closed = analysis.ClosedForms[i];
        nlohmann::ordered_json figures = {{"key", ArmKey(closed.Arm)},
                                          {"name", Windows1252ToUtf8(ArmName(closed.Arm))}};
        nlohmann::ordered_json differences = nlohmann::ordered_json::object();
        for (const ClosedFormRow& row : ClosedFormRows()) {
            figures[std::string(row.Key)] = Number(row.Value(closed));
            differences[std::string(row.Key)] = Number(row.Value(analysis.Arms[i]) - row.Value(closed));
        }
        figures["exact_minus_closed_form"] = differences;
        closedForms.push_back(figures);
    }
    nlohmann::ordered_json advice = nullptr;
    if (const std::optional<ArmAdvice>& given = analysis.Advice) {
        nlohmann::ordered_json steps = nlohmann::ordered_json::array();
        for (const std::string& step : given->Steps) {
            steps.push_back(Windows1252ToUtf8(step));
        }
        advice = {{"target", ArmKey(given->Target)},
                  {"exact", given->Exact},
                  {"overhang_from_mm", Number(given->OverhangFrom)},
                  {"overhang_to_mm", Number(given->OverhangTo)},
                  {"offset_angle_from_deg", Number(given->OffsetAngleFrom)},
                  {"offset_angle_to_deg", Number(given->OffsetAngleTo)},
                  {"steps", steps}};
    }
    nlohmann::ordered_json nulls = nullptr;
    if (inputs.Nulls) {
        nulls = {Number(inputs.Nulls->Inner), Number(inputs.Nulls->Outer)};
    }
    const nlohmann::ordered_json noBest = analysis.NoBestOverhang.empty()
                                              ? nlohmann::ordered_json(nullptr)
                                              : nlohmann::ordered_json(Windows1252ToUtf8(analysis.NoBestOverhang));
    nlohmann::ordered_json warnings = nlohmann::ordered_json::array();
    for (const std::string& warning : AnalysisWarnings(analysis)) {
        warnings.push_back(Windows1252ToUtf8(warning));
    }
    return {
        {"format", "quillmere-analysis"},
        {"version", 1},
        {"inputs",
         {{"spindle_to_pivot_mm", Number(inputs.SpindleToPivot)},
          {"inner_groove_radius_mm", Number(inputs.InnerGrooveRadius)},
          {"outer_groove_radius_mm", Number(inputs.OuterGrooveRadius)},
          {"rpm", Number(inputs.Rpm)},
          {"velocity_mm_per_s", Number(inputs.Velocity)},
          {"arm", arm},
          {"nulls_mm", nulls},
          {"exact", inputs.Exact},
          {"target", ArmKey(inputs.Target)}}},
        {"arms", arms},
        {"closed_forms", closedForms},
        {"best_overhang", best},
        {"no_best_overhang", noBest},
        {"advice", advice},
        {"trade_off", Windows1252ToUtf8(GeometryTradeOff())},
        {"warnings", warnings},
    };
}

std::string AnalysisJson(const AlignmentAnalysis& analysis) {
    return AnalysisDocument(analysis).dump(2) + "\n";
}

std::string AnalysisCsv(const AlignmentAnalysis& analysis) {
    std::string text = "radius_mm";
    std::vector<double> radii;
    for (const ArmFigures& arm : analysis.Arms) {
        text += "," + CsvName(arm.Arm) + "_tracking_error_deg," + CsvName(arm.Arm) + "_distortion_percent";
        radii.insert(radii.end(), arm.Curve.Radius.begin(), arm.Curve.Radius.end());
    }
    text += '\n';
    // Every arm's curve lies on the same grid, so a radius is the very same double in each.
    std::sort(radii.begin(), radii.end());
    radii.erase(std::unique(radii.begin(), radii.end()), radii.end());
    std::vector<std::size_t> next(analysis.Arms.size(), 0);
    for (double radius : radii) {
        text += CsvNumber(radius);
        for (std::size_t i = 0; i < analysis.Arms.size(); ++i) {
            const AnalysisCurve& curve = analysis.Arms[i].Curve;
            std::size_t& k = next[i];
            if (k < curve.Radius.size() && curve.Radius[k] == radius) {
                text += "," + CsvNumber(curve.TrackingError[k]) + "," + CsvNumber(curve.Distortion[k]);
                ++k;
            } else {
                text += ",,";
            }
        }
        text += '\n';
    }
    return text;
}

std::vector<std::string> AnalysisWarnings(const AlignmentAnalysis& analysis) {
    std::vector<std::string> warnings;
    for (const ArmFigures& arm : analysis.Arms) {
        const std::string name(ArmName(arm.Arm));
        if (arm.ReachesNoGroove) {
            warnings.push_back(name + " reaches only radii from " + Three(arm.ReachFrom) + " to " + Three(arm.ReachTo) +
                               " mm, none of the grooves: it has no figures");
        } else if (!arm.ReachesGrooves) {
            warnings.push_back(name + " reaches only radii from " + Three(arm.ReachFrom) + " to " + Three(arm.ReachTo) +
                               " mm, not all of the grooves: its figures cover what it reaches");
        } else if (arm.CurveClipped) {
            warnings.push_back(name + " reaches only radii from " + Three(arm.ReachFrom) + " to " + Three(arm.ReachTo) +
                               " mm: its curve leaves out the rest");
        }
        if (arm.Arm == AnalysedArm::UserArm && !arm.InnerNull && !arm.OuterNull) {
            warnings.push_back(name + " has no real null point: its tracking error is nowhere zero");
        }
    }
    return warnings;
}

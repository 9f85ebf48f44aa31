#pragma once

#include "analysis/alignment_analysis.h"

#include <nlohmann/json_fwd.hpp>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The analysis as a table: one column per geometry and one for the user's arm, three decimals ("-" where there is no
// figure), the lowest peak and RMS distortion of the geometries marked, what each geometry is best at; then how
// the arm compares, its best overhang or why there is none, and what to do to it; with exact solutions, the closed
// forms and the differences. Program text
// (Windows-1252), lines joined by line feeds, one after the last.
std::string AnalysisText(const AlignmentAnalysis& analysis);

// The same table as cells, for a page that lays it out itself: the inputs line, the arms' names, each row's label
// (indented by two blanks for an "at radius" row) with one cell per arm and the column of its mark, the footnote
// that explains the mark, and the comparison lines (line feeds after each, or empty). Empty for an analysis with a
// problem. Program text.
struct AnalysisCells {
    struct Row {
        std::string Label;
        std::vector<std::string> Cells;
        std::optional<std::size_t> Marked;
    };
    std::string Inputs;
    std::string ExactNote; // empty unless the geometries were solved exactly
    std::vector<std::string> Arms;
    std::vector<Row> Rows;
    std::string Footnote;
    std::string TradeOff;
    std::string Comparison;
    std::string ClosedForms; // the closed forms against the exact solutions, or empty
};
AnalysisCells AnalysisTableCells(const AlignmentAnalysis& analysis);

// The same figures and the curves as JSON (UTF-8), with these keys, which stay as they are:
//   "format": "quillmere-analysis", "version": 1,
//   "inputs": {"spindle_to_pivot_mm", "inner_groove_radius_mm", "outer_groove_radius_mm", "rpm",
//              "velocity_mm_per_s", "arm": null or {"effective_length_mm", "overhang_mm", "offset_angle_deg"},
//              "nulls_mm": null or [inner, outer], "exact", "target": the key the advice aims at},
//   "arms": [{"key": "lofgren-a" | "lofgren-b" | "stevenson-a" | "custom" | "arm", "name",
//             "inner_null_radius_mm", "outer_null_radius_mm" (null: none), "effective_length_mm", "overhang_mm",
//             "offset_angle_deg", "max_tracking_error_deg", "max_tracking_error_radius_mm",
//             "max_distortion_percent", "max_distortion_radius_mm", "mean_distortion_percent",
//             "rms_distortion_percent", "lowest_max_distortion", "lowest_rms_distortion" (among the geometries),
//             "reach_mm": [from, to], "reaches_grooves", "curve": {"radius_mm": [...], "tracking_error_deg": [...],
//             "distortion_percent": [...]}}],
//   "closed_forms": [] or, with exact solutions, for each geometry {"key", "name", "inner_null_radius_mm",
//             "outer_null_radius_mm", "effective_length_mm", "overhang_mm", "offset_angle_deg",
//             "max_distortion_percent", "rms_distortion_percent", "exact_minus_closed_form": {the same figures}},
//   "best_overhang": null or {"offset_angle_deg", "overhang_mm", "effective_length_mm", "inner_null_radius_mm",
//             "outer_null_radius_mm", "max_distortion_percent", "max_distortion_radius_mm",
//             "rms_distortion_percent", "max_distortion_gain_percent" (null: the arm does not reach all the grooves)},
//   "no_best_overhang": null or why there is no best overhang for the arm,
//   "advice": null or {"target", "exact", "overhang_from_mm", "overhang_to_mm", "offset_angle_from_deg",
//             "offset_angle_to_deg", "steps": [sentences]},
//   "trade_off": what each geometry is best at, one sentence,
//   "warnings": [texts]
// Tracking error is signed; the figures cover r1..r2 (the part of it the arm reaches); the curves run every
// 0.5 mm from r1 - 5 to r2 + 5 mm where the arm reaches. A number that cannot be computed is null, and so are the
// figures of an arm that reaches none of the grooves.
std::string AnalysisJson(const AlignmentAnalysis& analysis);
// The same document as a tree, for a report that holds it among its own parts; every number keeps its bits.
nlohmann::ordered_json AnalysisDocument(const AlignmentAnalysis& analysis);

// The curves alone as CSV: a header "radius_mm,lofgren_a_tracking_error_deg,lofgren_a_distortion_percent,..."
// (then lofgren_b, stevenson_a and arm), one row per radius; a cell is empty where that arm does not reach.
std::string AnalysisCsv(const AlignmentAnalysis& analysis);

// What the user should know about the result (program text, one sentence each): radii out of an arm's reach,
// an arm without real null points.
std::vector<std::string> AnalysisWarnings(const AlignmentAnalysis& analysis);

#include "settings/page_aids.h"

#include "geometry/alignment.h"

#include "geometry/groove_presets.h"
#include "geometry/numeric_text.h"
#include "geometry/windows_1252.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace {

// Up to `decimals` decimals without trailing zeros: "222", "60.325", "1.00705".
std::string Trimmed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string trimmed(text);
    if (trimmed.find('.') != std::string::npos) {
        trimmed.erase(trimmed.find_last_not_of('0') + 1);
        if (trimmed.back() == '.') {
            trimmed.pop_back();
        }
    }
    return trimmed;
}

std::string Length(double mm) {
    return Trimmed(mm, 3);
}

// The records' grooves by their preset's name when they are one ("iec"), else by their lengths ("57.5-146.05mm").
std::string GroovesOf(const ArmInputs& record) {
    for (const GroovePreset& preset : GroovePresets) {
        if (TextToNumber(preset.Inner) == record.InnerGrooveRadius &&
            TextToNumber(preset.Outer) == record.OuterGrooveRadius) {
            return std::string(preset.Name);
        }
    }
    return Length(record.InnerGrooveRadius) + "-" + Length(record.OuterGrooveRadius) + "mm";
}

std::string PaperOf(const SettingsReport& report) {
    for (const NamedPaper& paper : PaperNames()) {
        if (paper.Paper == report.Page.Paper) {
            return std::string(paper.Name);
        }
    }
    return "page";
}

std::string GeometryOf(const SettingsReport& report) {
    const ArmInputs& arm = report.Alignment.Inputs;
    if (arm.Choice == Geometry::CustomNulls) {
        return "nulls-" + Length(report.Alignment.Values.InnerNullRadius) + "-" +
               Length(report.Alignment.Values.OuterNullRadius);
    }
    const std::string exact = arm.Exact ? "-exact" : "";
    const ReadSetting* geometry = report.Find("geometry");
    if (geometry && !geometry->Reading.empty()) {
        return geometry->Reading + exact;
    }
    return std::string(GeometryKey(arm.Choice)) + exact;
}

} // namespace

Result<std::string> CorrectionFactorFromMeasured(std::string_view measured) {
    const std::string typed = Utf8ToWindows1252(measured);
    const std::string text = DecimalCommaAsPoint(typed).value_or(typed);
    const std::string shown(measured);
    if (text.find_first_not_of(" \t") == std::string::npos || PartlyReadNumber(text)) {
        return Failure{"the measured length must be a number of millimetres, such as 198.6, not '" + shown + "'"};
    }
    const double mm = TextToNumber(text);
    if (!(mm >= ShortestCalibrationMm && mm <= LongestCalibrationMm)) {
        return Failure{"the measured length must be from " + Length(ShortestCalibrationMm) + " to " +
                       Length(LongestCalibrationMm) + " mm (the marks are " + Length(CalibrationLengthMm) +
                       " mm apart at actual size), not '" + shown + "'"};
    }
    return Trimmed(CalibrationLengthMm / mm, 5);
}

std::string PageFileName(std::string_view printout, const SettingsReport& report) {
    const ArmInputs& record = report.Alignment.Inputs;
    const std::string paper = PaperOf(report);
    if (printout == "arc") {
        return "arc-" + Length(record.SpindleToPivot) + "mm-" + GroovesOf(record) + "-" + GeometryOf(report) + "-" +
               paper + ".pdf";
    }
    if (printout == "chart") {
        return "analysis-" + Length(record.SpindleToPivot) + "mm-" + GroovesOf(record) + "-" + paper + ".pdf";
    }
    if (printout == "strobe-60" || printout == "strobe-50") {
        return "strobe-" + std::string(printout.substr(7)) + "hz-" + paper + ".pdf";
    }
    if (report.Disk) {
        return "strobe-" + std::to_string(report.Disk->OuterBars) + "-" + std::to_string(report.Disk->InnerBars) +
               "-bars-" + paper + ".pdf";
    }
    return std::string(printout) + "-" + paper + ".pdf";
}

std::vector<SettingNotice> BlockingNotices(std::string_view printout, const SettingsReport& report) {
    std::vector<SettingNotice> blocking = report.Refusals;
    if (printout == "arc" || printout == "chart") {
        for (const SettingNotice& warning : report.Warnings) {
            if (warning.Code == "pivot-on-record" || warning.Code == "radius-not-positive" ||
                warning.Code == "radii-order") {
                blocking.push_back(warning);
            }
        }
    }
    return blocking;
}

std::string_view PrintCheckOf(SettingsCommand command) {
    switch (command) {
    case SettingsCommand::Arc:
        return "the 200 mm marks";
    case SettingsCommand::Strobe:
        return "that the inner of the disk's two circles measures 180 mm across";
    case SettingsCommand::Values:
    case SettingsCommand::Analyse:
    case SettingsCommand::Speed:
    case SettingsCommand::Match:
        break;
    }
    return "";
}

std::string PrintReminderOf(SettingsCommand command) {
    const std::string_view check = PrintCheckOf(command);
    return check.empty() ? "print at actual size (100 %)"
                         : "print at actual size (100 %), then check " + std::string(check);
}

#include "settings/page_printouts.h"

#include "geometry/confirmation_text.h"
#include "geometry/windows_1252.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::string_view, 0> Nothing{};
constexpr std::array<std::string_view, 6> DiskFields = {"speeds",     "mains",    "outer-bars",
                                                        "inner-bars", "caption1", "caption2"};
constexpr std::array<std::string_view, 2> SpeedFields = {"speeds", "mains"};
constexpr std::array<std::string_view, 2> CountFields = {"outer-bars", "inner-bars"};

// clang-format off
const std::array<PagePrintout, 5> Printouts = {{
    {"arc", SettingsCommand::Arc, "Arc alignment template", "Arc template", "", Nothing, Nothing},
    {"strobe-60", SettingsCommand::Strobe, "Strobe disk 60 Hz", "Strobe disk", "60", DiskFields, DiskFields},
    {"strobe-50", SettingsCommand::Strobe, "Strobe disk 50 Hz", "Strobe disk", "50", DiskFields, DiskFields},
    {"chart", SettingsCommand::Analyse, "Alignment analysis", "Analysis", "", Nothing, Nothing},
    {"strobe-custom", SettingsCommand::Strobe, "Custom strobe disk", "Strobe disk", "", SpeedFields, CountFields},
}};
// clang-format on

struct ValueLine {
    std::string_view Key;
    std::string_view Label;
    bool SetsTheArm;
};
// The lines of the tool's values in their order.
// clang-format off
constexpr std::array<ValueLine, 10> ValueLines = {{
    {"id", "ID", false},
    {"inner-radius", "Inner groove radius", false},
    {"outer-radius", "Outer groove radius", false},
    {"spindle-to-pivot", "Pivot to spindle distance", false},
    {"inner-null", "Inner null radius", true},
    {"outer-null", "Outer null radius", true},
    {"effective-length", "Effective length", false},
    {"overhang", "Overhang", true},
    {"offset-angle", "Offset angle", true},
    {"linear-offset", "Linear offset", false},
}};
// clang-format on

bool Blank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

std::span<const PagePrintout> PagePrintouts() {
    return Printouts;
}

const PagePrintout* PagePrintoutNamed(std::string_view id) {
    const auto found =
        std::find_if(Printouts.begin(), Printouts.end(), [&](const PagePrintout& p) { return p.Id == id; });
    return found == Printouts.end() ? nullptr : &*found;
}

NamedSettings PageSettingsFor(std::string_view printoutOrCommand, const NamedSettings& fields) {
    const PagePrintout* printout = PagePrintoutNamed(printoutOrCommand);
    const std::optional<SettingsCommand> command =
        printout ? std::optional<SettingsCommand>(printout->Command) : CommandNamed(printoutOrCommand);
    if (!command) {
        return {};
    }
    const auto text = [&](std::string_view name) -> std::optional<std::string> {
        const auto found = fields.find(std::string(name));
        return found == fields.end() ? std::nullopt : std::optional<std::string>(found->second);
    };
    std::span<const std::string_view> leftOut = Nothing;
    if (printout) {
        const std::optional<std::string> speeds = text("speeds");
        leftOut = speeds && !Blank(*speeds) ? printout->LeftOutBySpeeds : printout->LeftOut;
    }
    const bool custom = text("geometry") == "custom";
    NamedSettings settings;
    bool takesNulls = false;
    for (const SettingRule& rule : RulesOf(*command)) {
        takesNulls = takesNulls || rule.Name == "nulls";
        const std::optional<std::string> given = text(rule.Name);
        if (!given || std::find(leftOut.begin(), leftOut.end(), rule.Name) != leftOut.end() ||
            (custom && rule.Name == "geometry")) {
            continue;
        }
        if (!rule.Default.empty() || !Blank(*given)) {
            settings[std::string(rule.Name)] = *given;
        }
    }
    if (custom && takesNulls) {
        for (const std::string_view name : {"inner-null", "outer-null"}) {
            settings[std::string(name)] = text(name).value_or("");
        }
    }
    if (printout && !printout->Mains.empty()) {
        settings["mains"] = std::string(printout->Mains);
    }
    return settings;
}

std::span<const std::string_view> ArmFields() {
    static constexpr std::array<std::string_view, 5> Fields = {"effective-length", "overhang", "offset-angle", "rpm",
                                                               "velocity"};
    return Fields;
}

bool IsPageWideNotice(const SettingNotice& notice) {
    static constexpr std::array<std::string_view, 5> Codes = {"page-cut", "grid-left-out", "caption-not-printed",
                                                              "drift", "page-tiled"};
    return std::find(Codes.begin(), Codes.end(), notice.Code) != Codes.end();
}

std::vector<ValueRow> ValueRowsOf(const AlignedArm& arm) {
    const std::string text = Windows1252ToUtf8(ConfirmationText(arm));
    std::vector<ValueRow> rows;
    std::size_t index = 0;
    for (std::size_t start = 0; start <= text.size(); ++index) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t at = line.find(" = ");
        ValueRow row;
        row.Label = line.substr(0, at);
        row.Value = at == std::string::npos ? "" : line.substr(at + 3);
        row.Value.erase(row.Value.find_last_not_of(' ') + 1);
        if (index < ValueLines.size() && ValueLines[index].Label == row.Label) {
            row.Key = ValueLines[index].Key;
            row.SetsTheArm = ValueLines[index].SetsTheArm;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

#include "settings/settings.h"

namespace {

constexpr unsigned Values = 1;
constexpr unsigned Arc = 2;
constexpr unsigned Strobe = 4;
constexpr unsigned Analyse = 8;
constexpr unsigned Speed = 16;
constexpr unsigned Match = 32;
constexpr unsigned Alignment = Values | Arc | Analyse;
constexpr unsigned Pages = Arc | Strobe | Analyse;
constexpr unsigned Every = Values | Arc | Strobe | Analyse;

constexpr std::string_view Fields = "Field options";
constexpr std::string_view Disk = "Disk options";
constexpr std::string_view Arm = "Analysis options";
constexpr std::string_view Page = "Page options";
constexpr std::string_view Measuring = "Speed options";
constexpr std::string_view Resonance = "Resonance options";
constexpr std::string_view Height = "Arm height options";

constexpr std::string_view DpiHelp =
    "resolution of the emulated printer in dots per inch,\n72 to 2400 (default 600; png at most 1200)";
constexpr std::string_view MarginHelp =
    "margin in mm from the paper edge that the emulated printer\ncannot print on, 0 to 50 (default 4.23)";

// Whether a help text gives the range "least to most" (and "at most" another limit) with the reading's own numbers.
constexpr bool Says(std::string_view help, std::string_view before, long number) {
    char digits[24] = {};
    std::size_t length = 0;
    for (long rest = number; rest > 0 || length == 0; rest /= 10) {
        digits[length++] = static_cast<char>('0' + rest % 10);
    }
    std::string_view::size_type at = 0;
    while ((at = help.find(before, at)) != std::string_view::npos) {
        at += before.size();
        bool same = at + length <= help.size() &&
                    (at + length == help.size() || help[at + length] < '0' || help[at + length] > '9');
        for (std::size_t i = 0; same && i < length; ++i) {
            same = help[at + i] == digits[length - 1 - i];
        }
        if (same) {
            return true;
        }
    }
    return false;
}
static_assert(Says(DpiHelp, "\n", MinimumDpi) && Says(DpiHelp, " to ", MaximumDpi) &&
              Says(DpiHelp, "at most ", MaximumPngDpi));
static_assert(Says(MarginHelp, " on, ", 0) && Says(MarginHelp, " to ", static_cast<long>(MaximumMarginMm)));

// clang-format off
constexpr SettingRule Rules[] = {
    {"speeds", Strobe, Disk, "RPM[+RPM]",
     "one ring for each of one or two platter speeds, 8 to 300 rpm, the\nfirst outside: 33 1/3 (or 33.33, 33,3), 45, "
     "78, 16 2/3 ...; 33,3+45 for two\nwith a decimal comma; bars = 120 x mains / rpm", ""},
    {"mains", Strobe, Disk, "60|50", "mains frequency of the lighting, in Hz (default 60)", "60"},
    {"outer-bars", Strobe, Disk, "N", "custom disk: bars in the outer ring, 0 to 10000 (default 216)", "216"},
    {"inner-bars", Strobe, Disk, "N", "custom disk: bars in the inner ring, 0 to 10000 (default 160)", "160"},
    {"caption1", Strobe, Disk, "TEXT",
     "first caption line, for the outer ring, centred in 36\ncharacters (default: made from the ring's speed or count)",
     ""},
    {"caption2", Strobe, Disk, "TEXT",
     "second caption line (default: made from the inner ring's speed or\ncount)", ""},
    {"spindle-to-pivot", Alignment, Fields, "MM",
     "distance from the platter spindle to the arm's pivot, in mm (default 209)", "209"},
    {"inner-radius", Alignment, Fields, "MM", "radius of the innermost groove, in mm (default 57.5)", "57.5"},
    {"outer-radius", Alignment, Fields, "MM", "radius of the outermost groove, in mm (default 146.05)", "146.05"},
    {"preset", Alignment, Fields, "NAME",
     "groove radii of the records you play, in mm: 12-inch LPs din\n57.5/146.05, iec 60.325/146.05, typical 63/145, "
     "jis 57.6/146.3;\n7-inch 53.0/84.15 and 10-inch 57.6/120.9 (sources: man quillmere);\nan explicit "
     "--inner-radius or --outer-radius wins", ""},
    {"geometry", Values | Arc, Fields, "NAME",
     "alignment geometry: lofgren-a (default; also called baerwald),\nlofgren-b, stevenson-a or uni-din (null points "
     "63.3 and 112.5 mm)", "lofgren-a"},
    {"nulls", Values | Arc, Fields, "INNER,OUTER",
     "custom null points in mm instead of a geometry: 66.0,120.9 or\n66;120.9 (with decimal commas 66,0;120,9)", ""},
    {"exact", Values | Arc, Fields, "",
     "solve the geometry's defining condition exactly instead of its\npublished closed form", "",
     SettingForm::Flag},
    {"correction-x", Every, Fields, "FACTOR",
     "printer correction factor across the page (default 1.0):\nthe 200 mm you ask for divided by the 200 mm you "
     "measure", "1.0"},
    {"correction-y", Every, Fields, "FACTOR",
     "printer correction factor down the page (default 1.0);\nalso scales the lettering", "1.0"},
    {"strict", Every, Fields, "", "treat every warning as an error: exit code 2, nothing written", "",
     SettingForm::Flag},
    {"tone", Speed, Measuring, "HZ",
     "the test tone the record carries, 300 to 10000 Hz (default: the standard\ntone nearest the one measured, 3150, "
     "3000 or 1000 Hz)", ""},
    {"rpm", Speed, Measuring, "RPM",
     "the record's speed, 8 to 300 rpm, read as the strobe's --speeds reads one\n(default 33 1/3)", ""},
    {"format", Speed, Measuring, "text|json|csv",
     "what goes to standard output: the figures, the whole report, or the\ndeviation over time (default text)",
     "text"},
    {"strict", Speed, Measuring, "", "treat every warning as an error: exit code 2, no figures", "",
     SettingForm::Flag},
    {"output", Speed, Measuring, "FILE",
     "write the chart to this file: .pdf, .svg or .png by its extension\n(else pdf); - is standard output", ""},
    {"id", Alignment, Fields, "TEXT", "arm or turntable name for the title (40 characters fit)", ""},
    {"effective-length", Analyse, Arm, "MM", "your arm: pivot to stylus tip, in mm (from its data sheet or measured)",
     ""},
    {"overhang", Analyse, Arm, "MM",
     "your arm: how far the stylus reaches past the spindle, in mm\n(instead of --effective-length)", ""},
    {"offset-angle", Analyse, Arm, "DEG", "your arm: the cartridge's offset angle, in degrees", ""},
    {"geometry", Analyse, Arm, "NAME",
     "the geometry the advice for your arm aims at: lofgren-a (default),\nlofgren-b, stevenson-a or uni-din",
     "lofgren-a"},
    {"nulls", Analyse, Arm, "INNER,OUTER",
     "custom null points in mm, a fourth column \"Custom\" (and the\nadvice's aim): 66.0,120.9 or 66;120.9", ""},
    {"exact", Analyse, Arm, "",
     "the three geometries solved exactly, their closed forms beside them", "", SettingForm::Flag},
    {"rpm", Analyse, Arm, "RPM", "record speed, 8 to 300 rpm, read as --speeds reads one (default 33 1/3)", ""},
    {"velocity", Analyse, Arm, "MM_PER_S", "peak recorded velocity for the distortion, in mm/s (default 100)", ""},
    {"format", Analyse, Arm, "text|json|csv", "what goes to standard output (default text)", "text"},
    {"effective-mass", Match, Resonance, "G", "the arm's effective mass in g, from its data sheet", ""},
    {"cartridge-mass", Match, Resonance, "G", "the cartridge's mass in g", ""},
    {"extra-mass", Match, Resonance, "G", "screws, nuts and headshell extras in g (default 0)", "0"},
    {"compliance", Match, Resonance, "CU",
     "the stylus's compliance in \xC2\xB5m/mN (10^-6 cm/dyn), from the cartridge's\ndata sheet", ""},
    {"compliance-at", Match, Resonance, "10|100",
     "the frequency the compliance is given for: 10 Hz (dynamic) or\n100 Hz, as Japanese makers give it (default 10)",
     "10"},
    {"effective-length", Match, Height, "MM", "the arm's effective length in mm, pivot to stylus tip", ""},
    {"rake-change", Match, Height, "DEG",
     "the change of rake (vertical tracking) angle wanted, in degrees;\npositive for more: the pivot goes up", ""},
    {"format", Match, Resonance, "text|json", "the figures as text, or the whole report as JSON (default text)",
     "text"},
    {"strict", Match, Resonance, "", "treat every warning as an error: exit code 2, no figures", "",
     SettingForm::Flag},
    {"format", Values, Fields, "text|json", "the ten lines as text, or the whole report as JSON (default text)",
     "text"},
    {"output", Arc, Page, "FILE",
     "the file to write (default arc-template.pdf;\nthe extension follows --format); - is standard output", ""},
    {"output", Strobe, Page, "FILE",
     "the file to write (default strobe-60hz.pdf, strobe-50hz.pdf or strobe-custom.pdf;\nthe extension follows "
     "--format); - is standard output", ""},
    {"output", Analyse, Page, "FILE",
     "write the chart to this file: .pdf, .svg or .png by its extension\n(else pdf); without -o and --print no "
     "chart is made", ""},
    {"format", Arc | Strobe, Page, "pdf|svg|png", "file format for a name without .pdf, .svg or .png (default pdf)", ""},
    {"paper", Pages, Page, "letter|a4|a3|tabloid|legal",
     "paper size (default: the system's paper setting, as paperconf\nand the locale say; else letter)", ""},
    {"tile", Arc, Page, "",
     "print the template across sheets to join even when one sheet\nwould hold it (a template wider than the "
     "paper is tiled anyway)", "", SettingForm::Flag},
    {"print", Pages, Page, "[=QUEUE]",
     "print through CUPS at full scale on the named queue, or on the\ndefault printer when none is named (with -o "
     "the file is written too)", "", SettingForm::OptionalValue},
    {"dpi", Pages, Page, "N", DpiHelp, "600"},
    {"margin", Pages, Page, "MM", MarginHelp, "4.23"},
    {"colours", Pages, Page, "R,G,B,R,G,B",
     "colours on paper as the Windows program's command line takes them:\nup to six numbers R,G,B of the "
     "foreground, then of the background", "", SettingForm::Value, "colors"},
};
// clang-format on

constexpr NamedPaper Papers[] = {{"letter", PaperSize::Letter},
                                 {"a4", PaperSize::A4},
                                 {"a3", PaperSize::A3},
                                 {"tabloid", PaperSize::Tabloid},
                                 {"legal", PaperSize::Legal}};

unsigned BitOf(SettingsCommand command) {
    switch (command) {
    case SettingsCommand::Arc:
        return Arc;
    case SettingsCommand::Strobe:
        return Strobe;
    case SettingsCommand::Analyse:
        return Analyse;
    case SettingsCommand::Speed:
        return Speed;
    case SettingsCommand::Match:
        return Match;
    case SettingsCommand::Values:
        break;
    }
    return Values;
}

} // namespace

std::string_view CommandName(SettingsCommand command) {
    switch (command) {
    case SettingsCommand::Arc:
        return "arc";
    case SettingsCommand::Strobe:
        return "strobe";
    case SettingsCommand::Analyse:
        return "analyse";
    case SettingsCommand::Speed:
        return "speed";
    case SettingsCommand::Match:
        return "match";
    case SettingsCommand::Values:
        break;
    }
    return "values";
}

std::optional<SettingsCommand> CommandNamed(std::string_view name) {
    for (const SettingsCommand command : {SettingsCommand::Values, SettingsCommand::Arc, SettingsCommand::Strobe,
                                          SettingsCommand::Analyse, SettingsCommand::Speed, SettingsCommand::Match}) {
        if (CommandName(command) == name) {
            return command;
        }
    }
    return std::nullopt;
}

std::vector<SettingRule> RulesOf(SettingsCommand command) {
    std::vector<SettingRule> rules;
    for (const SettingRule& rule : Rules) {
        if ((rule.Commands & BitOf(command)) != 0) {
            rules.push_back(rule);
        }
    }
    return rules;
}

std::optional<SettingRule> RuleNamed(std::string_view name) {
    for (const SettingRule& rule : Rules) {
        if (rule.Name == name) {
            return rule;
        }
    }
    return std::nullopt;
}

std::span<const NamedPaper> PaperNames() {
    return Papers;
}

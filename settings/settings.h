#pragma once

// The settings of the Linux tool and the browser page, named as the tool's options and given as typed (UTF-8), read
// into one report: each value as read with its reading note, the alignment, the analysis, the page and the disk
// they ask for, and every refusal and warning as a record. The tool, the page and the fuzzers read input only here,
// so the same settings give the same answers in every form.

#include "analysis/alignment_analysis.h"
#include "analysis/arm_match.h"
#include "geometry/alignment.h"
#include "geometry/result.h"
#include "print/page_model.h"
#include "print/page_scale.h"
#include "print/paper.h"
#include "print/printouts.h"
#include "print/strobe_speeds.h"
#include "settings/field_names.h"
#include "settings/setting_notice.h"
#include "speed/speed_report.h"

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The ranges the settings keep to, which the tool's help gives too. Beyond the resolutions the page either cannot be
// resolved or would take gigabytes to rasterise; beyond the bars a ring takes minutes to print and its bars are
// thinner than any printer's dot.
inline constexpr int MinimumDpi = 72;
inline constexpr int MaximumDpi = 2400;
inline constexpr int MaximumPngDpi = 1200;
inline constexpr double MaximumMarginMm = 50;
inline constexpr int MostBarsPerRing = 10000;

// Option name (without "--") to the text given; an option that is not in the map was not given.
using NamedSettings = std::map<std::string, std::string>;

enum class SettingsCommand { Values, Arc, Strobe, Analyse, Speed, Match };

std::string_view CommandName(SettingsCommand command);
// The command of a name ("values", "arc", "strobe", "analyse", "speed", "match"); nothing for another name.
std::optional<SettingsCommand> CommandNamed(std::string_view name);

// How an option is given on the command line: with a value, as a flag, or as a flag with an optional value.
enum class SettingForm { Value, Flag, OptionalValue };

// One setting: its option name, the commands that take it, the group and value name of the tool's help, the help
// text and the default text (empty when it has none or the default depends on the machine).
struct SettingRule {
    std::string_view Name;
    unsigned Commands;
    std::string_view Group;
    std::string_view ValueName;
    std::string_view Help;
    std::string_view Default;
    SettingForm Form = SettingForm::Value;
    // Another name the tool takes for the option ("colors"), or empty.
    std::string_view Alias = "";
};

// The rules of a command's settings, in the order the tool's help lists them.
std::vector<SettingRule> RulesOf(SettingsCommand command);
// The rule of a setting by its option name, whatever the command; nothing for an unknown name.
std::optional<SettingRule> RuleNamed(std::string_view name);

// The groove presets and the papers by name, for the page's buttons and lists.
struct NamedPaper {
    std::string_view Name;
    PaperSize Paper;
};
std::span<const NamedPaper> PaperNames();

// A value as it was read: the text given (or the default's), whether it was given, the number it reads as, the
// name a choice stands for, and the note on how it was read ("\"57,5\" reads as 57"; empty when read in full).
struct ReadSetting {
    std::string Name;
    std::string Text;
    bool Given = false;
    std::optional<double> Number;
    std::string Reading;
    std::string Note;
};

// The page the settings ask for: paper, printable-area margin, resolution, file format, file name and queue as
// given, and the colours on paper.
struct PageRequest {
    PaperSize Paper = PaperSize::Letter;
    double MarginMm = 4.23;
    int Dpi = 600;
    std::string Format = "pdf";
    std::optional<std::string> Output;
    std::optional<std::string> PrintQueue;
    PrintColourRecord Colours{0, 0, 0, 255, 255, 255};
    // The arc template: tiled by --tile, and the sheets it takes on the paper (1 when it fits).
    bool Tile = false;
    int Sheets = 1;
};

// What the speed command measures against: the tone the record carries (none: the standard tone nearest the one
// measured) and the record's speed.
struct SpeedRequest {
    std::optional<double> ToneHz;
    double Rpm = 100.0 / 3;
};

// The arm's height for a change of rake angle: the arm and the change given, and the change of pivot height.
struct RakeChange {
    double EffectiveLengthMm = 0;
    double ChangeDeg = 0;
    double PivotHeightChangeMm = 0;
};

struct SettingsReport {
    SettingsCommand Command = SettingsCommand::Values;
    std::vector<ReadSetting> Settings;
    std::vector<SettingNotice> Refusals;
    std::vector<SettingNotice> Warnings;
    // What the tool says besides warnings: a strobe ring's drift.
    std::vector<SettingNotice> Notes;
    // Computed from the lengths and the geometry (all commands; the strobe disk uses its correction factors).
    AlignedArm Alignment;
    // The printer correction factors: the scale of every printout.
    PrintCorrection Correction;
    std::optional<AlignmentAnalysis> Analysis;
    PageRequest Page;
    // The strobe disk, captions centred in 36 bytes (program text).
    std::optional<StrobeDiskLayout> Disk;
    // speed: what to measure against, then what the recording gave (filled by SetSpeedResult).
    std::optional<SpeedRequest> SpeedInput;
    std::optional<SpeedReport> Speed;
    // match: the resonance of the arm with the cartridge, and the pivot height for a rake change, each when asked.
    std::optional<ArmMatchInput> MatchInput;
    std::optional<ArmMatch> Match;
    std::optional<RakeChange> Rake;
    // analyse and speed: text, json or csv; values: text or json.
    std::string ReportFormat = "text";
    bool Strict = false;

    bool Refused() const { return !Refusals.empty(); }
    const ReadSetting* Find(std::string_view name) const;
};

// What the settings cannot know by themselves: the paper the machine or the browser is set to.
struct SettingsContext {
    PaperSize SystemPaper = PaperSize::Letter;
    // Record the pages to warn about marks that the paper would cut (arc and strobe).
    bool CheckPages = true;
    // Whose words the notices are in: the tool names an option ("--margin"), the page a field's label. The page
    // also gives its two null point fields as "inner-null" and "outer-null", each read and refused for itself.
    SettingsForm Form = SettingsForm::Tool;
};

SettingsReport ReadSettings(SettingsCommand command, const NamedSettings& settings, const SettingsContext& context);

// The page format a file name names by its extension (pdf, svg or png, in any case); none for any other name.
std::optional<std::string> PageFormatNamedBy(std::string_view path);

// The speed meter's answer taken into the report: its figures, notes and warnings, or its refusal (field "tone"
// where a --tone would help).
void SetSpeedResult(SettingsReport& report, const Result<SpeedReport>& measured);

// The report as JSON (UTF-8, keys documented in the manual and kept stable).
std::string ReportJson(const SettingsReport& report);

// The arc template of the report's arm, in its correction factors, with its title.
ArcTemplateJob ArcTemplateJobOf(const SettingsReport& report);

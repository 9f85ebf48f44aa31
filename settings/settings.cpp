#include "settings/settings.h"

#include "analysis/analysis_report.h"
#include "analysis/exact_alignment.h"
#include "geometry/alignment.h"
#include "geometry/groove_presets.h"
#include "geometry/numeric_text.h"
#include "geometry/windows_1252.h"
#include "print/arc_template.h"
#include "print/command_line_colours.h"
#include "print/printouts.h"
#include "settings/named_nulls.h"
#include "settings/null_points.h"
#include "settings/page_warnings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

// The ID as the template's title takes it.
constexpr std::size_t ArmIdLength = 40;

// The heaviest arms have an effective mass of about this; a figure beyond it is more likely the arm's weight. A rake
// change is a few degrees; near a right angle the pivot height grows without end.
constexpr double MostArmMassG = 50;
constexpr double MostRakeChangeDeg = 45;

struct Choice {
    std::string_view Name;
    std::string_view Means = "";
};

// A spelling of a choice reduced to what matters: ASCII lower case, hyphens for blanks and underscores, "o" for
// the UTF-8 "ö" and "Ö".
std::string ChoiceKey(std::string_view text) {
    std::string key;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == 0xC3 && i + 1 < text.size() && (text[i + 1] == '\xB6' || text[i + 1] == '\x96')) {
            key += 'o';
            ++i;
        } else if (c == ' ' || c == '_') {
            key += '-';
        } else {
            key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
    }
    return key;
}

} // namespace

std::optional<std::string> PageFormatNamedBy(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos && dot != 0) {
        const std::string key = ChoiceKey(name.substr(dot + 1));
        if (key == "pdf" || key == "svg" || key == "png") {
            return key;
        }
    }
    return std::nullopt;
}

namespace {

// "a, b or c"
std::string Listed(const std::vector<std::string_view>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += i == 0 ? "" : i + 1 == names.size() ? " or " : ", ";
        text += names[i];
    }
    return text;
}

bool IsControlCharacter(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// "U+001B"
std::string CodePointName(char32_t c) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string digits;
    for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4) {
        digits += Hex[(c >> shift) & 0xF];
    }
    return "U+" + digits;
}

// The text with each control character replaced by its name in angle brackets ("<U+001B>").
std::string ControlCharactersNamed(std::string_view text) {
    std::string named;
    for (std::size_t at = 0; at < text.size();) {
        const Utf8CodePoint c = Utf8CodePointAt(text, at);
        named += c.Valid && IsControlCharacter(c.Value) ? "<" + CodePointName(c.Value) + ">"
                                                        : std::string(text.substr(at, c.Length));
        at += c.Length;
    }
    return named;
}

class SettingsReader {
public:
    SettingsReader(SettingsCommand command, const NamedSettings& settings, const SettingsContext& context)
        : Given(settings), Context(context) {
        Report.Command = command;
        Rules = RulesOf(command);
    }

    SettingsReport Read() {
        RefuseUnknownNames();
        Report.Strict = Has("strict");
        switch (Report.Command) {
        case SettingsCommand::Values:
            ReadReportFormat({{"text"}, {"json"}});
            ReadAlignment();
            break;
        case SettingsCommand::Arc:
            ReadAlignment();
            ReadPage("arc-template");
            ReadSheets();
            if (!Report.Refused() && Context.CheckPages) {
                Append(ArcTemplateWarnings(SetupOf(Report.Page), ArcTemplateJobOf(Report)));
            }
            break;
        case SettingsCommand::Strobe:
            ReadStrobe();
            break;
        case SettingsCommand::Analyse:
            ReadReportFormat({{"text"}, {"json"}, {"csv"}});
            ReadAnalysis();
            break;
        case SettingsCommand::Speed:
            ReadReportFormat({{"text"}, {"json"}, {"csv"}});
            ReadSpeed();
            break;
        case SettingsCommand::Match:
            ReadReportFormat({{"text"}, {"json"}});
            ReadMatch();
            break;
        }
        // The messages quote what was typed, and go to a terminal or a page: a control character in them (a line
        // break, an escape sequence) is named instead, so that it cannot break the line or recolour the terminal.
        for (auto* notices : {&Report.Refusals, &Report.Warnings, &Report.Notes}) {
            for (SettingNotice& notice : *notices) {
                notice.Message = ControlCharactersNamed(notice.Message);
            }
        }
        return std::move(Report);
    }

private:
    const NamedSettings& Given;
    const SettingsContext& Context;
    std::vector<SettingRule> Rules;
    SettingsReport Report;
    bool Exact = false;
    std::optional<CustomNullPoints> Nulls;
    // A length or factor that holds no number: what follows from it would only be about a number nobody typed.
    bool UnreadNumber = false;

    bool Has(std::string_view name) const { return Given.find(std::string(name)) != Given.end(); }

    // A field as the form names it.
    std::string Named(std::string_view field) const { return FieldNameIn(Context.Form, field); }

    // A field's message in its form's words: "--dpi must be ..." where the reason reads on from the name, else
    // "--speeds: '0' is not ...".
    std::string OptionMessage(std::string_view field, std::string_view reason) const {
        const bool readsOn = reason.starts_with("must") || reason.starts_with("needs") || reason.starts_with("takes");
        return Named(field) + (readsOn ? " " : ": ") + std::string(reason);
    }

    // The page's null points come as two fields of their own.
    bool PageNulls() const { return Context.Form == SettingsForm::Page && (Has("inner-null") || Has("outer-null")); }
    bool NullsGiven() const { return Has("nulls") || PageNulls(); }

    std::optional<std::string> TextOf(std::string_view name) const {
        const auto found = Given.find(std::string(name));
        return found == Given.end() ? std::nullopt : std::optional<std::string>(found->second);
    }

    std::string DefaultOf(std::string_view name) const {
        for (const SettingRule& rule : Rules) {
            if (rule.Name == name) {
                return std::string(rule.Default);
            }
        }
        return {};
    }

    void Refuse(std::string code, std::string_view field, std::string message) {
        Report.Refusals.push_back({std::move(code), std::string(field), "error", std::move(message)});
    }

    void Warn(std::string code, std::string_view field, std::string message) {
        Report.Warnings.push_back({std::move(code), std::string(field), "warning", std::move(message)});
    }

    // Program-text warnings of the checks below the settings, as UTF-8 records.
    void Warn(const std::vector<std::string>& messages, std::string_view code, std::string_view field) {
        for (const std::string& message : messages) {
            Warn(std::string(code), field, Windows1252ToUtf8(message));
        }
    }

    // The checks below the settings word their messages in program text.
    void Append(const std::vector<SettingNotice>& warnings) {
        for (const SettingNotice& warning : warnings) {
            (warning.Severity == "note" ? Report.Notes : Report.Warnings)
                .push_back({warning.Code, warning.Field, warning.Severity, Windows1252ToUtf8(warning.Message)});
        }
    }

    ReadSetting& Record(std::string_view name, std::string text, bool given) {
        ReadSetting read;
        read.Name = std::string(name);
        read.Text = std::move(text);
        read.Given = given;
        Report.Settings.push_back(std::move(read));
        return Report.Settings.back();
    }

    void RefuseUnknownNames() {
        for (const auto& entry : Given) {
            const std::string& name = entry.first;
            const bool takesNulls =
                std::any_of(Rules.begin(), Rules.end(), [](const SettingRule& r) { return r.Name == "nulls"; });
            const bool pageNull =
                Context.Form == SettingsForm::Page && takesNulls && (name == "inner-null" || name == "outer-null");
            const bool known = pageNull || std::any_of(Rules.begin(), Rules.end(),
                                                       [&](const SettingRule& r) { return r.Name == name; });
            if (!known) {
                Refuse("unknown-option", name, "unknown option '--" + name + "'");
            }
        }
    }

    // The reading note of a value read with a decimal comma, which the tool says on the terminal too.
    void NoteDecimalComma(std::string_view name, const std::string& readsAs) {
        ReadSetting& read = Report.Settings.back();
        read.Note = "\"" + read.Text + "\" reads as " + readsAs + " (a decimal comma)";
        Report.Notes.push_back({"decimal-comma", std::string(name), "note", Named(name) + " " + read.Note});
    }

    // A number as the Windows program reads its fields, from the given text or the default, except that a decimal
    // comma is a decimal point; the note and a warning when the text does not read in full.
    // A count refuses its own misreadings in its own words (BarCount); every other number refuses a text that holds
    // none, or one too large to hold.
    enum class NumberUse { Measure, Count };

    std::optional<double> Number(std::string_view name, NumberUse use = NumberUse::Measure) {
        const std::optional<std::string> given = TextOf(name);
        const std::string text = given ? *given : DefaultOf(name);
        if (!given && text.empty()) {
            return std::nullopt;
        }
        ReadSetting& read = Record(name, text, given.has_value());
        const std::string typed = Utf8ToWindows1252(text);
        const std::optional<std::string> pointed = DecimalCommaAsPoint(typed);
        const std::string program = pointed.value_or(typed);
        std::size_t consumed = 0;
        read.Number = TextToNumber(program, consumed);
        // Read as 0, a text without a number would only meet a refusal about a length of 0 that nobody typed.
        if (consumed == 0 && use == NumberUse::Measure) {
            read.Number.reset();
            UnreadNumber = true;
            Refuse("not-a-number", name, OptionMessage(name, "must be a number, not '" + text + "'"));
            return std::nullopt;
        }
        if (!std::isfinite(*read.Number) && use == NumberUse::Measure) {
            read.Number.reset();
            UnreadNumber = true;
            Refuse("number-too-large", name,
                   OptionMessage(name, "must be a number of a size that can mean something, not '" + text +
                                           "', which is too large to hold"));
            return std::nullopt;
        }
        if (const std::optional<std::string> readsAs = PartlyReadNumber(program)) {
            read.Note = "\"" + text + "\" reads as " + *readsAs;
            Warn("partly-read", name, Named(name) + " " + read.Note);
        } else if (pointed) {
            NoteDecimalComma(name, ShortestText(*read.Number));
        }
        return read.Number;
    }

    // A speed as --speeds reads one (exact thirds, a decimal comma, "rpm" after it); a refusal for any other text.
    std::optional<double> Speed(std::string_view name) {
        const std::optional<std::string> given = TextOf(name);
        if (!given) {
            return std::nullopt;
        }
        Record(name, *given, true);
        const Result<PlatterSpeed> speed = ReadPlatterSpeed(*given);
        if (!speed) {
            Refuse("not-a-speed", name, OptionMessage(name, speed.Message()));
            return std::nullopt;
        }
        const double rpm = static_cast<double>(speed->Numerator) / static_cast<double>(speed->Denominator);
        Report.Settings.back().Number = rpm;
        if (given->find(',') != std::string::npos) {
            NoteDecimalComma(name, speed->Text + " rpm");
        }
        return rpm;
    }

    // A name out of a list, read without regard to case; nothing, with a refusal, for a name not in it.
    std::optional<std::string> ChoiceOf(std::string_view name, const std::vector<Choice>& choices,
                                        std::string_view fallback) {
        const std::optional<std::string> given = TextOf(name);
        const std::string text = given ? *given : std::string(fallback);
        if (!given && text.empty()) {
            return std::nullopt;
        }
        ReadSetting& read = Record(name, text, given.has_value());
        const std::string key = ChoiceKey(text);
        for (const Choice& choice : choices) {
            if (ChoiceKey(choice.Name) == key) {
                read.Reading = std::string(choice.Means.empty() ? choice.Name : choice.Means);
                return read.Reading;
            }
        }
        std::vector<std::string_view> shown;
        for (const Choice& choice : choices) {
            if (choice.Means.empty()) {
                shown.push_back(choice.Name);
            }
        }
        Refuse("not-a-choice", name, OptionMessage(name, "must be " + Listed(shown) + ", not '" + text + "'"));
        return std::nullopt;
    }

    void ReadReportFormat(const std::vector<Choice>& formats) {
        Report.ReportFormat = ChoiceOf("format", formats, "text").value_or("text");
    }

    // The window's fields: a preset, then the lengths (an explicit radius wins), the factors, the geometry, the ID.
    void ReadAlignment() {
        std::vector<Choice> presets;
        for (const GroovePreset& preset : GroovePresets) {
            presets.push_back({preset.Name});
        }
        const std::optional<std::string> preset = ChoiceOf("preset", presets, "");
        const auto presetText = [&](std::string_view name) -> std::optional<std::string> {
            for (const GroovePreset& entry : GroovePresets) {
                if (preset && entry.Name == *preset) {
                    return std::string(name == "inner-radius" ? entry.Inner : entry.Outer);
                }
            }
            return std::nullopt;
        };
        ArmInputs& arm = Report.Alignment.Inputs;
        arm.SpindleToPivot = Number("spindle-to-pivot").value_or(0);
        for (const std::string_view radius : {"inner-radius", "outer-radius"}) {
            double& field = radius == "inner-radius" ? arm.InnerGrooveRadius : arm.OuterGrooveRadius;
            if (!Has(radius) && presetText(radius)) {
                Record(radius, *presetText(radius), false).Number = TextToNumber(*presetText(radius));
                field = *Report.Settings.back().Number;
            } else {
                field = Number(radius).value_or(0);
            }
        }
        ReadCorrectionFactors();
        const std::string geometry = ChoiceOf("geometry",
                                              {{"lofgren-a"},
                                               {"lofgren-b"},
                                               {"stevenson-a"},
                                               {"uni-din"},
                                               {"baerwald", "lofgren-a"},
                                               {"unidin", "uni-din"}},
                                              "lofgren-a")
                                         .value_or("lofgren-a");
        arm.Choice = geometry == "lofgren-b"     ? Geometry::LofgrenB
                     : geometry == "stevenson-a" ? Geometry::StevensonA
                                                 : Geometry::LofgrenA;
        Exact = ReadExact();
        if (NullsGiven() && Has("geometry")) {
            Refuse("nulls-with-geometry", "nulls",
                   "give " + Named("geometry") + " or " + Named("nulls") + ", not both");
        }
        Nulls = ReadNulls(arm.SpindleToPivot);
        const bool named = !NullsGiven() && NamedNullsOf(geometry) != nullptr;
        if (named) {
            Nulls = ReadNamedNulls(*NamedNullsOf(geometry), arm);
        }
        if (Nulls) {
            arm.Choice = Geometry::CustomNulls;
            arm.Nulls = {Nulls->Inner, Nulls->Outer};
            if (Exact && Report.Command != SettingsCommand::Analyse) {
                Warn("exact-with-nulls", "exact",
                     Named("exact") + " has nothing to solve with " +
                         (named ? Named("geometry") + " " + geometry : Named("nulls")) +
                         ": the null points are used as given");
            }
        }
        ReadArmId();
        arm.Exact = Exact && !Nulls && !Report.Refused();
        const Result<Alignment> alignment = AlignmentOf(arm);
        if (!alignment) {
            // The closed form stays in the record of a refused setup, which nothing prints.
            arm.Exact = false;
            Refuse("no-exact-solution", "exact", Named("exact") + ": " + Windows1252ToUtf8(alignment.Message()));
        }
        Report.Alignment.Values = alignment.ValueOr(ComputeAlignment(arm));
        if (!UnreadNumber) {
            Append(AlignmentWarnings(arm));
            Append(CorrectionFactorWarnings(Report.Correction));
        }
    }

    // --exact is a switch: given without a value (or, from the page, as on or off).
    bool ReadExact() {
        const std::optional<std::string> given = TextOf("exact");
        if (!given) {
            return false;
        }
        ReadSetting& read = Record("exact", *given, true);
        const std::string key = ChoiceKey(*given);
        for (const std::string_view on : {"", "on", "true", "yes", "1"}) {
            if (key == on) {
                read.Reading = "on";
                return true;
            }
        }
        for (const std::string_view off : {"off", "false", "no", "0"}) {
            if (key == off) {
                read.Reading = "off";
                return false;
            }
        }
        Refuse("not-a-switch", "exact", Named("exact") + " takes no value, not '" + *given + "'");
        return false;
    }

    // The user's null points: two lengths, inside (0, d) and in order; a warning for one outside the grooves.
    std::optional<CustomNullPoints> ReadNulls(double spindleToPivot) {
        if (PageNulls()) {
            return ReadPageNulls(spindleToPivot);
        }
        const std::optional<std::string> given = TextOf("nulls");
        if (!given) {
            return std::nullopt;
        }
        Record("nulls", *given, true);
        const Result<NullPointsText> read = ReadNullPointsText(*given);
        if (!read) {
            Refuse("not-null-points", "nulls", OptionMessage("nulls", read.Message()));
            return std::nullopt;
        }
        const std::string readsAs = ShortestText(read->Inner) + " and " + ShortestText(read->Outer) + " mm";
        Report.Settings.back().Reading = readsAs;
        if (const Outcome fits = CheckCustomNulls(spindleToPivot, read->Inner, read->Outer); !fits) {
            Refuse("nulls-range", "nulls", OptionMessage("nulls", fits.Message() + ", not '" + *given + "'"));
            return std::nullopt;
        }
        if (read->DecimalComma) {
            NoteDecimalComma("nulls", readsAs);
        }
        const ArmInputs& record = Report.Alignment.Inputs;
        for (const double null : {read->Inner, read->Outer}) {
            if (null < record.InnerGrooveRadius || null > record.OuterGrooveRadius) {
                Warn("null-outside-grooves", "nulls",
                     "--nulls: the null point " + ShortestText(null) + " mm lies outside the grooves (" +
                         ShortestText(record.InnerGrooveRadius) + " to " + ShortestText(record.OuterGrooveRadius) +
                         " mm)");
            }
        }
        return CustomNullPoints{read->Inner, read->Outer};
    }

    static const NamedNullPoints* NamedNullsOf(std::string_view geometry) {
        for (const NamedNullPoints& named : NamedNulls) {
            if (named.Name == geometry) {
                return &named;
            }
        }
        return nullptr;
    }

    // Null points chosen by their name, judged as typed ones are: a distance too short for them is refused, and a
    // null point off the records' grooves (UNI-DIN's outer one on a single) is worth a warning.
    std::optional<CustomNullPoints> ReadNamedNulls(const NamedNullPoints& named, const ArmInputs& record) {
        const std::string name = Named("geometry") + " " + std::string(named.Name);
        if (const Outcome fits = CheckCustomNulls(record.SpindleToPivot, named.Inner, named.Outer); !fits) {
            Refuse("nulls-range", "geometry", name + ": " + fits.Message());
            return std::nullopt;
        }
        for (const double null : {named.Inner, named.Outer}) {
            if (null < record.InnerGrooveRadius || null > record.OuterGrooveRadius) {
                Warn("null-outside-grooves", "geometry",
                     name + ": the null point " + ShortestText(null) + " mm lies outside the grooves (" +
                         ShortestText(record.InnerGrooveRadius) + " to " + ShortestText(record.OuterGrooveRadius) +
                         " mm)");
            }
        }
        return CustomNullPoints{named.Inner, named.Outer};
    }

    // The page's two null point fields, each read, refused and warned of for itself and quoted as typed in it.
    std::optional<CustomNullPoints> ReadPageNulls(double spindleToPivot) {
        std::optional<NullPointsText> read[2];
        std::string texts[2];
        const std::string_view fields[2] = {"inner-null", "outer-null"};
        bool readBoth = true;
        for (const int i : {0, 1}) {
            texts[i] = TextOf(fields[i]).value_or("");
            Record(fields[i], texts[i], true);
            read[i] = ReadNullPointText(texts[i]);
            if (!read[i]) {
                Refuse("not-null-points", fields[i],
                       OptionMessage(fields[i], "must be a length in mm (66.0 or 66,0), not '" + texts[i] + "'"));
                readBoth = false;
            } else {
                Report.Settings.back().Number = read[i]->Inner;
            }
        }
        if (!readBoth) {
            return std::nullopt;
        }
        const double inner = read[0]->Inner;
        const double outer = read[1]->Inner;
        if (const Outcome fits = CheckCustomNulls(spindleToPivot, inner, outer); !fits) {
            const bool innerInside = inner > 0 && inner < spindleToPivot;
            const bool outerInside = outer > 0 && outer < spindleToPivot;
            const int wrong = !innerInside ? 0 : 1;
            const std::string reason = innerInside && outerInside
                                           ? (inner < outer ? fits.Message()
                                                            : "must be larger than the " + Named("inner-null") + " (" +
                                                                  ShortestText(inner) + " mm)")
                                           : fits.Message();
            Refuse("nulls-range", fields[wrong], OptionMessage(fields[wrong], reason + ", not '" + texts[wrong] + "'"));
            return std::nullopt;
        }
        const ArmInputs& record = Report.Alignment.Inputs;
        for (const int i : {0, 1}) {
            const double null = read[i]->Inner;
            if (read[i]->DecimalComma) {
                ReadSetting& setting = *FindSetting(fields[i]);
                setting.Note = "\"" + texts[i] + "\" reads as " + ShortestText(null) + " (a decimal comma)";
                Report.Notes.push_back(
                    {"decimal-comma", std::string(fields[i]), "note", Named(fields[i]) + " " + setting.Note});
            }
            if (null < record.InnerGrooveRadius || null > record.OuterGrooveRadius) {
                Warn("null-outside-grooves", fields[i],
                     Named(fields[i]) + ": " + ShortestText(null) + " mm lies outside the grooves (" +
                         ShortestText(record.InnerGrooveRadius) + " to " + ShortestText(record.OuterGrooveRadius) +
                         " mm)");
            }
        }
        return CustomNullPoints{inner, outer};
    }

    ReadSetting* FindSetting(std::string_view name) {
        for (ReadSetting& setting : Report.Settings) {
            if (setting.Name == name) {
                return &setting;
            }
        }
        return nullptr;
    }

    // The ID as the template prints it: a control character would reach the terminal as it is (a line break adds a
    // line to the ten, an escape sequence recolours it), so it is refused; a character the page's Windows-1252
    // lettering lacks prints as "?", and the title has room for 40 characters, which the tool says.
    void ReadArmId() {
        const std::optional<std::string> given = TextOf("id");
        const std::string id = given.value_or("");
        Record("id", id, given.has_value());
        std::vector<std::string> unprintable;
        std::size_t characters = 0;
        for (std::size_t at = 0; at < id.size(); ++characters) {
            const Utf8CodePoint c = Utf8CodePointAt(id, at);
            const std::string_view bytes = std::string_view(id).substr(at, c.Length);
            at += c.Length;
            if (c.Valid && IsControlCharacter(c.Value)) {
                Refuse("id-control-character", "id",
                       Named("id") +
                           " cannot hold control characters such as line breaks, tabs or escapes; character " +
                           std::to_string(characters + 1) + " is " + CodePointName(c.Value));
                return;
            }
            const std::string shown =
                c.Valid ? "'" + std::string(bytes) + "'" : "the byte 0x" + CodePointName(c.Value).substr(4);
            if ((!c.Valid || Utf8ToWindows1252(bytes) == "?") && c.Value != '?' &&
                std::find(unprintable.begin(), unprintable.end(), shown) == unprintable.end()) {
                unprintable.push_back(shown);
            }
        }
        const std::string program = Utf8ToWindows1252(id);
        Report.Alignment.Inputs.Id = FixedLengthText(program, ArmIdLength);
        if (!unprintable.empty()) {
            std::string names;
            for (std::size_t i = 0; i < unprintable.size(); ++i) {
                names += (i == 0 ? "" : i + 1 == unprintable.size() ? " and " : ", ") + unprintable[i];
            }
            Warn("id-unprintable", "id",
                 Named("id") + ": the page prints " + names +
                     " as ?, since its lettering (Windows-1252) has no such character");
        }
        if (program.size() > ArmIdLength) {
            Warn("id-cut", "id",
                 Named("id") + " has " + std::to_string(program.size()) + " characters and the title only room for " +
                     std::to_string(ArmIdLength) + ": it shows '" + Windows1252ToUtf8(program.substr(0, ArmIdLength)) +
                     "'");
        }
    }

    void ReadCorrectionFactors() {
        Report.Correction.X = Number("correction-x").value_or(1);
        Report.Correction.Y = Number("correction-y").value_or(1);
    }

    void ReadPage(std::string_view defaultName) {
        PageRequest& page = Report.Page;
        std::vector<Choice> papers;
        for (const NamedPaper& paper : PaperNames()) {
            papers.push_back({paper.Name});
        }
        std::string systemPaper = "letter";
        for (const NamedPaper& named : PaperNames()) {
            if (named.Paper == Context.SystemPaper) {
                systemPaper = named.Name;
            }
        }
        const std::string paper = ChoiceOf("paper", papers, systemPaper).value_or(systemPaper);
        for (const NamedPaper& named : PaperNames()) {
            if (named.Name == paper) {
                page.Paper = named.Paper;
            }
        }
        page.Output = TextOf("output");
        if (page.Output) {
            Record("output", *page.Output, true);
        }
        page.PrintQueue = TextOf("print");
        if (page.Output && page.Output->empty()) {
            Refuse("output-empty", "output", Named("output") + " needs a file name");
        }
        // The name the file is written under outranks the option: a page.png that holds a PDF misleads every
        // program that opens it.
        const std::optional<std::string> named = page.Output ? PageFormatNamedBy(*page.Output) : std::nullopt;
        std::optional<std::string> format;
        if (Report.Command != SettingsCommand::Analyse) {
            format = ChoiceOf("format", {{"pdf"}, {"svg"}, {"png"}}, "");
            if (format && named && *format != *named) {
                Refuse("format-conflict", "format",
                       "--format " + *format + " does not match the file name " + *page.Output +
                           ": rename the file or leave out --format");
            }
        }
        page.Format = named ? *named : format.value_or("pdf");
        if (!page.Output && Report.Command != SettingsCommand::Analyse) {
            page.Output = std::string(defaultName) + "." + page.Format;
            Report.Settings.push_back({"output", *page.Output, false, std::nullopt, "", ""});
        }
        ReadDpi();
        ReadMargin();
        const std::optional<std::string> colours = TextOf("colours");
        Record("colours", colours.value_or(""), colours.has_value());
        const std::string program = Utf8ToWindows1252(colours.value_or(""));
        page.Colours = ColoursFromCommandText(TrimBlanks(program));
        if (colours) {
            Append(ColourWarnings(program));
        }
    }

    // How many sheets the template takes; a page file that holds one page cannot take several on standard output.
    void ReadSheets() {
        PageRequest& page = Report.Page;
        page.Tile = Has("tile");
        if (Report.Refused()) {
            return;
        }
        page.Sheets = ArcSheetCount(SetupOf(page), ArcTemplateJobOf(Report));
        if (page.Sheets > 1 && page.Format != "pdf" && page.Output && *page.Output == "-") {
            Refuse("sheets-to-standard-output", "output",
                   "--output - takes one page, and the template takes " + std::to_string(page.Sheets) + " sheets of " +
                       std::string(PaperNameOf(page.Paper)) + " as " + page.Format +
                       ": write pdf to standard output, or name a file (one file per sheet, numbered)");
        }
    }

    void ReadDpi() {
        const std::optional<std::string> given = TextOf("dpi");
        const std::string text = given.value_or(DefaultOf("dpi"));
        ReadSetting& read = Record("dpi", text, given.has_value());
        long long dpi = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), dpi);
        if (text.empty() || error != std::errc() || end != text.data() + text.size() || dpi < MinimumDpi ||
            dpi > MaximumDpi) {
            Refuse("dpi-range", "dpi",
                   OptionMessage("dpi", "must be a whole number from " + std::to_string(MinimumDpi) + " to " +
                                            std::to_string(MaximumDpi) + ", not '" + text + "'"));
            return;
        }
        read.Number = static_cast<double>(dpi);
        Report.Page.Dpi = static_cast<int>(dpi);
        if (Report.Page.Format == "png" && dpi > MaximumPngDpi) {
            Refuse("dpi-range", "dpi",
                   OptionMessage("dpi", "must be from " + std::to_string(MinimumDpi) + " to " +
                                            std::to_string(MaximumPngDpi) + " for png, not '" + text + "'"));
        }
    }

    void ReadMargin() {
        const std::optional<std::string> given = TextOf("margin");
        const std::string text = given.value_or(DefaultOf("margin"));
        Record("margin", text, given.has_value());
        const std::optional<std::string> pointed = DecimalCommaAsPoint(text);
        const std::string number = pointed.value_or(text);
        // A plain decimal number: no blanks, sign or hexadecimal, which strtod would take too (the browser's
        // library has no floating-point from_chars).
        const bool plain = !number.empty() && number.find_first_of(" \t\n+xXpP") == std::string::npos;
        char* end = nullptr;
        const double margin = plain ? std::strtod(number.c_str(), &end) : 0;
        if (!plain || end != number.c_str() + number.size() || !(margin >= 0 && margin <= MaximumMarginMm)) {
            Refuse("margin-range", "margin",
                   OptionMessage("margin", "must be a number from 0 to " + ShortestText(MaximumMarginMm) +
                                               " mm, not '" + text + "'"));
            return;
        }
        Report.Settings.back().Number = margin;
        Report.Page.MarginMm = margin;
        if (pointed) {
            NoteDecimalComma("margin", ShortestText(margin));
        }
    }

    // A ring's count: a whole number of bars read in full, where the custom strobe dialog would round it or read
    // text that is no number as 0 (an empty ring). Judged against the limit before the 32-bit conversion, which
    // would turn a huge count into a negative one.
    std::int32_t BarCount(std::string_view name) {
        const double count = Number(name, NumberUse::Count).value_or(0);
        const ReadSetting& read = Report.Settings.back();
        const bool readInFull =
            std::none_of(Report.Warnings.begin(), Report.Warnings.end(),
                         [&](const SettingNotice& w) { return w.Code == "partly-read" && w.Field == name; });
        if (readInFull && count > MostBarsPerRing) {
            Refuse("too-many-bars", name,
                   OptionMessage(name, "must be " + std::to_string(MostBarsPerRing) + " bars or less, not '" +
                                           read.Text + "'"));
            return 0;
        }
        // A count that reads as 0 from digits that are not all 0 is a fraction too small for a double or a pattern
        // too long for 64 bits, not the empty ring it would draw.
        const bool lostDigits = count == 0 && read.Text.find_first_of("123456789") != std::string::npos;
        if (!readInFull || lostDigits || !(count >= 0 && count <= MostBarsPerRing) || count != std::floor(count)) {
            // The refusal says what the notes on its reading would.
            for (auto* notices : {&Report.Warnings, &Report.Notes}) {
                std::erase_if(*notices, [&](const SettingNotice& n) { return n.Field == name; });
            }
            Refuse("not-a-count", name,
                   OptionMessage(name, "must be a whole number of bars from 0 (no ring) to " +
                                           std::to_string(MostBarsPerRing) + ", not '" + read.Text + "'"));
            return 0;
        }
        return static_cast<std::int32_t>(count);
    }

    void ReadStrobe() {
        ReadCorrectionFactors();
        Append(CorrectionFactorWarnings(Report.Correction));
        const bool speeds = Has("speeds");
        const bool counts = Has("outer-bars") || Has("inner-bars");
        for (const std::string_view count : {"outer-bars", "inner-bars"}) {
            if (speeds && Has(count)) {
                Refuse("excluded", count, Named("speeds") + " excludes " + Named(count));
            }
        }
        if (counts && Has("mains") && !speeds) {
            Refuse("mains-with-counts", "mains",
                   Named("mains") + " cannot be combined with a custom disk's counts (use " + Named("speeds") +
                       " with " + Named("mains") + ")");
        }
        const int mains =
            ChoiceOf("mains", {{"60"}, {"50"}, {"60hz", "60"}, {"50hz", "50"}, {"60 hz", "60"}, {"50 hz", "50"}},
                     "60") == "50"
                ? 50
                : 60;
        StrobeDiskLayout disk;
        std::string name = mains == 50 ? "strobe-50hz" : "strobe-60hz";
        if (speeds) {
            const std::string text = *TextOf("speeds");
            Record("speeds", text, true);
            const Result<PlatterSpeedList> read = ReadPlatterSpeeds(text);
            if (!read) {
                Refuse("not-a-speed", "speeds", OptionMessage("speeds", read.Message()));
            } else {
                disk = StrobeDiskForSpeeds(read->Speeds, mains);
                if (read->DecimalComma) {
                    std::string readsAs;
                    for (std::size_t i = 0; i < read->Speeds.size(); ++i) {
                        readsAs += (i == 0 ? "" : " and ") + read->Speeds[i].Text;
                    }
                    NoteDecimalComma("speeds", readsAs + " rpm");
                }
            }
            name = "strobe-custom";
        } else if (counts && !Report.Refused()) {
            const std::int32_t outer = BarCount("outer-bars");
            const std::int32_t inner = BarCount("inner-bars");
            disk = StrobeDiskForCounts(outer, inner);
            name = "strobe-custom";
        } else {
            disk =
                mains == 50 ? StrobeDiskLayout{180, 133, "", "", {}, {}} : StrobeDiskLayout{216, 160, "", "", {}, {}};
        }
        bool captionGiven[2] = {false, false};
        for (const int line : {0, 1}) {
            const std::string option = line == 0 ? "caption1" : "caption2";
            if (const std::optional<std::string> caption = TextOf(option)) {
                Record(option, *caption, true);
                (line == 0 ? disk.Caption1 : disk.Caption2) = Utf8ToWindows1252(*caption);
                captionGiven[line] = true;
            }
        }
        disk.Caption1 = CentreCaption(disk.Caption1);
        disk.Caption2 = CentreCaption(disk.Caption2);
        ReadPage(name);
        if (!Report.Refused() && Context.CheckPages) {
            Append(StrobeDiskWarnings(SetupOf(Report.Page), Report.Correction, disk, captionGiven[0], captionGiven[1]));
        }
        for (const std::string& drift : disk.DriftReports) {
            Report.Notes.push_back({"drift", "speeds", "note", Windows1252ToUtf8(drift)});
        }
        Report.Disk = std::move(disk);
    }

    void ReadAnalysis() {
        const bool length = Has("effective-length");
        const bool overhang = Has("overhang");
        if (length && overhang) {
            Refuse("arm-length-twice", "overhang",
                   "give " + Named("effective-length") + " or " + Named("overhang") + ", not both");
        } else if ((length || overhang) != Has("offset-angle")) {
            Refuse("arm-incomplete", "offset-angle",
                   length || overhang
                       ? "your arm needs " + Named("offset-angle") + " too"
                       : Named("offset-angle") + " needs " + Named("effective-length") + " or " + Named("overhang"));
        }
        ReadAlignment();
        AnalysisInputs inputs = AnalysisInputsOf(Report.Alignment.Inputs);
        inputs.CorrectionFactorX = Report.Correction.X;
        inputs.CorrectionFactorY = Report.Correction.Y;
        inputs.Nulls = Nulls;
        inputs.Exact = Exact;
        const Geometry choice = Report.Alignment.Inputs.Choice;
        inputs.Target = choice == Geometry::CustomNulls  ? AnalysedArm::Custom
                        : choice == Geometry::LofgrenB   ? AnalysedArm::LofgrenB
                        : choice == Geometry::StevensonA ? AnalysedArm::StevensonA
                                                         : AnalysedArm::LofgrenA;
        inputs.Rpm = Speed("rpm").value_or(DefaultRpm);
        inputs.Velocity = Number("velocity").value_or(DefaultVelocity);
        if (Report.Refused()) {
            return;
        }
        if (length || overhang) {
            const std::optional<double> givenLength = Number("effective-length");
            const std::optional<double> givenOverhang = Number("overhang");
            const double angle = Number("offset-angle").value_or(0);
            // The sum as the alignment forms it, so that an overhang gives the very length it stands for.
            inputs.Arm = UserArmInput{
                givenLength ? *givenLength
                            : static_cast<double>(static_cast<long double>(inputs.SpindleToPivot) + *givenOverhang),
                angle};
            CheckArm(*inputs.Arm, inputs.SpindleToPivot);
            if (!Has("spindle-to-pivot")) {
                Report.Notes.push_back({"assumed-spindle-to-pivot", "spindle-to-pivot", "note",
                                        "your arm is taken to be mounted " + DefaultOf("spindle-to-pivot") +
                                            " mm from the spindle: give " + Named("spindle-to-pivot") +
                                            " if it is not"});
            }
        }
        if (Report.Refused()) {
            return;
        }
        if (const Outcome accepted = CheckAnalysisInputs(inputs); !accepted) {
            Refuse("cannot-analyse", "", Windows1252ToUtf8(accepted.Message()));
            return;
        }
        ReadPage("analysis");
        if (Report.Refused()) {
            return;
        }
        Result<AlignmentAnalysis> analysis = AnalyseAlignment(inputs);
        if (!analysis) {
            // A geometry across the grooves comes of the distance (or the radii); the user's arm of its own options.
            const std::optional<AnalysedArm> across = ArmAcrossTheGrooves(inputs);
            const std::string_view field = across == AnalysedArm::Custom    ? "nulls"
                                           : across != AnalysedArm::UserArm ? "spindle-to-pivot"
                                           : length                         ? "effective-length"
                                                                            : "overhang";
            Refuse("arm-cannot-play", field, Windows1252ToUtf8(analysis.Message()));
            return;
        }
        Report.Analysis = std::move(analysis).Value();
        Warn(AnalysisWarnings(*Report.Analysis), "analysis", "");
        // The page's own warnings come after the analysis's, as the chart is made after the figures.
        std::stable_partition(Report.Warnings.begin(), Report.Warnings.end(),
                              [](const SettingNotice& w) { return !w.Code.starts_with("colours-"); });
    }

    // The speed command's settings: the tone and speed to measure against, and the chart's file. The chart keeps
    // the page's defaults (the system's paper, 600 dpi, the usual margin), which the command has no options for.
    void ReadSpeed() {
        SpeedRequest request;
        if (const std::optional<std::string> tone = TextOf("tone")) {
            Record("tone", *tone, true);
            const std::optional<std::string> pointed = DecimalCommaAsPoint(*tone);
            const std::string number = pointed.value_or(*tone);
            const bool plain = !number.empty() && number.find_first_of(" \t\n+xXpP") == std::string::npos;
            char* end = nullptr;
            const double hz = plain ? std::strtod(number.c_str(), &end) : 0;
            if (!plain || end != number.c_str() + number.size() || !(hz >= 300 && hz <= 10000)) {
                Refuse("tone-range", "tone",
                       OptionMessage("tone", "must be a frequency from 300 to 10000 Hz, not '" + *tone + "'"));
            } else {
                Report.Settings.back().Number = hz;
                request.ToneHz = hz;
                if (pointed) {
                    NoteDecimalComma("tone", ShortestText(hz) + " Hz");
                }
            }
        }
        request.Rpm = Speed("rpm").value_or(DefaultRpm);
        Report.SpeedInput = request;
        PageRequest& page = Report.Page;
        page.Paper = Context.SystemPaper;
        page.Output = TextOf("output");
        if (page.Output) {
            Record("output", *page.Output, true);
            if (page.Output->empty()) {
                Refuse("output-empty", "output", "--output needs a file name");
            }
            page.Format = PageFormatNamedBy(*page.Output).value_or("pdf");
        }
    }

    // A length, mass or compliance of the match: a number above 0 (or 0 itself where it may be).
    std::optional<double> MatchNumber(std::string_view name, std::string_view unit, bool zeroTakes = false) {
        const std::optional<double> number = Number(name);
        if (!number) {
            return std::nullopt;
        }
        if (!(zeroTakes ? *number >= 0 : *number > 0)) {
            Refuse("match-range", name,
                   OptionMessage(name, std::string(zeroTakes ? "must be 0 " : "must be more than 0 ") +
                                           std::string(unit) + (zeroTakes ? " or more" : "") + ", not '" +
                                           Find(name)->Text + "'"));
            return std::nullopt;
        }
        return number;
    }

    // The arm and the cartridge: their resonance when the masses and the compliance are given, the pivot height
    // when a rake change is; the arm's length alone asks nothing, since the page holds it for the analysis too.
    void ReadMatch() {
        const std::vector<std::string_view> needed = {"effective-mass", "cartridge-mass", "compliance"};
        const bool resonance = std::any_of(needed.begin(), needed.end(), [&](std::string_view n) { return Has(n); });
        const bool rake = Has("rake-change");
        if (!resonance && !rake) {
            Refuse("match-nothing", "",
                   "give " + Named("effective-mass") + ", " + Named("cartridge-mass") + " and " + Named("compliance") +
                       " for the resonance, or " + Named("rake-change") + " and " + Named("effective-length") +
                       " for the arm's height");
        }
        for (const std::string_view name : needed) {
            if (resonance && !Has(name)) {
                Refuse("match-incomplete", name, "the resonance needs " + Named(name) + " too");
            }
        }
        if (rake && !Has("effective-length")) {
            Refuse("match-incomplete", "effective-length",
                   Named("rake-change") + " needs " + Named("effective-length") + " too");
        }
        ArmMatchInput input;
        input.EffectiveMassG = MatchNumber("effective-mass", "g").value_or(0);
        input.CartridgeMassG = MatchNumber("cartridge-mass", "g").value_or(0);
        input.ExtraMassG = MatchNumber("extra-mass", "g", true).value_or(0);
        input.ComplianceCu = MatchNumber("compliance", "\xC2\xB5m/mN").value_or(0);
        input.ComplianceAtHz =
            ChoiceOf("compliance-at",
                     {{"10"}, {"100"}, {"10hz", "10"}, {"100hz", "100"}, {"10-hz", "10"}, {"100-hz", "100"}},
                     "10") == "100"
                ? 100
                : 10;
        if (const ReadSetting* mass = Find("effective-mass"); mass && mass->Number && *mass->Number > MostArmMassG) {
            Warn("arm-mass-large", "effective-mass",
                 Named("effective-mass") + ": " + ShortestText(*mass->Number) +
                     " g is more than the heaviest arms' effective mass (about " + ShortestText(MostArmMassG) +
                     " g), which is not the arm's weight");
        }
        const std::optional<double> length = MatchNumber("effective-length", "mm");
        const std::optional<double> change = Number("rake-change");
        if (change && !(std::fabs(*change) < MostRakeChangeDeg)) {
            Refuse("rake-change-range", "rake-change",
                   OptionMessage("rake-change", "must lie between -" + ShortestText(MostRakeChangeDeg) + " and " +
                                                    ShortestText(MostRakeChangeDeg) + " degrees, not '" +
                                                    Find("rake-change")->Text + "'"));
        }
        if (Report.Refused()) {
            return;
        }
        if (resonance) {
            Report.MatchInput = input;
            Report.Match = MatchArm(input);
        }
        if (rake) {
            Report.Rake = RakeChange{*length, *change, PivotHeightChangeMm(*length, *change)};
        }
    }

    // The arm's own options refused in their own words: an overhang that leaves no arm is the overhang's fault.
    void CheckArm(const UserArmInput& arm, double spindleToPivot) {
        const bool overhang = !Has("effective-length");
        const std::string option = overhang ? "overhang" : "effective-length";
        const std::string text = Find(option)->Text;
        // A distance that is no distance is refused for itself below; an endless length as too long.
        const bool distance = std::isfinite(spindleToPivot) && spindleToPivot > 0;
        if (!(arm.EffectiveLength > 0) && (distance || !overhang)) {
            const std::string least = overhang ? ShortestText(-spindleToPivot) : "0";
            Refuse("arm-length-range", option,
                   OptionMessage(option, "must be more than " + least + " mm" +
                                             (overhang ? " (the spindle to pivot distance plus the overhang is the "
                                                         "arm's effective length)"
                                                       : "") +
                                             ", not '" + text + "'"));
        }
        if (!std::isfinite(arm.OffsetAngle) || std::fabs(arm.OffsetAngle) >= 90) {
            Refuse("offset-angle-range", "offset-angle",
                   OptionMessage("offset-angle",
                                 "must lie between -90 and 90 degrees, not '" + Find("offset-angle")->Text + "'"));
        }
    }

    const ReadSetting* Find(std::string_view name) const { return Report.Find(name); }

    static PageSetup SetupOf(const PageRequest& page) { return {page.Paper, page.MarginMm, page.Dpi, page.Tile}; }
};

} // namespace

const ReadSetting* SettingsReport::Find(std::string_view name) const {
    for (const ReadSetting& setting : Settings) {
        if (setting.Name == name) {
            return &setting;
        }
    }
    return nullptr;
}

SettingsReport ReadSettings(SettingsCommand command, const NamedSettings& settings, const SettingsContext& context) {
    return SettingsReader(command, settings, context).Read();
}

void SetSpeedResult(SettingsReport& report, const Result<SpeedReport>& measured) {
    if (!measured) {
        const bool tone = measured.Message().find("--tone") != std::string::npos;
        report.Refusals.push_back({"cannot-measure", tone ? "tone" : "", "error", measured.Message()});
        return;
    }
    report.Speed = *measured;
    for (const std::string& note : measured->Notes) {
        const bool tone = note.starts_with("the tone of");
        report.Notes.push_back({tone ? "nominal-tone" : "bridged", tone ? "tone" : "", "note", note});
    }
    for (const std::string& warning : measured->Warnings) {
        report.Warnings.push_back({"clipped", "", "warning", warning});
    }
}

ArcTemplateJob ArcTemplateJobOf(const SettingsReport& report) {
    return {report.Alignment, report.Correction, ArcTemplateTitle(report.Alignment.Inputs)};
}

#include "geometry/confirmation_text.h"
#include "geometry/windows_1252.h"
#include "settings/default_paper.h"
#include "settings/field_names.h"
#include "settings/page_printouts.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

SettingsReport Read(SettingsCommand command, const NamedSettings& settings, SettingsForm form) {
    SettingsContext context{PaperSize::A4, false};
    context.Form = form;
    return ReadSettings(command, settings, context);
}

std::vector<SettingNotice> NoticesOf(const SettingsReport& report) {
    std::vector<SettingNotice> all = report.Refusals;
    all.insert(all.end(), report.Warnings.begin(), report.Warnings.end());
    all.insert(all.end(), report.Notes.begin(), report.Notes.end());
    return all;
}

struct PaperCase {
    std::string Region;
    PaperSize Paper;
    std::string Name;
};

// The regions either side of the line: the Latin American Letter countries the page once gave A4, their A4
// neighbours, case and texts that name no region.
TEST(DefaultPaper, EachRegionPrintsOnItsCommonPaper) {
    const PaperCase cases[] = {
        {"US", PaperSize::Letter, "letter"}, {"CL", PaperSize::Letter, "letter"}, {"cl", PaperSize::Letter, "letter"},
        {"PR", PaperSize::Letter, "letter"}, {"VE", PaperSize::Letter, "letter"}, {"BO", PaperSize::Letter, "letter"},
        {"AR", PaperSize::A4, "a4"},         {"PE", PaperSize::A4, "a4"},         {"ES", PaperSize::A4, "a4"},
        {"GB", PaperSize::A4, "a4"},         {"", PaperSize::A4, "a4"},           {"419", PaperSize::A4, "a4"},
        {"USA", PaperSize::A4, "a4"},        {"U", PaperSize::A4, "a4"},
    };
    for (const PaperCase& c : cases) {
        EXPECT_EQ(DefaultPaperForRegion(c.Region), c.Paper) << c.Region;
        EXPECT_EQ(DefaultPaperNameForRegion(c.Region), c.Name) << c.Region;
    }
    EXPECT_EQ(LetterRegions().size(), 14U);
    for (const std::string_view region : LetterRegions()) {
        EXPECT_EQ(DefaultPaperForRegion(region), PaperSize::Letter) << region;
    }
}

struct WordingCase {
    SettingsCommand Command;
    NamedSettings Settings;
    std::string Code;
    std::string Field;
    std::string Tool;
    std::string Page;
};

// The same notice, composed in each form's words: the tool names the option, the page the field's label, and both
// quote what was typed.
TEST(PageForm, NoticesNameTheFieldInEachFormsWords) {
    const std::string id(53, 'x');
    const WordingCase cases[] = {
        {SettingsCommand::Arc,
         {{"margin", "80"}},
         "margin-range",
         "margin",
         "--margin must be a number from 0 to 50 mm, not '80'",
         "Printer margin must be a number from 0 to 50 mm, not '80'"},
        {SettingsCommand::Values,
         {{"id", id}},
         "id-cut",
         "id",
         "--id has 53 characters and the title only room for 40: it shows '" + id.substr(0, 40) + "'",
         "Arm or turntable ID has 53 characters and the title only room for 40: it shows '" + id.substr(0, 40) + "'"},
        {SettingsCommand::Values,
         {{"inner-radius", "57,5"}},
         "decimal-comma",
         "inner-radius",
         "--inner-radius \"57,5\" reads as 57.5 (a decimal comma)",
         "Inner groove radius \"57,5\" reads as 57.5 (a decimal comma)"},
        {SettingsCommand::Strobe, {{"speeds", "0"}}, "not-a-speed", "speeds", "", "Speeds: "},
        {SettingsCommand::Analyse,
         {{"effective-length", "239"}},
         "arm-incomplete",
         "offset-angle",
         "your arm needs --offset-angle too",
         "your arm needs Offset angle too"},
        {SettingsCommand::Strobe,
         {{"outer-bars", "1"}, {"mains", "50"}},
         "mains-with-counts",
         "mains",
         "--mains cannot be combined with a custom disk's counts (use --speeds with --mains)",
         "Mains frequency cannot be combined with a custom disk's counts (use Speeds with Mains frequency)"},
    };
    for (const WordingCase& c : cases) {
        for (const SettingsForm form : {SettingsForm::Tool, SettingsForm::Page}) {
            const std::vector<SettingNotice> notices = NoticesOf(Read(c.Command, c.Settings, form));
            const auto found =
                std::find_if(notices.begin(), notices.end(), [&](const SettingNotice& n) { return n.Code == c.Code; });
            ASSERT_NE(found, notices.end()) << c.Code;
            EXPECT_EQ(found->Field, c.Field) << c.Code;
            const std::string& wanted = form == SettingsForm::Tool ? c.Tool : c.Page;
            if (c.Code == "not-a-speed") {
                // The reason is the speed reader's; only the naming differs.
                EXPECT_EQ(found->Message.starts_with("--speeds: "), form == SettingsForm::Tool) << found->Message;
                EXPECT_EQ(found->Message.starts_with(wanted), form == SettingsForm::Page || wanted.empty())
                    << found->Message;
            } else {
                EXPECT_EQ(found->Message, wanted);
            }
            if (form == SettingsForm::Page) {
                EXPECT_EQ(found->Message.find("--"), std::string::npos) << found->Message;
            }
        }
    }
}

struct NullFieldCase {
    NamedSettings Settings;
    std::vector<std::string> Fields;
    std::vector<std::string> Messages;
};

// The page's two null point fields are read one by one: a refusal names the one that is wrong and quotes what was
// typed in it, never a text joined from both.
TEST(PageForm, EachNullPointFieldIsRefusedForItself) {
    const NullFieldCase cases[] = {
        {{{"inner-null", "66,5,120"}, {"outer-null", ""}},
         {"inner-null", "outer-null"},
         {"Inner null point must be a length in mm (66.0 or 66,0), not '66,5,120'",
          "Outer null point must be a length in mm (66.0 or 66,0), not ''"}},
        {{{"inner-null", "66"}, {"outer-null", "abc"}},
         {"outer-null"},
         {"Outer null point must be a length in mm (66.0 or 66,0), not 'abc'"}},
        {{{"inner-null", "66"}, {"outer-null", "50"}},
         {"outer-null"},
         {"Outer null point must be larger than the Inner null point (66 mm), not '50'"}},
        {{{"inner-null", "300"}, {"outer-null", "120.9"}},
         {"inner-null"},
         {"Inner null point must lie between 0 and the spindle to pivot distance (209 mm), not '300'"}},
        {{{"inner-null", "66"}, {"outer-null", "209"}},
         {"outer-null"},
         {"Outer null point must lie between 0 and the spindle to pivot distance (209 mm), not '209'"}},
    };
    for (const NullFieldCase& c : cases) {
        const SettingsReport report = Read(SettingsCommand::Values, c.Settings, SettingsForm::Page);
        std::vector<std::string> fields;
        std::vector<std::string> messages;
        for (const SettingNotice& refusal : report.Refusals) {
            fields.push_back(refusal.Field);
            messages.push_back(refusal.Message);
        }
        EXPECT_EQ(fields, c.Fields) << messages.front();
        EXPECT_EQ(messages, c.Messages);
    }
}

// Two fields read as the tool reads --nulls: the same arm, the reading note on the field with the comma, and the
// tool itself takes no such settings.
TEST(PageForm, TwoNullFieldsGiveTheToolsArm) {
    const SettingsReport tool = Read(SettingsCommand::Values, {{"nulls", "66;120,9"}}, SettingsForm::Tool);
    const SettingsReport page =
        Read(SettingsCommand::Values, {{"inner-null", " 66"}, {"outer-null", "120,9"}}, SettingsForm::Page);
    ASSERT_FALSE(tool.Refused());
    ASSERT_FALSE(page.Refused()) << page.Refusals.front().Message;
    EXPECT_EQ(ConfirmationText(page.Alignment), ConfirmationText(tool.Alignment));
    ASSERT_EQ(page.Notes.size(), 1U);
    EXPECT_EQ(page.Notes[0].Field, "outer-null");
    EXPECT_EQ(page.Notes[0].Message, "Outer null point \"120,9\" reads as 120.9 (a decimal comma)");
    const SettingsReport outside =
        Read(SettingsCommand::Values, {{"inner-null", "50"}, {"outer-null", "120"}}, SettingsForm::Page);
    ASSERT_EQ(outside.Warnings.size(), 1U);
    EXPECT_EQ(outside.Warnings[0].Field, "inner-null");
    EXPECT_EQ(outside.Warnings[0].Message, "Inner null point: 50 mm lies outside the grooves (57.5 to 146.05 mm)");
    const SettingsReport toolGiven =
        Read(SettingsCommand::Values, {{"inner-null", "66"}, {"outer-null", "120"}}, SettingsForm::Tool);
    ASSERT_EQ(toolGiven.Refusals.size(), 2U);
    EXPECT_EQ(toolGiven.Refusals[0].Message, "unknown option '--inner-null'");
}

struct SettingsForCase {
    std::string Printout;
    NamedSettings Fields;
    NamedSettings Wanted;
};

// What each printout takes of the page's fields: empty fields with a default go as typed, others not at all; custom
// null points stand in for the geometry; the built-in disks are their mains, the custom disk its speeds or counts.
TEST(PagePrintouts, EachTakesItsOwnSettingsOfTheFields) {
    const NamedSettings fields = {{"spindle-to-pivot", ""},  {"id", ""},
                                  {"geometry", "lofgren-b"}, {"inner-null", "66"},
                                  {"outer-null", "120"},     {"exact", ""},
                                  {"speeds", " "},           {"mains", "60"},
                                  {"outer-bars", "200"},     {"inner-bars", "148"},
                                  {"caption1", "A"},         {"effective-length", "239"},
                                  {"paper", "a4"},           {"margin", "3"}};
    NamedSettings custom = fields;
    custom["geometry"] = "custom";
    NamedSettings bySpeeds = fields;
    bySpeeds["speeds"] = "45";
    const SettingsForCase cases[] = {
        {"values", fields, {{"spindle-to-pivot", ""}, {"geometry", "lofgren-b"}}},
        {"values", custom, {{"spindle-to-pivot", ""}, {"inner-null", "66"}, {"outer-null", "120"}}},
        {"arc", fields, {{"spindle-to-pivot", ""}, {"geometry", "lofgren-b"}, {"paper", "a4"}, {"margin", "3"}}},
        {"chart",
         custom,
         {{"spindle-to-pivot", ""},
          {"inner-null", "66"},
          {"outer-null", "120"},
          {"effective-length", "239"},
          {"paper", "a4"},
          {"margin", "3"}}},
        {"strobe-50", fields, {{"mains", "50"}, {"paper", "a4"}, {"margin", "3"}}},
        {"strobe-custom",
         fields,
         {{"outer-bars", "200"}, {"inner-bars", "148"}, {"caption1", "A"}, {"paper", "a4"}, {"margin", "3"}}},
        {"strobe-custom",
         bySpeeds,
         {{"speeds", "45"}, {"mains", "60"}, {"caption1", "A"}, {"paper", "a4"}, {"margin", "3"}}},
        {"nothing", fields, {}},
    };
    for (const SettingsForCase& c : cases) {
        NamedSettings got = PageSettingsFor(c.Printout, c.Fields);
        // Settings without a page field the rules give defaults to are not the page's business here.
        EXPECT_EQ(got, c.Wanted) << c.Printout;
    }
    std::vector<std::string> ids;
    for (const PagePrintout& printout : PagePrintouts()) {
        ids.emplace_back(printout.Id);
        EXPECT_EQ(PagePrintoutNamed(printout.Id), &printout);
        EXPECT_FALSE(printout.Title.empty());
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"arc", "strobe-60", "strobe-50", "chart", "strobe-custom"}));
}

// The values as rows keyed by what they are, the very texts of the tool's lines, the ID's padding dropped.
TEST(PagePrintouts, ValueRowsAreTheToolsLines) {
    const SettingsReport report =
        Read(SettingsCommand::Values, {{"id", "My deck"}, {"preset", "iec"}}, SettingsForm::Page);
    const std::vector<ValueRow> rows = ValueRowsOf(report.Alignment);
    const std::string text = Windows1252ToUtf8(ConfirmationText(report.Alignment));
    std::string joined;
    std::vector<std::string> keys;
    std::vector<std::string> setters;
    for (const ValueRow& row : rows) {
        joined += (joined.empty() ? "" : "\n") + row.Label + " = " + row.Value;
        keys.push_back(row.Key);
        if (row.SetsTheArm) {
            setters.push_back(row.Label);
        }
        EXPECT_EQ(row.Value.find_last_not_of(' ') + 1, row.Value.size()) << row.Label;
    }
    std::string trimmed;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        line.erase(line.find_last_not_of(' ') + 1);
        trimmed += (start == 0 ? "" : "\n") + line;
        start = end + 1;
    }
    EXPECT_EQ(joined, trimmed);
    EXPECT_EQ(keys, (std::vector<std::string>{"id", "inner-radius", "outer-radius", "spindle-to-pivot", "inner-null",
                                              "outer-null", "effective-length", "overhang", "offset-angle",
                                              "linear-offset"}));
    EXPECT_EQ(setters,
              (std::vector<std::string>{"Inner null radius", "Outer null radius", "Overhang", "Offset angle"}));
    EXPECT_EQ(rows.front().Value, "My deck");
}

// The notices the page lists under its downloads, not beside a field.
TEST(PagePrintouts, PageWideNoticesByCode) {
    for (const auto& [code, wide] : std::vector<std::pair<std::string, bool>>{{"page-cut", true},
                                                                              {"page-tiled", true},
                                                                              {"drift", true},
                                                                              {"grid-left-out", true},
                                                                              {"caption-not-printed", true},
                                                                              {"partly-read", false},
                                                                              {"pivot-on-record", false},
                                                                              {"margin-range", false}}) {
        EXPECT_EQ(IsPageWideNotice({code, "paper", "warning", "x"}), wide) << code;
    }
}

} // namespace

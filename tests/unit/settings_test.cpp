#include "settings/settings.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

SettingsReport Read(SettingsCommand command, const NamedSettings& settings) {
    return ReadSettings(command, settings, {PaperSize::A4, false});
}

struct RefusalCase {
    SettingsCommand Command;
    NamedSettings Settings;
    std::string Code;
    std::string Field;
    std::string Message;
};

// Each refusal names the option the user gave, in the tool's words, whichever form asked.
TEST(Settings, RefusalsNameTheirOptionInTheToolsWords) {
    const RefusalCase cases[] = {
        {SettingsCommand::Values,
         {{"preset", "riaa"}},
         "not-a-choice",
         "preset",
         "--preset must be din, iec, typical, 7-inch, 10-inch or jis, not 'riaa'"},
        {SettingsCommand::Arc,
         {{"dpi", "600.0"}},
         "dpi-range",
         "dpi",
         "--dpi must be a whole number from 72 to 2400, not '600.0'"},
        {SettingsCommand::Arc,
         {{"margin", " 3"}},
         "margin-range",
         "margin",
         "--margin must be a number from 0 to 50 mm, not ' 3'"},
        {SettingsCommand::Arc,
         {{"output", "x.png"}, {"dpi", "1201"}},
         "dpi-range",
         "dpi",
         "--dpi must be from 72 to 1200 for png, not '1201'"},
        {SettingsCommand::Strobe,
         {{"speeds", "33,45,78"}},
         "not-a-speed",
         "speeds",
         "--speeds takes one or two speeds (a disk has two rings), not 3; with a decimal comma, put + between the two "
         "speeds (33,3+45)"},
        {SettingsCommand::Strobe,
         {{"inner-bars", "10000.6"}},
         "too-many-bars",
         "inner-bars",
         "--inner-bars must be 10000 bars or less, not '10000.6'"},
        {SettingsCommand::Strobe,
         {{"outer-bars", "200"}, {"mains", "50"}},
         "mains-with-counts",
         "mains",
         "--mains cannot be combined with a custom disk's counts (use --speeds with --mains)"},
        {SettingsCommand::Analyse,
         {{"overhang", "18"}, {"effective-length", "240"}, {"offset-angle", "23"}},
         "arm-length-twice",
         "overhang",
         "give --effective-length or --overhang, not both"},
        {SettingsCommand::Analyse, {{"speeds", "45"}}, "unknown-option", "speeds", "unknown option '--speeds'"},
    };
    for (const RefusalCase& c : cases) {
        const SettingsReport report = Read(c.Command, c.Settings);
        ASSERT_FALSE(report.Refusals.empty()) << c.Message;
        const SettingNotice& refusal = report.Refusals.front();
        EXPECT_EQ(refusal.Code, c.Code) << c.Message;
        EXPECT_EQ(refusal.Field, c.Field) << c.Message;
        EXPECT_EQ(refusal.Message, c.Message);
        EXPECT_EQ(refusal.Severity, "error");
    }
}

// Every record a report holds concerns an option the command takes (or the settings as a whole), so a page can put
// each beside its field without reading the message.
TEST(Settings, EveryNoticeNamesAnOptionOfItsCommand) {
    const std::vector<std::pair<SettingsCommand, NamedSettings>> cases = {
        {SettingsCommand::Values,
         {{"spindle-to-pivot", "100"}, {"inner-radius", "150"}, {"outer-radius", "-1"}, {"correction-x", "2"}}},
        {SettingsCommand::Values, {{"spindle-to-pivot", "500"}, {"inner-radius", "57,5"}, {"correction-y", "1x"}}},
        {SettingsCommand::Strobe, {{"outer-bars", "216"}, {"inner-bars", "160"}, {"caption1", "mine"}}},
        {SettingsCommand::Analyse, {{"effective-length", "500"}, {"offset-angle", "20"}, {"velocity", "70x"}}},
        {SettingsCommand::Arc, {{"spindle-to-pivot", "300"}, {"colours", "1,2"}, {"paper", "letter"}}},
    };
    for (const auto& [command, settings] : cases) {
        SettingsContext context{PaperSize::Letter, true};
        const SettingsReport report = ReadSettings(command, settings, context);
        std::set<std::string> names{""};
        for (const SettingRule& rule : RulesOf(command)) {
            names.insert(std::string(rule.Name));
        }
        EXPECT_FALSE(report.Warnings.empty()) << CommandName(command);
        for (const SettingNotice& notice : report.Warnings) {
            EXPECT_TRUE(names.count(notice.Field)) << notice.Field << ": " << notice.Message;
            EXPECT_FALSE(notice.Code.empty()) << notice.Message;
        }
    }
}

TEST(Settings, ReadsAsTheWindowDoesAndSaysHow) {
    const SettingsReport report =
        Read(SettingsCommand::Values, {{"preset", "IEC"}, {"outer-radius", "146.05 mm"}, {"geometry", "Baerwald"}});
    EXPECT_EQ(report.Alignment.Inputs.InnerGrooveRadius, 60.325); // from the preset
    EXPECT_EQ(report.Alignment.Inputs.OuterGrooveRadius, 146.05); // the explicit radius wins
    EXPECT_EQ(report.Find("outer-radius")->Note, "\"146.05 mm\" reads as 146.05");
    EXPECT_EQ(report.Find("geometry")->Reading, "lofgren-a");
    EXPECT_EQ(report.Find("spindle-to-pivot")->Given, false);
    EXPECT_EQ(report.Alignment.Inputs.SpindleToPivot, 209);
    ASSERT_EQ(report.Warnings.size(), 1u);
    EXPECT_EQ(report.Warnings[0].Code, "partly-read");
    EXPECT_EQ(report.Warnings[0].Field, "outer-radius");
}

struct TypedCase {
    SettingsCommand Command;
    std::string Name, Text;
    std::string Code;         // of the refusal, warning or note the text gets ("" for none)
    std::string Message = ""; // a part of its message
    double Value = NAN;       // what the text reads as, where it is read
};

// What is typed is read as meant, or refused or warned about in words that say what happens (the tool's table of
// bad input has the rest).
TEST(Settings, TypedValuesAreReadAsMeantOrSaidAbout) {
    using enum SettingsCommand;
    const std::string white = ",255,255,255";
    // clang-format off
    const TypedCase cases[] = {
        {Arc, "margin", "4,5", "decimal-comma", "--margin \"4,5\" reads as 4.5 (a decimal comma)", 4.5},
        {Values, "correction-x", "1,00705", "decimal-comma", "", 1.00705},
        {Strobe, "speeds", "33,3+45", "decimal-comma", "\"33,3+45\" reads as 33 1/3 and 45 rpm (a decimal comma)"},
        {Analyse, "rpm", "33,3", "decimal-comma", "--rpm \"33,3\" reads as 33 1/3 rpm (a decimal comma)", 100.0 / 3},
        {Analyse, "rpm", "33 1/3", "", "", 100.0 / 3}, {Analyse, "rpm", "33.3333333", "", "", 100.0 / 3},
        {Analyse, "rpm", "16 2/3 rpm", "", "", 50.0 / 3}, {Analyse, "rpm", "33.3", "", "", 100.0 / 3},
        {Arc, "colours", "1.5,0,0" + white, "colours-unread", "--colours: '1.5' reads as 2;"},
        {Arc, "colours", "0,0,0" + white + ",7,8", "colours-ignored", "--colours: '7' and '8' are ignored"},
        {Arc, "colours", "255,255,0" + white, "colours-contrast", "lines in 255,255,0 would hardly show"},
        {Arc, "colours", "224,224,224" + white, "colours-contrast", "would hardly show"},
        {Arc, "colours", "200,200,200" + white, ""}, {Arc, "colours", " 0, 0, 255 , 255,255,0", ""},
        {Values, "id", "x\xC2\x9B", "id-control-character", "character 2 is U+009B"},
        {Values, "id", "bad \xFF", "id-unprintable", "prints the byte 0xFF as ?"},
        {Values, "id", std::string(41, 'x'), "id-cut", "it shows '" + std::string(40, 'x') + "'"},
        {Values, "id", std::string(40, 'x'), ""}, {Values, "id", "L\xC3\xB6" "fgren \xE2\x82\xAC?", ""},
    };
    // clang-format on
    for (const TypedCase& c : cases) {
        const SettingsReport report = Read(c.Command, {{c.Name, c.Text}});
        std::vector<SettingNotice> notices = report.Refusals;
        notices.insert(notices.end(), report.Warnings.begin(), report.Warnings.end());
        notices.insert(notices.end(), report.Notes.begin(), report.Notes.end());
        const auto said = std::find_if(notices.begin(), notices.end(), [&](const SettingNotice& n) {
            return n.Field == c.Name && (c.Code.empty() || n.Code == c.Code);
        });
        ASSERT_EQ(said == notices.end(), c.Code.empty()) << c.Text;
        if (said != notices.end()) {
            EXPECT_NE(said->Message.find(c.Message), std::string::npos) << said->Message;
        }
        if (!std::isnan(c.Value)) {
            EXPECT_EQ(report.Find(c.Name)->Number, c.Value) << c.Text;
        }
        EXPECT_NO_THROW(ReportJson(report)) << c.Text;
    }
}

// The least and the most value of every range, and the values just outside, which are refused or warned about.
TEST(Settings, TheEndsOfEveryRange) {
    using enum SettingsCommand;
    const std::tuple<SettingsCommand, NamedSettings, std::string> cases[] = {
        // clang-format off
        {Arc, {{"margin", "0"}}, ""}, {Arc, {{"margin", "50"}}, ""}, {Arc, {{"margin", "-0.01"}}, "margin-range"},
        {Arc, {{"margin", "50.01"}}, "margin-range"}, {Arc, {{"dpi", "72"}}, ""}, {Arc, {{"dpi", "2400"}}, ""},
        {Arc, {{"dpi", "71"}}, "dpi-range"}, {Arc, {{"dpi", "2401"}}, "dpi-range"},
        {Arc, {{"dpi", "1200"}, {"output", "p.png"}}, ""}, {Arc, {{"dpi", "1201"}, {"output", "p.png"}}, "dpi-range"},
        {Strobe, {{"speeds", "8"}}, ""}, {Strobe, {{"speeds", "300"}}, ""},
        {Strobe, {{"speeds", "7.99"}}, "not-a-speed"}, {Strobe, {{"speeds", "300.01"}}, "not-a-speed"},
        {Analyse, {{"rpm", "8"}}, ""}, {Analyse, {{"rpm", "300"}}, ""},
        {Analyse, {{"rpm", "7.99"}}, "not-a-speed"}, {Analyse, {{"rpm", "300.01"}}, "not-a-speed"},
        {Strobe, {{"outer-bars", "0"}}, ""}, {Strobe, {{"outer-bars", "10000"}}, ""},
        {Strobe, {{"outer-bars", "-1"}}, "not-a-count"}, {Strobe, {{"outer-bars", "10001"}}, "too-many-bars"},
        {Values, {{"spindle-to-pivot", "400"}}, ""}, {Values, {{"spindle-to-pivot", "400.01"}}, "arm-too-long"},
        {Values, {{"spindle-to-pivot", "146.06"}}, ""}, {Values, {{"spindle-to-pivot", "146.05"}}, "pivot-on-record"},
        {Values, {{"inner-radius", "0.01"}}, ""}, {Values, {{"inner-radius", "0"}}, "radius-not-positive"},
        {Values, {{"correction-x", "0.9"}}, ""}, {Values, {{"correction-x", "0.89"}}, "correction-factor"},
        {Values, {{"correction-x", "1.1"}}, ""}, {Values, {{"correction-x", "1.11"}}, "correction-factor"},
        // clang-format on
    };
    for (const auto& [command, settings, code] : cases) {
        const SettingsReport report = Read(command, settings);
        std::vector<std::string> codes;
        for (const SettingNotice& notice : report.Refusals) {
            codes.push_back(notice.Code);
        }
        for (const SettingNotice& notice : report.Warnings) {
            codes.push_back(notice.Code);
        }
        EXPECT_EQ(codes, code.empty() ? std::vector<std::string>{} : std::vector<std::string>{code})
            << settings.begin()->first << " " << settings.begin()->second;
    }
}

// The report's numbers do not depend on the last bits of the arithmetic, which differ between the forms: a result
// one step of a double away reads the same.
TEST(Settings, ReportNumbersIgnoreTheLastBits) {
    SettingsReport report = Read(SettingsCommand::Values, {{"spindle-to-pivot", "222"}, {"preset", "iec"}});
    const std::string text = ReportJson(report);
    for (const double direction : {-1.0, 1.0}) {
        SettingsReport nudged = report;
        for (double* value : {&nudged.Alignment.Values.Overhang, &nudged.Alignment.Values.EffectiveLength,
                              &nudged.Alignment.Values.OffsetAngle, &nudged.Alignment.Values.InnerNullRadius}) {
            *value = std::nextafter(*value, direction * INFINITY);
        }
        EXPECT_EQ(ReportJson(nudged), text);
    }
    // Noise around zero is zero, never negative zero.
    report.Alignment.Values.Overhang = -5.28642975376065e-15;
    const nlohmann::json json = nlohmann::json::parse(ReportJson(report));
    EXPECT_EQ(json["alignment"]["overhang_mm"].dump(), "0.0");
    EXPECT_EQ(json["alignment"]["effective_length_mm"].dump(), "239.296053499");
}

} // namespace

#include "settings/settings.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <set>
#include <string>
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
         {{"preset", "jis"}},
         "not-a-choice",
         "preset",
         "--preset must be din, iec or typical, not 'jis'"},
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
         "--speeds takes one or two speeds (a disk has two rings), not 3"},
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
        {SettingsCommand::Analyse,
         {{"geometry", "lofgren-b"}},
         "unknown-option",
         "geometry",
         "unknown option '--geometry'"},
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
        {SettingsCommand::Values, {{"spindle-to-pivot", "500"}, {"inner-radius", "57,5"}, {"correction-y", "x"}}},
        {SettingsCommand::Strobe, {{"outer-bars", "216"}, {"inner-bars", "160"}, {"caption1", "mine"}}},
        {SettingsCommand::Analyse, {{"effective-length", "500"}, {"offset-angle", "20"}, {"rpm", "45x"}}},
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
    EXPECT_EQ(report.Alignment.InnerGrooveRadius, 60.325); // from the preset
    EXPECT_EQ(report.Alignment.OuterGrooveRadius, 146.05); // the explicit radius wins
    EXPECT_EQ(report.Find("outer-radius")->Note, "\"146.05 mm\" reads as 146.05");
    EXPECT_EQ(report.Find("geometry")->Reading, "lofgren-a");
    EXPECT_EQ(report.Find("spindle-to-pivot")->Given, false);
    EXPECT_EQ(report.Alignment.SpindleToPivot, 209);
    ASSERT_EQ(report.Warnings.size(), 1u);
    EXPECT_EQ(report.Warnings[0].Code, "partly-read");
    EXPECT_EQ(report.Warnings[0].Field, "outer-radius");
}

// The report's numbers do not depend on the last bits of the arithmetic, which differ between the forms: a result
// one step of a double away reads the same.
TEST(Settings, ReportNumbersIgnoreTheLastBits) {
    SettingsReport report = Read(SettingsCommand::Values, {{"spindle-to-pivot", "222"}, {"preset", "iec"}});
    const std::string text = ReportJson(report);
    for (const double direction : {-1.0, 1.0}) {
        SettingsReport nudged = report;
        for (double* value : {&nudged.Alignment.Overhang, &nudged.Alignment.EffectiveLength,
                              &nudged.Alignment.OffsetAngle, &nudged.Alignment.InnerNullRadius}) {
            *value = std::nextafter(*value, direction * INFINITY);
        }
        EXPECT_EQ(ReportJson(nudged), text);
    }
    // Noise around zero is zero, never negative zero.
    report.Alignment.Overhang = -5.28642975376065e-15;
    const nlohmann::json json = nlohmann::json::parse(ReportJson(report));
    EXPECT_EQ(json["alignment"]["overhang_mm"].dump(), "0.0");
    EXPECT_EQ(json["alignment"]["effective_length_mm"].dump(), "239.296053499");
}

} // namespace

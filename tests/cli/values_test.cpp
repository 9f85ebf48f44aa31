#include "tests/cli/run_tool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

TEST(ValuesCommand, DefaultFieldsPrintTheConfirmationLinesByteForByte) {
    const ToolResult result = RunTool({"values"});
    EXPECT_EQ(result.ExitCode, 0);
    EXPECT_EQ(result.Err, "");
    EXPECT_EQ(result.Out, "ID = " + std::string(40, ' ') +
                              "\nInner groove radius = 57.500"
                              "\nOuter groove radius = 146.050"
                              "\nPivot to spindle distance = 209.000"
                              "\nInner null radius = 63.103"
                              "\nOuter null radius = 119.173"
                              "\nEffective length = 226.277"
                              "\nOverhang = 17.277"
                              "\nOffset angle = 23.752\xC2\xB0"
                              "\nLinear offset = 91.138\n");
}

struct PresetRow {
    const char* Geometry;
    const char* Preset;
    std::vector<std::string> Results; // null radii, length, overhang, angle, linear offset
};

class ValuesForPresets : public testing::TestWithParam<PresetRow> {};

TEST_P(ValuesForPresets, MatchTheTable) {
    const auto& row = GetParam();
    const ToolResult result = RunTool({"values", "--geometry", row.Geometry, "--preset", row.Preset});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const auto lines = Lines(result.Out);
    ASSERT_EQ(lines.size(), 10u);
    const char* labels[] = {"Inner null radius = ", "Outer null radius = ", "Effective length = ",
                            "Overhang = ",          "Offset angle = ",      "Linear offset = "};
    for (std::size_t i = 0; i < 6; ++i) {
        const std::string suffix = i == 4 ? "\xC2\xB0" : "";
        EXPECT_EQ(lines[4 + i], labels[i] + row.Results[i] + suffix);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, ValuesForPresets, testing::Values(
    PresetRow{"lofgren-a", "din", {"63.103", "119.173", "226.277", "17.277", "23.752", "91.138"}},
    PresetRow{"lofgren-a", "iec", {"65.998", "120.891", "227.287", "18.287", "24.276", "93.445"}},
    PresetRow{"lofgren-a", "typical", {"68.689", "121.786", "228.137", "19.137", "24.674", "95.237"}},
    PresetRow{"lofgren-b", "din", {"67.414", "114.862", "226.769", "17.769", "23.697", "91.138"}},
    PresetRow{"lofgren-b", "iec", {"70.285", "116.604", "227.764", "18.764", "24.222", "93.445"}},
    PresetRow{"lofgren-b", "typical", {"72.903", "117.572", "228.588", "19.588", "24.622", "95.237"}},
    PresetRow{"stevenson-a", "din", {"57.500", "115.522", "224.329", "15.329", "22.684", "86.511"}},
    PresetRow{"stevenson-a", "iec", {"60.325", "117.417", "225.309", "16.309", "23.231", "88.871"}},
    PresetRow{"stevenson-a", "typical", {"63.000", "118.527", "226.160", "17.160", "23.661", "90.763"}}));
// clang-format on

TEST(ValuesCommand, ExplicitRadiusWinsOverThePreset) {
    const auto lines = Lines(RunTool({"values", "--inner-radius", "60", "--preset", "typical"}).Out);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[1], "Inner groove radius = 60.000");
    EXPECT_EQ(lines[2], "Outer groove radius = 145.000");
}

TEST(ValuesCommand, IdIsConvertedAndCutToFortyBytes) {
    const auto lines =
        Lines(RunTool({"values", "--id=Th\xC3\xB6rens TD 124 \xE6\x97\xA5 " + std::string(40, 'x')}).Out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "ID = Th\xC3\xB6rens TD 124 ? " + std::string(23, 'x'));
}

struct WarningCase {
    std::vector<std::string> Args;
    std::string Warning; // empty: no warning expected
    std::string Line;    // a line that must appear in the output
};

class ValuesReadNumbersLikeTheWindow : public testing::TestWithParam<WarningCase> {};

TEST_P(ValuesReadNumbersLikeTheWindow, AndWarnWhenATextDoesNotReadInFull) {
    auto args = GetParam().Args;
    args.insert(args.begin(), "values");
    const ToolResult result = RunTool(args);
    EXPECT_EQ(result.ExitCode, 0);
    if (GetParam().Warning.empty()) {
        EXPECT_THAT(result.Err, testing::Not(testing::HasSubstr("reads as")));
    } else {
        EXPECT_THAT(result.Err, testing::HasSubstr("quillmere: " + GetParam().Warning));
    }
    EXPECT_THAT(Lines(result.Out), testing::Contains(GetParam().Line));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ValuesReadNumbersLikeTheWindow,
    testing::Values(WarningCase{{"--inner-radius", "57.5 mm"},
                                "warning: --inner-radius \"57.5 mm\" reads as 57.5\n",
                                "Inner groove radius = 57.500"},
                    WarningCase{{"--outer-radius", "146.05 "}, "", "Outer groove radius = 146.050"},
                    WarningCase{{"--outer-radius", "&H92"}, "", "Outer groove radius = 146.000"},
                    WarningCase{{"--spindle-to-pivot", "222", "--preset", "iec"}, "", "Offset angle = 22.986\xC2\xB0"},
                    WarningCase{{"--spindle-to-pivot", "209abc"},
                                "warning: --spindle-to-pivot \"209abc\" reads as 209\n",
                                "Pivot to spindle distance = 209.000"}));

struct UsageCase {
    std::vector<std::string> Args;
    std::string Named; // what the one-line error must mention
};

class ValuesRefuses : public testing::TestWithParam<UsageCase> {};

TEST_P(ValuesRefuses, WithOneLineAndExitCode2) {
    const ToolResult result = RunTool(GetParam().Args);
    EXPECT_EQ(result.ExitCode, 2);
    EXPECT_EQ(result.Out, "");
    EXPECT_THAT(result.Err, testing::HasSubstr(GetParam().Named));
    EXPECT_THAT(result.Err, testing::HasSubstr("--help"));
    EXPECT_EQ(std::count(result.Err.begin(), result.Err.end(), '\n'), 1) << result.Err;
}

INSTANTIATE_TEST_SUITE_P(Arguments, ValuesRefuses,
                         testing::Values(UsageCase{{"values", "--bogus"}, "--bogus"},
                                         UsageCase{{"values", "--inner-radius"}, "--inner-radius"},
                                         UsageCase{{"values", "--geometry", "lofgren"}, "lofgren"},
                                         UsageCase{{"values", "--preset", "ansi"}, "ansi"},
                                         UsageCase{{"values", "extra"}, "extra"},
                                         UsageCase{{"frobnicate"}, "frobnicate"}, UsageCase{{}, "command"}));

} // namespace

namespace {

// Enumerated values as people type them: any case, blanks for hyphens, "ö", and baerwald for Löfgren A.
TEST(Options, ChoicesIgnoreCaseAndTakeTheirAliases) {
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> same = {
        {{"--preset", "IEC"}, {"--preset", "iec"}},
        {{"--geometry", "Lofgren-A", "--preset", "typical"}, {"--geometry", "lofgren-a", "--preset", "typical"}},
        {{"--geometry", "baerwald", "--preset", "typical"}, {"--geometry", "lofgren-a", "--preset", "typical"}},
        {{"--geometry=L\xC3\xB6"
          "fgren B"},
         {"--geometry", "lofgren-b"}},
        {{"--geometry", "STEVENSON_A"}, {"--geometry", "stevenson-a"}},
    };
    for (auto [typed, canonical] : same) {
        typed.insert(typed.begin(), "values");
        canonical.insert(canonical.begin(), "values");
        const ToolResult result = RunTool(typed);
        EXPECT_EQ(result.ExitCode, 0) << typed[2] << ": " << result.Err;
        EXPECT_EQ(result.Out, RunTool(canonical).Out) << typed[2];
    }
    EXPECT_NE(RunTool({"values", "--preset", "IEC"}).Out, RunTool({"values"}).Out);
}

TEST(Options, PrintWithABlankBeforeTheQueueIsExplained) {
    const ToolResult result = RunTool({"arc", "--print", "office"});
    EXPECT_EQ(result.ExitCode, 2);
    EXPECT_THAT(result.Err, testing::HasSubstr("write --print=office"));
}

TEST(Options, HelpSpeaksOfTheToolAndGivesEveryLengthItsUnit) {
    for (const char* command : {"values", "arc", "strobe"}) {
        const ToolResult result = RunTool({command, "--help"});
        EXPECT_EQ(result.ExitCode, 0);
        EXPECT_THAT(result.Out, testing::HasSubstr("Usage: quillmere " + std::string(command)));
        EXPECT_THAT(result.Out, testing::Not(testing::HasSubstr("window")));
        for (const std::string& line : Lines(result.Out)) {
            for (const char* length : {"--spindle-to-pivot", "--inner-radius ", "--outer-radius ", "--margin"}) {
                if (line.starts_with("  " + std::string(length))) {
                    EXPECT_THAT(line, testing::HasSubstr(" mm")) << line;
                }
            }
        }
    }
}

} // namespace

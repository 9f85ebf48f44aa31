// The warnings before a wasted page, all in one table: each row's command warns with these lines and still does
// its job; with --strict the same command writes nothing and exits with 2.
#include "tests/cli/run_tool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace {

struct WarningRow {
    std::vector<std::string> Args;
    std::vector<std::string> Warnings; // a part of each "quillmere: warning:" line, in order
};

std::vector<std::string> WarningLines(const std::string& err) {
    std::vector<std::string> lines;
    std::istringstream in(err);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("quillmere: warning: ")) {
            lines.push_back(line);
        }
    }
    return lines;
}

class Warnings : public testing::TestWithParam<WarningRow> {};

TEST_P(Warnings, OneLinePerProblemAndStrictWritesNothing) {
    const WarningRow& row = GetParam();
    std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '-');
    const std::string folder = FreshTestFolder("warnings-" + name);
    const ToolResult result = RunTool(row.Args, folder);
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    const std::vector<std::string> lines = WarningLines(result.Err);
    ASSERT_EQ(lines.size(), row.Warnings.size()) << result.Err;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_THAT(lines[i], testing::HasSubstr(row.Warnings[i]));
    }
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::vector<std::string> strict = row.Args;
    strict.push_back("--strict");
    const ToolResult stopped = RunTool(strict, folder);
    EXPECT_EQ(stopped.ExitCode, row.Warnings.empty() ? 0 : 2) << stopped.Err;
    if (!row.Warnings.empty()) {
        EXPECT_EQ(stopped.Out, "");
        EXPECT_TRUE(std::filesystem::is_empty(folder));
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Warnings, testing::Values(
    WarningRow{{"values"}, {}},
    WarningRow{{"values", "--spindle-to-pivot", "146"},
               {"spindle-to-pivot distance of 146 mm is not larger than the outer groove radius of 146.05 mm"}},
    WarningRow{{"values", "--spindle-to-pivot", "400.5"}, {"400.5 mm is above 400 mm"}},
    WarningRow{{"values", "--spindle-to-pivot", "400"}, {}},
    WarningRow{{"values", "--inner-radius", "-1"}, {"inner groove radius of -1 mm is not larger than 0"}},
    WarningRow{{"values", "--preset", "typical", "--outer-radius", "63"},
               {"inner groove radius of 63 mm is not smaller than the outer groove radius of 63 mm"}},
    WarningRow{{"values", "--correction-x", "1.1", "--correction-y", "0.9"}, {}},
    WarningRow{{"values", "--correction-y", "0.89"}, {"correction factor down the page (y) of 0.89 is outside 0.9 to 1.1"}},
    WarningRow{{"values", "--inner-radius", "57.5 mm"}, {"--inner-radius \"57.5 mm\" reads as 57.5"}},
    WarningRow{{"arc", "--paper", "letter"}, {}},
    WarningRow{{"arc", "--paper", "a4"}, {}},
    WarningRow{{"arc", "--paper", "a4", "--margin", "3.2"}, {}},
    WarningRow{{"arc", "--paper", "a4", "--margin", "4.5"}, {}},
    WarningRow{{"arc", "--paper", "a4", "--margin", "4.6"},
               {"A4 landscape with a 4.6 mm margin cuts all of the Y=200mm tick", "the (200, 200) cross",
                "the Y=200mm label"}},
    WarningRow{{"arc", "--paper", "a4", "--margin", "15"},
               {"the Y=180mm tick", "the Y=200mm tick", "the (200, 200) cross", "the (200, 180) cross",
                "the Y=180mm label", "the Y=200mm label"}},
    // A pivot beyond the paper's edge is no longer lost: the template comes on sheets (a note, not a warning).
    WarningRow{{"arc", "--paper", "letter", "--spindle-to-pivot", "225"}, {}},
    WarningRow{{"arc", "--paper", "letter", "--spindle-to-pivot", "223.9"}, {}},
    WarningRow{{"arc", "--paper", "a4", "--spindle-to-pivot", "255"}, {}},
    WarningRow{{"arc", "--paper", "letter", "--geometry", "stevenson-a", "--inner-radius", "0"},
               {"inner groove radius of 0 mm", "the outer null point cannot be drawn (its circles do not meet), so "
                                               "the outer alignment grid is left out"}},
    WarningRow{{"strobe", "--paper", "a4", "--colours", "0,0,128"},
               {"--colours: the colours give 3 of six numbers; the rest read as 0, so the background reads as 0,0,0 "
                "(black)", "--colours: lines in 0,0,128 would hardly show on the background 0,0,0"}},
    WarningRow{{"strobe", "--paper", "a4", "--colours", "0,0,128,255,255,255"}, {}},
    WarningRow{{"strobe", "--paper", "a4", "--margin", "20"},
               {"A4 portrait with a 20 mm margin cuts the right side of the disk's edge; a margin of at most 6.8 mm, "
                "or A3 or Tabloid paper would keep it", "the outer ring", "the inner ring"}},
    WarningRow{{"strobe", "--paper", "letter", "--outer-bars", "216", "--caption1", "X"},
               {"the first caption is not printed: 216 and 160 bars print the 60 Hz disk's own captions"}},
    WarningRow{{"strobe", "--paper", "letter", "--correction-x", "0.8"}, {"correction factor across the page (x) of 0.8"}}));
// clang-format on

// After writing a page, one line says what was written and how to print it.
TEST(SaidWhatWasDone, TheFilePaperOrientationResolutionAndTheReminder) {
    const std::string folder = FreshTestFolder("said");
    EXPECT_THAT(RunTool({"arc", "-o", "t.svg", "--paper", "letter", "--dpi", "300"}, folder).Err,
                testing::EndsWith("quillmere: wrote t.svg (Letter landscape, 300 dpi); print at actual size (100 %), "
                                  "then check the 200 mm marks\n"));
    EXPECT_THAT(RunTool({"strobe", "--paper", "a4"}, folder).Err,
                testing::EndsWith("quillmere: wrote strobe-60hz.pdf (A4 portrait, 600 dpi); print at actual size "
                                  "(100 %), then check that the inner of the disk's two circles measures 180 mm "
                                  "across\n"));
}

} // namespace

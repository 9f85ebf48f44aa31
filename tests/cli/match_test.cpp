// The match command as the user meets it: the figures as text, the report as JSON, and each refusal and warning
// with its exit code.
#include "tests/cli/run_tool.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct MatchRun {
    std::vector<std::string> Args;
    int ExitCode;
    // Lines standard output and standard error must hold, in this order.
    std::vector<std::string> Out;
    std::vector<std::string> Err;
};

void ExpectLinesInOrder(const std::string& text, const std::vector<std::string>& expected) {
    const std::vector<std::string> lines = Lines(text);
    auto at = lines.begin();
    for (const std::string& line : expected) {
        at = std::find(at, lines.end(), line);
        ASSERT_NE(at, lines.end()) << "missing in order: " << line << "\n" << text;
    }
}

TEST(MatchCommand, FiguresRefusalsAndWarnings) {
    const MatchRun runs[] = {
        {{"match", "--effective-mass", "11", "--cartridge-mass", "6.5", "--extra-mass", "0,5", "--compliance", "15"},
         0,
         {"  Total mass            18.0 g (arm 11 g, cartridge 6.5 g, extras 0.5 g)",
          "  Compliance at 10 Hz   15 \xC2\xB5m/mN", "  Resonance             9.7 Hz (target 8 to 12 Hz)",
          "9.7 Hz lies within the target of 8 to 12 Hz, clear of record warps (below about 6 Hz) and of footfall "
          "and the lowest notes (above about 15 Hz)",
          "What to do:", "  - the cartridge suits the arm: nothing to change"},
         {"quillmere: --extra-mass \"0,5\" reads as 0.5 (a decimal comma)"}},
        {{"match", "--effective-length", "230", "--rake-change", "1"},
         0,
         {"  Pivot height change   +4.0 mm for +1\xC2\xB0 on a 230 mm arm", "What to do:",
          "  - raise the arm's pivot by 4.0 mm (230 mm times tan 1\xC2\xB0) for a rake angle 1\xC2\xB0 larger"},
         {}},
        {{"match", "--effective-mass", "11", "--compliance", "15"},
         2,
         {},
         {"quillmere: the resonance needs --cartridge-mass too (try 'quillmere match --help')"}},
        {{"match", "--effective-mass", "120", "--cartridge-mass", "6", "--compliance", "15"},
         0,
         {"  Resonance             3.7 Hz (target 8 to 12 Hz)"},
         {"quillmere: warning: --effective-mass: 120 g is more than the heaviest arms' effective mass (about 50 g), "
          "which is not the arm's weight"}},
        {{"match", "--effective-mass", "120", "--cartridge-mass", "6", "--compliance", "15", "--strict"},
         2,
         {},
         {"quillmere: nothing written: --strict and 1 warning"}},
    };
    for (const MatchRun& run : runs) {
        std::string command;
        for (const std::string& arg : run.Args) {
            command += arg + " ";
        }
        SCOPED_TRACE(command);
        const ToolResult result = RunTool(run.Args);
        EXPECT_EQ(result.ExitCode, run.ExitCode) << result.Err;
        ExpectLinesInOrder(result.Out, run.Out);
        ExpectLinesInOrder(result.Err, run.Err);
        if (run.ExitCode == 2) {
            EXPECT_EQ(result.Out, "");
        }
    }
}

// One resonance for a 10 Hz compliance, a range for a 100 Hz one, each that of a spring of stiffness 1/C under 19 g;
// and the height for the rake change.
TEST(MatchCommand, JsonCarriesTheDocumentedKeys) {
    for (const std::string at : {"10", "100"}) {
        const ToolResult result =
            RunTool({"match", "--effective-mass", "12", "--cartridge-mass", "7", "--compliance", "8", "--compliance-at",
                     at, "--effective-length", "239,3", "--rake-change", "-0.5", "--format", "json"});
        ASSERT_EQ(result.ExitCode, 0) << result.Err;
        const auto report = nlohmann::json::parse(result.Out);
        const auto& match = report["match"];
        EXPECT_EQ(match["total_mass_g"], 19);
        const auto spring = [](double factor) {
            return std::sqrt(1 / (8 * factor * 1e-3) / 0.019) / (2 * std::numbers::pi);
        };
        if (at == "10") {
            EXPECT_NEAR(match["resonance_hz"].get<double>(), spring(1), 1e-8);
            EXPECT_TRUE(match["resonance_hz_range"].is_null());
        } else {
            EXPECT_TRUE(match["resonance_hz"].is_null());
            EXPECT_NEAR(match["resonance_hz_range"][0].get<double>(), spring(2.2), 1e-8);
            EXPECT_NEAR(match["resonance_hz_range"][1].get<double>(), spring(1.5), 1e-8);
        }
        EXPECT_EQ(match["verdict"], at == "10" ? "too-high" : "good");
        EXPECT_NEAR(match["pivot_height_change_mm"].get<double>(), 239.3 * std::tan(-0.5 * std::numbers::pi / 180),
                    1e-8);
        EXPECT_EQ(report["advice"].back().get<std::string>().rfind("lower the arm's pivot by 2.1 mm", 0), 0u);
        EXPECT_TRUE(report["alignment"].is_null());
    }
}

} // namespace

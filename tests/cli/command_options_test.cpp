// Each command takes its own options and no other: the tool refuses the rest as unknown and its help lists exactly
// what the command takes. The table below is written by hand from what each command is for, so that a rule
// attached to the wrong command, or one left out, fails here.
#include "settings/settings.h"
#include "tests/cli/recorded_take.h"
#include "tests/cli/run_tool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct OptionUse {
    std::set<std::string> Commands;
    // A value the option takes on each of its commands (empty for a flag).
    std::string Value;
    // What it needs beside it to be taken.
    std::vector<std::string> Companions = {};
};

const std::set<std::string> Alignment = {"values", "arc", "analyse"};
const std::set<std::string> Pages = {"arc", "strobe", "analyse"};
const std::set<std::string> Every = {"values", "arc", "strobe", "analyse"};
const std::set<std::string> Commands = {"values", "arc", "strobe", "analyse", "speed", "match"};
const std::set<std::string> Charts = {"arc", "strobe", "analyse", "speed"};

const std::vector<std::string> MatchedArm = {"--effective-mass", "11", "--cartridge-mass",   "6",
                                             "--compliance",     "15", "--effective-length", "230",
                                             "--rake-change",    "0.5"};

const std::map<std::string, OptionUse>& ExpectedOptions() {
    static const std::map<std::string, OptionUse> options = {
        {"speeds", {{"strobe"}, "45"}},
        {"mains", {{"strobe"}, "50"}},
        {"outer-bars", {{"strobe"}, "200"}},
        {"inner-bars", {{"strobe"}, "150"}},
        {"caption1", {{"strobe"}, "outer"}},
        {"caption2", {{"strobe"}, "inner"}},
        {"spindle-to-pivot", {Alignment, "222"}},
        {"inner-radius", {Alignment, "60"}},
        {"outer-radius", {Alignment, "146"}},
        {"preset", {Alignment, "iec"}},
        {"geometry", {Alignment, "lofgren-b"}},
        {"nulls", {Alignment, "66;120.9"}},
        {"exact", {Alignment, ""}},
        {"id", {Alignment, "deck"}},
        {"correction-x", {Every, "1.01"}},
        {"correction-y", {Every, "0.99"}},
        {"strict", {Commands, ""}},
        {"format", {Commands, ""}},
        {"effective-length", {{"analyse", "match"}, "240", {"--offset-angle", "23"}}},
        {"effective-mass", {{"match"}, "11"}},
        {"cartridge-mass", {{"match"}, "6"}},
        {"extra-mass", {{"match"}, "1"}},
        {"compliance", {{"match"}, "15"}},
        {"compliance-at", {{"match"}, "100"}},
        {"rake-change", {{"match"}, "1"}},
        {"overhang", {{"analyse"}, "17", {"--offset-angle", "23"}}},
        {"offset-angle", {{"analyse"}, "23", {"--overhang", "17"}}},
        {"rpm", {{"analyse", "speed"}, "45"}},
        {"tone", {{"speed"}, "3150"}},
        {"velocity", {{"analyse"}, "80"}},
        {"output", {Charts, "page.pdf"}},
        {"paper", {Pages, "a4"}},
        {"print", {Pages, ""}},
        {"dpi", {Pages, "300"}},
        {"margin", {Pages, "5"}},
        {"colours", {Pages, "0,0,128"}},
        {"tile", {{"arc"}, ""}},
    };
    return options;
}

// --format takes another value on each command.
std::string FormatFor(const std::string& command) {
    return command == "values" || command == "analyse" || command == "speed" || command == "match" ? "json" : "svg";
}

std::set<std::string> RuleNamesOf(const std::string& command) {
    std::set<std::string> names;
    for (const SettingRule& rule : RulesOf(*CommandNamed(command))) {
        names.emplace(rule.Name);
    }
    return names;
}

std::set<std::string> ExpectedOf(const std::string& command) {
    std::set<std::string> names;
    for (const auto& [name, use] : ExpectedOptions()) {
        if (use.Commands.contains(command)) {
            names.insert(name);
        }
    }
    return names;
}

// The options a command's help lists, read from its lines "  --name ..." and "  -o, --name ...".
std::set<std::string> ListedInHelp(const std::string& help) {
    std::set<std::string> listed;
    for (const std::string& line : Lines(help)) {
        const std::size_t dashes = line.find("--");
        if (dashes == std::string::npos || line.find_first_not_of(" -o,") < dashes || !line.starts_with("  ")) {
            continue;
        }
        const std::size_t end = line.find_first_of(" [=,", dashes);
        listed.insert(line.substr(dashes + 2, end - dashes - 2));
    }
    listed.erase("help");
    return listed;
}

class CommandOptions : public testing::TestWithParam<std::string> {};

TEST_P(CommandOptions, TheRulesTheHelpAndTheToolAgreeWithWhatTheCommandIsFor) {
    const std::string& command = GetParam();
    EXPECT_EQ(RuleNamesOf(command), ExpectedOf(command));
    const ToolResult help = RunTool({command, "--help"});
    ASSERT_EQ(help.ExitCode, 0);
    EXPECT_EQ(ListedInHelp(help.Out), ExpectedOf(command)) << help.Out;

    const std::string folder = FreshTestFolder("command-options-" + command);
    // A queue that cannot be reached: --print is taken, and then fails without a printer.
    const ToolEnvironment noPrinter = {{"CUPS_SERVER", folder + "/no-cups"}};
    // The speed command measures a recording, so each of its runs gets one.
    const std::vector<std::string> recording =
        command == "speed"
            ? std::vector<std::string>{speed_test::WriteTake(folder, "take.wav", speed_test::Take(44100, 1, 3150, 0.3),
                                                             SF_FORMAT_WAV | SF_FORMAT_PCM_16)}
            : std::vector<std::string>{};
    for (const auto& [name, use] : ExpectedOptions()) {
        SCOPED_TRACE(command + " --" + name);
        std::vector<std::string> args = {command, "--" + name};
        const std::string value = name == "format" ? FormatFor(command) : use.Value;
        if (!value.empty()) {
            args.push_back(value);
        }
        // The match works something out only from a whole arm and cartridge, which its runs all get; an option
        // given after them wins.
        if (command == "match") {
            args.insert(args.begin() + 1, MatchedArm.begin(), MatchedArm.end());
        } else {
            args.insert(args.end(), use.Companions.begin(), use.Companions.end());
        }
        args.insert(args.end(), recording.begin(), recording.end());
        const ToolResult result = RunTool(args, folder, {}, noPrinter);
        if (use.Commands.contains(command)) {
            EXPECT_THAT(result.Err, testing::Not(testing::HasSubstr("unknown option"))) << result.Err;
            EXPECT_NE(result.ExitCode, 2) << result.Err;
        } else {
            EXPECT_EQ(result.ExitCode, 2);
            EXPECT_THAT(result.Err, testing::HasSubstr("unknown option '--" + name + "'"));
            EXPECT_EQ(result.Out, "");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, CommandOptions,
                         testing::Values("values", "arc", "strobe", "analyse", "speed", "match"));

// No option of the rule table is missing from the table above.
TEST(CommandOptions, TheTableCoversEveryRule) {
    std::set<std::string> ruled;
    for (const std::string& command : Commands) {
        ruled.merge(RuleNamesOf(command));
    }
    std::set<std::string> tabled;
    for (const auto& [name, use] : ExpectedOptions()) {
        tabled.insert(name);
    }
    EXPECT_EQ(ruled, tabled);
}

} // namespace

// What the tool loads: the commands that print nothing must not load CUPS's library, which with its dependencies
// (Kerberos, GnuTLS, Avahi, D-Bus) costs more start-up time than the work they do.
#include "tests/cli/run_tool.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The dynamic loader's own account of every library it loads, written to standard error.
ToolResult RunWatchingLibraries(const std::vector<std::string>& args, const std::string& folder,
                                const std::string& cupsServer = "") {
    ToolEnvironment environment = {{"LD_DEBUG", "libs"}};
    if (!cupsServer.empty()) {
        environment.emplace_back("CUPS_SERVER", cupsServer);
    }
    return RunTool(args, folder, {}, environment);
}

bool LoadedCups(const ToolResult& result) {
    return result.Err.find("libcups.so.2") != std::string::npos;
}

bool LoaderReported(const ToolResult& result) {
    return result.Err.find("calling init:") != std::string::npos;
}

TEST(StartUp, CommandsThatPrintNothingDoNotLoadCups) {
    const std::string folder = FreshTestFolder("start-up");
    const std::vector<std::vector<std::string>> commands = {
        {"values"}, {"--version"}, {"arc", "-o", "arc.pdf"}, {"strobe", "-o", "strobe.svg"}, {"analyse"}};
    for (const auto& args : commands) {
        SCOPED_TRACE(args.front());
        const ToolResult result = RunWatchingLibraries(args, folder);
        EXPECT_EQ(result.ExitCode, 0);
        ASSERT_TRUE(LoaderReported(result)) << "the loader wrote no account of its libraries";
        EXPECT_FALSE(LoadedCups(result)) << result.Err.substr(0, 4000);
    }
}

TEST(StartUp, PrintingLoadsCupsToSendTheJob) {
    const std::string folder = FreshTestFolder("start-up-print");
    const ToolResult result =
        RunWatchingLibraries({"strobe", "--print=nowhere"}, folder, folder + "/no-such-server.sock");
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_TRUE(LoadedCups(result));
    EXPECT_NE(result.Err.find("quillmere: cannot reach the CUPS print server at " + folder), std::string::npos)
        << result.Err.substr(result.Err.size() > 2000 ? result.Err.size() - 2000 : 0);
}

} // namespace

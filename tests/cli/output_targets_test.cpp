// Where a page goes: a full disk keeps the old file, targets that are not plain files are never replaced,
// and "-" is standard output.
#include "tests/cli/run_tool.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::size_t EntriesIn(const std::string& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

} // namespace

TEST(OutputTargets, AFullDiskFailsLoudlyAndKeepsTheOldFile) {
    for (const std::string name : {"arc.pdf", "strobe.svg", "strobe.png", "analyse.pdf"}) {
        SCOPED_TRACE(name);
        const std::string folder = FreshTestFolder("full-disk");
        const std::string path = folder + "/" + name;
        std::ofstream(path) << "old page";
        const ToolResult result = RunTool({name.substr(0, name.find('.')), "-o", path, "--dpi", "100"}, "", {8192});
        EXPECT_EQ(result.ExitCode, 1);
        EXPECT_EQ(result.Err, "quillmere: cannot write " + path + ": File too large\n");
        EXPECT_EQ(ReadWholeFile(path), "old page");
        EXPECT_EQ(EntriesIn(folder), 1u) << "the temporary file is removed";
    }
}

TEST(OutputTargets, AFifoIsWrittenIntoAndStaysAFifo) {
    const std::string fifo = FreshTestFolder("fifo") + "/page";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A reader that cannot block the test, with room for the whole page.
    const int reader = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    fcntl(reader, F_SETPIPE_SZ, 1 << 20);
    EXPECT_EQ(RunTool({"strobe", "-o", fifo}).ExitCode, 0);
    std::string page(1 << 20, '\0');
    page.resize(static_cast<std::size_t>(std::max<ssize_t>(read(reader, page.data(), page.size()), 0)));
    close(reader);
    EXPECT_EQ(page.substr(0, 5), "%PDF-");
    EXPECT_NE(page.find("%%EOF"), std::string::npos);
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
}

TEST(OutputTargets, ASymlinkStaysALinkToTheNewPage) {
    const std::string folder = FreshTestFolder("symlink");
    std::ofstream(folder + "/real.pdf") << "old page";
    fs::create_symlink("real.pdf", folder + "/link.pdf");
    EXPECT_EQ(RunTool({"strobe", "-o", "link.pdf"}, folder).ExitCode, 0);
    EXPECT_EQ(fs::read_symlink(folder + "/link.pdf"), "real.pdf");
    EXPECT_EQ(ReadWholeFile(folder + "/real.pdf").substr(0, 5), "%PDF-");
    EXPECT_EQ(EntriesIn(folder), 2u);
}

TEST(OutputTargets, AFolderIsNamedAsOne) {
    const std::string folder = FreshTestFolder("folder-target");
    fs::create_directory(folder + "/arc-template.pdf");
    const ToolResult result = RunTool({"arc"}, folder);
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_NE(result.Err.find("quillmere: arc-template.pdf: is a folder\n"), std::string::npos) << result.Err;
}

TEST(OutputTargets, StandardOutputTakesThePageAndWhatElseWasPrintedGoesToStderr) {
    const std::string folder = FreshTestFolder("stdout");
    const ToolResult arc = RunTool({"arc", "-o", "-", "--format", "svg"}, folder);
    EXPECT_EQ(arc.ExitCode, 0);
    EXPECT_EQ(arc.Out.substr(0, 5), "<?xml");
    EXPECT_EQ(arc.Err, RunTool({"values"}).Out + "quillmere: wrote the page to standard output (Letter landscape, 600 "
                                                 "dpi); print at actual size (100 %), then check the 200 mm marks\n");
    const ToolResult analyse = RunTool({"analyse", "-o", "-"}, folder);
    EXPECT_EQ(analyse.Out.substr(0, 5), "%PDF-");
    EXPECT_TRUE(analyse.Err.starts_with(RunTool({"analyse"}).Out)) << analyse.Err;
    EXPECT_TRUE(fs::is_empty(folder));

    const ToolResult terminal = RunTool({"strobe", "-o", "-"}, folder, {0, true});
    EXPECT_EQ(terminal.ExitCode, 1);
    EXPECT_NE(terminal.Err.find("terminal"), std::string::npos) << terminal.Err;
}

// Where a page goes: a full disk keeps the old file, targets that are not plain files are never replaced,
// "-" is standard output, and no failure to write, to a file or to standard output, passes unseen.
#include "tests/cli/run_tool.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

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
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1) << "the temporary file is removed";
    }
}

TEST(OutputTargets, AFifoIsWrittenIntoAndASymlinkStaysALink) {
    const std::string folder = FreshTestFolder("fifo-and-link");
    ASSERT_EQ(mkfifo((folder + "/fifo").c_str(), 0600), 0);
    // A reader that cannot block the test, with room for the whole page.
    const int reader = open((folder + "/fifo").c_str(), O_RDWR | O_NONBLOCK);
    fcntl(reader, F_SETPIPE_SZ, 1 << 20);
    EXPECT_EQ(RunTool({"strobe", "-o", "fifo"}, folder).ExitCode, 0);
    std::string page(1 << 20, '\0');
    page.resize(static_cast<std::size_t>(std::max<ssize_t>(read(reader, page.data(), page.size()), 0)));
    close(reader);
    EXPECT_TRUE(page.starts_with("%PDF-") && page.find("%%EOF") != std::string::npos);
    EXPECT_EQ(fs::status(folder + "/fifo").type(), fs::file_type::fifo);

    std::ofstream(folder + "/real.pdf") << "old page";
    fs::create_symlink("real.pdf", folder + "/link.pdf");
    EXPECT_EQ(RunTool({"strobe", "-o", "link.pdf"}, folder).ExitCode, 0);
    EXPECT_EQ(fs::read_symlink(folder + "/link.pdf"), "real.pdf");
    EXPECT_TRUE(ReadWholeFile(folder + "/real.pdf").starts_with("%PDF-"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 3);
}

TEST(OutputTargets, StandardOutputTakesThePageAndWhatElseWasPrintedGoesToStderr) {
    const std::string folder = FreshTestFolder("stdout");
    const ToolResult arc = RunTool({"arc", "-o", "-", "--format", "svg"}, folder);
    EXPECT_TRUE(arc.Out.starts_with("<?xml"));
    EXPECT_EQ(arc.Err, RunTool({"values"}).Out + "quillmere: wrote the page to standard output (Letter landscape, 600 "
                                                 "dpi); print at actual size (100 %), then check the 200 mm marks\n");
    const ToolResult analyse = RunTool({"analyse", "-o", "-"}, folder);
    EXPECT_TRUE(analyse.Out.starts_with("%PDF-"));
    EXPECT_TRUE(analyse.Err.starts_with(RunTool({"analyse"}).Out)) << analyse.Err;
    EXPECT_TRUE(fs::is_empty(folder));
    const ToolResult terminal = RunTool({"strobe", "-o", "-"}, folder, {0, true});
    EXPECT_EQ(terminal.ExitCode, 2);
    EXPECT_NE(terminal.Err.find("terminal"), std::string::npos) << terminal.Err;
}

// ---- What the tool refuses before it writes anything: one line, and the folder as it was ----

struct RefusedCase {
    std::vector<std::string> Args;
    int ExitCode;
    std::string Message; // part of the one line on stderr
    ToolSurroundings Surroundings = {};
};

TEST(OutputTargets, RefusalsNameTheProblemAndLeaveTheFolderAlone) {
    const RefusedCase cases[] = {
        {{"arc", "-o", "x.png", "--format", "pdf"}, 2, "--format pdf does not match the file name x.png"},
        {{"strobe", "-o", "x.SVG", "--format", "png"}, 2, "--format png does not match the file name x.SVG"},
        {{"arc", "-o", "loop"}, 1, "cannot write loop: Too many levels of symbolic links"},
        {{"strobe", "-o", "loop.pdf", "--format", "pdf"}, 1, "cannot write loop.pdf: Too many levels"},
        {{"arc", "-o", "-"}, 2, "will not write a page to a terminal", {0, true}},
        {{"--version", "extra"}, 2, "unexpected argument 'extra'"},
        {{"help", "arcs"}, 2, "unknown command 'arcs'"},
        {{"help", "arc", "strobe"}, 2, "unexpected argument 'strobe'"},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.Args.back());
        const std::string folder = FreshTestFolder("refused");
        fs::create_symlink("loop.pdf", folder + "/loop");
        fs::create_symlink("loop", folder + "/loop.pdf");
        const ToolResult result = RunTool(c.Args, folder, c.Surroundings);
        EXPECT_EQ(result.ExitCode, c.ExitCode);
        EXPECT_NE(result.Err.find(c.Message), std::string::npos) << result.Err;
        EXPECT_EQ(Lines(result.Err).size(), 1u) << result.Err;
        EXPECT_TRUE(c.ExitCode != 2 || result.Out.empty()) << "a usage error prints nothing else";
        EXPECT_TRUE(fs::is_symlink(folder + "/loop") && fs::is_symlink(folder + "/loop.pdf"));
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 2);
    }
}

// ---- A name whose extension names no format: --format decides, and the tool says what the file holds ----

struct FormatNameCase {
    std::vector<std::string> Args;
    std::string File;
    std::string Magic;
    std::string Said; // the start of the line that names the file written
};

TEST(OutputTargets, ANameThatNamesNoFormatIsSaidToHoldWhatWasWritten) {
    const FormatNameCase cases[] = {
        {{"arc", "-o", "x.jpg"}, "x.jpg", "%PDF", "wrote x.jpg as PDF ("},
        {{"strobe", "-o", "chart.txt", "--format", "svg"}, "chart.txt", "<?xml", "wrote chart.txt as SVG ("},
        {{"arc", "-o", "x", "--format", "png", "--dpi", "100"}, "x", "\x89PNG", "wrote x as PNG ("},
        {{"analyse", "-o", "chart.txt"}, "chart.txt", "%PDF", "wrote chart.txt as PDF ("},
        {{"arc", "-o", "x.PNG", "--format", "png", "--dpi", "100"}, "x.PNG", "\x89PNG", "wrote x.PNG ("},
    };
    for (const FormatNameCase& c : cases) {
        SCOPED_TRACE(c.File);
        const std::string folder = FreshTestFolder("format-names");
        const ToolResult result = RunTool(c.Args, folder);
        ASSERT_EQ(result.ExitCode, 0) << result.Err;
        EXPECT_TRUE(ReadWholeFile(folder + "/" + c.File).starts_with(c.Magic));
        EXPECT_NE(result.Err.find("quillmere: " + c.Said), std::string::npos) << result.Err;
    }
}

// ---- Standard output is checked before the exit, whatever wrote to it ----

TEST(OutputTargets, AFailedStandardOutputIsAWriteError) {
    const ToolSurroundings closedPipe = {0, false, true};
    const ToolSurroundings fullDisk = {100};
    const std::vector<std::pair<std::vector<std::string>, ToolSurroundings>> cases = {
        {{"values"}, closedPipe},
        {{"values", "--format", "json"}, closedPipe},
        {{"analyse"}, closedPipe},
        {{"analyse", "--format", "csv"}, closedPipe},
        {{"about"}, closedPipe},
        {{"--help"}, closedPipe},
        {{"help", "strobe"}, closedPipe},
        {{"--version"}, closedPipe},
        {{"arc", "-o", "ok.pdf"}, closedPipe},
        {{"values"}, fullDisk},
    };
    for (const auto& [args, surroundings] : cases) {
        SCOPED_TRACE(args.front() + (surroundings.ClosedPipeOut ? " into a closed pipe" : " onto a full disk"));
        const std::string folder = FreshTestFolder("standard-output-fails");
        const ToolResult result = RunTool(args, folder, surroundings);
        EXPECT_EQ(result.ExitCode, 1);
        const std::string reason = surroundings.ClosedPipeOut ? "Broken pipe" : "File too large";
        EXPECT_TRUE(result.Err.ends_with("quillmere: write error: " + reason + "\n")) << result.Err;
    }
}

TEST(OutputTargets, HelpOnACommandAndAboutAnswerAsTheirOptionsDo) {
    EXPECT_EQ(RunTool({"help", "arc"}).Out, RunTool({"arc", "--help"}).Out);
    EXPECT_EQ(RunTool({"help", "analyze"}).Out, RunTool({"analyse", "--help"}).Out);
    const ToolResult version = RunTool({"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_NE(version.Out.find("MIT License"), std::string::npos) << version.Out;
    EXPECT_TRUE(RunTool({"about"}).Out.ends_with("\n\n" + version.Out));
}

// ---- Files: replaced only as cp would write them, never left half-made ----

TEST(OutputTargets, AFileTheUserMayNotWriteIsNotReplaced) {
    const std::string folder = FreshTestFolder("read-only-file");
    // As root the tool runs as nobody, for whom a root-owned 0444 file in a folder open to all is read-only.
    fs::permissions(folder, fs::perms::all);
    const std::string path = folder + "/page.pdf";
    std::ofstream(path) << "old page";
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const ToolResult result = RunTool({"arc", "-o", path}, "", {0, false, false, true});
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_NE(result.Err.find("quillmere: cannot write " + path + ": Permission denied\n"), std::string::npos)
        << result.Err;
    EXPECT_EQ(ReadWholeFile(path), "old page");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
}

TEST(OutputTargets, NamesUpToTheLongestLegalAreWritten) {
    for (const std::size_t length : {247u, 248u, 255u}) {
        SCOPED_TRACE(length);
        const std::string folder = FreshTestFolder("long-names");
        const std::string name = std::string(length - 4, 'n') + ".svg";
        const ToolResult result = RunTool({"strobe", "-o", name}, folder);
        EXPECT_EQ(result.ExitCode, 0) << result.Err;
        EXPECT_TRUE(ReadWholeFile(folder + "/" + name).starts_with("<?xml"));
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
    }
}

TEST(OutputTargets, AStoppingSignalRemovesTheTemporaryFile) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        const std::string folder = FreshTestFolder("stopped");
        std::ofstream(folder + "/page.png") << "old page";
        const RunningTool running = StartTool({"arc", "-o", "page.png", "--dpi", "600"}, folder);
        // The temporary file appears before the page is drawn; drawing and compressing it takes a second or so.
        bool seen = false;
        for (int wait = 0; wait < 20000 && !seen; ++wait) {
            for (const auto& entry : fs::directory_iterator(folder)) {
                seen = seen || entry.path().filename().string().starts_with(".page.png.");
            }
            usleep(1000);
        }
        ASSERT_TRUE(seen) << "no temporary file appeared";
        usleep(50000);
        kill(running.Pid, signal);
        const ToolResult result = FinishTool(running);
        EXPECT_EQ(result.ExitCode, 128 + signal) << result.Err;
        EXPECT_EQ(ReadWholeFile(folder + "/page.png"), "old page");
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
    }
}

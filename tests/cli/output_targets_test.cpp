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

// ---- Nothing typed is misread and no failure passes unseen: what the tool says, and what it leaves ----

struct ToolCase {
    std::vector<std::string> Args;
    int ExitCode;
    std::string Said;      // part of stderr
    std::string File = ""; // written, starting with Magic; empty: none
    std::string Magic = "";
    ToolSurroundings Surroundings = {};
};

TEST(OutputTargets, EachRunSaysWhatBecameOfItsFilesAndStreams) {
    const ToolSurroundings closedPipe = {0, false, true}, nobody = {0, false, false, true};
    const std::string name248 = std::string(244, 'n') + ".pdf", name255 = std::string(251, 'n') + ".svg";
    const std::string brokenPipe = "quillmere: write error: Broken pipe\n";
    const ToolCase cases[] = {
        {{"arc", "-o", "x.png", "--format", "pdf"}, 2, "--format pdf does not match the file name x.png"},
        {{"strobe", "-o", "x.SVG", "--format", "png"}, 2, "--format png does not match the file name x.SVG"},
        {{"arc", "-o", "x.jpg"}, 0, "wrote x.jpg as PDF (", "x.jpg", "%PDF"},
        {{"strobe", "-o", "chart.txt", "--format", "svg"}, 0, "wrote chart.txt as SVG (", "chart.txt", "<?xml"},
        {{"arc", "-o", "x", "--format", "png", "--dpi", "100"}, 0, "wrote x as PNG (", "x", "\x89PNG"},
        {{"analyse", "-o", "chart.txt"}, 0, "wrote chart.txt as PDF (", "chart.txt", "%PDF"},
        {{"arc", "-o", "loop"}, 1, "cannot write loop: Too many levels of symbolic links"},
        {{"strobe", "-o", "loop.pdf"}, 1, "cannot write loop.pdf: Too many levels of symbolic links"},
        // As root the tool runs as nobody, for whom root's 0444 file is as read-only as one's own is to a user.
        {{"arc", "-o", "locked.pdf"}, 1, "cannot write locked.pdf: Permission denied", "", "", nobody},
        {{"strobe", "-o", name248}, 0, "wrote " + name248, name248, "%PDF"},
        {{"strobe", "-o", name255}, 0, "wrote " + name255, name255, "<?xml"},
        {{"--version", "extra"}, 2, "unexpected argument 'extra'"},
        {{"help", "arcs"}, 2, "unknown command 'arcs'"},
        {{"help", "arc", "strobe"}, 2, "unexpected argument 'strobe'"},
        {{"values"}, 1, brokenPipe, "", "", closedPipe},
        {{"analyse"}, 1, brokenPipe, "", "", closedPipe},
        {{"about"}, 1, brokenPipe, "", "", closedPipe},
        {{"--help"}, 1, brokenPipe, "", "", closedPipe},
        {{"--version"}, 1, brokenPipe, "", "", closedPipe},
        {{"arc", "-o", "ok.pdf"}, 1, brokenPipe, "ok.pdf", "%PDF", closedPipe},
        {{"values"}, 1, "quillmere: write error: File too large\n", "", "", {100}},
    };
    for (const ToolCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Args));
        const std::string folder = FreshTestFolder("files-and-streams");
        fs::permissions(folder, fs::perms::all);
        fs::create_symlink("loop.pdf", folder + "/loop");
        fs::create_symlink("loop", folder + "/loop.pdf");
        std::ofstream(folder + "/locked.pdf") << "old page";
        fs::permissions(folder + "/locked.pdf", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        const ToolResult result = RunTool(c.Args, folder, c.Surroundings);
        EXPECT_EQ(result.ExitCode, c.ExitCode);
        EXPECT_NE(result.Err.find(c.Said), std::string::npos) << result.Err;
        EXPECT_TRUE(c.ExitCode != 2 || (result.Out.empty() && Lines(result.Err).size() == 1)) << result.Err;
        EXPECT_TRUE(c.File.empty() || ReadWholeFile(folder + "/" + c.File).starts_with(c.Magic));
        EXPECT_EQ(ReadWholeFile(folder + "/locked.pdf"), "old page");
        EXPECT_TRUE(fs::is_symlink(folder + "/loop") && fs::is_symlink(folder + "/loop.pdf"));
        for (const auto& entry : fs::directory_iterator(folder)) {
            EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << "left behind: " << entry.path();
        }
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

// ---- A page half written is never left behind ----

namespace {

// Whether the tool's temporary file for page.png appears in the folder within 20 s: it does before the page is drawn.
bool TemporaryFileAppears(const std::string& folder) {
    for (int wait = 0; wait < 20000; ++wait) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().filename().string().starts_with(".page.png.")) {
                return true;
            }
        }
        usleep(1000);
    }
    return false;
}

} // namespace

TEST(OutputTargets, AStoppingSignalRemovesTheTemporaryFile) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        const std::string folder = FreshTestFolder("stopped");
        std::ofstream(folder + "/page.png") << "old page";
        const RunningTool running = StartTool({"arc", "-o", "page.png", "--dpi", "600"}, folder);
        // The temporary file appears before the page is drawn; drawing and compressing it takes a second or so.
        const bool seen = TemporaryFileAppears(folder);
        ASSERT_TRUE(seen) << "no temporary file appeared";
        usleep(50000);
        kill(running.Pid, signal);
        const ToolResult result = FinishTool(running);
        EXPECT_EQ(result.ExitCode, 128 + signal) << result.Err;
        EXPECT_EQ(ReadWholeFile(folder + "/page.png"), "old page");
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
    }
}

// A page rewritten in place keeps the permissions its owner gave it; only a new file takes the umask.
TEST(OutputTargets, ReplacingAFileKeepsItsPermissions) {
    const std::string folder = FreshTestFolder("permissions");
    for (const mode_t mode : {0600, 0640, 0604}) {
        SCOPED_TRACE(mode);
        const std::string path = folder + "/page.pdf";
        std::ofstream(path) << "old page";
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        ASSERT_EQ(RunTool({"strobe", "-o", path}).ExitCode, 0);
        EXPECT_TRUE(ReadWholeFile(path).starts_with("%PDF-"));
        struct stat written {};
        ASSERT_EQ(stat(path.c_str(), &written), 0);
        EXPECT_EQ(written.st_mode & 07777, mode);
    }
    for (const mode_t mask : {022, 077, 027}) {
        SCOPED_TRACE(mask);
        const std::string path = folder + "/new-" + std::to_string(mask) + ".pdf";
        const mode_t before = umask(mask);
        const ToolResult result = RunTool({"strobe", "-o", path});
        umask(before);
        ASSERT_EQ(result.ExitCode, 0);
        struct stat written {};
        ASSERT_EQ(stat(path.c_str(), &written), 0);
        EXPECT_EQ(written.st_mode & 07777, 0666 & ~mask);
    }
}

// Started with SIGHUP ignored, as under nohup, the tool finishes its page through a hang-up; one that is not
// ignored stops it and takes the temporary file away (see the test above).
TEST(OutputTargets, AHangUpTheUserIgnoredStaysIgnored) {
    const std::string folder = FreshTestFolder("nohup");
    std::ofstream(folder + "/page.png") << "old page";
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction before {};
    sigaction(SIGHUP, &ignore, &before);
    const RunningTool running = StartTool({"arc", "-o", "page.png", "--dpi", "600"}, folder);
    sigaction(SIGHUP, &before, nullptr);
    const bool seen = TemporaryFileAppears(folder);
    ASSERT_TRUE(seen) << "no temporary file appeared";
    kill(running.Pid, SIGHUP);
    const ToolResult result = FinishTool(running);
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(ReadWholeFile(folder + "/page.png").starts_with("\x89PNG"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
}

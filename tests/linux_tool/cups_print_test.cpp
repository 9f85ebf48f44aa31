#include "cli/cups_print.h"
#include "cli/options.h"
#include "tests/cli/page_raster.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double Dpi = 600;
constexpr double DotsPerMm = Dpi / 25.4;
constexpr double ToleranceMm = 0.2;
constexpr const char* Queue = "pagefile";

// Runs a shell command line; its output goes to `log` when one is named. Returns the exit code.
int Shell(const std::string& command, const std::string& log = "") {
    const std::string line = command + (log.empty() ? " >/dev/null 2>&1" : " >" + Quoted(log) + " 2>&1");
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A private cupsd with one PDF queue for each test, so that no test sees another's jobs or settings.
class PrivateCups : public testing::Test {
protected:
    void SetUp() override {
        Run = fs::path(QUILLMERE_CUPS_TEST_TMP) / ("run-" + std::to_string(getpid()));
        fs::create_directories(Run);
        const std::string log = (Run / "harness.log").string();
        ASSERT_EQ(Shell(Quoted(QUILLMERE_CUPS_HARNESS) + " start " + Quoted(Run.string()) + " " + Queue, log), 0)
            << ReadAll(log);
        Server = (Run / "cups" / "cups.sock").string();
        PointAtServer(Server);
    }

    void TearDown() override {
        Shell(Quoted(QUILLMERE_CUPS_HARNESS) + " stop " + Quoted(Run.string()));
        unsetenv("CUPS_SERVER");
        cupsSetServer(nullptr);
    }

    // The lp tools, the tool and libcups in this process all follow CUPS_SERVER.
    static void PointAtServer(const std::string& server) {
        setenv("CUPS_SERVER", server.c_str(), 1);
        cupsSetServer(nullptr);
    }

    // A page written by the tool itself, as a user would print it.
    std::string ToolPage(const std::vector<std::string>& args, const std::string& name) {
        const std::string pdf = (Run / name).string();
        std::string command = Quoted(QUILLMERE_TOOL);
        for (const std::string& arg : args) {
            command += " " + Quoted(arg);
        }
        const std::string log = (Run / (name + ".log")).string();
        EXPECT_EQ(Shell(command + " -o " + Quoted(pdf), log), 0) << ReadAll(log);
        return pdf;
    }

    // Waits for the queue to finish and returns what it printed, or "" when nothing came.
    std::string PrintedPage() {
        const std::string printed = (Run / (std::string(Queue) + ".pdf")).string();
        const std::string log = (Run / "wait.log").string();
        if (Shell(Quoted(QUILLMERE_CUPS_HARNESS) + " wait " + Quoted(Run.string()) + " " + Queue, log) != 0) {
            ADD_FAILURE() << "the queue printed nothing; cupsd log:\n"
                          << ReadAll((Run / "cups/log/error_log").string());
            return "";
        }
        return printed;
    }

    fs::path Run;
    std::string Server;
};

// What CUPS says about one of its jobs.
struct JobSeen {
    bool Found = false;
    std::string Title;
    std::string Destination;
};

JobSeen FindJob(int id) {
    JobSeen seen;
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    for (int i = 0; i < count; ++i) {
        if (jobs[i].id == id) {
            seen = {true, jobs[i].title, jobs[i].dest};
        }
    }
    cupsFreeJobs(count, jobs);
    return seen;
}

std::string FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const CommandFailure& failure) {
        return failure.what();
    }
    return "(no CommandFailure)";
}

} // namespace

namespace {

// The arc template's frame on a printed page: its ticks at 100, 180 and 200 mm from the axes within 0.2 mm.
void ExpectFrameAtFullScale(const std::string& printed) {
    std::optional<PageRaster> paper = PageRaster::Of(printed);
    ASSERT_TRUE(paper);
    ASSERT_LT(paper->Width, paper->Height) << "a landscape page comes out on portrait paper";
    const PageRaster page = paper->TurnedClockwise();

    // The axes run 1 mm inside the printable area (4.23 mm from the edge); ticks cross them 3 mm in.
    const auto px = [](double mm) { return (mm + 4.23) * DotsPerMm; };
    const double verticalAxis = page.CentreAlongRow(px(3), px(0), px(2.5));
    const double horizontalAxis = page.CentreAlongColumn(px(3), px(0), px(2.5));
    EXPECT_NEAR(verticalAxis, px(1), 0.5 * DotsPerMm) << "not moved on the paper";
    EXPECT_NEAR(horizontalAxis, px(1), 0.5 * DotsPerMm) << "not moved on the paper";
    for (const double distance : {100.0, 180.0, 200.0}) {
        SCOPED_TRACE(distance);
        const double across = page.CentreAlongRow(px(3), px(distance), px(distance + 2)) - verticalAxis;
        const double down = page.CentreAlongColumn(px(3), px(distance), px(distance + 2)) - horizontalAxis;
        EXPECT_NEAR(across / DotsPerMm, distance, ToleranceMm);
        EXPECT_NEAR(down / DotsPerMm, distance, ToleranceMm);
    }
}

} // namespace

// ---- CUPS's library, loaded only when a page is printed ----

TEST(CupsLibrary, TheInstalledOneLoads) {
    const Outcome loaded = LoadCupsLibrary(std::string(CupsLibraryFile));
    EXPECT_TRUE(loaded.Ok()) << loaded.Message();
}

TEST(CupsLibrary, AMissingOneIsOneLineSayingPrintingIsImpossible) {
    const Outcome loaded = LoadCupsLibrary("libcups-not-installed.so.2");
    ASSERT_FALSE(loaded.Ok());
    EXPECT_EQ(loaded.Message(), "cannot print: CUPS's library libcups-not-installed.so.2 is not installed");
}

TEST(CupsLibrary, ALibraryWithoutTheFunctionsIsRefusedByName) {
    // The C library loads but has none of CUPS's functions: the first one looked up is named.
    const Outcome loaded = LoadCupsLibrary("libc.so.6");
    ASSERT_FALSE(loaded.Ok());
    EXPECT_EQ(loaded.Message(), "cannot print: CUPS's library libc.so.6 has no cupsLastErrorString (too old?)");
}

// ---- The job options: no scaling, the page's own paper and orientation ----

TEST(CupsJobOptions, PageOwnPaperAndOrientationWithoutScaling) {
    struct Case {
        bool Landscape;
        PaperSize Paper;
        const char* Media;
        const char* Orientation;
    };
    const Case cases[] = {
        {true, PaperSize::Letter, "na_letter_8.5x11in", "4"}, {false, PaperSize::Letter, "na_letter_8.5x11in", "3"},
        {true, PaperSize::A4, "iso_a4_210x297mm", "4"},       {false, PaperSize::A4, "iso_a4_210x297mm", "3"},
        {true, PaperSize::A3, "iso_a3_297x420mm", "4"},       {true, PaperSize::Tabloid, "na_ledger_11x17in", "4"},
        {false, PaperSize::Legal, "na_legal_8.5x14in", "3"},
    };
    for (const Case& c : cases) {
        const auto options = CupsJobOptions(c.Landscape, c.Paper);
        const auto value = [&](const std::string& name) {
            const auto it =
                std::find_if(options.begin(), options.end(), [&](const auto& o) { return o.first == name; });
            return it == options.end() ? std::string("(missing)") : it->second;
        };
        EXPECT_EQ(value("print-scaling"), "none");
        EXPECT_EQ(value("media"), c.Media);
        EXPECT_EQ(value("orientation-requested"), c.Orientation);
        EXPECT_EQ(options.size(), 3u);
    }
}

// ---- Printed pages come back at full scale ----

// Name the cases in gtest's messages instead of a dump of their bytes.
struct PrintCase;
void PrintTo(const PrintCase& c, std::ostream* out);
void PrintTo(PaperSize paper, std::ostream* out) {
    *out << (paper == PaperSize::A4 ? "A4" : "Letter");
}

struct PrintCase {
    const char* Name;
    std::vector<std::string> ToolArgs;
    bool Landscape;
    PaperSize Paper;
};

void PrintTo(const PrintCase& c, std::ostream* out) {
    *out << c.Name;
}

class PrintedAtFullScale : public PrivateCups, public testing::WithParamInterface<PrintCase> {};

TEST_P(PrintedAtFullScale, InkWhereTheFileHasItWithinATenthOfAMillimetreOrTwo) {
    const PrintCase& c = GetParam();
    const std::string pdf = ToolPage(c.ToolArgs, std::string(c.Name) + ".pdf");
    const int job = SendPdfToCups(pdf, Queue, c.Landscape, c.Paper, "Quillmere test page");
    EXPECT_GT(job, 0);
    const std::string printed = PrintedPage();
    ASSERT_FALSE(printed.empty());

    const std::optional<PageRaster> drawn = PageRaster::Of(pdf);
    std::optional<PageRaster> paper = PageRaster::Of(printed);
    ASSERT_TRUE(drawn && paper);
    if (drawn->Width > drawn->Height && paper->Width < paper->Height) {
        paper = paper->TurnedClockwise();
    }
    // The queue's A4 is 595 x 842 pt where the file's is exact (595.28 x 841.89): a pixel or two either way.
    ASSERT_NEAR(paper->Width, drawn->Width, ToleranceMm * DotsPerMm);
    ASSERT_NEAR(paper->Height, drawn->Height, ToleranceMm * DotsPerMm);
    const std::vector<int> drawnBox = drawn->InkBox();
    const std::vector<int> paperBox = paper->InkBox();
    for (std::size_t side = 0; side < 4; ++side) {
        EXPECT_NEAR(paperBox[side], drawnBox[side], ToleranceMm * DotsPerMm) << "side " << side;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PrintedAtFullScale,
    testing::Values(PrintCase{"arc_letter", {"arc", "--paper", "letter"}, true, PaperSize::Letter},
                    PrintCase{"arc_a4", {"arc", "--paper", "a4"}, true, PaperSize::A4},
                    PrintCase{"strobe_letter", {"strobe", "--paper", "letter"}, false, PaperSize::Letter},
                    PrintCase{"strobe_a4", {"strobe", "--mains", "50", "--paper", "a4"}, false, PaperSize::A4}),
    [](const testing::TestParamInfo<PrintCase>& param) { return param.param.Name; });

class PrintedFrame : public PrivateCups, public testing::WithParamInterface<PaperSize> {};

TEST_P(PrintedFrame, TicksMeasureTheirDistancesFromTheAxes) {
    const bool a4 = GetParam() == PaperSize::A4;
    const std::string pdf = ToolPage({"arc", "--paper", a4 ? "a4" : "letter"}, "frame.pdf");
    SendPdfToCups(pdf, Queue, true, GetParam(), "frame");
    const std::string printed = PrintedPage();
    ASSERT_FALSE(printed.empty());
    ExpectFrameAtFullScale(printed);
}

INSTANTIATE_TEST_SUITE_P(Paper, PrintedFrame, testing::Values(PaperSize::Letter, PaperSize::A4),
                         [](const testing::TestParamInfo<PaperSize>& param) {
                             return param.param == PaperSize::A4 ? "a4" : "letter";
                         });

// ---- Jobs: the id and title CUPS keeps; the default queue ----

TEST_F(PrivateCups, JobIdAndTitleAreTheOnesCupsKeeps) {
    const std::string pdf = ToolPage({"strobe"}, "strobe.pdf");
    const int first = SendPdfToCups(pdf, Queue, false, PaperSize::Letter, "Strobe disk 60 Hz");
    const int second = SendPdfToCups(pdf, "", false, PaperSize::Letter, "Strobe disk, default queue");
    EXPECT_GT(second, first);
    const JobSeen one = FindJob(first);
    const JobSeen two = FindJob(second);
    ASSERT_TRUE(one.Found && two.Found);
    EXPECT_EQ(one.Title, "Strobe disk 60 Hz");
    EXPECT_EQ(two.Title, "Strobe disk, default queue");
    EXPECT_EQ(one.Destination, Queue);
    EXPECT_EQ(two.Destination, Queue);
    EXPECT_FALSE(PrintedPage().empty());
}

// ---- Failures: one line naming what went wrong ----

TEST_F(PrivateCups, FailuresAreOneLineNamingTheCause) {
    const std::string pdf = ToolPage({"strobe"}, "strobe.pdf");
    struct Case {
        const char* What;
        std::function<void()> Prepare;
        std::string Queue;
        std::string Path;
        std::string Expected;
    };
    const std::string missingServer = (Run / "no-such-server.sock").string();
    const Case cases[] = {
        {"unknown queue", [] {}, "no_such_queue", pdf, "no printer queue named 'no_such_queue'"},
        {"file that cannot be read", [] {}, Queue, (Run / "missing.pdf").string(), "cannot read"},
        {"queue not accepting jobs", [] { Shell(std::string("cupsreject ") + Queue); }, Queue, pdf,
         "printer 'pagefile' refused the job: "},
        {"no default queue", [] { Shell(std::string("cupsaccept ") + Queue + " && lpadmin -x " + Queue); }, "", pdf,
         "no default printer is set"},
        {"no server", [&] { PointAtServer(missingServer); }, Queue, pdf,
         "cannot reach the CUPS print server at " + missingServer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        c.Prepare();
        const std::string message = FailureOf([&] { SendPdfToCups(c.Path, c.Queue, false, PaperSize::Letter, "t"); });
        EXPECT_NE(message.find(c.Expected), std::string::npos) << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
}

// ---- The tool's --print: the page printed at full scale, failures as one line and exit code 1 ----

namespace {

struct ToolRun {
    int ExitCode = -1;
    std::string Err;
};

// The tool run with the environment's CUPS_SERVER (or `server`), its temporary files in `temporary`; with
// `fullDisk`, no file it writes may grow beyond 8 KB (writes beyond fail as on a full disk).
ToolRun RunToolPrinting(const fs::path& run, const std::vector<std::string>& args, const std::string& server,
                        const fs::path& temporary, bool fullDisk = false) {
    std::string command = "cd " + Quoted(run.string()) + " && " + (fullDisk ? "trap '' XFSZ; ulimit -f 16; " : "") +
                          "CUPS_SERVER=" + Quoted(server) + " TMPDIR=" + Quoted(temporary.string()) + " " +
                          Quoted(QUILLMERE_TOOL);
    for (const std::string& arg : args) {
        command += " " + Quoted(arg);
    }
    const std::string err = (run / "tool.err").string();
    ToolRun result;
    result.ExitCode = Shell(command + " 2>" + Quoted(err) + " >/dev/null; exit $?", "");
    result.Err = ReadAll(err);
    return result;
}

bool ToolHasPrintOption() {
    const std::string help = fs::path(QUILLMERE_CUPS_TEST_TMP).string() + "/arc-help.txt";
    fs::create_directories(QUILLMERE_CUPS_TEST_TMP);
    Shell(Quoted(QUILLMERE_TOOL) + " arc --help", help);
    return ReadAll(help).find("--print") != std::string::npos;
}

} // namespace

class ToolPrinting : public PrivateCups {
protected:
    void SetUp() override {
        if (!ToolHasPrintOption()) {
            GTEST_SKIP() << "the tool has no --print option yet";
        }
        PrivateCups::SetUp();
        Temporary = Run / "tmpdir";
        fs::create_directories(Temporary);
    }
    bool TemporaryIsEmpty() const { return fs::is_empty(Temporary); }
    static int JobCount() {
        cups_job_t* jobs = nullptr;
        const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
        cupsFreeJobs(count, jobs);
        return count;
    }
    fs::path Temporary;
};

TEST_F(ToolPrinting, ArcTemplatePrintedAtFullScaleAndJobReported) {
    for (const char* paper : {"letter", "a4"}) {
        SCOPED_TRACE(paper);
        const ToolRun result =
            RunToolPrinting(Run, {"arc", "--paper", paper, std::string("--print=") + Queue}, Server, Temporary);
        ASSERT_EQ(result.ExitCode, 0) << result.Err;
        // The job is reported as lp reports it, QUEUE-ID, and is the one CUPS has.
        std::smatch id;
        ASSERT_TRUE(std::regex_search(result.Err, id, std::regex(std::string(Queue) + "-([0-9]+)"))) << result.Err;
        EXPECT_EQ(FindJob(std::stoi(id[1].str())).Destination, Queue);
        EXPECT_NE(result.Err.find("-" + id[1].str() + " (queue " + Queue + ", " + (paper[0] == 'a' ? "A4" : "Letter") +
                                  " landscape); print at actual size (100 %), then check the 200 mm marks\n"),
                  std::string::npos)
            << result.Err;
        const std::string printed = PrintedPage();
        ASSERT_FALSE(printed.empty());
        ExpectFrameAtFullScale(printed);
        EXPECT_TRUE(TemporaryIsEmpty()) << "the page sent to the printer is not left behind";
    }
}

// The sheets of a long arm's template go to the printer together: one job, one page per sheet, nothing scaled.
TEST_F(ToolPrinting, AllSheetsOfATiledTemplateInOneJob) {
    const int before = JobCount();
    const ToolRun result =
        RunToolPrinting(Run, {"arc", "--paper", "letter", "--spindle-to-pivot", "300", std::string("--print=") + Queue},
                        Server, Temporary);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_NE(result.Err.find("(queue " + std::string(Queue) + ", 2 sheets of Letter landscape)"), std::string::npos)
        << result.Err;
    const std::string printed = PrintedPage();
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(JobCount(), before + 1);
    const std::string info = (Run / "pages.txt").string();
    ASSERT_EQ(Shell("pdfinfo " + Quoted(printed), info), 0);
    EXPECT_NE(ReadAll(info).find("Pages:           2"), std::string::npos) << ReadAll(info);
    ExpectFrameAtFullScale(printed);
}

TEST_F(ToolPrinting, PrintingFailuresExitOneWithOneLine) {
    struct Case {
        const char* What;
        std::vector<std::string> Args;
        bool NoServer;
        const char* Expected;
        bool FullDisk = false;
    };
    const Case cases[] = {
        {"unknown queue", {"arc", "--paper=letter", "--print=no_such_queue"}, false, "no_such_queue"},
        {"unknown queue, strobe", {"strobe", "--print=no_such_queue"}, false, "no_such_queue"},
        {"no server", {"arc", "--paper=letter", std::string("--print=") + Queue}, true, "CUPS"},
        {"no server, default queue", {"strobe", "--print"}, true, "CUPS"},
        {"full disk", {"strobe", std::string("--print=") + Queue}, false, "File too large", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        const std::string server = c.NoServer ? (Run / "no-such-server.sock").string() : Server;
        const ToolRun result = RunToolPrinting(Run, c.Args, server, Temporary, c.FullDisk);
        EXPECT_EQ(result.ExitCode, 1) << result.Err;
        EXPECT_EQ(std::count(result.Err.begin(), result.Err.end(), '\n'), 1) << result.Err;
        EXPECT_TRUE(result.Err.starts_with("quillmere: ")) << result.Err;
        EXPECT_NE(result.Err.find(c.Expected), std::string::npos) << result.Err;
        EXPECT_TRUE(TemporaryIsEmpty()) << "no temporary PDF is left behind after a failure";
        EXPECT_EQ(JobCount(), 0) << "no job reaches the queue";
    }
}

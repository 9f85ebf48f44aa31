// Every "quillmere ..." example line of README.md and of the man page's EXAMPLES runs and exits with 0, printing
// examples through a private CUPS server whose default queue is "office"; a strobe example's captions each name
// the bar count of their ring as counted on the rendered page; a speed example measures the recordings it names,
// written for it, and finds their speed error.
#include "tests/cli/page_raster.h"
#include "tests/cli/recorded_take.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int Shell(const std::string& command, const fs::path& log) {
    const int status = std::system((command + " >" + Quoted(log.string()) + " 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// Lines of README.md's code blocks, and the man page's ".B quillmere" lines under EXAMPLES (unescaped).
std::vector<std::string> Examples() {
    std::vector<std::string> examples;
    std::istringstream readme(ReadAll(fs::path(QUILLMERE_SOURCE_DIR) / "README.md"));
    bool code = false;
    for (std::string line; std::getline(readme, line);) {
        code = line.starts_with("```") ? !code : code;
        if (code && line.starts_with("quillmere ")) {
            examples.push_back(line);
        }
    }
    std::istringstream manual(ReadAll(fs::path(QUILLMERE_SOURCE_DIR) / "docs" / "quillmere.1"));
    bool section = false;
    for (std::string line; std::getline(manual, line);) {
        section = line.starts_with(".SH") ? line == ".SH EXAMPLES" : section;
        if (section && line.starts_with(".B quillmere ")) {
            line = std::regex_replace(line.substr(3), std::regex(R"(\\-)"), "-");
            examples.push_back(std::regex_replace(line, std::regex(R"(\\\(dq)"), "\""));
        }
    }
    return examples;
}

// The text pdftotext finds in a band of the page, in millimetres from the paper's top-left corner.
std::string TextIn(const std::string& pdf, double topMm, double bottomMm) {
    const auto points = [](double mm) { return std::to_string(static_cast<int>(mm * 72 / 25.4)); };
    const fs::path text = pdf + ".band.txt";
    Shell("pdftotext -r 72 -x 0 -y " + points(topMm) + " -W 612 -H " + points(bottomMm - topMm) + " " + Quoted(pdf) +
              " " + Quoted(text.string()),
          pdf + ".log");
    return ReadAll(text);
}

TEST(DocumentationExamples, RunAndCaptionEachRingWithItsCount) {
    const fs::path run = fs::path(QUILLMERE_CUPS_TEST_TMP) / ("examples-" + std::to_string(getpid()));
    fs::create_directories(run);
    ASSERT_EQ(Shell(Quoted(QUILLMERE_CUPS_HARNESS) + " start " + Quoted(run.string()) + " office", run / "h.log"), 0)
        << ReadAll(run / "h.log");
    const std::vector<std::string> examples = Examples();
    EXPECT_GE(examples.size(), 10u);
    const std::string environment = "CUPS_SERVER=" + Quoted((run / "cups" / "cups.sock").string()) +
                                    " PATH=" + Quoted(fs::path(QUILLMERE_TOOL).parent_path().string()) + ":\"$PATH\" ";
    for (std::size_t i = 0; i < examples.size(); ++i) {
        const std::string& example = examples[i];
        SCOPED_TRACE(example);
        const fs::path folder = run / std::to_string(i);
        fs::create_directories(folder);
        const std::string inFolder = "cd " + Quoted(folder.string()) + " && " + environment;
        // Each recording a speed example names, 0.3 % fast, with the tone its options give.
        std::smatch recording;
        if (std::regex_search(example, recording, std::regex(R"(\S+\.(wav|flac))"))) {
            std::smatch option;
            speed_test::ToneTake take = speed_test::Take(48000, 2, 3150, 0.3);
            if (std::regex_search(example, option, std::regex(R"(--tone ([0-9]+))"))) {
                take.ToneHz = std::stod(option[1]);
            }
            const int format =
                recording[1] == "flac" ? SF_FORMAT_FLAC | SF_FORMAT_PCM_16 : SF_FORMAT_WAV | SF_FORMAT_PCM_16;
            speed_test::WriteTake(folder.string(), recording[0], take, format);
            EXPECT_EQ(Shell(inFolder + "quillmere speed --format json " + recording[0].str() +
                                " | grep -Eq "
                                "'\"error_percent\": 0\\.(299[5-9]|300[0-4])'",
                            folder / "log-speed"),
                      0)
                << ReadAll(folder / "log-speed");
        }
        EXPECT_EQ(Shell(inFolder + example, folder / "log"), 0) << ReadAll(folder / "log");
        if (!example.starts_with("quillmere strobe")) {
            continue;
        }
        // The same disk once more as a PDF (the last -o wins; no pipe, no printer), its two rings counted and their
        // captions read.
        const std::string pdf = (folder / "check.pdf").string();
        const std::string again = example.substr(0, example.find_first_of("#|")) + " --print=no -o check.pdf --dpi 300";
        ASSERT_EQ(Shell(inFolder + std::regex_replace(again, std::regex(" --print[^ ]*"), ""), folder / "log2"), 0)
            << ReadAll(folder / "log2");
        const std::optional<PageRaster> page = PageRaster::Of(pdf, 300);
        ASSERT_TRUE(page);
        const double dots = 300 / 25.4;
        const double margin = 4.23;
        // Each ring's middle, and the band of its caption line (pdftotext takes only words wholly inside).
        struct Ring {
            double Radius, CaptionTop, CaptionBottom;
        };
        for (const Ring ring : {Ring{81.25, 159, 167.5}, Ring{70, 167.5, 175.5}}) {
            const int bars = page->DarkRunsAround((104 + margin) * dots, (134 + margin) * dots, ring.Radius * dots);
            const std::string caption = TextIn(pdf, margin + ring.CaptionTop, margin + ring.CaptionBottom);
            if (bars == 0) {
                EXPECT_EQ(caption.find("BARS"), std::string::npos) << caption;
            } else {
                EXPECT_TRUE(std::regex_search(caption, std::regex("(^|[^0-9])" + std::to_string(bars) + " BARS")))
                    << bars << " bars, caption: " << caption;
            }
        }
    }
    Shell(Quoted(QUILLMERE_CUPS_HARNESS) + " stop " + Quoted(run.string()), run / "stop.log");
}

} // namespace

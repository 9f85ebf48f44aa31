// Whatever is typed into a field, the tool still does its whole job: the ten confirmation lines, a complete arc
// template and complete strobe disks, exit code 0.
#include "tests/cli/page_raster.h"
#include "tests/cli/run_tool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// What qpdf says of a PDF: whether its structure checks out, and how many pages it has (-1 when unreadable).
struct PdfReport {
    bool Valid = false;
    int Pages = -1;
};

PdfReport CheckPdf(const std::string& path) {
    PdfReport report;
    if (!std::filesystem::exists(path) || std::filesystem::file_size(path) == 0) {
        return report;
    }
    report.Valid = std::system(("qpdf --check " + Quoted(path) + " >/dev/null 2>&1").c_str()) == 0;
    const std::string countFile = path + ".pages";
    if (std::system(("qpdf --show-npages " + Quoted(path) + " >" + Quoted(countFile) + " 2>/dev/null").c_str()) == 0) {
        report.Pages = std::atoi(ReadWholeFile(countFile).c_str());
    }
    std::filesystem::remove(countFile);
    return report;
}

// Code points of a UTF-8 text (continuation bytes do not count).
std::size_t CodePoints(const std::string& text) {
    std::size_t count = 0;
    for (const char c : text) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

const char* const ConfirmationLabels[] = {"ID = ",
                                          "Inner groove radius = ",
                                          "Outer groove radius = ",
                                          "Pivot to spindle distance = ",
                                          "Inner null radius = ",
                                          "Outer null radius = ",
                                          "Effective length = ",
                                          "Overhang = ",
                                          "Offset angle = ",
                                          "Linear offset = "};

void ExpectTenConfirmationLines(const std::string& out, const std::string& where) {
    const std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), 10u) << where << "\n" << out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind(ConfirmationLabels[i], 0), 0u) << where << ": line " << i << " is " << lines[i];
    }
}

// The confirmation line that echoes a field, if the field has one (the correction factors are not shown).
int EchoLine(const std::string& option) {
    if (option == "id") {
        return 0;
    }
    if (option == "inner-radius") {
        return 1;
    }
    if (option == "outer-radius") {
        return 2;
    }
    if (option == "spindle-to-pivot") {
        return 3;
    }
    return -1;
}

struct BadText {
    const char* Name;
    std::string Text;
    const char* Shown; // how a number field shows it, where the reading rules fix that; nullptr: not checked
};

std::vector<BadText> BadTexts() {
    std::string longNumber = "1" + std::string(9999, '0'); // 10 000 digits, far beyond the double range
    std::string longFraction = "0." + std::string(9997, '0') + "1";
    return {
        {"Empty", "", "0.000"},
        {"Blanks", "   ", "0.000"},
        {"Letters", "abc", "0.000"},
        {"NegativeZero", "-0", "0.000"},
        {"Zero", "0", "0.000"},
        {"Overflow", "1e9999", nullptr},
        {"NegativeOverflow", "-1e9999", nullptr},
        {"AllOnesPattern", "&HFFFFFFFFFFFFFFFF", "-1.000"},
        {"PatternBeyond64Bits", "&H10000000000000000", "0.000"},
        {"TenThousandDigits", longNumber, nullptr},
        {"TenThousandDigitFraction", longFraction, "0.000"},
        {"Negative", "-1", "-1.000"},
        {"NegativeRadius", "-57.5", "-57.500"},
    };
}

const char* const Fields[] = {"spindle-to-pivot", "inner-radius", "outer-radius", "correction-x", "correction-y", "id"};

struct BadInputCase {
    std::string Name;
    std::vector<std::string> Options; // field options, "--name=value"
    std::string Option;               // the field under test, for the echo check
    const char* Shown = nullptr;
    bool Strobe = false; // the disks read only the correction factors
};

std::vector<BadInputCase> AllCases() {
    std::vector<BadInputCase> cases;
    for (const char* field : Fields) {
        for (const BadText& text : BadTexts()) {
            BadInputCase c;
            c.Name = std::string(field) + "_" + text.Name;
            for (char& ch : c.Name) {
                ch = ch == '-' ? '_' : ch;
            }
            c.Options = {"--" + std::string(field) + "=" + text.Text};
            c.Option = field;
            c.Shown = std::string(field) == "id" ? nullptr : text.Shown;
            c.Strobe = std::string(field).rfind("correction", 0) == 0;
            cases.push_back(c);
        }
    }
    cases.push_back({"SwappedRadii", {"--inner-radius=146.05", "--outer-radius=60.325"}, "inner-radius", "146.050"});
    cases.push_back({"EqualRadii", {"--inner-radius=60.325", "--outer-radius=60.325"}, "inner-radius", "60.325"});
    cases.push_back({"BothRadiiEmpty", {"--inner-radius=", "--outer-radius="}, "outer-radius", "0.000"});
    cases.push_back({"StevensonInnerZero", {"--inner-radius=0", "--geometry=stevenson-a"}, "inner-radius", "0.000"});
    cases.push_back({"LofgrenBNegative", {"--inner-radius=-60", "--geometry=lofgren-b"}, "inner-radius", "-60.000"});
    cases.push_back({"BothFactorsZero", {"--correction-x=0", "--correction-y=0"}, "correction-x", nullptr, true});
    cases.push_back({"BothFactorsNegative", {"--correction-x=-1", "--correction-y=-1"}, "correction-x", nullptr, true});
    std::string nonAscii;
    for (int i = 0; i < 75; ++i) {
        nonAscii += "\xC3\xB6\xC2\xB0\xE6\x97\xA5\xE2\x82\xAC"; // ö ° 日 €: 300 characters in all
    }
    cases.push_back({"NonAsciiId300", {"--id=" + nonAscii}, "id"});
    return cases;
}

class BadInput : public testing::TestWithParam<BadInputCase> {};

TEST_P(BadInput, ValuesArcTemplateAndDisksAreProducedWhole) {
    const BadInputCase& c = GetParam();
    const std::string folder = FreshTestFolder("bad-input-" + c.Name);

    std::vector<std::string> values{"values"};
    values.insert(values.end(), c.Options.begin(), c.Options.end());
    const ToolResult shown = RunTool(values);
    EXPECT_EQ(shown.ExitCode, 0) << shown.Err;
    ExpectTenConfirmationLines(shown.Out, "values");
    const std::vector<std::string> lines = Lines(shown.Out);
    const int echo = EchoLine(c.Option);
    if (c.Shown != nullptr && echo >= 0 && lines.size() == 10u) {
        EXPECT_EQ(lines[static_cast<std::size_t>(echo)], ConfirmationLabels[echo] + std::string(c.Shown));
    }
    if (c.Option == "id" && lines.size() == 10u) {
        EXPECT_EQ(CodePoints(lines[0]), CodePoints("ID = ") + 40) << lines[0];
    }

    std::vector<std::string> arc{"arc", "-o", folder + "/arc.pdf"};
    arc.insert(arc.end(), c.Options.begin(), c.Options.end());
    const ToolResult arcResult = RunTool(arc);
    EXPECT_EQ(arcResult.ExitCode, 0) << arcResult.Err;
    EXPECT_EQ(arcResult.Out, shown.Out);
    const PdfReport arcPdf = CheckPdf(folder + "/arc.pdf");
    EXPECT_TRUE(arcPdf.Valid) << "arc template";
    EXPECT_EQ(arcPdf.Pages, 1) << "arc template";

    for (const char* mains : {"60", "50"}) {
        if (!c.Strobe) {
            break;
        }
        const std::string path = folder + "/strobe-" + mains + ".pdf";
        std::vector<std::string> strobe{"strobe", "--mains", mains, "-o", path};
        strobe.insert(strobe.end(), c.Options.begin(), c.Options.end());
        const ToolResult strobeResult = RunTool(strobe);
        EXPECT_EQ(strobeResult.ExitCode, 0) << mains << " Hz: " << strobeResult.Err;
        const PdfReport strobePdf = CheckPdf(path);
        EXPECT_TRUE(strobePdf.Valid) << mains << " Hz disk";
        EXPECT_EQ(strobePdf.Pages, 1) << mains << " Hz disk";
    }
    if (!HasFailure()) {
        std::filesystem::remove_all(folder); // kept for a look when something failed
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, BadInput, testing::ValuesIn(AllCases()),
                         [](const testing::TestParamInfo<BadInputCase>& row) { return row.param.Name; });

// ---- The custom disk's fields: any text still gives a complete disk ----

struct CustomDiskCase {
    std::string Name;
    std::vector<std::string> Options;
    bool Refused = false; // a count above 10 000, however it is written, is refused before anything is drawn
};

std::vector<CustomDiskCase> CustomDiskCases() {
    std::vector<CustomDiskCase> cases;
    for (const char* field : {"outer-bars", "inner-bars", "caption1", "caption2"}) {
        for (const BadText& text : BadTexts()) {
            std::string name = std::string(field) + "_" + text.Name;
            for (char& ch : name) {
                ch = ch == '-' ? '_' : ch;
            }
            const bool count = std::string_view(field).ends_with("bars");
            const bool huge =
                std::string_view(text.Name) == "Overflow" || std::string_view(text.Name) == "TenThousandDigits";
            cases.push_back({name, {"--" + std::string(field) + "=" + text.Text}, count && huge});
        }
    }
    std::string nonAscii;
    for (int i = 0; i < 75; ++i) {
        nonAscii += "\xC3\xB6\xC2\xB0\xE6\x97\xA5\xE2\x82\xAC";
    }
    cases.push_back({"NonAsciiCaptions300", {"--caption1=" + nonAscii, "--caption2=" + nonAscii}});
    cases.push_back({"HalfCounts", {"--outer-bars=160.5", "--inner-bars=161.5"}});
    cases.push_back({"FiftyHertzCountsWithEmptyCaptions", {"--outer-bars=180", "--inner-bars=133", "--caption1="}});
    cases.push_back({"NoBarsAtAll", {"--outer-bars=0", "--inner-bars=-2147483648"}});
    return cases;
}

class BadCustomDiskInput : public testing::TestWithParam<CustomDiskCase> {};

TEST_P(BadCustomDiskInput, TheDiskIsProducedWhole) {
    const CustomDiskCase& c = GetParam();
    const std::string folder = FreshTestFolder("bad-custom-" + c.Name);
    const std::string path = folder + "/custom.pdf";
    std::vector<std::string> strobe{"strobe", "-o", path};
    strobe.insert(strobe.end(), c.Options.begin(), c.Options.end());
    const ToolResult result = RunTool(strobe);
    if (c.Refused) {
        EXPECT_EQ(result.ExitCode, 2);
        EXPECT_NE(result.Err.find("must be 10000 bars or less"), std::string::npos) << result.Err;
        EXPECT_FALSE(std::filesystem::exists(path));
        return;
    }
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    const PdfReport pdf = CheckPdf(path);
    EXPECT_TRUE(pdf.Valid);
    EXPECT_EQ(pdf.Pages, 1);
    if (!HasFailure()) {
        std::filesystem::remove_all(folder);
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, BadCustomDiskInput, testing::ValuesIn(CustomDiskCases()),
                         [](const testing::TestParamInfo<CustomDiskCase>& row) { return row.param.Name; });

} // namespace

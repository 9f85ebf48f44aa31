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
    // A number field that holds no number, or one too large to hold, is refused: nothing is written.
    bool Refused = false;
};

bool HoldsNoUsableNumber(std::string_view kind) {
    return kind == "Empty" || kind == "Blanks" || kind == "Letters" || kind == "Overflow" ||
           kind == "NegativeOverflow" || kind == "TenThousandDigits";
}

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
            c.Refused = std::string(field) != "id" && HoldsNoUsableNumber(text.Name);
            cases.push_back(c);
        }
    }
    cases.push_back({"SwappedRadii", {"--inner-radius=146.05", "--outer-radius=60.325"}, "inner-radius", "146.050"});
    cases.push_back({"EqualRadii", {"--inner-radius=60.325", "--outer-radius=60.325"}, "inner-radius", "60.325"});
    cases.push_back({"BothRadiiEmpty", {"--inner-radius=", "--outer-radius="}, "inner-radius", "0.000", false, true});
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

TEST_P(BadInput, ValuesArcTemplateAndDisksAreProducedWholeOrRefused) {
    const BadInputCase& c = GetParam();
    const std::string folder = FreshTestFolder("bad-input-" + c.Name);
    if (c.Refused) {
        for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
                 {"values"}, {"arc", "-o", folder + "/arc.pdf"}, {"strobe", "-o", folder + "/strobe.pdf"}}) {
            if (command[0] == "strobe" && !c.Strobe) {
                continue;
            }
            std::vector<std::string> args = command;
            args.insert(args.end(), c.Options.begin(), c.Options.end());
            const ToolResult result = RunTool(args);
            EXPECT_EQ(result.ExitCode, 2) << command[0] << ": " << result.Err;
            EXPECT_EQ(result.Out, "") << command[0];
            EXPECT_NE(result.Err.find("quillmere: --" + c.Option + " must be a number"), std::string::npos)
                << result.Err;
            EXPECT_EQ(result.Err.find("reads as"), std::string::npos) << result.Err;
        }
        EXPECT_TRUE(std::filesystem::is_empty(folder));
        return;
    }

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
    // A count that is not a whole number from 0 to 10 000, however it is written, is refused before anything is
    // drawn, with this reason; empty when the disk is made.
    std::string Refused = {};
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
            const std::string_view kind = text.Name;
            const bool huge = kind == "Overflow" || kind == "TenThousandDigits";
            const bool whole = kind == "Zero" || kind == "NegativeZero";
            cases.push_back({name,
                             {"--" + std::string(field) + "=" + text.Text},
                             !count || whole ? ""
                             : huge          ? "must be 10000 bars or less"
                                             : "must be a whole number of bars from 0 (no ring) to 10000"});
        }
    }
    std::string nonAscii;
    for (int i = 0; i < 75; ++i) {
        nonAscii += "\xC3\xB6\xC2\xB0\xE6\x97\xA5\xE2\x82\xAC";
    }
    cases.push_back({"NonAsciiCaptions300", {"--caption1=" + nonAscii, "--caption2=" + nonAscii}});
    cases.push_back({"HalfCounts", {"--outer-bars=160.5", "--inner-bars=161.5"}, "not '160.5'"});
    cases.push_back({"FiftyHertzCountsWithEmptyCaptions", {"--outer-bars=180", "--inner-bars=133", "--caption1="}});
    cases.push_back({"NoBarsAtAll", {"--outer-bars=0", "--inner-bars=0"}});
    cases.push_back({"NegativeCount", {"--outer-bars=0", "--inner-bars=-2147483648"}, "not '-2147483648'"});
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
    if (!c.Refused.empty()) {
        EXPECT_EQ(result.ExitCode, 2);
        EXPECT_NE(result.Err.find(c.Refused), std::string::npos) << result.Err;
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

// ---- Typed values the tool once misread without a word: read as meant, or refused or warned about ----

struct TypedCase {
    std::vector<std::string> Args;
    int ExitCode;
    std::string Err; // a part of standard error
    std::string Out; // a part of standard output
};

class TypedInput : public testing::TestWithParam<TypedCase> {};

TEST_P(TypedInput, IsReadAsMeantOrSaidAbout) {
    const TypedCase& c = GetParam();
    std::string row = testing::UnitTest::GetInstance()->current_test_info()->name();
    row = row.substr(row.rfind('/') + 1);
    const std::string folder = FreshTestFolder("typed-input-" + row);
    const ToolResult result = RunTool(c.Args, folder);
    EXPECT_EQ(result.ExitCode, c.ExitCode) << result.Err;
    EXPECT_NE(result.Err.find(c.Err), std::string::npos) << result.Err;
    EXPECT_NE(result.Out.find(c.Out), std::string::npos) << result.Out;
    EXPECT_EQ(result.Err.find('\x1B'), std::string::npos); // nothing typed reaches the terminal raw
    if (c.ExitCode == 2) {
        EXPECT_TRUE(std::filesystem::is_empty(folder));
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, TypedInput, testing::Values(
    TypedCase{{"values", "--inner-radius", "57,5"}, 0, "quillmere: --inner-radius \"57,5\" reads as 57.5 (a decimal",
              "Inner groove radius = 57.500"},
    TypedCase{{"values", "--spindle-to-pivot", "222,5"}, 0, "", "Pivot to spindle distance = 222.500"},
    TypedCase{{"strobe", "--speeds", "33,3"}, 0, "--speeds \"33,3\" reads as 33 1/3 rpm (a decimal comma)", ""},
    TypedCase{{"strobe", "--speeds", "78,45"}, 2, "could be 78.45 rpm (write 78.45) or 78 and 45 rpm (write 78+45)", ""},
    TypedCase{{"strobe", "--speeds", "331/3"}, 2, "could be 110 1/3 rpm or, with a blank, '33 1/3'", ""},
    TypedCase{{"strobe", "--speeds", "33.3333333+45 rpm", "--mains", "50 Hz", "--strict"}, 0, "wrote strobe-", ""},
    TypedCase{{"analyse", "--rpm", "33 1/3"}, 0, "", "33.333 rpm"},
    TypedCase{{"analyse", "--rpm", "331/3"}, 2, "--rpm: '331/3' could be", ""},
    TypedCase{{"strobe", "--outer-bars", "abc"}, 2, "--outer-bars must be a whole number of bars from 0 (no ring)", ""},
    TypedCase{{"strobe", "--inner-bars", "inf"}, 2, "not 'inf'", ""},
    TypedCase{{"strobe", "--inner-bars", "nan"}, 2, "not 'nan'", ""},
    TypedCase{{"strobe", "--inner-bars=", "--outer-bars", "200"}, 2, "not ''", ""},
    TypedCase{{"strobe", "--outer-bars", "57,5"}, 2, "not '57,5'", ""},
    TypedCase{{"strobe", "--colours", "a,b,c,d,e,f"}, 0, "warning: --colours: 'a' reads as 0, 'b' as 0, 'c' as 0", ""},
    TypedCase{{"strobe", "--colours", "a,b,c,d,e,f"}, 0, "lines in 0,0,0 would not show on the background 0,0,0", ""},
    TypedCase{{"strobe", "--colours", "255,255,255,255,255,255"}, 0, "lines in 255,255,255 would not show", ""},
    TypedCase{{"strobe", "--colours", "300,0,0,0x10,255,255"}, 0, "'300' reads as 255 and '0x10' as 0", ""},
    TypedCase{{"strobe", "--colors", "0,0,128,255,255,200", "--paper", "letter", "--strict"}, 0, "wrote", ""},
    TypedCase{{"values", "--id", "a\nb"}, 2, "--id cannot hold control characters such as line breaks, tabs", ""},
    TypedCase{{"values", "--id", "\x1B[31mred"}, 2, "character 1 is U+001B", ""},
    TypedCase{{"values", "--inner-radius", "\x1B[31m"}, 2, "--inner-radius must be a number, not '<U+001B>[31m'", ""},
    // A text without a number is refused as such, not read as 0 and refused for a length nobody typed; a number
    // too large to hold is refused as that.
    TypedCase{{"values", "--spindle-to-pivot", ""}, 2, "quillmere: --spindle-to-pivot must be a number, not ''", ""},
    TypedCase{{"values", "--spindle-to-pivot", "abc"}, 2, "--spindle-to-pivot must be a number, not 'abc' (try", ""},
    TypedCase{{"analyse", "--spindle-to-pivot", "abc"}, 2, "--spindle-to-pivot must be a number, not 'abc' (try", ""},
    TypedCase{{"arc", "--outer-radius", "x1"}, 2, "--outer-radius must be a number, not 'x1' (try", ""},
    TypedCase{{"values", "--spindle-to-pivot=1e9999"}, 2, "not '1e9999', which is too large to hold", ""},
    TypedCase{{"arc", "--spindle-to-pivot", "1e400"}, 2, "--spindle-to-pivot must be a number of a size", ""},
    TypedCase{{"analyse", "--velocity", "-1e400"}, 2, "--velocity must be a number of a size", ""},
    TypedCase{{"strobe", "--speeds", "\x1B[31m"}, 2, "'<U+001B>[31m' is not a speed", ""},
    TypedCase{{"values", "--id", "Deck \xD7\xA2\xF0\x9F\x98\x80"}, 0, "prints '\xD7\xA2' and '\xF0\x9F\x98\x80' as ?",
              "ID = Deck ??"},
    TypedCase{{"values", "--id", std::string(45, 'x')}, 0, "--id has 45 characters and the title only room for", ""},
    TypedCase{{"values", "--nulls", "66,5,120"}, 2, "could be 66 and 5.12 mm or 66.5 and 120 mm: write 66;5.12", ""},
    TypedCase{{"values", "--nulls", "66,0,120,9"}, 0, "\"66,0,120,9\" reads as 66 and 120.9 mm (a decimal comma)",
              "Outer null radius = 120.900"},
    TypedCase{{"values", "--nulls", "120.9,66"}, 2, "--nulls must give the inner null point first", ""},
    TypedCase{{"arc", "--nulls", "0;100"}, 2,
              "--nulls must lie between 0 and the spindle to pivot distance (209 mm), not '0;100'", ""},
    TypedCase{{"analyse", "--spindle-to-pivot", "222", "--nulls", "66;230"}, 2, "distance (222 mm), not '66;230'", ""},
    TypedCase{{"values", "--nulls", "66mm;120"}, 2, "--nulls must be two null points in mm", ""},
    TypedCase{{"values", "--nulls", "50;120", "--preset", "iec"}, 0,
              "warning: --nulls: the null point 50 mm lies outside the grooves (60.325 to 146.05 mm)", ""},
    TypedCase{{"arc", "--nulls", "66;120", "--geometry", "lofgren-b"}, 2, "give --geometry or --nulls, not both", ""},
    TypedCase{{"arc", "--nulls", "66;120", "--exact", "--strict"}, 2, "--exact has nothing to solve with --nulls", ""},
    TypedCase{{"values", "--exact", "--preset", "iec", "--spindle-to-pivot", "222"}, 0, "",
              "Outer null radius = 121.039"},
    TypedCase{{"values", "--exact", "--spindle-to-pivot", "100"}, 2, "--exact: an exact solution needs groove radii", ""},
    TypedCase{{"analyse", "--exact", "--preset", "iec", "--spindle-to-pivot", "222"}, 0, "", "120.891 (+0.148)"},
    TypedCase{{"arc", "--help"}, 0, "", "72 to 2400"},
    TypedCase{{"arc", "--help"}, 0, "", "letter|a4|a3|tabloid|legal"},
    TypedCase{{"arc", "--paper", "b4"}, 2, "--paper must be letter, a4, a3, tabloid or legal, not 'b4'", ""},
    TypedCase{{"arc", "--spindle-to-pivot", "300", "--paper", "letter", "-o", "-", "--format", "png"}, 2,
              "--output - takes one page, and the template takes 2 sheets of Letter as png: write pdf to standard "
              "output, or name a file (one file per sheet, numbered)", ""},
    TypedCase{{"arc", "--spindle-to-pivot", "320", "--paper", "legal", "--strict"}, 0,
              "it comes on 2 sheets to join (each says how); A3 or Tabloid paper holds it on one sheet", ""},
    TypedCase{{"arc", "--spindle-to-pivot", "300", "--paper", "letter", "--dpi", "100", "-o", "arm.png"}, 0,
              "wrote arm-1.png and arm-2.png (2 sheets of Letter landscape", ""},
    TypedCase{{"arc", "--spindle-to-pivot", "300", "--paper", "tabloid", "--strict"}, 0,
              "wrote arc-template.pdf (Tabloid landscape, 600 dpi)", ""},
    TypedCase{{"strobe", "--help"}, 0, "", "0 to 50 (default 4.23)"}));
// clang-format on

} // namespace

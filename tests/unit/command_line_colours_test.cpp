#include "print/command_line_colours.h"
#include "windows/program_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::int32_t> Components(const PrintColourRecord& colours) {
    return {colours.ForegroundRed, colours.ForegroundGreen, colours.ForegroundBlue,
            colours.BackgroundRed, colours.BackgroundGreen, colours.BackgroundBlue};
}

// --- The program's own name is not part of the text ---

TEST(CommandLineProgramName, TheRestAfterTheName) {
    struct Case {
        const char* Line;
        const char* Rest;
    };
    const Case cases[] = {
        {"quillmere.exe", ""},
        {"quillmere.exe 1,2,3", " 1,2,3"},
        {"quillmere.exe\t1,2", "\t1,2"},
        {"\"C:\\Program Files\\Quillmere\\quillmere.exe\" 255,0,0", " 255,0,0"},
        {"\"C:\\Program Files\\q.exe\"1,2", "1,2"},
        {"\"C:\\unterminated name 1,2", ""},
        {"", ""},
        {"   leading", "   leading"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextAfterProgramName(c.Line), c.Rest) << c.Line;
    }
}

// --- Only blanks are trimmed ---

TEST(CommandLineTrim, BlanksOnlyAtBothEnds) {
    struct Case {
        const char* Text;
        const char* Trimmed;
    };
    const Case cases[] = {
        {"", ""},       {"   ", ""},      {" 1,2 ", "1,2"}, {"\t1,2\t", "\t1,2\t"},
        {" \t ", "\t"}, {"a  b", "a  b"}, {"  x", "x"},     {"x  ", "x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrimBlanks(c.Text), c.Trimmed) << '"' << c.Text << '"';
    }
}

// --- Comma fields, quoted fields, skipped leading blanks ---

TEST(CommandLineFields, Splitting) {
    struct Case {
        const char* Text;
        std::vector<std::string> Fields;
    };
    const Case cases[] = {
        {"1", {"1"}},
        {"1,2,3", {"1", "2", "3"}},
        {"0, 0, 128", {"0", "0", "128"}},
        {"1,,3", {"1", "", "3"}},
        {",", {"", ""}},
        {"1 ,2", {"1 ", "2"}},
        {"\"1,5\",2", {"1,5", "2"}},
        {"  \"a b\"  ,  c", {"a b", "c"}},
        {"\"12\"junk,7", {"12", "7"}},
        {"\"open,ended", {"open,ended"}},
        {"\"\",4", {"", "4"}},
        {"a\"b,c", {"a\"b", "c"}},
        {"\t5,6", {"\t5", "6"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitCommandFields(c.Text), c.Fields) << c.Text;
    }
}

// --- Six components, rounded, missing ones zero ---

TEST(CommandLineColours, ComponentsFromText) {
    struct Case {
        const char* Text;
        std::vector<std::int32_t> Components;
    };
    const Case cases[] = {
        {"", {0, 0, 0, 255, 255, 255}},
        {"255,0,0", {255, 0, 0, 0, 0, 0}},
        {"0, 0, 128, 255, 255, 200", {0, 0, 128, 255, 255, 200}},
        {"300,-5,0,0,0,0", {300, -5, 0, 0, 0, 0}},
        {"0.5,1.5,2.5,3.5,-0.5,-1.5", {0, 2, 2, 4, 0, -2}},
        {"0.49,0.51,254.5,255.5", {0, 1, 254, 256, 0, 0}},
        {"9999999999", {-2147483647 - 1, 0, 0, 0, 0, 0}},
        {"1,2,3,4,5,6,7,8", {1, 2, 3, 4, 5, 6}},
        {"\"10\",\"20\",30", {10, 20, 30, 0, 0, 0}},
        {",,,,,9", {0, 0, 0, 0, 0, 9}},
        {"red,green", {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Components(ColoursFromCommandText(c.Text)), c.Components) << c.Text;
    }
}

// --- The whole command line sets the process-wide colours once ---

TEST(CommandLineColours, SetFromTheWholeLine) {
    struct Case {
        const char* Line;
        const char* Kept;
        std::vector<std::int32_t> Components;
    };
    const Case cases[] = {
        {"quillmere.exe", "", {0, 0, 0, 255, 255, 255}},
        {"quillmere.exe     ", "", {0, 0, 0, 255, 255, 255}},
        {"\"C:\\Q\\quillmere.exe\"  255,0,0  ", "255,0,0", {255, 0, 0, 0, 0, 0}},
        {"quillmere.exe 0, 0, 128, 255, 255, 200", "0, 0, 128, 255, 255, 200", {0, 0, 128, 255, 255, 200}},
        {"quillmere.exe \t9", "\t9", {9, 0, 0, 0, 0, 0}}, // the tab stays; number reading skips it
    };
    for (const Case& c : cases) {
        CommandText.clear();
        PrintColours = PrintColourRecord{7, 7, 7, 7, 7, 7};
        SetPrintColoursFromCommandLine(c.Line);
        EXPECT_EQ(Components(PrintColours), c.Components) << c.Line;
        EXPECT_EQ(CommandText, c.Kept) << c.Line;
    }
    CommandText.clear();
    PrintColours = PrintColourRecord{};
}

} // namespace

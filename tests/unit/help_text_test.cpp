#include "settings/help_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// --- The shape of the text ---

TEST(HelpAboutText, TwentySixLinesJoinedByLineFeeds) {
    const std::string text = HelpAboutText();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 25);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_NE(text.back(), '\n');
    EXPECT_EQ(text.substr(0, 10), "Quillmere\n");
    EXPECT_NE(text.find("circumstances.\n\nMeasure"), std::string::npos) << "line 6 is the only empty line";
    for (std::size_t line = 0; line < HelpAboutLines.size(); ++line) {
        EXPECT_EQ(HelpAboutLines[line].empty(), line == 5) << "line " << line + 1;
        EXPECT_EQ(HelpAboutLines[line].find('\n'), std::string::npos) << "line " << line + 1;
    }
}

// --- Lines whose exact bytes matter ---

TEST(HelpAboutText, ExactLines) {
    struct Case {
        std::size_t Line;
        std::string_view Text;
    };
    const Case cases[] = {
        {1, "Quillmere"},
        {3, "Freeware with no guarantee of suitability for any"},
        {5, "damage under any circumstances."},
        {7, "Measure your arm pivot-to-spindle distance carefully."},
        {8, "Choose inner and outer groove radius using standards, "},
        {18, "wings to the template, equidistant from the grid center-"},
        {25, "printouts, use photo paper. Note that L\xF6"
             "fgren A is also"},
        {26, "known as Baerwald. *** Read the ReadMe file ***"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HelpAboutLines[c.Line - 1], c.Text) << "line " << c.Line;
    }
}

TEST(HelpAboutText, NoticeLineIsPlainText) {
    const std::string_view notice = HelpAboutLines[1];
    EXPECT_FALSE(notice.empty());
    EXPECT_LE(notice.size(), 70u) << "as short as the lines around it";
    EXPECT_TRUE(std::all_of(notice.begin(), notice.end(), [](char c) { return c >= 0x20 && c < 0x7F; }));
}

TEST(HelpAboutText, TitleIsFixed) {
    EXPECT_EQ(HelpAboutTitle, "Help/About");
}

} // namespace

#include "analysis/analysis_report.h"
#include "geometry/numeric_text.h"
#include "print/screen_chart.h"
#include "settings/page_aids.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

SettingsReport Read(SettingsCommand command, const NamedSettings& settings) {
    return ReadSettings(command, settings, {PaperSize::Letter, false});
}

// The factor brings the measured length back to 200 mm to the five decimals it is given in, whichever way the
// length was typed.
TEST(PageAids, CorrectionFactorRestoresTheMarks) {
    for (const std::string measured : {"198.6", "198,6", " 201.25", "150", "299.9", "200"}) {
        const Result<std::string> factor = CorrectionFactorFromMeasured(measured);
        ASSERT_TRUE(factor) << measured << ": " << factor.Message();
        const double length = TextToNumber(DecimalCommaAsPoint(measured).value_or(measured));
        EXPECT_NEAR(TextToNumber(*factor) * length, 200.0, 0.5e-5 * length) << measured;
        EXPECT_NE(factor->back(), '0') << *factor;
    }
    EXPECT_EQ(*CorrectionFactorFromMeasured("198.6"), "1.00705");
}

TEST(PageAids, CorrectionFactorRefusesWhatIsNoMeasurement) {
    for (const std::string measured :
         {"", "  ", "abc", "198.6mm", "0", "-5", "50", "99.99", "300.01", "1e400", "nan"}) {
        const Result<std::string> factor = CorrectionFactorFromMeasured(measured);
        EXPECT_FALSE(factor) << measured << " gave " << factor.ValueOr("");
        EXPECT_NE(factor.Message().find("'" + measured + "'"), std::string::npos) << factor.Message();
    }
}

struct FileNameCase {
    std::string Printout;
    SettingsCommand Command;
    NamedSettings Settings;
    std::string Name;
};

TEST(PageAids, FileNamesTellTheSetup) {
    const FileNameCase cases[] = {
        {"arc",
         SettingsCommand::Arc,
         {{"spindle-to-pivot", "222"}, {"preset", "iec"}, {"paper", "a4"}},
         "arc-222mm-iec-lofgren-a-a4.pdf"},
        {"arc",
         SettingsCommand::Arc,
         {{"spindle-to-pivot", "231,5"}, {"inner-radius", "57.4"}, {"geometry", "Baerwald"}, {"paper", "letter"}},
         "arc-231.5mm-57.4-146.05mm-lofgren-a-letter.pdf"},
        {"arc", SettingsCommand::Arc, {{"geometry", "stevenson-a"}}, "arc-209mm-din-stevenson-a-letter.pdf"},
        {"arc", SettingsCommand::Arc, {{"nulls", "66;120,9"}}, "arc-209mm-din-nulls-66-120.9-letter.pdf"},
        {"arc", SettingsCommand::Arc, {{"exact", ""}, {"paper", "a3"}}, "arc-209mm-din-lofgren-a-exact-a3.pdf"},
        {"chart", SettingsCommand::Analyse, {{"preset", "typical"}, {"paper", "a4"}}, "analysis-209mm-typical-a4.pdf"},
        {"strobe-50", SettingsCommand::Strobe, {{"mains", "50"}, {"paper", "a4"}}, "strobe-50hz-a4.pdf"},
        {"strobe-custom",
         SettingsCommand::Strobe,
         {{"outer-bars", "200"}, {"inner-bars", "148"}},
         "strobe-200-148-bars-letter.pdf"},
    };
    for (const FileNameCase& c : cases) {
        EXPECT_EQ(PageFileName(c.Printout, Read(c.Command, c.Settings)), c.Name);
    }
}

// The check after a page is made is the Linux tool's, and only pages with marks to measure have one.
TEST(PageAids, RemindersNameWhatToMeasure) {
    EXPECT_NE(PrintReminderOf(SettingsCommand::Strobe).find("measures 180 mm"), std::string::npos);
    EXPECT_NE(PrintReminderOf(SettingsCommand::Arc).find("200 mm marks"), std::string::npos);
    EXPECT_EQ(PrintCheckOf(SettingsCommand::Analyse), "");
}

// On a phone the chart's panels fit the screen, their curves stay inside the plot, and no two labels of the radius
// axis overlap at the lettering asked for.
TEST(ScreenChart, PanelsFitTheScreenAndKeepTheirLabelsApart) {
    const SettingsReport report =
        Read(SettingsCommand::Analyse, {{"preset", "iec"}, {"effective-length", "239"}, {"offset-angle", "24"}});
    ASSERT_TRUE(report.Analysis);
    for (const double width : {320.0, 358.0, 700.0}) {
        const double text = 12;
        const ScreenChart chart = ScreenChartOf(*report.Analysis, width, text);
        ASSERT_EQ(chart.Panels.size(), 2u);
        for (const ScreenPanel& panel : chart.Panels) {
            EXPECT_EQ(panel.Width, width);
            EXPECT_EQ(panel.Series.size(), report.Analysis->Arms.size());
            for (const ScreenSeries& series : panel.Series) {
                ASSERT_FALSE(series.Runs.empty());
                for (const std::vector<double>& run : series.Runs) {
                    ASSERT_GT(run.size(), 2u);
                    for (std::size_t i = 0; i + 1 < run.size(); i += 2) {
                        EXPECT_GE(run[i], panel.Left - 1e-9);
                        EXPECT_LE(run[i], panel.Right + 1e-9);
                        EXPECT_GE(run[i + 1], panel.Top - 1e-9);
                        EXPECT_LE(run[i + 1], panel.Bottom + 1e-9);
                    }
                }
            }
            double lastRight = -1e9;
            for (const ScreenLabel& label : panel.Labels) {
                const double half = 0.3 * text * static_cast<double>(label.Text.size());
                if (label.Align == ScreenLabel::Anchor::Middle && label.Y < panel.Bottom + 2 * text) {
                    EXPECT_GT(label.X - half, lastRight) << label.Text << " at " << width;
                    lastRight = label.X + half;
                }
                if (label.Align == ScreenLabel::Anchor::End) {
                    EXPECT_GE(label.X - 2 * half, 0.0) << label.Text;
                }
                EXPECT_LE(label.Y, panel.Height);
            }
        }
    }
    EXPECT_TRUE(ScreenChartOf(*report.Analysis, 100, 12).Panels.empty());
}

} // namespace

namespace {

// The cells are the text table's, line for line, so a page that lays them out shows what the Linux tool prints.
TEST(AnalysisCells, CellsAreTheTextTablesLines) {
    for (const NamedSettings& settings :
         {NamedSettings{{"preset", "iec"}}, NamedSettings{{"effective-length", "239"}, {"offset-angle", "24"}},
          NamedSettings{{"spindle-to-pivot", "300"}, {"overhang", "20"}, {"offset-angle", "18"}}}) {
        const SettingsReport report = Read(SettingsCommand::Analyse, settings);
        ASSERT_TRUE(report.Analysis);
        const AnalysisCells table = AnalysisTableCells(*report.Analysis);
        const std::string text = AnalysisText(*report.Analysis);
        ASSERT_EQ(table.Arms.size(), report.Analysis->Arms.size());
        EXPECT_TRUE(text.starts_with(table.Inputs + "\n"));
        std::size_t at = text.find('\n', table.Inputs.size() + 2) + 1;
        for (const AnalysisCells::Row& row : table.Rows) {
            const std::size_t end = text.find('\n', at);
            const std::string line = text.substr(at, end - at);
            EXPECT_TRUE(line.starts_with(row.Label)) << line;
            std::size_t from = row.Label.size();
            for (std::size_t i = 0; i < row.Cells.size(); ++i) {
                from = line.find(row.Cells[i], from);
                ASSERT_NE(from, std::string::npos) << row.Cells[i] << " in " << line;
                from += row.Cells[i].size();
                EXPECT_EQ(line.substr(from, 2) == " *", row.Marked == i) << line;
            }
            at = end + 1;
        }
        EXPECT_TRUE(
            text.ends_with(table.Footnote + "\n" + table.TradeOff + "\n" + table.Comparison + table.ClosedForms));
        EXPECT_EQ(table.Comparison.empty(), !report.Analysis->Inputs.Arm);
    }
}

} // namespace

namespace {

struct BlockingCase {
    std::string Printout;
    SettingsCommand Command;
    NamedSettings Settings;
    std::vector<std::string> Codes;
};

// Whatever leaves no arm to align blocks the template and the chart, never the disks, which need no arm.
TEST(PageAids, ImpossibleSetupsBlockTheirPrintouts) {
    const BlockingCase cases[] = {
        {"arc", SettingsCommand::Arc, {{"spindle-to-pivot", ""}}, {"not-a-number"}},
        {"arc", SettingsCommand::Arc, {{"spindle-to-pivot", "-5"}}, {"pivot-on-record"}},
        {"arc", SettingsCommand::Arc, {{"spindle-to-pivot", "abc"}}, {"not-a-number"}},
        {"arc", SettingsCommand::Arc, {{"spindle-to-pivot", "1e400"}}, {"number-too-large"}},
        {"chart", SettingsCommand::Analyse, {{"inner-radius", "150"}}, {"cannot-analyse", "radii-order"}},
        {"arc", SettingsCommand::Arc, {{"spindle-to-pivot", "500"}}, {}},
        {"arc", SettingsCommand::Arc, {{"paper", "a5"}}, {"not-a-choice"}},
        {"strobe-60", SettingsCommand::Strobe, {{"correction-x", "0.5"}}, {}},
        {"strobe-custom", SettingsCommand::Strobe, {{"outer-bars", "20000"}}, {"too-many-bars"}},
    };
    for (const BlockingCase& c : cases) {
        std::vector<std::string> codes;
        for (const SettingNotice& notice : BlockingNotices(c.Printout, Read(c.Command, c.Settings))) {
            codes.push_back(notice.Code);
        }
        EXPECT_EQ(codes, c.Codes) << c.Printout << " " << c.Settings.begin()->second;
    }
}

} // namespace

#include "geometry/alignment.h"
#include "print/arc_elements.h"
#include "print/arc_sheets.h"
#include "print/paper.h"
#include "print/printouts.h"
#include "print/recording_device.h"
#include "settings/settings.h"
#include "tests/unit/printout_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using printout_test::IecArmRecord;

// The requests of a printout on a 600 dpi printer whose landscape printable area is `printable` dots across.
std::vector<DeviceRequest> Recorded(const std::function<void(PrintSurface&, const ArcTemplateJob&)>& printout,
                                    const ParameterRecord& record, int across = 6500) {
    RecordingDeviceSettings settings;
    settings.PortraitPrintableSize = {4900, across};
    std::vector<DeviceRequest> log;
    RecordingPrinterChooser chooser(log, settings);
    PrintSurface surface(chooser);
    printout(surface, ArcTemplateJobOf(record));
    return log;
}

auto Drawn(DeviceRequest r) {
    if (r.What == DeviceRequest::Kind::Text) {
        r.Rect.Right = 0; // text is clipped at the printable area's right edge, wherever that is
    }
    return std::tuple(r.What, r.Text, r.Orientation, r.From.X, r.From.Y, r.To.X, r.To.Y, r.Rect.Left, r.Rect.Top,
                      r.Rect.Right, r.Rect.Bottom, r.Shape, r.Pie, r.Colour, r.Fill.Filled, r.Fill.Colour, r.Opaque,
                      r.PenWidth, r.Font, r.Mark);
}

const auto KeptOnPage = [](PrintSurface& surface, const ArcTemplateJob& job) {
    (void)PrintArcTemplate(surface, job, EdgeMarks::KeptOnPage);
};

} // namespace

// A template that fits (222 mm on Letter) is the very page the one-page printout draws, request for request.
TEST(ArcSheets, AnArmThatFitsDrawsTheOnePageTemplate) {
    const std::vector<DeviceRequest> today = Recorded(KeptOnPage, IecArmRecord(222));
    const std::vector<DeviceRequest> sheets =
        Recorded([](PrintSurface& surface,
                    const ArcTemplateJob& job) { (void)PrintArcTemplateSheets(surface, job, SheetChoice::AsNeeded); },
                 IecArmRecord(222));
    ASSERT_EQ(sheets.size(), today.size());
    for (std::size_t i = 0; i < today.size(); ++i) {
        EXPECT_EQ(Drawn(sheets[i]), Drawn(today[i])) << "request " << i;
    }
}

// Tiled by choice, short arms put the halfway join across a grid; long ones on every paper reach far past them. Each
// grid (30 mm along the groove, 20 mm across, turned less than 45 degrees) lies whole left of or right of every join.
TEST(ArcSheets, NoJoinCrossesAGrid) {
    for (const auto& [distance, paper] : {std::pair{120.0, PaperSize::Letter},
                                          {130.0, PaperSize::A4},
                                          {300.0, PaperSize::Letter},
                                          {400.0, PaperSize::Legal}}) {
        const ParameterRecord record = IecArmRecord(distance);
        const PageScale scale = PageScaleOf({600, 600}, CorrectionOf(record));
        const int across = PaperGeometryOf(paper, 600, 4.23, 2).Printable.X;
        const ArcSheets sheets = PlanArcSheets(ArcTemplateJobOf(record), scale, 600, across, SheetChoice::Tiled);
        ASSERT_GE(sheets.Count(), 2) << distance;
        EXPECT_GE(sheets.Left.back() + across, ArcTemplateRightDots(ArcTemplateJobOf(record), scale, 600)) << distance;
        for (const double radius : {record.InnerNullRadius, record.OuterNullRadius}) {
            const double x =
                IntersectCircles(radius, record.EffectiveLength, distance, 43, 40, 43 + distance, 40).value().X;
            for (int join = 0; join + 1 < sheets.Count(); ++join) {
                EXPECT_TRUE(sheets.JoinDots(join) > (x + 36) * scale.X || sheets.JoinDots(join) < (x - 36) * scale.X)
                    << distance << " mm, the grid at " << x << " mm";
            }
        }
    }
}

TEST(ArcSheets, AnArmNoPaperCouldHoldStopsAtTheMostSheets) {
    const ArcSheets sheets =
        PlanArcSheets(ArcTemplateJobOf(IecArmRecord(5000)), PageScaleOf({600, 600}, CorrectionOf(IecArmRecord(5000))),
                      600, 6500, SheetChoice::AsNeeded);
    EXPECT_EQ(sheets.Count(), MostArcSheets);
}

// The report counts the sheets (the page reads it to say what a download takes); its note replaces the warning of
// a pivot off the paper (the tool's wording is checked in the typed-input table).
TEST(ArcSheets, TheReportCountsTheSheets) {
    const std::tuple<NamedSettings, int, bool> cases[] = {
        {{{"spindle-to-pivot", "300"}, {"paper", "letter"}}, 2, true},
        {{{"spindle-to-pivot", "300"}, {"paper", "a3"}}, 1, false},
        {{{"spindle-to-pivot", "300"}, {"paper", "a3"}, {"tile", ""}}, 2, false},
        {{{"spindle-to-pivot", "222"}, {"paper", "letter"}}, 1, false},
        {{{"spindle-to-pivot", "400"}, {"paper", "tabloid"}}, 2, true},
    };
    for (const auto& [given, count, noted] : cases) {
        const SettingsReport report = ReadSettings(SettingsCommand::Arc, given, {PaperSize::Letter, true});
        const std::string json = ReportJson(report);
        EXPECT_NE(json.find("\"sheets\": " + std::to_string(count)), std::string::npos) << json;
        EXPECT_TRUE(report.Warnings.empty()) << json;
        EXPECT_EQ(json.find("\"page-tiled\"") != std::string::npos, noted) << json;
    }
}

// Short arms tiled by choice: the whole glue band of every join, not only its cut line, keeps the grids' reach
// (37 mm) from each null point, so no grid is cut or glued over.
TEST(ArcSheets, NoGlueBandComesNearAGrid) {
    constexpr double GridReachMm = 37;
    for (const PaperSize paper : {PaperSize::A4, PaperSize::Letter}) {
        for (double distance = 150; distance <= 170; distance += 0.5) {
            SCOPED_TRACE(testing::Message() << PaperNameOf(paper) << ", " << distance << " mm");
            const ParameterRecord record = IecArmRecord(distance);
            const PageScale scale = PageScaleOf({600, 600}, CorrectionOf(record));
            const int across = PaperGeometryOf(paper, 600, 4.23, 2).Printable.X;
            const ArcSheets sheets = PlanArcSheets(ArcTemplateJobOf(record), scale, 600, across, SheetChoice::Tiled);
            ASSERT_GE(sheets.Count(), 2);
            for (const double radius : {record.InnerNullRadius, record.OuterNullRadius}) {
                const std::optional<PagePosition> point =
                    IntersectCircles(radius, record.EffectiveLength, distance, 43, 40, 43 + distance, 40);
                ASSERT_TRUE(point);
                const double x = point->X;
                const double reachFrom = (x - GridReachMm) * scale.X;
                const double reachTo = (x + GridReachMm) * scale.X;
                for (int join = 1; join < sheets.Count(); ++join) {
                    const int bandFrom = sheets.Left[static_cast<std::size_t>(join)];
                    const int bandTo = bandFrom + sheets.BandDots;
                    EXPECT_TRUE(bandTo <= reachFrom || bandFrom >= reachTo)
                        << "band " << bandFrom / scale.X << " to " << bandTo / scale.X << " mm, grid at " << x << " mm";
                }
            }
        }
    }
}

// One sheet while it holds the pivot point: the word "pivot" moves in, a cut tip of the pivot cross is warned of,
// and only an arm whose pivot point is off the paper takes sheets.
TEST(ArcSheets, ALabelOrACrossTipOffThePaperTakesNoSecondSheet) {
    const struct {
        const char* Distance;
        const char* Margin;
        int Sheets;
        bool CrossCut;
    } cases[] = {
        {"222", "6.35", 1, true},  {"220", "6.35", 1, false},  {"222", "5.5", 1, false},  {"223", "5.5", 1, true},
        {"215", "6.35", 1, false}, {"223.5", "6.35", 1, true}, {"224", "6.35", 2, false}, {"230", "5.5", 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Distance << " mm at " << c.Margin << " mm");
        const SettingsReport report = ReadSettings(
            SettingsCommand::Arc, {{"spindle-to-pivot", c.Distance}, {"paper", "letter"}, {"margin", c.Margin}},
            {PaperSize::Letter, true});
        ASSERT_FALSE(report.Refused());
        EXPECT_EQ(report.Page.Sheets, c.Sheets);
        std::vector<std::string> cut;
        for (const SettingNotice& warning : report.Warnings) {
            EXPECT_EQ(warning.Code, "page-cut") << warning.Message;
            cut.push_back(warning.Message);
        }
        if (c.CrossCut) {
            ASSERT_EQ(cut.size(), 1u);
            EXPECT_NE(cut[0].find("cuts the right side of the pivot mark"), std::string::npos) << cut[0];
        } else {
            EXPECT_TRUE(cut.empty()) << cut.front();
        }
    }
}

#include "geometry/alignment.h"
#include "print/arc_elements.h"
#include "print/arc_sheets.h"
#include "print/paper.h"
#include "print/printouts.h"
#include "print/recording_device.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

ParameterRecord ArmRecord(double spindleToPivot, std::int16_t geometry = 1) {
    ParameterRecord record{};
    record.SpindleToPivot = spindleToPivot;
    record.InnerGrooveRadius = 60.325;
    record.OuterGrooveRadius = 146.05;
    record.CorrectionFactorX = 1;
    record.CorrectionFactorY = 1;
    record.GeometryChoice = geometry;
    AssignArmId(record, "Deck 1");
    ComputeAlignment(record);
    return record;
}

// The requests of a printout on a 600 dpi printer whose landscape printable area is `printable` dots across.
std::vector<DeviceRequest> Recorded(const std::function<void(PrintSurface&, ParameterRecord&)>& printout,
                                    ParameterRecord record, int across = 6500) {
    RecordingDeviceSettings settings;
    settings.PortraitPrintableSize = {4900, across};
    std::vector<DeviceRequest> log;
    RecordingPrinterChooser chooser(log, settings);
    PrintSurface surface(chooser);
    printout(surface, record);
    return log;
}

// The drawing requests of each page (a job makes its fonts once, on its first page).
std::vector<std::vector<DeviceRequest>> Pages(const std::vector<DeviceRequest>& log) {
    std::vector<std::vector<DeviceRequest>> pages;
    for (const DeviceRequest& request : log) {
        if (request.What == DeviceRequest::Kind::StartPage) {
            pages.emplace_back();
        } else if (!pages.empty() && request.What != DeviceRequest::Kind::EndPage &&
                   request.What != DeviceRequest::Kind::EndDocument && request.What != DeviceRequest::Kind::MakeFont &&
                   request.What != DeviceRequest::Kind::ReleaseFont) {
            pages.back().push_back(request);
        }
    }
    return pages;
}

auto Drawn(DeviceRequest r) {
    if (r.What == DeviceRequest::Kind::Text) {
        r.Rect.Right = 0; // text is clipped at the printable area's right edge, wherever that is
    }
    return std::tuple(r.What, r.Text, r.Orientation, r.From.X, r.From.Y, r.To.X, r.To.Y, r.Rect.Left, r.Rect.Top,
                      r.Rect.Right, r.Rect.Bottom, r.Shape, r.Pie, r.Colour, r.Fill.Filled, r.Fill.Colour, r.Opaque,
                      r.PenWidth, r.Font, r.Mark);
}

// A request moved left by `dots`, as the sheet that starts there shows it.
DeviceRequest MovedLeft(DeviceRequest r, int dots) {
    if (r.What != DeviceRequest::Kind::Box) {
        r.From.X -= dots;
    }
    if (r.What == DeviceRequest::Kind::Line || r.What == DeviceRequest::Kind::Arc) {
        r.To.X -= dots;
    }
    if (r.What != DeviceRequest::Kind::Line) {
        r.Rect.Left -= dots;
        r.Rect.Right -= dots;
    }
    return r;
}

const auto KeptOnPage = [](PrintSurface& surface, ParameterRecord& record) {
    PrintArcTemplate(surface, record, EdgeMarks::KeptOnPage);
};

} // namespace

// A template that fits (222 mm on Letter) is the very page the one-page printout draws, request for request.
TEST(ArcSheets, AnArmThatFitsDrawsTheOnePageTemplate) {
    const std::vector<DeviceRequest> today = Recorded(KeptOnPage, ArmRecord(222));
    const std::vector<DeviceRequest> sheets =
        Recorded([](PrintSurface& surface,
                    ParameterRecord& record) { PrintArcTemplateSheets(surface, record, SheetChoice::AsNeeded); },
                 ArmRecord(222));
    ASSERT_EQ(sheets.size(), today.size());
    for (std::size_t i = 0; i < today.size(); ++i) {
        EXPECT_EQ(Drawn(sheets[i]), Drawn(today[i])) << "request " << i;
    }
}

// Each sheet holds the one wide template's own dots from its left edge on: the template's requests come first on
// every sheet, moved by the sheet's start in whole dots, before the marks of the sheet itself.
TEST(ArcSheets, EverySheetDrawsTheWideTemplateMovedByItsStart) {
    const ParameterRecord record = ArmRecord(300);
    const std::vector<DeviceRequest> wide = Pages(Recorded(KeptOnPage, record, 20000)).at(0);
    const std::vector<std::vector<DeviceRequest>> sheets = Pages(
        Recorded([](PrintSurface& surface,
                    ParameterRecord& printed) { PrintArcTemplateSheets(surface, printed, SheetChoice::AsNeeded); },
                 record));
    const ArcSheets plan = PlanArcSheets(record, PageScaleOf({600, 600}, record), 600, 6500, SheetChoice::AsNeeded);
    ASSERT_EQ(sheets.size(), 2U);
    ASSERT_EQ(plan.Count(), 2);
    for (std::size_t sheet = 0; sheet < sheets.size(); ++sheet) {
        SCOPED_TRACE(sheet);
        // Past the fill of the page, the template's requests in order.
        ASSERT_GT(sheets[sheet].size(), wide.size());
        for (std::size_t i = 1; i < wide.size(); ++i) {
            EXPECT_EQ(Drawn(sheets[sheet][i]), Drawn(MovedLeft(wide[i], plan.Left[sheet]))) << "request " << i;
        }
    }
}

struct PlanCase {
    PaperSize Paper;
    double Distance;
    std::int16_t Geometry;
};

class ArcSheetPlan : public testing::TestWithParam<PlanCase> {};

// On every paper, at the default margin and the largest, as needed and tiled by choice: the sheets reach the
// template's end, neighbours share at least their band, and each grid lies whole on the part of one sheet that the
// joins leave showing.
TEST_P(ArcSheetPlan, SheetsReachTheEndAndLeaveEachGridWhole) {
    const PlanCase& c = GetParam();
    const ParameterRecord record = ArmRecord(c.Distance, c.Geometry);
    const PageScale scale = PageScaleOf({600, 600}, record);
    const double right = ArcTemplateRightDots(record, scale, 600);
    for (const double margin : {4.23, 50.0}) {
        for (const SheetChoice choice : {SheetChoice::AsNeeded, SheetChoice::Tiled}) {
            const int across = PaperGeometryOf(c.Paper, 600, margin, 2).Printable.X;
            SCOPED_TRACE(testing::Message() << margin << " mm, tiled " << (choice == SheetChoice::Tiled));
            const ArcSheets sheets = PlanArcSheets(record, scale, 600, across, choice);
            EXPECT_EQ(sheets.Count() == 1, right <= across && choice == SheetChoice::AsNeeded);
            EXPECT_GE(sheets.Left.back() + across, right);
            for (int k = 0; k + 1 < sheets.Count(); ++k) {
                EXPECT_LE(sheets.Left[k + 1] - sheets.Left[k], across - sheets.BandDots);
                EXPECT_GT(sheets.Left[k + 1], sheets.Left[k]);
            }
            for (const double radius : {record.InnerNullRadius, record.OuterNullRadius}) {
                double x = 0;
                double y = 0;
                ASSERT_TRUE(
                    IntersectCircles(radius, record.EffectiveLength, c.Distance, 43, 40, 43 + c.Distance, 40, x, y));
                // The grid's lines reach 30 mm along the groove and 20 mm across it, turned by less than 45 degrees.
                const double from = (x - 36) * scale.X;
                const double to = (x + 36) * scale.X;
                bool whole = false;
                for (int k = 0; k < sheets.Count(); ++k) {
                    const double shownFrom = k == 0 ? -1e9 : sheets.JoinDots(k - 1);
                    const double shownTo = k + 1 == sheets.Count() ? sheets.Left[k] + across : sheets.JoinDots(k);
                    whole = whole || (from >= shownFrom && to <= shownTo && (k == 0 || from >= sheets.Left[k]));
                }
                EXPECT_TRUE(whole) << "the grid at x = " << x << " mm";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Papers, ArcSheetPlan,
                         testing::Values(PlanCase{PaperSize::Letter, 222, 1}, PlanCase{PaperSize::Letter, 300, 2},
                                         PlanCase{PaperSize::A4, 300, 3}, PlanCase{PaperSize::Legal, 400, 1},
                                         PlanCase{PaperSize::A3, 300, 1}, PlanCase{PaperSize::Tabloid, 400, 2},
                                         PlanCase{PaperSize::A4, 160, 1}, PlanCase{PaperSize::Legal, 350, 3},
                                         PlanCase{PaperSize::Letter, 170, 2}, PlanCase{PaperSize::A3, 180, 3},
                                         PlanCase{PaperSize::Letter, 120, 1}, PlanCase{PaperSize::A4, 130, 2}));

TEST(ArcSheets, AnArmNoPaperCouldHoldStopsAtTheMostSheets) {
    const ArcSheets sheets =
        PlanArcSheets(ArmRecord(5000), PageScaleOf({600, 600}, ArmRecord(5000)), 600, 6500, SheetChoice::AsNeeded);
    EXPECT_EQ(sheets.Count(), MostArcSheets);
}

// What the settings say of the sheets: their count in the report (also for the page), the note that replaces the
// warning of a pivot off the paper, and standard output refused for a format of one page.
TEST(ArcSheets, TheReportCountsTheSheets) {
    struct Case {
        NamedSettings Given;
        int Sheets;
        std::string Note;
        std::string Refusal;
    };
    const Case cases[] = {
        {{{"spindle-to-pivot", "300"}, {"paper", "letter"}}, 2, "2 sheets to join", ""},
        {{{"spindle-to-pivot", "300"}, {"paper", "a3"}}, 1, "", ""},
        {{{"spindle-to-pivot", "300"}, {"paper", "a3"}, {"tile", ""}}, 2, "", ""},
        {{{"spindle-to-pivot", "222"}, {"paper", "letter"}}, 1, "", ""},
        {{{"spindle-to-pivot", "400"}, {"paper", "tabloid"}}, 2, "no paper holds it on one sheet", ""},
        {{{"spindle-to-pivot", "300"}, {"paper", "a4"}, {"output", "-"}, {"format", "svg"}},
         0,
         "",
         "--output - takes one page, and the template takes 2 sheets of A4 as svg"},
        {{{"spindle-to-pivot", "300"}, {"paper", "a4"}, {"output", "-"}}, 2, "on 2 sheets to join", ""},
    };
    for (const Case& c : cases) {
        const SettingsReport report = ReadSettings(SettingsCommand::Arc, c.Given, {PaperSize::Letter, true});
        const std::string json = ReportJson(report);
        if (!c.Refusal.empty()) {
            ASSERT_TRUE(report.Refused()) << json;
            EXPECT_EQ(report.Refusals.front().Code, "sheets-to-standard-output");
            EXPECT_NE(report.Refusals.front().Message.find(c.Refusal), std::string::npos) << json;
            continue;
        }
        EXPECT_EQ(report.Page.Sheets, c.Sheets) << json;
        EXPECT_NE(json.find("\"sheets\": " + std::to_string(c.Sheets)), std::string::npos) << json;
        EXPECT_TRUE(report.Warnings.empty()) << json;
        bool noted = false;
        for (const SettingNotice& note : report.Notes) {
            noted = noted || (note.Code == "page-tiled" && note.Message.find(c.Note) != std::string::npos);
        }
        EXPECT_EQ(noted, !c.Note.empty()) << json;
    }
}

#include "geometry/alignment.h"
#include "print/page_model.h"
#include "print/printouts.h"
#include "print/recording_device.h"
#include "settings/page_warnings.h"
#include "tests/unit/printout_test_support.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Kind = DeviceRequest::Kind;
using printout_test::IecArmRecord;

std::vector<Kind> KindsOf(const std::vector<DeviceRequest>& log) {
    std::vector<Kind> kinds;
    for (const DeviceRequest& request : log) {
        kinds.push_back(request.What);
    }
    return kinds;
}

// ---- A job belongs to its surface ----

TEST(PrintSurface, APrintoutThatThrowsHasItsJobEndedWhenTheSurfaceGoes) {
    std::vector<DeviceRequest> log;
    RecordingPrinterChooser chooser(log);
    try {
        PrintSurface surface(chooser);
        ASSERT_TRUE(surface.BeginPrintJob().Ok() && surface.PrinterAttached());
        surface.SelectPrintFont(CreatePrintFont("Arial", 12.0f, 0));
        surface.PageLineTo(10.0, 10.0, UseLineColour);
        throw std::runtime_error("the printout gave up");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(KindsOf(log), (std::vector<Kind>{Kind::StartDocument, Kind::MakeFont, Kind::StartPage, Kind::Line,
                                               Kind::EndPage, Kind::EndDocument, Kind::ReleaseFont}));

    // The next job, on a surface of its own, starts from nothing.
    log.clear();
    PrintSurface next(chooser);
    ASSERT_TRUE(next.BeginPrintJob().Ok() && next.PrinterAttached());
    next.PageLineTo(5.0, 5.0, UseLineColour);
    next.EndPrintJob();
    EXPECT_EQ(KindsOf(log),
              (std::vector<Kind>{Kind::StartDocument, Kind::StartPage, Kind::Line, Kind::EndPage, Kind::EndDocument}));
    EXPECT_EQ(chooser.Calls, 2);
}

TEST(PrintSurface, TwoJobsAtOnceKeepTheirOwnPenColourPositionAndMark) {
    std::vector<DeviceRequest> firstLog;
    std::vector<DeviceRequest> secondLog;
    RecordingPrinterChooser firstChooser(firstLog);
    RecordingPrinterChooser secondChooser(secondLog);
    PrintSurface first(firstChooser);
    PrintSurface second(secondChooser);
    ASSERT_TRUE(first.BeginPrintJob().Ok() && first.PrinterAttached());
    first.SetForegroundColour(0x0000FF);
    first.SetPenWidth(5);
    first.SetPageMark("the first mark");
    first.PageMoveTo(100.0, 200.0);

    ASSERT_TRUE(second.BeginPrintJob().Ok() && second.PrinterAttached());
    second.PageLineTo(10.0, 20.0, UseLineColour);
    first.PageLineTo(300.0, 400.0, UseLineColour);
    second.EndPrintJob();
    first.EndPrintJob();

    ASSERT_EQ(firstLog.size(), 5u);
    const DeviceRequest& firstLine = firstLog[2];
    EXPECT_EQ(firstLine.What, Kind::Line);
    EXPECT_EQ(firstLine.From.X, 100);
    EXPECT_EQ(firstLine.From.Y, 200);
    EXPECT_EQ(firstLine.Colour, 0x0000FFu);
    EXPECT_EQ(firstLine.PenWidth, 5);
    EXPECT_EQ(firstLine.Mark, "the first mark");
    EXPECT_EQ(firstLog.back().Mark, "");

    ASSERT_EQ(secondLog.size(), 5u);
    const DeviceRequest& secondLine = secondLog[2];
    EXPECT_EQ(secondLine.What, Kind::Line);
    EXPECT_EQ(secondLine.From.X, 0);
    EXPECT_EQ(secondLine.From.Y, 0);
    EXPECT_EQ(secondLine.Colour, 0u);
    EXPECT_EQ(secondLine.PenWidth, 0);
    EXPECT_EQ(secondLine.Mark, "");
}

TEST(PrintSurface, APrintoutIsInTheColoursOfItsSurface) {
    std::vector<DeviceRequest> log;
    RecordingPrinterChooser chooser(log);
    const ParameterRecord record = IecArmRecord();
    PrintSurface greenOnYellow(chooser, PrintColourRecord{0, 128, 0, 255, 255, 0});
    PrintStrobeDisk(greenOnYellow, record, 216, 160, std::string(CaptionLength, ' '), std::string(CaptionLength, ' '));
    PrintSurface blackOnWhite(chooser);
    PrintStrobeDisk(blackOnWhite, record, 216, 160, std::string(CaptionLength, ' '), std::string(CaptionLength, ' '));

    std::vector<DeviceRequest> texts;
    std::vector<DeviceRequest> backings;
    for (const DeviceRequest& request : log) {
        if (request.What == Kind::Text) {
            texts.push_back(request);
        }
        if (request.What == Kind::Box && request.Mark == "the disk's edge" && request.Fill.Filled) {
            backings.push_back(request);
        }
    }
    ASSERT_EQ(backings.size(), 2u);
    EXPECT_EQ(backings[0].Fill.Colour, 0x00FFFFu);
    EXPECT_EQ(backings[1].Fill.Colour, 0xFFFFFFu);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front().Colour, 0x008000u);
    EXPECT_EQ(texts.back().Colour, 0u);
}

// ---- The arc template writes its positions into the record it is given, and only there ----

TEST(PrintSurface, TheArcTemplateWritesThePivotPositionIntoItsRecord) {
    std::vector<DeviceRequest> log;
    RecordingPrinterChooser chooser(log);
    PrintSurface surface(chooser);
    ParameterRecord record = IecArmRecord();
    const ParameterRecord untouched = record;
    PrintArcTemplate(surface, record);
    EXPECT_EQ(record.PivotPageX, 252);
    EXPECT_EQ(record.PivotPageY, 40);
    EXPECT_EQ(untouched.PivotPageX, 0);
    EXPECT_EQ(record.SpindleToPivot, untouched.SpindleToPivot);
}

// ---- The warnings work on copies of the record ----

TEST(PageWarningsRecord, TheRemedySearchLeavesTheRecordAsItWas) {
    // A long arm puts the pivot beyond the right edge of landscape Letter and of A4; the advice is a paper or the
    // sheets it is tiled on, never another arm.
    const ParameterRecord record = IecArmRecord(250);
    ParameterRecord copy = record;
    const std::vector<SettingNotice> warnings = ArcTemplateWarnings(LetterPage(), ArcTemplateJobOf(copy));
    bool pivotRemedy = false;
    for (const SettingNotice& warning : warnings) {
        pivotRemedy = pivotRemedy || (warning.Code == "page-tiled" && warning.Severity == "note" &&
                                      warning.Message.find("2 sheets to join") != std::string::npos &&
                                      warning.Message.find("A3 or Tabloid paper holds it") != std::string::npos &&
                                      warning.Message.find("spindle-to-pivot") == std::string::npos);
    }
    EXPECT_TRUE(pivotRemedy) << (warnings.empty() ? std::string("no warnings") : warnings.front().Message);
    EXPECT_EQ(copy.SpindleToPivot, 250);
    EXPECT_EQ(copy.PivotPageX, 0);
    // Asked again, the same record gives the same answer: nothing of the first search stayed behind.
    EXPECT_EQ(ArcTemplateWarnings(LetterPage(), ArcTemplateJobOf(copy)), warnings);
}

TEST(PageWarningsRecord, AnArcTemplateThatFitsGivesNoWarnings) {
    EXPECT_TRUE(ArcTemplateWarnings(LetterPage(), ArcTemplateJobOf(IecArmRecord())).empty());
}

} // namespace

#include "geometry/angles.h"
#include "print/drawing_primitives.h"
#include "print/page_model.h"
#include "print/printouts.h"
#include "print/strobe_speeds.h"
#include "print/text_width.h"
#include "tests/unit/printout_test_support.h"
#include "windows/custom_strobe_fields.h"
#include "windows/parameter_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

using namespace printout_test;

namespace {

using Kind = DeviceRequest::Kind;

constexpr double CentreX = 104;
constexpr double CentreY = 134;

std::vector<DeviceRequest> PrintDisk(std::int32_t outer, std::int32_t inner, const std::string& caption1 = "",
                                     const std::string& caption2 = "", double factorX = 1, double factorY = 1,
                                     PrintColourRecord colours = {0, 0, 0, 255, 255, 255},
                                     PrinterChoiceResult answer = PrinterChoiceResult::Chosen,
                                     const std::vector<std::string>& notes = {}) {
    const PrintCorrection record{factorX, factorY};
    std::vector<DeviceRequest> log;
    RecordingPrinterChooser chooser(log, RecordingDeviceSettings{}, answer);
    PrintSurface surface(chooser, colours);
    if (notes.empty()) {
        PrintStrobeDisk(surface, record, outer, inner, caption1, caption2);
    } else {
        PrintStrobeDiskWithNotes(surface, record, outer, inner, caption1, caption2, notes);
    }
    return log;
}

// Whether a box is the circle of the given diameter about the disk centre, to the dot.
bool IsCentredCircle(const DeviceRect& r, double diameter, double sx, double sy) {
    return NearDots(r.Left, CentreX - diameter / 2, sx) && NearDots(r.Right, CentreX + diameter / 2, sx) &&
           NearDots(r.Top, CentreY - diameter / 2, sy) && NearDots(r.Bottom, CentreY + diameter / 2, sy);
}

std::vector<DeviceRequest> WedgesOf(const std::vector<DeviceRequest>& log, double diameter) {
    std::vector<DeviceRequest> wedges;
    for (const DeviceRequest& arc : OfKind(log, Kind::Arc)) {
        if (arc.Pie && IsCentredCircle(arc.Rect, diameter, Dpm(1), Dpm(1))) {
            wedges.push_back(arc);
        }
    }
    return wedges;
}

} // namespace

// --- bars: N wedges of width pi/N at pitch 2 pi/N, counter-clockwise from 3 o'clock ---

struct BarCase {
    std::int32_t Outer;
    std::int32_t Inner;
};

TEST(StrobeDiskBars, EachRingHasItsCountOfWedges) {
    const BarCase cases[] = {{216, 160}, {180, 133}, {100, 0}, {0, 7}, {-5, 3}, {1, 2}};
    for (const BarCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Outer) + "/" + std::to_string(c.Inner));
        const auto log = PrintDisk(c.Outer, c.Inner);
        const auto outer = WedgesOf(log, 175);
        const auto inner = WedgesOf(log, 145);
        EXPECT_EQ(outer.size(), static_cast<std::size_t>(std::max(c.Outer, 0)));
        EXPECT_EQ(inner.size(), static_cast<std::size_t>(std::max(c.Inner, 0)));
        EXPECT_EQ(OfKind(log, Kind::Arc).size(), outer.size() + inner.size());
        const std::vector<DeviceRequest>* rings[] = {&outer, &inner};
        for (const auto* ring : rings) {
            const double n = static_cast<double>(ring->size());
            for (std::size_t k = 0; k < ring->size(); ++k) {
                const DeviceRequest& wedge = (*ring)[k];
                EXPECT_NEAR(AngleDifference(RayAngle(wedge.Rect, wedge.From), 2 * Pi * k / n), 0, 2e-3) << k;
                EXPECT_NEAR(AngleDifference(RayAngle(wedge.Rect, wedge.To), 2 * Pi * k / n + Pi / n), 0, 2e-3) << k;
                EXPECT_TRUE(wedge.Fill.Filled);
                EXPECT_EQ(wedge.Fill.Colour, 0u);
                EXPECT_EQ(wedge.Colour, 0u);
            }
        }
    }
}

TEST(StrobeDiskBars, TheThinnestWedgesStayThinAtEveryResolution) {
    for (const int dpi : {150, 300, 600}) {
        SCOPED_TRACE(dpi);
        const PrintCorrection record{1, 1};
        std::vector<DeviceRequest> log;
        RecordingDeviceSettings settings;
        settings.Resolution = {dpi, dpi};
        RecordingPrinterChooser chooser(log, settings);
        PrintSurface surface(chooser);
        PrintStrobeDisk(surface, record, 10000, 10000, "", "");
        const auto wedges = OfKind(log, Kind::Arc);
        ASSERT_EQ(wedges.size(), 20000u);
        // Counter-clockwise from the start ray to the end ray; rays that met or crossed would make a whole disc.
        int wide = 0;
        for (const DeviceRequest& wedge : wedges) {
            const double span =
                std::fmod(RayAngle(wedge.Rect, wedge.To) - RayAngle(wedge.Rect, wedge.From) + 2 * Pi, 2 * Pi);
            wide += span <= 0 || span > 2 * Pi / 10000 ? 1 : 0;
        }
        EXPECT_EQ(wide, 0);
    }
}

// --- discs, outline, mark: painted in order so the rings get their inner edges ---

TEST(StrobeDiskLayers, BackingOutlineRingsAndCoversInOrder) {
    const PrintColourRecord red{200, 0, 0, 255, 255, 255};
    const DeviceColour redColour = 200;
    const auto log = PrintDisk(216, 160, "", "", 1, 1, red);
    const double s = Dpm(1);
    const auto pages = OfKind(log, Kind::StartPage);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].Orientation, 1);

    // The order of the circular layers through the whole log: diameter and kind.
    struct Layer {
        double Diameter;
        Kind What;
    };
    const Layer order[] = {{184.5, Kind::Box},
                           {180, Kind::Box},
                           {175, Kind::Arc},
                           {150, Kind::Box},
                           {145, Kind::Arc},
                           {135, Kind::Box},
                           {static_cast<double>(SpindleHoleDiameter), Kind::Box}};
    std::size_t next = 0;
    std::vector<const DeviceRequest*> layers;
    for (const DeviceRequest& r : log) {
        if (next < std::size(order) && r.What == order[next].What &&
            IsCentredCircle(r.Rect, order[next].Diameter, s, s)) {
            layers.push_back(&r);
            ++next;
        }
    }
    ASSERT_EQ(next, std::size(order)) << "layers out of order";
    // Backing disc: black outline even with a red foreground, background inside.
    EXPECT_EQ(layers[0]->Colour, 0u);
    EXPECT_TRUE(layers[0]->Fill.Filled);
    EXPECT_EQ(layers[0]->Fill.Colour, 0xFFFFFFu);
    EXPECT_EQ(layers[0]->Shape, BoxShape::Ellipse);
    // Disk outline in the foreground, unfilled.
    EXPECT_EQ(layers[1]->Colour, redColour);
    EXPECT_FALSE(layers[1]->Fill.Filled);
    EXPECT_EQ(layers[2]->Colour, redColour);
    EXPECT_EQ(layers[2]->Fill.Colour, redColour);
    // Cover discs: background outline filled with their own line colour.
    for (const DeviceRequest* cover : {layers[3], layers[5]}) {
        EXPECT_EQ(cover->Colour, 0xFFFFFFu);
        EXPECT_TRUE(cover->Fill.Filled);
        EXPECT_EQ(cover->Fill.Colour, 0xFFFFFFu);
    }
    EXPECT_FALSE(layers[6]->Fill.Filled);
    // Thinnest pen for everything up to the timing mark.
    for (const DeviceRequest* layer : layers) {
        EXPECT_EQ(layer->PenWidth, 0);
    }
}

TEST(StrobeDiskLayers, TimingMarkIsFifteenDotsWideStraightUp) {
    const double cases[][2] = {{1, 1}, {1.02, 0.98}};
    for (const auto& factors : cases) {
        const auto lines = OfKind(PrintDisk(216, 160, "", "", factors[0], factors[1]), Kind::Line);
        std::vector<DeviceRequest> thick;
        for (const DeviceRequest& line : lines) {
            if (line.PenWidth == 15) {
                thick.push_back(line);
            }
        }
        ASSERT_EQ(thick.size(), 1u);
        const double sx = Dpm(factors[0]);
        const double sy = Dpm(factors[1]);
        EXPECT_TRUE(NearDots(thick[0].From.X, 104, sx));
        EXPECT_TRUE(NearDots(thick[0].From.Y, 134, sy));
        EXPECT_TRUE(NearDots(thick[0].To.X, 104, sx));
        EXPECT_TRUE(NearDots(thick[0].To.Y, 70, sy));
        EXPECT_EQ(thick[0].Colour, 0u);
        // Spindle-hole cross and hash square: 6 thin strokes before it.
        EXPECT_EQ(lines.size(), 7u);
    }
}

// --- captions chosen by the counts ---

namespace {

struct TextCase {
    std::string Text;
    double X, Y;
    bool Large;
};

struct CaptionCase {
    const char* Name;
    std::int32_t Outer, Inner;
    std::string Caption1, Caption2;
    std::vector<TextCase> Captions;
    std::vector<std::string> Notes = {}; // the Linux tool's drift notes: under a custom disk's captions only
};

} // namespace

TEST(StrobeDiskCaptions, ChosenByTheCountsAlone) {
    const std::string abc = CentreCaption("ABC");
    const std::string custom = CentreCaption("33 RPM - 50 HZ");
    const CaptionCase cases[] = {
        {"60 Hz",
         216,
         160,
         "",
         "",
         {{"33 1/3 RPM - 60 HZ - 216 BARS", 58, 160, true}, {"45 RPM - 60 HZ - 160 BARS", 65, 168, true}}},
        {"60 Hz counts with custom captions",
         216,
         160,
         abc,
         custom,
         {{"33 1/3 RPM - 60 HZ - 216 BARS", 58, 160, true}, {"45 RPM - 60 HZ - 160 BARS", 65, 168, true}}},
        {"50 Hz",
         180,
         133,
         abc,
         custom,
         {{"33 1/3 RPM - 50 HZ - 180 BARS", 58, 160, true},
          {"45 RPM - 50 HZ - 133 BARS", 65, 168, true},
          {"(must drift CCW 5 bars per 20sec)", 80, 175, false}}},
        {"custom", 100, 0, abc, custom, {{abc, 55, 160, true}, {custom, 55, 168, true}}},
        {"custom 216/161", 216, 161, abc, custom, {{abc, 55, 160, true}, {custom, 55, 168, true}}},
        {"custom with notes",
         77,
         133,
         abc,
         custom,
         {{abc, 55, 160, true}, {custom, 55, 168, true}, {"(one)", 80, 175, false}, {"(two)", 80, 179, false}},
         {"(one)", "(two)"}},
        {"50 Hz counts keep their own note",
         180,
         133,
         abc,
         custom,
         {{"33 1/3 RPM - 50 HZ - 180 BARS", 58, 160, true},
          {"45 RPM - 50 HZ - 133 BARS", 65, 168, true},
          {"(must drift CCW 5 bars per 20sec)", 80, 175, false}},
         {"(one)"}},
        {"custom 133/180",
         133,
         180,
         "",
         "",
         {{std::string(36, ' '), 55, 160, true}, {std::string(36, ' '), 55, 168, true}}},
    };
    const std::vector<TextCase> instructions = {
        {"Time this mark-", 109, 85, false},
        {"At 33 1/3 RPM it takes", 109, 89, false},
        {"180 sec for 100 revolutions.", 109, 93, false},
        {"Use (1-(actual/target))*100", 109, 97, false},
        {"for percentage error.", 109, 101, false},
    };
    for (const CaptionCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto log = PrintDisk(c.Outer, c.Inner, c.Caption1, c.Caption2, 1, 1, {0, 0, 0, 255, 255, 255},
                                   PrinterChoiceResult::Chosen, c.Notes);
        std::vector<DeviceFontRequest> fonts;
        for (const DeviceRequest& font : OfKind(log, Kind::MakeFont)) {
            if (font.Font >= static_cast<int>(fonts.size())) {
                fonts.resize(font.Font + 1);
            }
            fonts[font.Font] = font.FontRequest;
        }
        std::vector<TextCase> expected = c.Captions;
        expected.insert(expected.end(), instructions.begin(), instructions.end());
        const auto texts = OfKind(log, Kind::Text);
        ASSERT_EQ(texts.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(expected[i].Text);
            EXPECT_EQ(texts[i].Text, expected[i].Text);
            EXPECT_TRUE(NearDots(texts[i].From.X, expected[i].X, Dpm(1)));
            EXPECT_TRUE(NearDots(texts[i].From.Y, expected[i].Y, Dpm(1)));
            ASSERT_LT(static_cast<std::size_t>(texts[i].Font), fonts.size());
            // 18 points at 600 dpi is 150 dots; 10 points is 83.
            EXPECT_EQ(fonts[texts[i].Font].Height, expected[i].Large ? -150 : -83);
        }
    }
}

TEST(StrobeDiskCaptions, FontsFollowTheVerticalFactor) {
    struct FontCase {
        double FactorX, FactorY;
        int Small, Large;
    };
    // 11 and 19.8 points at 600 dpi; the horizontal factor never changes a size.
    const FontCase cases[] = {{1, 1.1, -92, -165}, {1.5, 1, -83, -150}, {1, 0.5, -42, -75}};
    for (const FontCase& c : cases) {
        const auto fonts = OfKind(PrintDisk(216, 160, "", "", c.FactorX, c.FactorY), Kind::MakeFont);
        std::vector<int> heights;
        for (const DeviceRequest& font : fonts) {
            heights.push_back(font.FontRequest.Height);
        }
        EXPECT_NE(std::find(heights.begin(), heights.end(), c.Small), heights.end()) << c.FactorY;
        EXPECT_NE(std::find(heights.begin(), heights.end(), c.Large), heights.end()) << c.FactorY;
    }
}

// --- printer not chosen ---

TEST(StrobeDiskJob, NoPrinterDrawsNothing) {
    for (const PrinterChoiceResult answer : {PrinterChoiceResult::Cancelled, PrinterChoiceResult::Failed}) {
        const auto log = PrintDisk(216, 160, "", "", 1, 1, {0, 0, 0, 255, 255, 255}, answer);
        for (const DeviceRequest& r : log) {
            EXPECT_NE(r.What, Kind::StartPage);
            EXPECT_NE(r.What, Kind::Arc);
            EXPECT_NE(r.What, Kind::Text);
        }
    }
    // And a job after a cancelled one prints normally.
    EXPECT_EQ(WedgesOf(PrintDisk(216, 160), 175).size(), 216u);
}

// --- the Linux tool's and the browser page's disk: 100 revolutions timed at its own speeds ---

TEST(StrobeDiskLayoutPage, TimesOneHundredRevolutionsAtTheDisksOwnSpeeds) {
    const std::pair<const char*, std::string> cases[] = {
        {"16 2/3", "At 16 2/3 RPM it takes 360 sec for 100 revolutions."},
        {"78", "At 78 RPM it takes 76.923 sec for 100 revolutions."},
        {"45", "At 45 RPM it takes 133.333 sec for 100 revolutions."},
        {"78+45", "100 revolutions take 76.923 sec at 78 RPM, 133.333 sec at 45 RPM."},
        {"283.333334,16.666667", "100 revolutions take 21.176 sec at 283.333334 RPM, 360 sec at 16 2/3 RPM."},
        // At 50 Hz these speeds give the built-in disk's counts, and so its page.
        {"33 1/3,45", "At 33 1/3 RPM it takes 180 sec for 100 revolutions."},
    };
    for (const auto& [speeds, timing] : cases) {
        SCOPED_TRACE(speeds);
        std::vector<DeviceRequest> log;
        RecordingPrinterChooser chooser(log);
        PrintSurface surface(chooser);
        const PrintCorrection record{1, 1};
        PrintStrobeDiskLayout(surface, record, StrobeDiskForSpeeds(ReadPlatterSpeeds(speeds).Value().Speeds, 50));
        // The words in their order, broken only where a line would run into the bars.
        std::string printed;
        double y = 85;
        for (const DeviceRequest& text : OfKind(log, Kind::Text)) {
            if (text.Mark == "the instructions") {
                printed += (printed.empty() ? "" : " ") + text.Text;
                EXPECT_TRUE(NearDots(text.From.X, 109, Dpm(1)) && NearDots(text.From.Y, y, Dpm(1))) << text.Text;
                // Set in Arial (10 points, a 3.53 mm em), every line ends inside the inner ring (radius 67.5 mm).
                const double right = 109 + ArialTextWidth(text.Text) * 10 * 25.4 / 72 - CentreX;
                EXPECT_LT(std::hypot(right, CentreY - y), 67.5) << text.Text;
                y += 4;
            }
        }
        EXPECT_EQ(printed, "Time this mark- " + timing + " Use (1-(actual/target))*100 for percentage error.");
    }
}

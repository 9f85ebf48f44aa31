#include "geometry/alignment.h"
#include "geometry/confirmation_text.h"
#include "geometry/numeric_text.h"
#include "print/arc_template.h"
#include "print/page_model.h"
#include "print/printouts.h"
#include "print/recording_device.h"
#include "windows/control_ids.h"
#include "windows/field_table.h"
#include "windows/record_adaptor.h"
#include "windows/window_alignment.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

std::uint64_t Bits(double value) {
    // memcpy, not std::bit_cast, which the browser build's library lacks.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Everything a request puts on paper.
auto Drawn(const DeviceRequest& r) {
    return std::tuple(r.What, r.Text, r.Orientation, r.From.X, r.From.Y, r.To.X, r.To.Y, r.Rect.Left, r.Rect.Top,
                      r.Rect.Right, r.Rect.Bottom, r.Shape, r.CornerSize.X, r.CornerSize.Y, r.Pie, r.Colour,
                      r.Fill.Filled, r.Fill.Colour, r.Fill.Hatched, r.Fill.HatchStyle, r.Opaque, r.Background,
                      r.PenWidth, r.Font, r.FontRequest.Face, r.FontRequest.Height, r.FontRequest.Italic, r.Mark);
}

template <class Print> std::vector<DeviceRequest> Recorded(const Print& print) {
    std::vector<DeviceRequest> log;
    RecordingPrinterChooser chooser(log);
    PrintSurface surface(chooser);
    print(surface);
    return log;
}

void ExpectSamePage(const std::vector<DeviceRequest>& window, const std::vector<DeviceRequest>& typed) {
    ASSERT_EQ(window.size(), typed.size());
    for (std::size_t i = 0; i < window.size(); ++i) {
        ASSERT_EQ(Drawn(window[i]), Drawn(typed[i])) << "request " << i;
    }
}

struct ArmCase {
    const char* Distance;
    const char* Inner;
    const char* Outer;
    int Button;
    const char* Id;
    const char* FactorX;
    const char* FactorY;
};

// The window's fields read into its record and printed through the adaptor, against the same arm given to the typed
// core: the same ten values to the bit, the same template and strobe pages request for request, and the record's
// page positions where the typed template says it placed its points.
TEST(WindowsAdaptor, TheRecordAndTheTypedCoreGiveTheSameValuesAndPages) {
    const std::string longId(50, 'x');
    const ArmCase cases[] = {
        {"209", "57.5", "146.05", ControlId::LofgrenAButton, "", "1.0", "1.0"},
        {"222", "60.325", "146.05", ControlId::LofgrenBButton, "SME 3009", "1.02", "0.98"},
        {"250", "63", "145", ControlId::StevensonAButton, "Rega", "1.0", "1.0"},
        {"209", "146.05", "60.325", ControlId::LofgrenAButton, longId.c_str(), "1.0", "1.0"},
        {"120", "60.325", "146.05", ControlId::LofgrenBButton, "short arm", "0.97", "1.01"},
        {"0", "60.325", "146.05", ControlId::LofgrenAButton, "", "1.0", "1.0"},
        {"300", "0", "146.05", ControlId::StevensonAButton, "Deck", "1.0", "1.0"},
        {"abc", "57,5", "146.05", ControlId::LofgrenAButton, "comma", "1,0", "1.0"},
    };
    for (const ArmCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Distance << " " << c.Inner << "/" << c.Outer << " button " << c.Button);
        FieldTextTable window;
        window.Texts = {{ControlId::SpindleToPivotField, c.Distance}, {ControlId::InnerGrooveField, c.Inner},
                        {ControlId::OuterGrooveField, c.Outer},       {ControlId::CorrectionXField, c.FactorX},
                        {ControlId::CorrectionYField, c.FactorY},     {ControlId::ArmIdField, c.Id}};
        window.Checks = {{c.Button, 1}};
        ParameterRecord record{};
        ReadAndComputeAlignment(window, record);

        ArmInputs arm;
        arm.SpindleToPivot = TextToNumber(c.Distance);
        arm.InnerGrooveRadius = TextToNumber(c.Inner);
        arm.OuterGrooveRadius = TextToNumber(c.Outer);
        arm.Choice = c.Button == ControlId::LofgrenBButton     ? Geometry::LofgrenB
                     : c.Button == ControlId::StevensonAButton ? Geometry::StevensonA
                                                               : Geometry::LofgrenA;
        arm.Id = FixedLengthText(c.Id, ArmIdLength);
        const PrintCorrection correction{TextToNumber(c.FactorX), TextToNumber(c.FactorY)};
        const AlignedArm typed{arm, ComputeAlignment(arm)};

        EXPECT_EQ(Bits(record.InnerNullRadius), Bits(typed.Values.InnerNullRadius));
        EXPECT_EQ(Bits(record.OuterNullRadius), Bits(typed.Values.OuterNullRadius));
        EXPECT_EQ(Bits(record.EffectiveLength), Bits(typed.Values.EffectiveLength));
        EXPECT_EQ(Bits(record.Overhang), Bits(typed.Values.Overhang));
        EXPECT_EQ(Bits(record.OffsetAngle), Bits(typed.Values.OffsetAngle));
        EXPECT_EQ(Bits(record.LinearOffset), Bits(typed.Values.LinearOffset));
        EXPECT_EQ(ConfirmationText(record), ConfirmationText(typed));

        const ArcTemplateJob job{typed, correction, ArcTemplateTitle(arm)};
        ArcTemplatePlacement placed;
        const auto windowPage = Recorded([&](PrintSurface& surface) { PrintArcTemplate(surface, record); });
        const auto typedPage = Recorded([&](PrintSurface& surface) { placed = PrintArcTemplate(surface, job); });
        ExpectSamePage(windowPage, typedPage);
        EXPECT_EQ(record.PivotPageX, placed.Pivot.X);
        EXPECT_EQ(record.PivotPageY, placed.Pivot.Y);
        if (placed.InnerNull) {
            EXPECT_EQ(record.InnerNullPageX, placed.InnerNull->X);
            EXPECT_EQ(record.InnerNullPageY, placed.InnerNull->Y);
        }
        if (placed.OuterNull) {
            EXPECT_EQ(record.OuterNullPageX, placed.OuterNull->X);
            EXPECT_EQ(record.OuterNullPageY, placed.OuterNull->Y);
        }

        const std::string blank(CaptionLength, ' ');
        ExpectSamePage(Recorded([&](PrintSurface& s) { PrintStrobeDisk(s, record, 216, 160, blank, blank); }),
                       Recorded([&](PrintSurface& s) { PrintStrobeDisk(s, correction, 216, 160, blank, blank); }));
    }
}

// Before any option button was read the window prints no title; every typed arm has a geometry and so a title.
TEST(WindowsAdaptor, ARecordWithoutAGeometryPrintsNoTitle) {
    ParameterRecord record{};
    AssignArmId(record, "Deck");
    EXPECT_FALSE(ArcTemplateTitle(record));
    record.GeometryChoice = 3;
    EXPECT_EQ(ArcTemplateTitle(record), std::optional<std::string>("Deck - Stevenson A"));
    EXPECT_EQ(ArcTemplateJobOf(record).Title, ArcTemplateTitle(record));
}

} // namespace

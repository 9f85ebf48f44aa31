#include "geometry/angles.h"
#include "print/drawing_primitives.h"
#include "print/page_model.h"
#include "print/page_scale.h"
#include "print/printouts.h"
#include "print/strobe_speeds.h"
#include "print/text_width.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using Extended = long double;

constexpr double CentreX = 104;
constexpr double CentreY = 134;
constexpr double SmallPoints = 10;
constexpr double MmPerPoint = 25.4 / 72;
constexpr double BackingDiameter = 180 * 1.025;

// The page's text beyond the Windows program's: notes under a custom disk's captions, the timing lines for its
// speeds (none keeps the 33 1/3 rpm ones) and the line that says which circle the scale is checked on.
struct DiskAdditions {
    std::vector<std::string> Notes;
    std::vector<std::string> Timing;
    bool SizeLine = false;
};

// The box of the circle of the given diameter about the disk centre, in dots.
struct DotBox {
    float Left, Top, Right, Bottom;
};

DotBox CentredBox(const PageScale& scale, double diameter) {
    const Extended cx = Extended{CentreX} * scale.X;
    const Extended cy = Extended{CentreY} * scale.Y;
    const Extended halfX = Extended{diameter} * scale.X / 2;
    const Extended halfY = Extended{diameter} * scale.Y / 2;
    return {static_cast<float>(cx - halfX), static_cast<float>(cy - halfY), static_cast<float>(cx + halfX),
            static_cast<float>(cy + halfY)};
}

void FilledDisc(PrintSurface& surface, const PageScale& scale, double diameter, PageColour lineColour,
                PageColour fillColour) {
    const DotBox box = CentredBox(scale, diameter);
    surface.PageBox(box.Left, box.Top, box.Right, box.Bottom, EllipseCorner, lineColour, fillColour, 0);
}

// A ring's bars are wedges of the whole circle; the cover disc painted next removes their inner parts.
void DrawBars(PrintSurface& surface, const PageScale& scale, double diameter, std::int32_t bars) {
    const DotBox box = CentredBox(scale, diameter);
    for (std::int32_t k = 0; k < bars; ++k) {
        const Extended start = 2 * PrintoutPi * k / bars;
        const Extended end = start + PrintoutPi / bars;
        surface.PageArc(box.Left, box.Top, box.Right, box.Bottom, static_cast<float>(start), static_cast<float>(end),
                        UseLineColour, UseLineColour, 0, true);
    }
}

void DrawCaptions(PrintSurface& surface, const PageScale& scale, std::int32_t outerBars, std::int32_t innerBars,
                  const std::string& captionLine1, const std::string& captionLine2,
                  const std::vector<std::string>& notes, const PrintFont& smallFont, const PrintFont& largeFont) {
    surface.SelectPrintFont(largeFont);
    MoveToMm(surface, scale, 58, 160);
    const std::optional<int> builtIn = BuiltInStrobeMains(outerBars, innerBars);
    if (builtIn == 60) {
        surface.PagePrintLine("33 1/3 RPM - 60 HZ - 216 BARS");
        TextAtMm(surface, scale, 65, 168, "45 RPM - 60 HZ - 160 BARS");
    } else if (builtIn == 50) {
        surface.PagePrintLine("33 1/3 RPM - 50 HZ - 180 BARS");
        TextAtMm(surface, scale, 65, 168, "45 RPM - 50 HZ - 133 BARS");
        MoveToMm(surface, scale, 80, 175);
        surface.SelectPrintFont(smallFont);
        surface.PagePrintLine("(must drift CCW 5 bars per 20sec)");
        surface.SelectPrintFont(largeFont);
    } else {
        // Printed at their full fixed length: the centring blanks shift the visible text.
        TextAtMm(surface, scale, 55, 160, FixedLengthText(captionLine1, CaptionLength));
        TextAtMm(surface, scale, 55, 168, FixedLengthText(captionLine2, CaptionLength));
        if (!notes.empty()) {
            surface.SelectPrintFont(smallFont);
            for (std::size_t i = 0; i < notes.size(); ++i) {
                TextAtMm(surface, scale, 80, 175 + 4.0 * static_cast<double>(i), notes[i]);
            }
            surface.SelectPrintFont(largeFont);
        }
    }
}

constexpr double InstructionsX = 109;
constexpr double InstructionsY = 85;
constexpr double InstructionsStep = 4;

// Whether a line of the small font at (InstructionsX, y) ends inside the inner ring (radius 67.5 mm) with half a
// millimetre to spare; its top corner, the farther from the centre above it, decides.
bool InsideInnerRing(std::string_view text, double y) {
    const double right = InstructionsX + ArialTextWidth(text) * SmallPoints * MmPerPoint - CentreX;
    return std::hypot(right, CentreY - y) < 67;
}

// The timing lines, each broken at its last blanks until every part stands inside the inner ring: a long time or
// speed would otherwise run into the bars.
std::vector<std::string> TimingFitted(const std::vector<std::string>& timing) {
    std::vector<std::string> lines;
    for (const std::string& line : timing) {
        std::string rest = line;
        for (;;) {
            const double y = InstructionsY + InstructionsStep * static_cast<double>(lines.size() + 1);
            std::size_t cut = rest.size();
            while (!InsideInnerRing(std::string_view(rest).substr(0, cut), y) && cut != std::string::npos) {
                cut = cut == 0 ? std::string::npos : rest.rfind(' ', cut - 1);
            }
            if (cut == rest.size() || cut == std::string::npos || cut == 0) {
                lines.push_back(rest);
                break;
            }
            lines.push_back(rest.substr(0, cut));
            rest = rest.substr(cut + 1);
        }
    }
    return lines;
}

void DrawInstructions(PrintSurface& surface, const PageScale& scale, const std::vector<std::string>& timing) {
    static const std::vector<std::string> AtThirtyThree = {"At 33 1/3 RPM it takes", "180 sec for 100 revolutions."};
    std::vector<std::string> lines = {"Time this mark-"};
    const std::vector<std::string> middle = timing.empty() ? AtThirtyThree : TimingFitted(timing);
    lines.insert(lines.end(), middle.begin(), middle.end());
    lines.insert(lines.end(), {"Use (1-(actual/target))*100", "for percentage error."});
    for (std::size_t i = 0; i < lines.size(); ++i) {
        TextAtMm(surface, scale, InstructionsX, InstructionsY + InstructionsStep * static_cast<double>(i), lines[i]);
    }
}

// Centred under the backing disc: the disk's edge is two circles, and only the inner one is the 180 mm to measure.
void DrawSizeLine(PrintSurface& surface, const PageScale& scale) {
    constexpr std::string_view Line = "The inner of the two circles round the disk is 180 mm across.";
    const double width = ArialTextWidth(Line) * SmallPoints * MmPerPoint;
    TextAtMm(surface, scale, CentreX - width / 2, CentreY + BackingDiameter / 2 + 2, Line);
}

void PrintDisk(PrintSurface& surface, const PrintCorrection& correction, std::int32_t outerBars, std::int32_t innerBars,
               const std::string& captionLine1, const std::string& captionLine2, const DiskAdditions& additions) {
    const PrintFont smallFont = CreatePrintFont("Arial", static_cast<float>(SmallPoints * correction.Y), 0);
    const PrintFont largeFont = CreatePrintFont("Arial", static_cast<float>(18 * correction.Y), 0);

    // A failed job prints nothing, as a cancelled one does; the device has said why where it can.
    const bool attached = surface.BeginPrintJob().Ok() && surface.PrinterAttached();
    if (attached) {
        surface.SetPageOrientation(1);
        const PrinterResolution resolution = surface.GetPrinterResolution();
        const PageScale scale = PageScaleOf(resolution, correction);
        surface.SetPenWidth(0);
        const PageColour background = BackgroundColourOf(surface.Colours());
        surface.SetForegroundColour(ForegroundColourOf(surface.Colours()));
        surface.SetBackgroundColour(background);

        // The backing disc is outlined in black whatever the foreground, so the cutting line always shows.
        surface.SetPageMark("the disk's edge");
        FilledDisc(surface, scale, BackingDiameter, MakeColour(0, 0, 0), background);
        DrawCircle(surface, CentreX, CentreY, 180, scale.X, scale.Y);
        surface.SetPageMark("the outer ring");
        DrawBars(surface, scale, 175, outerBars);
        FilledDisc(surface, scale, 150, background, UseLineColour);
        surface.SetPageMark("the inner ring");
        DrawBars(surface, scale, 145, innerBars);
        FilledDisc(surface, scale, 135, background, UseLineColour);
        surface.SetPageMark(SpindleMark);
        DrawSpindleHoleMark(surface, CentreX, CentreY, scale.X, scale.Y);

        surface.SetPageMark("the timing mark");
        surface.SetPenWidth(15);
        MoveToMm(surface, scale, CentreX, CentreY);
        surface.PageLineTo(static_cast<double>(Extended{CentreX} * scale.X),
                           static_cast<double>(Extended{70} * scale.Y), UseLineColour);
        surface.SetPenWidth(1);

        surface.SetPageMark("the captions");
        DrawCaptions(surface, scale, outerBars, innerBars, captionLine1, captionLine2, additions.Notes, smallFont,
                     largeFont);
        surface.SetPageMark("the instructions");
        surface.SelectPrintFont(smallFont);
        // The built-in disks keep their own page, whatever speeds made their counts.
        const bool builtIn = BuiltInStrobeMains(outerBars, innerBars).has_value();
        DrawInstructions(surface, scale, builtIn ? std::vector<std::string>{} : additions.Timing);
        if (additions.SizeLine) {
            surface.SetPageMark("the disk's edge");
            DrawSizeLine(surface, scale);
        }
    }
    surface.EndPrintJob();
}

} // namespace

void PrintStrobeDisk(PrintSurface& surface, const PrintCorrection& correction, std::int32_t outerBars,
                     std::int32_t innerBars, const std::string& captionLine1, const std::string& captionLine2) {
    PrintDisk(surface, correction, outerBars, innerBars, captionLine1, captionLine2, {{}, {}, false});
}

void PrintStrobeDiskWithNotes(PrintSurface& surface, const PrintCorrection& correction, std::int32_t outerBars,
                              std::int32_t innerBars, const std::string& captionLine1, const std::string& captionLine2,
                              const std::vector<std::string>& notes) {
    PrintDisk(surface, correction, outerBars, innerBars, captionLine1, captionLine2, {notes, {}, false});
}

void PrintStrobeDiskLayout(PrintSurface& surface, const PrintCorrection& correction, const StrobeDiskLayout& disk) {
    PrintDisk(surface, correction, disk.OuterBars, disk.InnerBars, disk.Caption1, disk.Caption2,
              {disk.Notes, disk.Timing, true});
}

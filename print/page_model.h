#pragma once

#include "print/print_device.h"

#include <cstdint>
#include <optional>
#include <string_view>

// The colours on paper, set once from the command line; each component is limited to 0..255 when used.
struct PrintColourRecord {
    std::int32_t ForegroundRed;
    std::int32_t ForegroundGreen;
    std::int32_t ForegroundBlue;
    std::int32_t BackgroundRed;
    std::int32_t BackgroundGreen;
    std::int32_t BackgroundBlue;
};

extern PrintColourRecord PrintColours;

// Colour values as the printouts pass them: a platform colour, or one of the two codes below.
using PageColour = std::int64_t;
inline constexpr PageColour UseLineColour = -1; // as a line colour: the foreground; as a fill: the line colour
inline constexpr PageColour NoFill = -2;

PageColour MakeColour(std::int32_t red, std::int32_t green, std::int32_t blue);
PageColour ForegroundColourOf(const PrintColourRecord& colours);
PageColour BackgroundColourOf(const PrintColourRecord& colours);

// Style bits of CreatePrintFont.
inline constexpr int FontBold = 1;
inline constexpr int FontItalic = 2;
inline constexpr int FontUnderline = 4;
inline constexpr int FontStrikeOut = 8;

// A font as a printout makes it before any printer is chosen; realised on the page when selected.
struct PrintFont {
    std::string Face;
    float Points = 0;
    int Style = 0;
};

struct PrinterResolution {
    std::int32_t X;
    std::int32_t Y;
};

// The corner argument of PageBox: absent means the inscribed ellipse.
using BoxCorner = std::optional<float>;
inline constexpr BoxCorner EllipseCorner = std::nullopt;

PrintFont CreatePrintFont(std::string_view face, float points, int style);
// Shows the printer choice and starts a document "Print Job"; returns whether a printer is attached.
bool BeginPrintJob();
// Whether the last BeginPrintJob recorded a failure.
bool PrintJobFailed();
void SetPageOrientation(int orientation);
PrinterResolution GetPrinterResolution();
// A negative foreground keeps the current one.
void SetForegroundColour(PageColour colour);
// Text gets an opaque cell in this colour; NoFill makes it transparent again, other negative values change nothing.
void SetBackgroundColour(PageColour colour);
// 0 is the thinnest line; negative widths count as 0.
void SetPenWidth(int dots);
void SelectPrintFont(const PrintFont& font);
void PageMoveTo(double x, double y);
void PageLineTo(double x, double y, PageColour colour);
void PageBox(float x1, float y1, float x2, float y2, BoxCorner corner, PageColour lineColour, PageColour fillColour,
             int fillStyle);
void PageArc(float x1, float y1, float x2, float y2, float startAngle, float endAngle, PageColour lineColour,
             PageColour fillColour, int fillStyle, bool pie);
// Text before any font was selected uses "Arial" at the default size of 8 points.
void PagePrintLine(std::string_view text);
void EndPrintJob();

// Names the mark that the following drawing belongs to ("" for none; EndPrintJob ends it), so that a check on a
// recorded page can say which mark falls outside the printable area. It draws nothing and no printer sees it.
void SetPageMark(std::string_view name);
std::string_view CurrentPageMark();

// Dots per millimetre with the printer correction factors (the divisor 25.4 in single precision).
double DotsPerMm(std::int32_t dotsPerInch, double correctionFactor);

// Coordinates further than this from the origin (in dots), and NaN, never reach a device.
inline constexpr double PageCoordinateLimit = 1048576.0;

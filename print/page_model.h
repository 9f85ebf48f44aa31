#pragma once

#include "print/print_device.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

// The colours on paper of a print job; each component is limited to 0..255 when used.
struct PrintColourRecord {
    std::int32_t ForegroundRed;
    std::int32_t ForegroundGreen;
    std::int32_t ForegroundBlue;
    std::int32_t BackgroundRed;
    std::int32_t BackgroundGreen;
    std::int32_t BackgroundBlue;
};

inline constexpr PrintColourRecord BlackOnWhite{0, 0, 0, 255, 255, 255};

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

// One print job at a time on the printer its chooser answers with, in the colours it was made with. It holds
// everything a job needs between two page operations, so two surfaces never share a job, and one that goes out of
// scope (also when a printout throws) ends its job.
class PrintSurface {
public:
    PrintSurface(PrinterChooser& chooser, const PrintColourRecord& colours = BlackOnWhite);
    ~PrintSurface();
    PrintSurface(const PrintSurface&) = delete;
    PrintSurface& operator=(const PrintSurface&) = delete;

    const PrintColourRecord& Colours() const { return JobColours; }

    // Shows the printer choice and starts a document "Print Job", or says why the job failed. A cancelled choice is
    // no failure, and leaves no printer attached.
    Outcome BeginPrintJob();
    // Whether a printer is attached: from a BeginPrintJob that started a document to EndPrintJob.
    bool PrinterAttached() const { return Attached(); }
    void SetPageOrientation(int orientation);
    PrinterResolution GetPrinterResolution();
    // The printable area of the open page in dots; {0, 0} before the page is open or without a printer.
    DevicePoint GetPrintableSize() const;
    // A negative foreground keeps the current one.
    void SetForegroundColour(PageColour colour);
    // Text gets an opaque cell in this colour; NoFill makes it transparent again, other negative values change
    // nothing.
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

    // The Linux tool's sheets of one job (a template tiled across sheets): ends the open page, so that the next
    // drawing opens another one. The Windows program prints one page per job and never calls it.
    void NextPage();
    // Where page dot (0, 0) of the following drawing lies on the open page: a sheet that shows the part of a larger
    // page from `origin` on is drawn as that page with the origin taken off each coordinate after it is rounded, so
    // the sheets hold the larger page's very dots. {0, 0} (the start of every job) draws as ever.
    void SetPageOrigin(DevicePoint origin);

    // Names the mark that the following drawing belongs to ("" for none; EndPrintJob ends it), so that a check on a
    // recorded page can say which mark falls outside the printable area. It draws nothing; the device hears of it
    // through PrintDevice::FollowMark.
    void SetPageMark(std::string_view name);
    std::string_view CurrentPageMark() const { return PageMark; }

private:
    struct RealisedFont {
        DeviceFontHandle Handle = 0;
        int LineHeight = 0;
    };
    using FontKey = std::tuple<std::string, int, int, bool, bool, bool>;

    bool Attached() const { return Job.Printer != nullptr; }
    DeviceColour LineColourOf(PageColour colour) const;
    void OpenPage();
    RealisedFont Realise(const PrintFont& font);
    RealisedFont CurrentFontOnDevice();
    DevicePoint OnSheet(DevicePoint dot) const { return {dot.X - Job.Origin.X, dot.Y - Job.Origin.Y}; }
    DeviceRect OnSheet(DeviceRect box) const {
        return {box.Left - Job.Origin.X, box.Top - Job.Origin.Y, box.Right - Job.Origin.X, box.Bottom - Job.Origin.Y};
    }

    PrinterChooser& Chooser;
    PrintColourRecord JobColours;
    std::string PageMark;

    // The job's state from BeginPrintJob to EndPrintJob, which resets all of it.
    struct JobRecord {
        std::unique_ptr<PrintDevice> Printer;
        std::string PrinterName;
        bool DocumentOpen = false;
        bool PageOpen = false;
        int Orientation = 1;
        int ResolutionY = 0;
        DevicePoint Position{0, 0};
        DevicePoint Origin{0, 0};
        // False after a positioning request that was dropped: the next line from here is dropped too.
        bool PositionValid = true;
        DeviceColour Foreground = 0;
        // The job starts with a transparent text background until the printout sets one.
        bool BackgroundSet = false;
        DeviceColour Background = 0;
        int PenWidth = 0;
        std::optional<PrintFont> CurrentFont;
        std::optional<RealisedFont> CurrentRealised;
        std::map<FontKey, RealisedFont> Fonts;
    };
    JobRecord Job;
};

// Dots per millimetre with the printer correction factors (the divisor 25.4 in single precision).
double DotsPerMm(std::int32_t dotsPerInch, double correctionFactor);

// Coordinates further than this from the origin (in dots), and NaN, never reach a device.
inline constexpr double PageCoordinateLimit = 1048576.0;

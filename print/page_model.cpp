#include "print/page_model.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace {

constexpr float DefaultFontPoints = 8.0f;
constexpr std::string_view DefaultFontFace = "Arial";
constexpr std::string_view DocumentName = "Print Job";
constexpr int PortraitOrientation = 1;
constexpr int LandscapeOrientation = 2;

// A font taller than this (about 2.7 m at 600 dpi) can only come from a broken correction factor;
// capping it keeps the devices away from absurd glyph sizes.
constexpr double MaxFontHeight = 65535.0;
constexpr int MaxPenWidth = 65535;

// Radial points of an arc lie this far from the centre (a quarter of the coordinate limit), so that rounding
// them to whole dots turns a ray by at most 3e-6 radian: the two rays of the thinnest wedge the programs draw
// (10 000 bars, pi/10 000 wide) lie some 80 dots apart and never meet or cross, whatever the box size.
constexpr double RayMarkDistance = 262144.0;
// Where the coordinate limit leaves less room than that, the point may come this close (a ray within a few
// hundredths of a radian); closer than this the ray cannot be marked at all.
constexpr double MinRayMarkDistance = 16.0;

// Half-to-even rounding to a whole dot; false for NaN and for anything beyond the coordinate limit.
bool ToDot(double value, int& dot) {
    if (!(std::fabs(value) <= PageCoordinateLimit)) {
        return false;
    }
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += 1.0;
    }
    dot = static_cast<int>(whole);
    return true;
}

int RoundHalfEven(double value) {
    int dot = 0;
    ToDot(value, dot);
    return dot;
}

DeviceColour ToDeviceColour(PageColour colour) {
    return static_cast<DeviceColour>(colour & 0xFFFFFF);
}

DeviceFill FillOf(PageColour fillColour, DeviceColour lineColour, int fillStyle) {
    DeviceFill fill{false, 0, false, 0};
    if (fillColour == UseLineColour) {
        fill.Filled = true;
        fill.Colour = lineColour;
    } else if (fillColour >= 0) {
        fill.Filled = true;
        fill.Colour = ToDeviceColour(fillColour);
    }
    if (fill.Filled && fillStyle >= 1 && fillStyle <= 6) {
        fill.Hatched = true;
        fill.HatchStyle = fillStyle - 1;
    }
    return fill;
}

bool ToDeviceRect(double x1, double y1, double x2, double y2, DeviceRect& rect) {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    if (!ToDot(x1, left) || !ToDot(y1, top) || !ToDot(x2, right) || !ToDot(y2, bottom)) {
        return false;
    }
    rect = DeviceRect{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    return true;
}

int FontHeightInDots(float points, int dotsPerInch) {
    double height = static_cast<double>(points) * dotsPerInch / 72.0;
    if (std::isnan(height)) {
        height = static_cast<double>(DefaultFontPoints) * dotsPerInch / 72.0;
    }
    height = std::clamp(height, -MaxFontHeight, MaxFontHeight);
    return -RoundHalfEven(height);
}

} // namespace

PageColour MakeColour(std::int32_t red, std::int32_t green, std::int32_t blue) {
    auto limit = [](std::int32_t component) { return static_cast<PageColour>(std::clamp(component, 0, 255)); };
    return limit(red) + 256 * limit(green) + 65536 * limit(blue);
}

PageColour ForegroundColourOf(const PrintColourRecord& colours) {
    return MakeColour(colours.ForegroundRed, colours.ForegroundGreen, colours.ForegroundBlue);
}

PageColour BackgroundColourOf(const PrintColourRecord& colours) {
    return MakeColour(colours.BackgroundRed, colours.BackgroundGreen, colours.BackgroundBlue);
}

PrintFont CreatePrintFont(std::string_view face, float points, int style) {
    PrintFont font;
    font.Face = std::string(face);
    font.Points = points == 0.0f ? DefaultFontPoints : points;
    font.Style = style;
    return font;
}

PrintSurface::PrintSurface(PrinterChooser& chooser, const PrintColourRecord& colours)
    : Chooser(chooser), JobColours(colours) {}

PrintSurface::~PrintSurface() {
    EndPrintJob();
}

DeviceColour PrintSurface::LineColourOf(PageColour colour) const {
    return colour < 0 ? Job.Foreground : ToDeviceColour(colour);
}

void PrintSurface::OpenPage() {
    if (Job.PageOpen) {
        return;
    }
    Job.Printer->StartPage(Job.Orientation);
    Job.PageOpen = true;
    Job.Position = DevicePoint{0, 0};
    Job.PositionValid = true;
}

PrintSurface::RealisedFont PrintSurface::Realise(const PrintFont& font) {
    DeviceFontRequest request;
    request.Face = font.Face;
    request.Height = FontHeightInDots(font.Points, Job.ResolutionY);
    request.Weight = (font.Style & FontBold) != 0 ? 700 : 400;
    request.Italic = (font.Style & FontItalic) != 0;
    request.Underline = (font.Style & FontUnderline) != 0;
    request.StrikeOut = (font.Style & FontStrikeOut) != 0;
    FontKey key{request.Face, request.Height, request.Weight, request.Italic, request.Underline, request.StrikeOut};
    auto found = Job.Fonts.find(key);
    if (found != Job.Fonts.end()) {
        return found->second;
    }
    RealisedFont realised;
    realised.Handle = Job.Printer->MakeFont(request);
    const DeviceFontMetrics metrics = Job.Printer->FontMetrics(realised.Handle);
    realised.LineHeight = metrics.Height + metrics.ExternalLeading;
    Job.Fonts.emplace(std::move(key), realised);
    return realised;
}

PrintSurface::RealisedFont PrintSurface::CurrentFontOnDevice() {
    if (!Job.CurrentRealised) {
        // Text before any font was selected gets the program's default face at the default size.
        Job.CurrentRealised = Realise(CreatePrintFont(DefaultFontFace, 0.0f, 0));
    }
    return *Job.CurrentRealised;
}

Outcome PrintSurface::BeginPrintJob() {
    EndPrintJob();
    PrinterChoice choice = Chooser.ChoosePrinter();
    if (choice.Result == PrinterChoiceResult::Failed) {
        return Failure{"the printer choice failed"};
    }
    if (choice.Result == PrinterChoiceResult::Chosen && choice.Device == nullptr) {
        return Failure{"the printer chosen has no device"};
    }
    // An empty printer name is what a cancelled dialog leaves: no printer, and no failure either.
    if (choice.Result != PrinterChoiceResult::Chosen || choice.PrinterName.empty()) {
        return Done{};
    }
    if (Outcome started = choice.Device->StartDocument(DocumentName); !started) {
        return started;
    }
    Job.Printer = std::move(choice.Device);
    Job.PrinterName = std::move(choice.PrinterName);
    Job.DocumentOpen = true;
    Job.ResolutionY = Job.Printer->Resolution().Y;
    return Done{};
}

void PrintSurface::SetPageOrientation(int orientation) {
    if (orientation == PortraitOrientation || orientation == LandscapeOrientation) {
        Job.Orientation = orientation;
    }
}

DevicePoint PrintSurface::GetPrintableSize() const {
    // Before the page opens the device may still stand in another orientation.
    return Attached() && Job.PageOpen ? Job.Printer->PrintableSize() : DevicePoint{0, 0};
}

PrinterResolution PrintSurface::GetPrinterResolution() {
    if (!Attached()) {
        return PrinterResolution{0, 0};
    }
    const DevicePoint resolution = Job.Printer->Resolution();
    return PrinterResolution{resolution.X, resolution.Y};
}

void PrintSurface::SetForegroundColour(PageColour colour) {
    if (colour >= 0) {
        Job.Foreground = ToDeviceColour(colour);
    }
}

void PrintSurface::SetBackgroundColour(PageColour colour) {
    if (colour == NoFill) {
        Job.BackgroundSet = false;
    } else if (colour >= 0) {
        Job.BackgroundSet = true;
        Job.Background = ToDeviceColour(colour);
    }
}

void PrintSurface::SetPenWidth(int dots) {
    Job.PenWidth = std::clamp(dots, 0, MaxPenWidth);
}

void PrintSurface::SelectPrintFont(const PrintFont& font) {
    Job.CurrentFont = font;
    Job.CurrentRealised.reset();
    if (Attached()) {
        Job.CurrentRealised = Realise(font);
    }
}

void PrintSurface::PageMoveTo(double x, double y) {
    if (!Attached()) {
        return;
    }
    OpenPage();
    DevicePoint to{};
    Job.PositionValid = ToDot(x, to.X) && ToDot(y, to.Y);
    if (Job.PositionValid) {
        Job.Position = to;
    }
}

void PrintSurface::PageLineTo(double x, double y, PageColour colour) {
    if (!Attached()) {
        return;
    }
    OpenPage();
    DevicePoint to{};
    const bool endValid = ToDot(x, to.X) && ToDot(y, to.Y);
    if (endValid && Job.PositionValid) {
        Job.Printer->Line(OnSheet(Job.Position), OnSheet(to), LineColourOf(colour), Job.PenWidth);
    }
    Job.PositionValid = endValid;
    if (endValid) {
        Job.Position = to;
    }
}

void PrintSurface::PageBox(float x1, float y1, float x2, float y2, BoxCorner corner, PageColour lineColour,
                           PageColour fillColour, int fillStyle) {
    if (!Attached()) {
        return;
    }
    OpenPage();
    DeviceRect box{};
    if (!ToDeviceRect(x1, y1, x2, y2, box)) {
        return;
    }
    BoxShape shape = BoxShape::Ellipse;
    DevicePoint cornerSize{0, 0};
    if (corner) {
        const float percent = *corner;
        if (!(percent > 0.0f)) {
            shape = BoxShape::Square;
        } else {
            shape = BoxShape::Rounded;
            const double shorterSide = std::min(box.Right - box.Left, box.Bottom - box.Top);
            const int size = RoundHalfEven(shorterSide * std::min(static_cast<double>(percent), 100.0) / 100.0);
            cornerSize = DevicePoint{size, size};
        }
    }
    const DeviceColour line = LineColourOf(lineColour);
    Job.Printer->Box(OnSheet(box), shape, cornerSize, line, FillOf(fillColour, line, fillStyle), Job.PenWidth);
}

void PrintSurface::PageArc(float x1, float y1, float x2, float y2, float startAngle, float endAngle,
                           PageColour lineColour, PageColour fillColour, int fillStyle, bool pie) {
    if (!Attached()) {
        return;
    }
    OpenPage();
    DeviceRect box{};
    if (!ToDeviceRect(x1, y1, x2, y2, box) || !std::isfinite(startAngle) || !std::isfinite(endAngle)) {
        return;
    }
    const double centreX = (static_cast<double>(box.Left) + box.Right) / 2.0;
    const double centreY = (static_cast<double>(box.Top) + box.Bottom) / 2.0;
    // Angles count towards the top of the page, device y grows downwards. The point only marks the ray, so near
    // the coordinate limit it comes closer to the centre instead of going beyond the limit (and turning the ray);
    // a centre within a few dots of the limit leaves no room to mark the ray and drops the arc like any other far
    // coordinate.
    auto radialPoint = [&](float angle, DevicePoint& point) {
        const double stepX = std::cos(static_cast<double>(angle));
        const double stepY = -std::sin(static_cast<double>(angle));
        double reach = RayMarkDistance;
        for (const auto& [centre, step] : {std::pair{centreX, stepX}, std::pair{centreY, stepY}}) {
            if (step != 0) {
                const double edge = step > 0 ? PageCoordinateLimit - 0.5 : -(PageCoordinateLimit - 0.5);
                reach = std::min(reach, (edge - centre) / step);
            }
        }
        point = DevicePoint{RoundHalfEven(centreX + reach * stepX), RoundHalfEven(centreY + reach * stepY)};
        return reach >= MinRayMarkDistance;
    };
    DevicePoint start{};
    DevicePoint end{};
    if (!radialPoint(startAngle, start) || !radialPoint(endAngle, end)) {
        return;
    }
    const DeviceColour line = LineColourOf(lineColour);
    Job.Printer->Arc(OnSheet(box), OnSheet(start), OnSheet(end), pie, line, FillOf(fillColour, line, fillStyle),
                     Job.PenWidth);
}

void PrintSurface::PagePrintLine(std::string_view text) {
    if (!Attached()) {
        return;
    }
    OpenPage();
    if (!Job.PositionValid) {
        return;
    }
    const RealisedFont font = CurrentFontOnDevice();
    const DevicePoint at = OnSheet(Job.Position);
    const DevicePoint printable = Job.Printer->PrintableSize();
    const DeviceRect clip{at.X, at.Y, std::max(at.X, printable.X), at.Y + std::max(font.LineHeight, 0)};
    Job.Printer->Text(at, text, font.Handle, Job.Foreground, Job.BackgroundSet, Job.Background, clip);
    const double nextY = static_cast<double>(Job.Position.Y) + font.LineHeight;
    Job.PositionValid = std::fabs(nextY) <= PageCoordinateLimit;
    if (Job.PositionValid) {
        Job.Position = DevicePoint{0, static_cast<int>(nextY)};
    }
}

void PrintSurface::SetPageMark(std::string_view name) {
    PageMark = std::string(name);
    if (Attached()) {
        Job.Printer->FollowMark(PageMark);
    }
}

void PrintSurface::NextPage() {
    if (Attached() && Job.PageOpen) {
        Job.Printer->EndPage();
        Job.PageOpen = false;
    }
}

void PrintSurface::SetPageOrigin(DevicePoint origin) {
    Job.Origin = origin;
}

void PrintSurface::EndPrintJob() {
    PageMark.clear();
    if (Attached()) {
        Job.Printer->FollowMark(PageMark);
        if (Job.PageOpen) {
            Job.Printer->EndPage();
        }
        if (Job.DocumentOpen) {
            Job.Printer->EndDocument();
        }
        for (const auto& [key, font] : Job.Fonts) {
            Job.Printer->ReleaseFont(font.Handle);
        }
    }
    Job = JobRecord{};
}

double DotsPerMm(std::int32_t dotsPerInch, double correctionFactor) {
    const long double product = static_cast<long double>(dotsPerInch) * correctionFactor;
    return static_cast<double>(product / static_cast<long double>(25.4f));
}

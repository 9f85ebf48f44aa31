// Prints a test page through the page model on the Windows printer, answering the system print dialog
// from a second thread, and measures the page once it has been rendered to a greymap.
//
//   print_page jobs QUEUE ANSWER...  one print job per answer: "print" chooses QUEUE in the print dialog,
//                                    presses OK and draws the test page; "cancel" presses Cancel, after
//                                    which nothing may be printed and nothing may count as a failure
//   print_page measure FILE DPI MARGIN
//                                    measures the rendered page (binary PGM; MARGIN in mm from the
//                                    paper edge to the printable area)
//
// The exit code is 0 when every check held; the findings go to standard output.
#include "geometry/angles.h"
#include "print/page_model.h"
#include "print_dialog_win32.h"
#include "windows/gdi_printer_win32.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr DWORD DialogWaitMilliseconds = 30000;

// The test page, in millimetres from the top-left of the printable area of a landscape page.
// The line across reaches 250 mm, further than any portrait page is wide: a page that was not
// turned cuts it short.
constexpr double AcrossStartX = 50.0;
constexpr double AcrossY = 20.0;
constexpr double DownX = 20.0;
constexpr double DownStartY = 5.0;
constexpr double LineLength = 200.0;
constexpr double CircleLeft = 0.0;
constexpr double CircleTop = 30.0;
constexpr double CircleDiameter = 300.0;
constexpr double TextX = 50.0;
constexpr double TextY = 23.0;
constexpr int PagePenWidth = 2;
// Windows-1252: degree sign 0xB0, o with diaeresis 0xF6.
constexpr const char* TestText = "Quillmere test page 200 mm \xB0 \xF6";
// A line of text that starts near the right edge and must be cut off there.
constexpr double ClipTextX = 250.0;
constexpr double ClipTextY = 40.0;
constexpr double ClipTextBand = 4.0;
constexpr const char* ClipText = "Cut off at the right edge of the printable area";

// Shapes inside the big circle: a quarter arc from 0 to 90 degrees, a cross-hatched pie from 180 to
// 270 degrees around the same centre, and a solid box with rounded corners.
constexpr double ShapeCentreX = 150.0;
constexpr double ShapeCentreY = 120.0;
constexpr double ArcRadius = 40.0;
constexpr double PieRadius = 30.0;
constexpr int CrossHatchFill = 5;
constexpr double BoxLeft = 200.0;
constexpr double BoxTop = 100.0;
constexpr double BoxWidth = 30.0;
constexpr double BoxHeight = 20.0;
constexpr float BoxCornerPercent = 50.0f; // corner ellipses of 10 mm: 5 mm radius

constexpr double LengthTolerance = 0.5;

// Where an area of the page must be dark, in the fraction of dark pixels in a square around a point.
struct AreaCheck {
    const char* What;
    double X;
    double Y;
    double HalfSide;
    double MinDark;
    double MaxDark;
};

constexpr double Diagonal = 0.70710678118654752; // cos 45 degrees

// clang-format off
constexpr AreaCheck AreaChecks[] = {
    {"the arc runs counter-clockwise through 45 degrees",
     ShapeCentreX + ArcRadius * Diagonal, ShapeCentreY - ArcRadius * Diagonal, 1.0, 0.02, 1.0},
    {"the arc leaves out 135 degrees",
     ShapeCentreX - ArcRadius * Diagonal, ShapeCentreY - ArcRadius * Diagonal, 1.0, 0.0, 0.0},
    {"the arc leaves out 225 degrees",
     ShapeCentreX - ArcRadius * Diagonal, ShapeCentreY + ArcRadius * Diagonal, 1.0, 0.0, 0.0},
    {"the arc leaves out 315 degrees",
     ShapeCentreX + ArcRadius * Diagonal, ShapeCentreY + ArcRadius * Diagonal, 1.0, 0.0, 0.0},
    {"the pie is hatched inside its wedge",
     ShapeCentreX - PieRadius / 2 * Diagonal, ShapeCentreY + PieRadius / 2 * Diagonal, 2.0, 0.03, 0.7},
    {"the pie leaves the opposite quarter empty",
     ShapeCentreX + PieRadius / 2 * Diagonal, ShapeCentreY - PieRadius / 2 * Diagonal, 2.0, 0.0, 0.0},
    {"the rounded box is filled solid",
     BoxLeft + BoxWidth / 2, BoxTop + BoxHeight / 2, 2.0, 0.98, 1.0},
    {"the rounded box has its corner cut",
     BoxLeft + 0.8, BoxTop + 0.8, 0.3, 0.0, 0.0},
};
// clang-format on

struct DialogJob {
    std::wstring Queue;
    bool PressOk = false;
    PrintDialogAnswer Answer;
};

// Runs beside the modal print dialog of this process.
DWORD WINAPI AnswerOwnPrintDialog(LPVOID parameter) {
    auto* job = static_cast<DialogJob*>(parameter);
    job->Answer = AnswerPrintDialog(GetCurrentProcessId(), job->Queue, job->PressOk, DialogWaitMilliseconds);
    return 0;
}

void DrawTestPage(PrintSurface& surface) {
    surface.SetPageOrientation(2);
    const PrinterResolution resolution = surface.GetPrinterResolution();
    const double dotsPerMmX = DotsPerMm(resolution.X, 1.0);
    const double dotsPerMmY = DotsPerMm(resolution.Y, 1.0);
    std::printf("resolution %d x %d dpi\n", resolution.X, resolution.Y);
    surface.SetForegroundColour(ForegroundColourOf(surface.Colours()));
    surface.SetBackgroundColour(BackgroundColourOf(surface.Colours()));
    surface.SetPenWidth(PagePenWidth);

    surface.PageMoveTo(AcrossStartX * dotsPerMmX, AcrossY * dotsPerMmY);
    surface.PageLineTo((AcrossStartX + LineLength) * dotsPerMmX, AcrossY * dotsPerMmY, UseLineColour);
    surface.PageMoveTo(DownX * dotsPerMmX, DownStartY * dotsPerMmY);
    surface.PageLineTo(DownX * dotsPerMmX, (DownStartY + LineLength) * dotsPerMmY, UseLineColour);
    surface.PageBox(static_cast<float>(CircleLeft * dotsPerMmX), static_cast<float>(CircleTop * dotsPerMmY),
                    static_cast<float>((CircleLeft + CircleDiameter) * dotsPerMmX),
                    static_cast<float>((CircleTop + CircleDiameter) * dotsPerMmY), EllipseCorner, UseLineColour, NoFill,
                    0);
    surface.SelectPrintFont(CreatePrintFont("Arial", 12.0f, 0));
    surface.PageMoveTo(TextX * dotsPerMmX, TextY * dotsPerMmY);
    surface.PagePrintLine(TestText);
    surface.PageMoveTo(ClipTextX * dotsPerMmX, ClipTextY * dotsPerMmY);
    surface.PagePrintLine(ClipText);

    const auto box = [&](double left, double top, double right, double bottom) {
        return std::array<float, 4>{static_cast<float>(left * dotsPerMmX), static_cast<float>(top * dotsPerMmY),
                                    static_cast<float>(right * dotsPerMmX), static_cast<float>(bottom * dotsPerMmY)};
    };
    const auto arc =
        box(ShapeCentreX - ArcRadius, ShapeCentreY - ArcRadius, ShapeCentreX + ArcRadius, ShapeCentreY + ArcRadius);
    surface.PageArc(arc[0], arc[1], arc[2], arc[3], 0.0f, static_cast<float>(Pi / 2), UseLineColour, NoFill, 0, false);
    const auto pie =
        box(ShapeCentreX - PieRadius, ShapeCentreY - PieRadius, ShapeCentreX + PieRadius, ShapeCentreY + PieRadius);
    surface.PageArc(pie[0], pie[1], pie[2], pie[3], static_cast<float>(Pi), static_cast<float>(3 * Pi / 2),
                    UseLineColour, UseLineColour, CrossHatchFill, true);
    const auto rounded = box(BoxLeft, BoxTop, BoxLeft + BoxWidth, BoxTop + BoxHeight);
    surface.PageBox(rounded[0], rounded[1], rounded[2], rounded[3], BoxCornerPercent, UseLineColour, UseLineColour, 0);
}

int ChooseAndPrint(const std::wstring& queue, bool pressOk) {
    GdiPrinterChooser chooser(nullptr);
    PrintSurface surface(chooser);
    DialogJob job;
    job.Queue = queue;
    job.PressOk = pressOk;
    HANDLE thread = CreateThread(nullptr, 0, AnswerOwnPrintDialog, &job, 0, nullptr);
    if (thread == nullptr) {
        std::printf("FAIL: no answering thread\n");
        return 1;
    }
    const Outcome begun = surface.BeginPrintJob();
    const bool attached = begun.Ok() && surface.PrinterAttached();
    const bool failed = !begun;
    if (attached) {
        DrawTestPage(surface);
    }
    surface.EndPrintJob();
    // The answer is read only once the thread has ended.
    const bool answered = WaitForSingleObject(thread, DialogWaitMilliseconds + 5000) == WAIT_OBJECT_0;
    CloseHandle(thread);
    if (!answered) {
        std::printf("FAIL: the print dialog was never answered\n");
        return 1;
    }

    const PrintDialogAnswer& answer = job.Answer;
    std::printf("dialog seen %d, queue selected %d, dialog in front %d, OK pressed %d, attached %d, failed %d\n",
                answer.DialogSeen, answer.QueueSelected, answer.WasForeground, answer.OkPressed, attached, failed);
    const bool expected = answer.DialogSeen && answer.QueueSelected && answer.WasForeground &&
                          answer.OkPressed == pressOk && !failed && attached == pressOk;
    std::printf("%s\n", expected ? "ok" : "FAIL");
    return expected ? 0 : 1;
}

struct Greymap {
    int Width = 0;
    int Height = 0;
    std::vector<unsigned char> Pixels;
    bool Dark(int x, int y) const {
        return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)] <
               128;
    }
};

// The next number of a PGM header; comments run from '#' to the end of their line.
bool ReadHeaderNumber(std::istream& file, int& number) {
    for (;;) {
        file >> std::ws;
        if (file.peek() != '#') {
            break;
        }
        std::string comment;
        std::getline(file, comment);
    }
    return static_cast<bool>(file >> number);
}

bool ReadGreymap(const std::wstring& path, Greymap& map) {
    std::ifstream file(path.c_str(), std::ios::binary);
    std::string magic;
    int maxValue = 0;
    file >> magic;
    if (magic != "P5" || !ReadHeaderNumber(file, map.Width) || !ReadHeaderNumber(file, map.Height) ||
        !ReadHeaderNumber(file, maxValue) || maxValue != 255 || map.Width <= 0 || map.Height <= 0) {
        return false;
    }
    file.get(); // the single blank before the pixels
    map.Pixels.resize(static_cast<std::size_t>(map.Width) * static_cast<std::size_t>(map.Height));
    file.read(reinterpret_cast<char*>(map.Pixels.data()), static_cast<std::streamsize>(map.Pixels.size()));
    return static_cast<bool>(file);
}

struct Run {
    int Length = 0;
    int Line = 0; // the row or column it lies on
};

// The longest unbroken run of dark pixels along any row (or any column): a straight line of the page.
Run LongestRun(const Greymap& map, bool alongRows) {
    const int lines = alongRows ? map.Height : map.Width;
    const int length = alongRows ? map.Width : map.Height;
    Run longest;
    for (int line = 0; line < lines; ++line) {
        int run = 0;
        for (int step = 0; step < length; ++step) {
            const bool dark = alongRows ? map.Dark(step, line) : map.Dark(line, step);
            run = dark ? run + 1 : 0;
            if (run > longest.Length) {
                longest = Run{run, line};
            }
        }
    }
    return longest;
}

int DarkPixels(const Greymap& map, int left, int top, int right, int bottom) {
    int count = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, map.Height); ++y) {
        for (int x = std::max(left, 0); x < std::min(right, map.Width); ++x) {
            count += map.Dark(x, y) ? 1 : 0;
        }
    }
    return count;
}

bool Near(const char* what, double measured, double expected) {
    const bool matches = std::fabs(measured - expected) <= LengthTolerance;
    std::printf("%s: %s %.2f mm, expected %.2f mm\n", matches ? "ok" : "FAIL", what, measured, expected);
    return matches;
}

// The landscape page lies turned on the portrait paper: the top of the page runs down the left side of
// the paper, so page x grows upwards and page y to the right; the printable area starts `margin`
// millimetres in from every paper edge.
int MeasurePage(const std::wstring& path, double dotsPerInch, double margin) {
    Greymap map;
    if (!ReadGreymap(path, map) || !(dotsPerInch > 0)) {
        std::printf("FAIL: cannot read the rendered page\n");
        return 1;
    }
    const double mmPerPixel = 25.4 / dotsPerInch;
    const double paperHeight = map.Height * mmPerPixel;
    const Run across = LongestRun(map, false);
    const Run down = LongestRun(map, true);
    bool expected = Near("line across", across.Length * mmPerPixel, LineLength);
    expected = Near("line down", down.Length * mmPerPixel, LineLength) && expected;
    expected = Near("line across lies at y", across.Line * mmPerPixel - margin, AcrossY) && expected;
    expected = Near("line down lies at x", paperHeight - down.Line * mmPerPixel - margin, DownX) && expected;

    // The long text line reaches beyond the right edge of the printable area and must stop there.
    const auto pixels = [&](double millimetres) { return static_cast<int>(std::lround(millimetres / mmPerPixel)); };
    const int bandLeft = pixels(margin + ClipTextY);
    const int bandRight = pixels(margin + ClipTextY + ClipTextBand);
    const int edge = pixels(margin);
    const int beyond = DarkPixels(map, bandLeft, 0, bandRight, edge - 1);
    const int within = DarkPixels(map, bandLeft, edge + 1, bandRight, edge + pixels(ClipTextBand));
    const bool clipped = beyond == 0 && within > 0;
    std::printf("%s: text beyond the printable area %d dark pixels, just inside %d\n", clipped ? "ok" : "FAIL", beyond,
                within);

    // Page millimetres to raster pixels on the turned page.
    bool shapes = true;
    for (const AreaCheck& check : AreaChecks) {
        const int left = pixels(margin + check.Y - check.HalfSide);
        const int right = pixels(margin + check.Y + check.HalfSide);
        const int top = map.Height - pixels(margin + check.X + check.HalfSide);
        const int bottom = map.Height - pixels(margin + check.X - check.HalfSide);
        const int area = std::max((right - left) * (bottom - top), 1);
        const double dark = static_cast<double>(DarkPixels(map, left, top, right, bottom)) / area;
        const bool held = dark >= check.MinDark && dark <= check.MaxDark;
        std::printf("%s: %s (%.3f dark)\n", held ? "ok" : "FAIL", check.What, dark);
        shapes = shapes && held;
    }
    return expected && clipped && shapes ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && std::wcscmp(argv[1], L"jobs") == 0) {
        // One job per remaining argument, "print" or "cancel", all in this one process.
        int failures = 0;
        for (int job = 3; job < argc; ++job) {
            failures += ChooseAndPrint(argv[2], std::wcscmp(argv[job], L"print") == 0);
        }
        return failures == 0 ? 0 : 1;
    }
    if (argc == 5 && std::wcscmp(argv[1], L"measure") == 0) {
        return MeasurePage(argv[2], std::wcstod(argv[3], nullptr), std::wcstod(argv[4], nullptr));
    }
    std::printf("usage: print_page jobs QUEUE print|cancel... | measure FILE DPI MARGIN-MM\n");
    return 2;
}

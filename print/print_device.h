#pragma once

#include "geometry/result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// A platform colour value: red + 256 * green + 65536 * blue, each 0..255.
using DeviceColour = std::uint32_t;

struct DevicePoint {
    int X;
    int Y;
};

struct DeviceRect {
    int Left;
    int Top;
    int Right;
    int Bottom;
};

enum class BoxShape { Square, Rounded, Ellipse };

// How an area is filled: nothing, solid, or one of the platform's six hatch patterns
// (0 horizontal, 1 vertical, 2 forward diagonal, 3 backward diagonal, 4 cross, 5 diagonal cross).
struct DeviceFill {
    bool Filled;
    DeviceColour Colour;
    bool Hatched;
    int HatchStyle;
};

// A font as the device makes it: the height is negative for a character height in dots (as the
// platform asks for it); weight 400 regular, 700 bold.
struct DeviceFontRequest {
    std::string Face;
    int Height;
    int Weight;
    bool Italic;
    bool Underline;
    bool StrikeOut;
};

struct DeviceFontMetrics {
    int Height;
    int ExternalLeading;
};

using DeviceFontHandle = int;

// The vertical design of a scalable font, per em: ascent, descent (a positive depth) and the gap between lines.
struct FontDesign {
    double Ascent;
    double Descent;
    double LineGap;
};

// Cell height and external leading of a scalable font at an em size in dots, in whole dots as a printer reports them.
DeviceFontMetrics ScalableFontMetrics(const FontDesign& design, double emSize);

// The print device executes plain requests in whole dots from the top-left of the printable area.
// Every rule of a print job (page opening, colours, rounding, fonts, clipping of text) lives in the
// page model; a device only carries out what it is told. Failures of single requests stay silent.
class PrintDevice {
public:
    virtual ~PrintDevice() = default;

    // Starts the document, or says why it cannot be started.
    virtual Outcome StartDocument(std::string_view name) = 0;
    // Resets the device to the orientation (1 portrait, 2 landscape) and starts the page.
    virtual void StartPage(int orientation) = 0;
    virtual void EndPage() = 0;
    virtual void EndDocument() = 0;

    // Dots per inch across and down (LOGPIXELSX, LOGPIXELSY).
    virtual DevicePoint Resolution() = 0;
    // Printable area in dots (HORZRES, VERTRES) in the current orientation.
    virtual DevicePoint PrintableSize() = 0;

    virtual DeviceFontHandle MakeFont(const DeviceFontRequest& request) = 0;
    virtual DeviceFontMetrics FontMetrics(DeviceFontHandle font) = 0;
    virtual void ReleaseFont(DeviceFontHandle font) = 0;

    // A solid line of the pen width (0 = the thinnest line the device draws).
    virtual void Line(DevicePoint from, DevicePoint to, DeviceColour colour, int penWidth) = 0;
    // A rectangle (square or with rounded corners of the given ellipse size) or the ellipse inscribed in it;
    // the page model passes the box with Left <= Right and Top <= Bottom.
    virtual void Box(DeviceRect box, BoxShape shape, DevicePoint cornerSize, DeviceColour lineColour,
                     const DeviceFill& fill, int penWidth) = 0;
    // The arc of the ellipse inscribed in the box, counter-clockwise as seen on the page from the ray
    // through `start` to the ray through `end` (both rays from the box centre); with `pie` the closed wedge.
    // The same ray twice means the whole ellipse.
    virtual void Arc(DeviceRect box, DevicePoint start, DevicePoint end, bool pie, DeviceColour lineColour,
                     const DeviceFill& fill, int penWidth) = 0;
    // Text (Windows-1252 bytes) with its cell's top-left at `at`; when `opaque`, the character cells (advance by
    // cell height) are filled with `background` first. Everything is clipped to `clip`, which may be empty.
    // Returns the advance in dots.
    virtual int Text(DevicePoint at, std::string_view text, DeviceFontHandle font, DeviceColour colour, bool opaque,
                     DeviceColour background, DeviceRect clip) = 0;

    // The name of the mark the following requests draw (PrintSurface::SetPageMark), "" for none. Printers draw
    // nothing for it; the recording device keeps it with each request.
    virtual void FollowMark(std::string_view) {}
};

enum class PrinterChoiceResult { Chosen, Cancelled, Failed };

struct PrinterChoice {
    PrinterChoiceResult Result = PrinterChoiceResult::Cancelled;
    std::string PrinterName;
    std::unique_ptr<PrintDevice> Device;
};

// The system print dialog: on Windows it shows PrintDlgW; the Linux tool answers with the destination
// named on its command line; tests answer with a recording device or "cancelled".
class PrinterChooser {
public:
    virtual ~PrinterChooser() = default;
    virtual PrinterChoice ChoosePrinter() = 0;
};

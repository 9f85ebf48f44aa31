#pragma once

#include "print/print_device.h"

#include <functional>
#include <string>
#include <vector>

// A print device for tests: it keeps every request, in dots, in the order it came.
struct DeviceRequest {
    enum class Kind { StartDocument, StartPage, EndPage, EndDocument, MakeFont, ReleaseFont, Line, Box, Arc, Text };
    Kind What = Kind::StartDocument;
    std::string Text;    // document name, font face, or the printed text (Windows-1252)
    int Orientation = 0; // StartPage
    DevicePoint From{};  // Line; Text position; Arc start
    DevicePoint To{};    // Line; Arc end
    DeviceRect Rect{};   // Box, Arc; Text clip
    BoxShape Shape = BoxShape::Square;
    DevicePoint CornerSize{};
    bool Pie = false;
    DeviceColour Colour = 0; // line or text colour
    DeviceFill Fill{};
    bool Opaque = false; // Text
    DeviceColour Background = 0;
    int PenWidth = 0;
    DeviceFontHandle Font = 0;
    DeviceFontRequest FontRequest{};
    std::string Mark; // the page mark the request belongs to (SetPageMark), "" for none
};

struct RecordingDeviceSettings {
    DevicePoint Resolution{600, 600};
    // Printable area of a Letter page less a sixth of an inch all round, at 600 dpi, portrait.
    DevicePoint PortraitPrintableSize{4900, 6400};
    bool FailStartDocument = false;
    // The name the chooser reports; an empty name is what a cancelled system dialog leaves behind.
    std::string PrinterName = "Recording printer";
    // The metrics reported for a font; when empty, RecordedFontMetrics of its height.
    std::function<DeviceFontMetrics(const DeviceFontRequest&)> Metrics = nullptr;
};

// The metrics the recording device reports for a font of the requested height (negative: character height):
// cell height = character height + a fifth of it, external leading a tenth of it, so both parts are visible.
DeviceFontMetrics RecordedFontMetrics(int requestedHeight);

class RecordingDevice : public PrintDevice {
public:
    explicit RecordingDevice(std::vector<DeviceRequest>& log, RecordingDeviceSettings settings = {});

    Outcome StartDocument(std::string_view name) override;
    // Orientation of the last page; the printable size follows it.
    void StartPage(int orientation) override;
    void EndPage() override;
    void EndDocument() override;
    DevicePoint Resolution() override;
    DevicePoint PrintableSize() override;
    DeviceFontHandle MakeFont(const DeviceFontRequest& request) override;
    DeviceFontMetrics FontMetrics(DeviceFontHandle font) override;
    void ReleaseFont(DeviceFontHandle font) override;
    void Line(DevicePoint from, DevicePoint to, DeviceColour colour, int penWidth) override;
    void Box(DeviceRect box, BoxShape shape, DevicePoint cornerSize, DeviceColour lineColour, const DeviceFill& fill,
             int penWidth) override;
    void Arc(DeviceRect box, DevicePoint start, DevicePoint end, bool pie, DeviceColour lineColour,
             const DeviceFill& fill, int penWidth) override;
    // The advance is half the character height per byte.
    int Text(DevicePoint at, std::string_view text, DeviceFontHandle font, DeviceColour colour, bool opaque,
             DeviceColour background, DeviceRect clip) override;
    // Each request that follows carries the name.
    void FollowMark(std::string_view name) override;

private:
    DeviceRequest RequestOf(DeviceRequest::Kind what) const;

    std::vector<DeviceRequest>& Log;
    RecordingDeviceSettings Settings;
    int Orientation = 1;
    std::vector<DeviceFontRequest> Fonts;
    std::string Mark;
};

// A chooser for tests: answers with a recording device writing into `log`, or as cancelled/failed.
class RecordingPrinterChooser : public PrinterChooser {
public:
    explicit RecordingPrinterChooser(std::vector<DeviceRequest>& log, RecordingDeviceSettings settings = {},
                                     PrinterChoiceResult answer = PrinterChoiceResult::Chosen);
    PrinterChoice ChoosePrinter() override;
    int Calls = 0;

private:
    std::vector<DeviceRequest>& Log;
    RecordingDeviceSettings Settings;
    PrinterChoiceResult Answer;
};

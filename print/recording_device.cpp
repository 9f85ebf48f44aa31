#include "print/recording_device.h"

#include <cstdlib>
#include <utility>

RecordingDevice::RecordingDevice(std::vector<DeviceRequest>& log, RecordingDeviceSettings settings)
    : Log(log), Settings(settings) {}

DeviceRequest RecordingDevice::RequestOf(DeviceRequest::Kind what) const {
    DeviceRequest request;
    request.What = what;
    request.Mark = Mark;
    return request;
}

void RecordingDevice::FollowMark(std::string_view name) {
    Mark = std::string(name);
}

Outcome RecordingDevice::StartDocument(std::string_view name) {
    DeviceRequest request = RequestOf(DeviceRequest::Kind::StartDocument);
    request.Text = std::string(name);
    Log.push_back(request);
    if (Settings.FailStartDocument) {
        return Failure{"the recording device was told to refuse the document"};
    }
    return Done{};
}

void RecordingDevice::StartPage(int orientation) {
    Orientation = orientation;
    DeviceRequest request = RequestOf(DeviceRequest::Kind::StartPage);
    request.Orientation = orientation;
    Log.push_back(request);
}

void RecordingDevice::EndPage() {
    Log.push_back(RequestOf(DeviceRequest::Kind::EndPage));
}

void RecordingDevice::EndDocument() {
    Log.push_back(RequestOf(DeviceRequest::Kind::EndDocument));
}

DevicePoint RecordingDevice::Resolution() {
    return Settings.Resolution;
}

DevicePoint RecordingDevice::PrintableSize() {
    const DevicePoint portrait = Settings.PortraitPrintableSize;
    return Orientation == 2 ? DevicePoint{portrait.Y, portrait.X} : portrait;
}

DeviceFontHandle RecordingDevice::MakeFont(const DeviceFontRequest& fontRequest) {
    Fonts.push_back(fontRequest);
    const auto handle = static_cast<DeviceFontHandle>(Fonts.size());
    DeviceRequest request = RequestOf(DeviceRequest::Kind::MakeFont);
    request.Text = fontRequest.Face;
    request.Font = handle;
    request.FontRequest = fontRequest;
    Log.push_back(request);
    return handle;
}

DeviceFontMetrics RecordingDevice::FontMetrics(DeviceFontHandle font) {
    if (font < 1 || static_cast<std::size_t>(font) > Fonts.size()) {
        return DeviceFontMetrics{0, 0};
    }
    const DeviceFontRequest& request = Fonts[static_cast<std::size_t>(font) - 1];
    return Settings.Metrics ? Settings.Metrics(request) : RecordedFontMetrics(request.Height);
}

void RecordingDevice::ReleaseFont(DeviceFontHandle font) {
    DeviceRequest request = RequestOf(DeviceRequest::Kind::ReleaseFont);
    request.Font = font;
    Log.push_back(request);
}

void RecordingDevice::Line(DevicePoint from, DevicePoint to, DeviceColour colour, int penWidth) {
    DeviceRequest request = RequestOf(DeviceRequest::Kind::Line);
    request.From = from;
    request.To = to;
    request.Colour = colour;
    request.PenWidth = penWidth;
    Log.push_back(request);
}

void RecordingDevice::Box(DeviceRect box, BoxShape shape, DevicePoint cornerSize, DeviceColour lineColour,
                          const DeviceFill& fill, int penWidth) {
    DeviceRequest request = RequestOf(DeviceRequest::Kind::Box);
    request.Rect = box;
    request.Shape = shape;
    request.CornerSize = cornerSize;
    request.Colour = lineColour;
    request.Fill = fill;
    request.PenWidth = penWidth;
    Log.push_back(request);
}

void RecordingDevice::Arc(DeviceRect box, DevicePoint start, DevicePoint end, bool pie, DeviceColour lineColour,
                          const DeviceFill& fill, int penWidth) {
    DeviceRequest request = RequestOf(DeviceRequest::Kind::Arc);
    request.Rect = box;
    request.From = start;
    request.To = end;
    request.Pie = pie;
    request.Colour = lineColour;
    request.Fill = fill;
    request.PenWidth = penWidth;
    Log.push_back(request);
}

int RecordingDevice::Text(DevicePoint at, std::string_view text, DeviceFontHandle font, DeviceColour colour,
                          bool opaque, DeviceColour background, DeviceRect clip) {
    DeviceRequest request = RequestOf(DeviceRequest::Kind::Text);
    request.From = at;
    request.Text = std::string(text);
    request.Font = font;
    request.Colour = colour;
    request.Opaque = opaque;
    request.Background = background;
    request.Rect = clip;
    Log.push_back(request);
    int height = 0;
    if (font >= 1 && static_cast<std::size_t>(font) <= Fonts.size()) {
        height = std::abs(Fonts[static_cast<std::size_t>(font) - 1].Height);
    }
    return static_cast<int>(text.size()) * (height / 2);
}

DeviceFontMetrics RecordedFontMetrics(int requestedHeight) {
    const int character = std::abs(requestedHeight);
    return DeviceFontMetrics{character + character / 5, character / 10};
}

RecordingPrinterChooser::RecordingPrinterChooser(std::vector<DeviceRequest>& log, RecordingDeviceSettings settings,
                                                 PrinterChoiceResult answer)
    : Log(log), Settings(settings), Answer(answer) {}

PrinterChoice RecordingPrinterChooser::ChoosePrinter() {
    ++Calls;
    PrinterChoice choice;
    choice.Result = Answer;
    if (Answer == PrinterChoiceResult::Chosen) {
        choice.PrinterName = Settings.PrinterName;
        choice.Device = std::make_unique<RecordingDevice>(Log, Settings);
    }
    return choice;
}

#include "cli/file_printer.h"
#include "print/vector_drawing.h"

#include "cli/output_file.h"
#include "geometry/windows_1252.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <utility>
#include <vector>

namespace {

constexpr double MmPerInch = 25.4;
constexpr double PointsPerInch = 72.0;
// Hatch tiles are this many dots square, as a printer driver lays them.
constexpr int HatchTile = 8;

void SetSourceColour(cairo_t* cr, DeviceColour colour) {
    cairo_set_source_rgb(cr, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0, ((colour >> 16) & 0xFF) / 255.0);
}

std::uint32_t Crc32(const unsigned char* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

void AppendBigEndian(std::vector<unsigned char>& bytes, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<unsigned char>((value >> shift) & 0xFF));
    }
}

// cairo writes no resolution into a PNG; a pHYs chunk right after IHDR makes the image print at full scale.
bool InsertPhysicalSize(std::vector<unsigned char>& png, int dpi) {
    constexpr std::size_t SignatureSize = 8;
    constexpr std::size_t HeaderChunkSize = 4 + 4 + 13 + 4;
    if (png.size() < SignatureSize + HeaderChunkSize || std::memcmp(png.data() + 12, "IHDR", 4) != 0) {
        return false;
    }
    const auto dotsPerMetre = static_cast<std::uint32_t>(std::lround(dpi / (MmPerInch / 1000.0)));
    std::vector<unsigned char> chunk;
    AppendBigEndian(chunk, 9);
    for (char c : std::string_view("pHYs")) {
        chunk.push_back(static_cast<unsigned char>(c));
    }
    AppendBigEndian(chunk, dotsPerMetre);
    AppendBigEndian(chunk, dotsPerMetre);
    chunk.push_back(1); // unit: metre
    AppendBigEndian(chunk, Crc32(chunk.data() + 4, chunk.size() - 4));
    png.insert(png.begin() + static_cast<std::ptrdiff_t>(SignatureSize + HeaderChunkSize), chunk.begin(), chunk.end());
    return true;
}

cairo_status_t CollectBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<unsigned char>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

// cairo writes PDF and SVG through here, so that every write reaches the checked file.
cairo_status_t WriteToOutput(void* closure, const unsigned char* data, unsigned int length) {
    return static_cast<OutputFile*>(closure)->Write(data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

struct CairoFont {
    cairo_font_face_t* Face = nullptr;
    double Size = 0;
    double Ascent = 0;
    double Descent = 0;
    double LineGap = 0;
    FontDesign Design{};
    bool Underline = false;
    bool StrikeOut = false;
};

class CairoFileDevice : public PrintDevice {
public:
    CairoFileDevice(FilePrinterSettings settings, std::shared_ptr<FilePrinterOutcome> outcome)
        : Settings(std::move(settings)), Outcome(std::move(outcome)) {
        Settings.Dpi = std::max(Settings.Dpi, 1);
        Settings.MarginMm = std::max(Settings.MarginMm, 0.0);
        FontOptions = cairo_font_options_create();
        // Unhinted metrics keep text widths the same in PDF, SVG and PNG.
        cairo_font_options_set_hint_metrics(FontOptions, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(FontOptions, CAIRO_HINT_STYLE_NONE);
    }

    CairoFileDevice(const CairoFileDevice&) = delete;
    CairoFileDevice& operator=(const CairoFileDevice&) = delete;

    ~CairoFileDevice() override {
        DestroySurface();
        for (CairoFont& font : Fonts) {
            if (font.Face != nullptr) {
                cairo_font_face_destroy(font.Face);
            }
        }
        cairo_font_options_destroy(FontOptions);
    }

    ::Outcome StartDocument(std::string_view /*name*/) override {
        Outcome->Written = false;
        Outcome->Error.clear();
        if (Settings.Path.empty()) {
            Fail("no output file named");
            return Failure{Outcome->Error};
        }
        // Opening the output (a temporary file beside a file target) proves it writable before anything is drawn.
        DocumentOpen = Output.Open(Settings.Path).Ok();
        if (!DocumentOpen) {
            Fail("");
            return Failure{Outcome->Error};
        }
        return Done{};
    }

    void StartPage(int orientation) override {
        // A PDF takes page after page (the sheets of a tiled template); a PNG or SVG file holds one page.
        const bool another = PageEnded && Settings.Format == PageFormat::Pdf;
        if (Failed || (PageStarted && !another)) {
            return;
        }
        Orientation = orientation;
        const double widthDots = Paper().WidthDots;
        const double heightDots = Paper().HeightDots;
        double scale = Settings.Format == PageFormat::Png ? 1.0 : PointsPerInch / Settings.Dpi;
        if (another) {
            // The document goes on; the page's context starts afresh (its transformation and clip belong to the
            // page before).
            cairo_destroy(Cr);
            Cr = nullptr;
            cairo_pdf_surface_set_size(Surface, widthDots * scale, heightDots * scale);
        } else if (Settings.Format == PageFormat::Pdf) {
            Surface =
                cairo_pdf_surface_create_for_stream(WriteToOutput, &Output, widthDots * scale, heightDots * scale);
        } else if (Settings.Format == PageFormat::Svg) {
            Surface =
                cairo_svg_surface_create_for_stream(WriteToOutput, &Output, widthDots * scale, heightDots * scale);
        } else {
            Surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(std::ceil(widthDots)),
                                                 static_cast<int>(std::ceil(heightDots)));
        }
        if (!Check(cairo_surface_status(Surface))) {
            return;
        }
        Cr = cairo_create(Surface);
        if (Settings.Format == PageFormat::Png) {
            // Paper is white where nothing is drawn.
            cairo_set_source_rgb(Cr, 1, 1, 1);
            cairo_paint(Cr);
        }
        cairo_scale(Cr, scale, scale);
        const double margin = Paper().MarginDots;
        cairo_translate(Cr, margin, margin);
        const DevicePoint printable = PrintableSize();
        cairo_rectangle(Cr, 0, 0, printable.X, printable.Y);
        cairo_clip(Cr);
        cairo_set_font_options(Cr, FontOptions);
        // The line ends and corners of the Windows printer's solid pens, so both programs print the same page.
        cairo_set_line_cap(Cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(Cr, CAIRO_LINE_JOIN_ROUND);
        PageStarted = true;
        PageEnded = false;
        CheckContext();
    }

    void EndPage() override {
        if (Failed || !PageStarted || PageEnded) {
            return;
        }
        StrokePolyline();
        if (Settings.Format != PageFormat::Png) {
            cairo_show_page(Cr);
        }
        PageEnded = true;
        CheckContext();
    }

    void EndDocument() override {
        if (!DocumentOpen) {
            return;
        }
        DocumentOpen = false;
        if (!Failed && !PageStarted) {
            // A job that drew nothing still leaves a valid, blank page.
            StartPage(Orientation);
        }
        EndPage();
        if (!Failed) {
            Finish();
        }
        DestroySurface();
        if (Failed) {
            Output.Abandon();
        } else if (Output.Finish()) {
            Outcome->Written = true;
        } else {
            Fail("");
        }
    }

    DevicePoint Resolution() override { return DevicePoint{Settings.Dpi, Settings.Dpi}; }

    DevicePoint PrintableSize() override { return Paper().Printable; }

    DeviceFontHandle MakeFont(const DeviceFontRequest& request) override {
        CairoFont font;
        // The face is program text (Windows-1252) like any other: raw bytes that are no UTF-8 would put the
        // whole page in error.
        font.Face = cairo_toy_font_face_create(
            Windows1252ToUtf8(request.Face).c_str(), request.Italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
            request.Weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        font.Underline = request.Underline;
        font.StrikeOut = request.StrikeOut;
        // Ascent and descent for a one-dot em, measured on a large size so rounding inside the font engine
        // does not show.
        constexpr double ReferenceSize = 1000.0;
        const cairo_font_extents_t reference = MeasureFont(font.Face, ReferenceSize);
        const double ascent = reference.ascent / ReferenceSize;
        const double descent = reference.descent / ReferenceSize;
        const double gap = std::max(0.0, reference.height / ReferenceSize - ascent - descent);
        const double size = EmSize(request, FontDesign{ascent, descent, gap}, Settings.Dpi);
        font.Size = size;
        font.Ascent = ascent * size;
        font.Descent = descent * size;
        font.LineGap = gap * size;
        font.Design = FontDesign{ascent, descent, gap};
        Fonts.push_back(font);
        return static_cast<DeviceFontHandle>(Fonts.size());
    }

    DeviceFontMetrics FontMetrics(DeviceFontHandle handle) override {
        const CairoFont* font = FontOf(handle);
        if (font == nullptr) {
            return DeviceFontMetrics{0, 0};
        }
        return ScalableFontMetrics(font->Design, font->Size);
    }

    void ReleaseFont(DeviceFontHandle handle) override {
        if (handle >= 1 && static_cast<std::size_t>(handle) <= Fonts.size()) {
            CairoFont& font = Fonts[static_cast<std::size_t>(handle) - 1];
            if (font.Face != nullptr) {
                cairo_font_face_destroy(font.Face);
                font.Face = nullptr;
            }
        }
    }

    // A line that goes on from where the last one ended, in the same colour and width, joins it in one path:
    // a curve drawn as many short lines is stroked once, with round joins instead of notches between the pieces,
    // and the file holds one path instead of hundreds.
    void Line(DevicePoint from, DevicePoint to, DeviceColour colour, int penWidth) override {
        if (!Drawing()) {
            return;
        }
        const double offset = LineOffset(penWidth);
        if (Polyline.RunsOn(from, colour, penWidth)) {
            Polyline.Extend(to);
        } else {
            StrokePolyline();
            cairo_move_to(Cr, from.X + offset, from.Y + offset);
            Polyline.Begin(to, colour, penWidth);
        }
        cairo_line_to(Cr, to.X + offset, to.Y + offset);
    }

    void Box(DeviceRect box, BoxShape shape, DevicePoint cornerSize, DeviceColour lineColour, const DeviceFill& fill,
             int penWidth) override {
        if (!Drawing()) {
            return;
        }
        StrokePolyline();
        const double offset = PenOffset(penWidth);
        const double left = box.Left + offset;
        const double top = box.Top + offset;
        const double width = static_cast<double>(box.Right) - box.Left;
        const double height = static_cast<double>(box.Bottom) - box.Top;
        if (shape == BoxShape::Ellipse) {
            EllipsePath(left + width / 2, top + height / 2, width / 2, height / 2);
        } else if (shape == BoxShape::Rounded && cornerSize.X > 0 && cornerSize.Y > 0) {
            RoundedPath(left, top, width, height, std::min(cornerSize.X / 2.0, width / 2),
                        std::min(cornerSize.Y / 2.0, height / 2));
        } else {
            cairo_rectangle(Cr, left, top, width, height);
        }
        FillAndStroke(fill, lineColour, penWidth);
    }

    void Arc(DeviceRect box, DevicePoint start, DevicePoint end, bool pie, DeviceColour lineColour,
             const DeviceFill& fill, int penWidth) override {
        if (!Drawing()) {
            return;
        }
        StrokePolyline();
        const double offset = PenOffset(penWidth);
        EllipseSweep sweep{};
        if (!SweepOf(box, start, end, sweep)) {
            return;
        }
        cairo_save(Cr);
        cairo_translate(Cr, sweep.CentreX + offset, sweep.CentreY + offset);
        cairo_scale(Cr, sweep.RadiusX, -sweep.RadiusY);
        if (pie) {
            cairo_move_to(Cr, 0, 0);
        } else {
            cairo_new_path(Cr);
        }
        cairo_arc(Cr, 0, 0, 1, sweep.From, sweep.To);
        if (pie) {
            cairo_close_path(Cr);
        }
        cairo_restore(Cr);
        if (pie) {
            FillAndStroke(fill, lineColour, penWidth);
        } else {
            Stroke(lineColour, penWidth);
        }
    }

    int Text(DevicePoint at, std::string_view text, DeviceFontHandle handle, DeviceColour colour, bool opaque,
             DeviceColour background, DeviceRect clip) override {
        const CairoFont* font = FontOf(handle);
        if (!Drawing() || font == nullptr || font->Face == nullptr) {
            return 0;
        }
        StrokePolyline();
        const std::string utf8 = Windows1252ToUtf8(text);
        cairo_save(Cr);
        cairo_set_font_face(Cr, font->Face);
        cairo_set_font_size(Cr, font->Size);
        cairo_text_extents_t extents;
        cairo_text_extents(Cr, utf8.c_str(), &extents);
        const double advance = extents.x_advance;
        if (clip.Right > clip.Left && clip.Bottom > clip.Top) {
            cairo_rectangle(Cr, clip.Left, clip.Top, static_cast<double>(clip.Right) - clip.Left,
                            static_cast<double>(clip.Bottom) - clip.Top);
            cairo_clip(Cr);
            const double cellHeight = font->Ascent + font->Descent;
            if (opaque) {
                SetSourceColour(Cr, background);
                cairo_rectangle(Cr, at.X, at.Y, advance, cellHeight);
                cairo_fill(Cr);
            }
            SetSourceColour(Cr, colour);
            const double baseline = at.Y + font->Ascent;
            cairo_move_to(Cr, at.X, baseline);
            cairo_show_text(Cr, utf8.c_str());
            const double thickness = std::max(1.0, font->Size / 14);
            if (font->Underline) {
                cairo_rectangle(Cr, at.X, baseline + font->Descent / 2, advance, thickness);
            }
            if (font->StrikeOut) {
                cairo_rectangle(Cr, at.X, baseline - font->Ascent / 3, advance, thickness);
            }
            cairo_fill(Cr);
        }
        cairo_restore(Cr);
        CheckContext();
        return static_cast<int>(std::lround(advance));
    }

private:
    PaperGeometry Paper() const {
        return PaperGeometryOf(Settings.Paper, Settings.Dpi, Settings.MarginMm, Orientation);
    }

    bool Drawing() const { return !Failed && PageStarted && !PageEnded; }

    const CairoFont* FontOf(DeviceFontHandle handle) const {
        if (handle < 1 || static_cast<std::size_t>(handle) > Fonts.size()) {
            return nullptr;
        }
        return &Fonts[static_cast<std::size_t>(handle) - 1];
    }

    cairo_font_extents_t MeasureFont(cairo_font_face_t* face, double size) const {
        cairo_matrix_t fontMatrix;
        cairo_matrix_t identity;
        cairo_matrix_init_scale(&fontMatrix, size, size);
        cairo_matrix_init_identity(&identity);
        cairo_scaled_font_t* scaled = cairo_scaled_font_create(face, &fontMatrix, &identity, FontOptions);
        cairo_font_extents_t extents{};
        cairo_scaled_font_extents(scaled, &extents);
        cairo_scaled_font_destroy(scaled);
        return extents;
    }

    void EllipsePath(double centreX, double centreY, double radiusX, double radiusY) {
        if (radiusX <= 0 || radiusY <= 0) {
            // A flat ellipse is the line along its box; scaling by zero would break the context for good.
            cairo_move_to(Cr, centreX - radiusX, centreY - radiusY);
            cairo_line_to(Cr, centreX + radiusX, centreY + radiusY);
            return;
        }
        cairo_save(Cr);
        cairo_translate(Cr, centreX, centreY);
        cairo_scale(Cr, radiusX, radiusY);
        cairo_new_sub_path(Cr);
        cairo_arc(Cr, 0, 0, 1, 0, 2 * std::numbers::pi);
        cairo_close_path(Cr);
        cairo_restore(Cr);
    }

    void RoundedPath(double left, double top, double width, double height, double radiusX, double radiusY) {
        const double right = left + width;
        const double bottom = top + height;
        cairo_new_sub_path(Cr);
        auto corner = [&](double x, double y, double from) {
            cairo_save(Cr);
            cairo_translate(Cr, x, y);
            cairo_scale(Cr, radiusX, radiusY);
            cairo_arc(Cr, 0, 0, 1, from, from + std::numbers::pi / 2);
            cairo_restore(Cr);
        };
        corner(right - radiusX, top + radiusY, -std::numbers::pi / 2);
        corner(right - radiusX, bottom - radiusY, 0);
        corner(left + radiusX, bottom - radiusY, std::numbers::pi / 2);
        corner(left + radiusX, top + radiusY, std::numbers::pi);
        cairo_close_path(Cr);
    }

    void StrokePolyline() {
        if (!Polyline.Open) {
            return;
        }
        Polyline.Open = false;
        Stroke(Polyline.Colour, Polyline.PenWidth);
    }

    void Stroke(DeviceColour colour, int penWidth) {
        SetSourceColour(Cr, colour);
        cairo_set_line_width(Cr, StrokeWidth(penWidth));
        cairo_stroke(Cr);
        CheckContext();
    }

    void FillAndStroke(const DeviceFill& fill, DeviceColour lineColour, int penWidth) {
        if (fill.Filled) {
            if (fill.Hatched) {
                cairo_pattern_t* hatch = HatchPattern(fill.HatchStyle, fill.Colour);
                cairo_set_source(Cr, hatch);
                cairo_pattern_destroy(hatch);
            } else {
                SetSourceColour(Cr, fill.Colour);
            }
            cairo_fill_preserve(Cr);
        }
        Stroke(lineColour, penWidth);
    }

    // The platform's six hatch styles: horizontal, vertical, forward diagonal, backward diagonal, cross,
    // diagonal cross; drawn as vector tiles so PDF and SVG keep them sharp.
    cairo_pattern_t* HatchPattern(int style, DeviceColour colour) {
        const cairo_rectangle_t extents{0, 0, HatchTile, HatchTile};
        cairo_surface_t* tile = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
        cairo_t* tileCr = cairo_create(tile);
        SetSourceColour(tileCr, colour);
        cairo_set_line_width(tileCr, 1);
        const double middle = HatchTile / 2.0 + 0.5;
        const bool horizontal = style == 0 || style == 4;
        const bool vertical = style == 1 || style == 4;
        const bool forward = style == 2 || style == 5;
        const bool backward = style == 3 || style == 5;
        if (horizontal) {
            cairo_move_to(tileCr, 0, middle);
            cairo_line_to(tileCr, HatchTile, middle);
        }
        if (vertical) {
            cairo_move_to(tileCr, middle, 0);
            cairo_line_to(tileCr, middle, HatchTile);
        }
        for (int k = -1; k <= 1; ++k) {
            const double shift = k * HatchTile;
            if (forward) {
                cairo_move_to(tileCr, -1, -1 + shift);
                cairo_line_to(tileCr, HatchTile + 1, HatchTile + 1 + shift);
            }
            if (backward) {
                cairo_move_to(tileCr, -1, HatchTile + 1 + shift);
                cairo_line_to(tileCr, HatchTile + 1, -1 + shift);
            }
        }
        cairo_stroke(tileCr);
        cairo_destroy(tileCr);
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
        cairo_surface_destroy(tile);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
        return pattern;
    }

    void Finish() {
        if (Settings.Format == PageFormat::Png) {
            cairo_surface_flush(Surface);
            std::vector<unsigned char> png;
            if (!Check(cairo_surface_write_to_png_stream(Surface, CollectBytes, &png))) {
                return;
            }
            if (!InsertPhysicalSize(png, Settings.Dpi)) {
                Fail("unexpected PNG layout");
                return;
            }
            if (!Output.Write(png.data(), png.size())) {
                Fail("");
            }
            return;
        }
        CheckContext();
        cairo_destroy(Cr);
        Cr = nullptr;
        cairo_surface_finish(Surface);
        Check(cairo_surface_status(Surface));
    }

    void DestroySurface() {
        if (Cr != nullptr) {
            cairo_destroy(Cr);
            Cr = nullptr;
        }
        if (Surface != nullptr) {
            cairo_surface_destroy(Surface);
            Surface = nullptr;
        }
    }

    void CheckContext() {
        if (Cr != nullptr) {
            Check(cairo_status(Cr));
        }
    }

    // Every cairo failure that matters ends here: the document is lost, drawing stops, the reason is kept.
    bool Check(cairo_status_t status) {
        if (status == CAIRO_STATUS_SUCCESS) {
            return true;
        }
        Fail(cairo_status_to_string(status));
        return false;
    }

    // The output's own failure (a write the system refused, a folder as target) is the one reported.
    bool Fail(std::string_view reason) {
        if (!Failed) {
            Failed = true;
            Outcome->Written = false;
            // `::Outcome`: inside this class, Outcome names the job's outcome.
            const ::Outcome output = Output.Status();
            Outcome->Error = !output ? output.Message() : "cannot write " + Settings.Path + ": " + std::string(reason);
        }
        return false;
    }

    FilePrinterSettings Settings;
    std::shared_ptr<FilePrinterOutcome> Outcome;
    cairo_font_options_t* FontOptions = nullptr;
    std::vector<CairoFont> Fonts;
    OutputFile Output;
    bool DocumentOpen = false;
    cairo_surface_t* Surface = nullptr;
    cairo_t* Cr = nullptr;
    int Orientation = 1;
    bool PageStarted = false;
    bool PageEnded = false;
    bool Failed = false;
    PolylinePath Polyline;
};

} // namespace

std::unique_ptr<PrintDevice> MakeFilePrinterDevice(const FilePrinterSettings& settings,
                                                   std::shared_ptr<FilePrinterOutcome> outcome) {
    return std::make_unique<CairoFileDevice>(settings, std::move(outcome));
}

FilePrinterChooser::FilePrinterChooser(FilePrinterSettings settings)
    : Settings(std::move(settings)), Outcome(std::make_shared<FilePrinterOutcome>()) {}

PrinterChoice FilePrinterChooser::ChoosePrinter() {
    Outcome = std::make_shared<FilePrinterOutcome>();
    PrinterChoice choice;
    if (Settings.Path.empty()) {
        // Without a file there is no printer to choose; saying so beats printing nothing in silence.
        Outcome->Error = "no output file named";
        choice.Result = PrinterChoiceResult::Failed;
        return choice;
    }
    choice.Result = PrinterChoiceResult::Chosen;
    choice.PrinterName = Settings.Path;
    choice.Device = MakeFilePrinterDevice(Settings, Outcome);
    return choice;
}

::Outcome FilePrinterChooser::FileWritten() const {
    if (Outcome->Written) {
        return Done{};
    }
    return Failure{Outcome->Error.empty() ? "cannot write '" + Settings.Path + "'" : Outcome->Error};
}

#include "cli/file_printer.h"
#include "print/drawing_primitives.h"
#include "print/page_model.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int Dpi = 600;
constexpr double MarginMm = 4.23;
constexpr double DotsPerInchMm = 25.4;

fs::path TempFolder() {
    const fs::path folder = fs::path(QUILLMERE_CAIRO_TEST_TMP);
    fs::create_directories(folder);
    return folder;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string RunAndRead(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    pclose(pipe);
    return output;
}

// A grey raster, one byte a pixel, 0 black.
struct Raster {
    int Width = 0;
    int Height = 0;
    std::vector<unsigned char> Pixels;

    bool Dark(int x, int y) const {
        if (x < 0 || y < 0 || x >= Width || y >= Height) {
            return false;
        }
        return Pixels[static_cast<std::size_t>(y) * Width + x] < 128;
    }
};

Raster ReadPgm(const fs::path& path) {
    Raster raster;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    in >> magic >> raster.Width >> raster.Height >> maximum;
    in.get();
    if (magic != "P5" || maximum != 255) {
        return Raster{};
    }
    raster.Pixels.resize(static_cast<std::size_t>(raster.Width) * raster.Height);
    in.read(reinterpret_cast<char*>(raster.Pixels.data()), static_cast<std::streamsize>(raster.Pixels.size()));
    in.close();
    // A 600 dpi page is some 30 MB of grey: measured once, it is not kept.
    fs::remove(path);
    return raster;
}

// The PDF as poppler renders it at the emulated printer's resolution.
Raster Rasterise(const fs::path& pdf) {
    const fs::path prefix = pdf.parent_path() / pdf.stem();
    const std::string command =
        "pdftoppm -r " + std::to_string(Dpi) + " -gray -singlefile '" + pdf.string() + "' '" + prefix.string() + "'";
    if (std::system(command.c_str()) != 0) {
        return Raster{};
    }
    return ReadPgm(prefix.string() + ".pgm");
}

Raster ReadPng(const fs::path& path) {
    Raster raster;
    cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
        raster.Width = cairo_image_surface_get_width(image);
        raster.Height = cairo_image_surface_get_height(image);
        const int stride = cairo_image_surface_get_stride(image);
        const unsigned char* data = cairo_image_surface_get_data(image);
        raster.Pixels.resize(static_cast<std::size_t>(raster.Width) * raster.Height);
        for (int y = 0; y < raster.Height; ++y) {
            for (int x = 0; x < raster.Width; ++x) {
                std::uint32_t pixel = 0;
                std::memcpy(&pixel, data + static_cast<std::ptrdiff_t>(y) * stride + 4 * x, 4);
                const unsigned green = (pixel >> 8) & 0xFF;
                raster.Pixels[static_cast<std::size_t>(y) * raster.Width + x] = static_cast<unsigned char>(green);
            }
        }
    }
    cairo_surface_destroy(image);
    return raster;
}

// The longest dark run through the pixels near (x, y), along a row or a column.
int LongestRun(const Raster& raster, int x, int y, bool horizontal) {
    int longest = 0;
    for (int across = -3; across <= 3; ++across) {
        const int px = horizontal ? x : x + across;
        const int py = horizontal ? y + across : y;
        if (!raster.Dark(px, py)) {
            continue;
        }
        int first = horizontal ? px : py;
        int last = first;
        while (horizontal ? raster.Dark(first - 1, py) : raster.Dark(px, first - 1)) {
            --first;
        }
        while (horizontal ? raster.Dark(last + 1, py) : raster.Dark(px, last + 1)) {
            ++last;
        }
        longest = std::max(longest, last - first + 1);
    }
    return longest;
}

// Where the printable area starts on the page, in pixels of a 600 dpi raster.
int MarginPixels() {
    return static_cast<int>(std::round(MarginMm / DotsPerInchMm * Dpi));
}

struct PageScales {
    double X;
    double Y;
};

// The measuring page: a 200 mm line across and one down, a 300 mm circle running off the page, and a line of
// text over a stroke, so the text's opaque cell shows.
PageScales DrawTestPage(PrintSurface& surface, double correctionX) {
    surface.SetPageOrientation(2);
    const PrinterResolution resolution = surface.GetPrinterResolution();
    const PageScales scales{DotsPerMm(resolution.X, correctionX), DotsPerMm(resolution.Y, 1.0)};
    surface.SetForegroundColour(MakeColour(0, 0, 0));
    surface.SetBackgroundColour(MakeColour(255, 255, 255));
    surface.SetPenWidth(2);
    surface.PageMoveTo(20 * scales.X, 10 * scales.Y);
    surface.PageLineTo(220 * scales.X, 10 * scales.Y, UseLineColour);
    surface.PageMoveTo(260 * scales.X, 5 * scales.Y);
    surface.PageLineTo(260 * scales.X, 205 * scales.Y, UseLineColour);
    DrawCircle(surface, 140, 104, 300, scales.X, scales.Y);
    surface.PageMoveTo(20 * scales.X, 150.5 * scales.Y);
    surface.PageLineTo(120 * scales.X, 150.5 * scales.Y, UseLineColour);
    surface.SelectPrintFont(CreatePrintFont("Arial", 12.0f, 0));
    surface.PageMoveTo(30 * scales.X, 149 * scales.Y);
    surface.PagePrintLine("L\xF6"
                          "fgren A 3.000\xB0");
    return scales;
}

// cairo and fontconfig keep caches for the life of the process; releasing them at the end keeps leak checkers
// quiet about memory that is not lost.
class CairoCaches : public ::testing::Environment {
public:
    void TearDown() override {
        cairo_debug_reset_static_data();
        FcFini();
    }
};

const ::testing::Environment* const ReleasedCaches = ::testing::AddGlobalTestEnvironment(new CairoCaches);

class FilePrinterTest : public ::testing::Test {
protected:
    // Prints the measuring page into a file of the format and returns the chooser's verdict.
    bool PrintTestPage(const fs::path& path, PageFormat format, double correctionX, PageScales& scales) {
        FilePrinterSettings settings;
        settings.Path = path.string();
        settings.Format = format;
        Chooser = std::make_unique<FilePrinterChooser>(settings);
        PrintSurface surface(*Chooser);
        if (!surface.BeginPrintJob().Ok() || !surface.PrinterAttached()) {
            return false;
        }
        scales = DrawTestPage(surface, correctionX);
        surface.EndPrintJob();
        return Chooser->FileWritten().Ok();
    }

    std::unique_ptr<FilePrinterChooser> Chooser;
};

// ---- Lengths on the rasterised PDF: 200 mm within one dot, the X factor only across ----

struct LengthCase {
    double CorrectionX;
};

class PdfLengths : public FilePrinterTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(PdfLengths, LinesMeasureTwoHundredMillimetresTimesTheirFactor) {
    const double factor = GetParam().CorrectionX;
    const fs::path pdf = TempFolder() / ("lengths-" + std::to_string(static_cast<int>(factor * 100)) + ".pdf");
    PageScales scales{};
    ASSERT_TRUE(PrintTestPage(pdf, PageFormat::Pdf, factor, scales)) << Chooser->FileWritten().Message();
    const Raster page = Rasterise(pdf);
    ASSERT_EQ(page.Width, 11 * Dpi);
    ASSERT_EQ(page.Height, 17 * Dpi / 2);
    const int margin = MarginPixels();
    const double dotsPerMm = Dpi / DotsPerInchMm;

    const int across = LongestRun(page, margin + static_cast<int>(120 * scales.X),
                                  margin + static_cast<int>(std::lround(10 * scales.Y)), true);
    const int down = LongestRun(page, margin + static_cast<int>(std::lround(260 * scales.X)),
                                margin + static_cast<int>(105 * scales.Y), false);
    // Plus the 2-dot pen: a round cap of half of it at each end, as on the Windows printer.
    EXPECT_NEAR(across, 200 * factor * dotsPerMm + 2, 1.0);
    EXPECT_NEAR(down, 200 * dotsPerMm + 2, 1.0);

    // The opaque cell of the text hides the stroke beneath it from the text's left edge on.
    const int underText = LongestRun(page, margin + static_cast<int>(25 * scales.X),
                                     margin + static_cast<int>(std::lround(150.5 * scales.Y)), true);
    EXPECT_NEAR(underText, 10 * factor * dotsPerMm, 2.0);
}

INSTANTIATE_TEST_SUITE_P(Factors, PdfLengths, ::testing::Values(LengthCase{1.0}, LengthCase{1.01}));

TEST_F(FilePrinterTest, TheCircleRunsOffThePageButNothingIsDrawnOutsideThePrintableArea) {
    const fs::path pdf = TempFolder() / "clip.pdf";
    PageScales scales{};
    ASSERT_TRUE(PrintTestPage(pdf, PageFormat::Pdf, 1.0, scales)) << Chooser->FileWritten().Message();
    const Raster page = Rasterise(pdf);
    ASSERT_GT(page.Width, 0);
    const int margin = MarginPixels();
    // The circle (centre 140, 104, radius 150 mm) meets the left edge of the printable area at y = 104 ± 53.9 mm.
    const int crossingY =
        margin + static_cast<int>(std::lround((104 - std::sqrt(150.0 * 150 - 140.0 * 140)) * scales.Y));
    bool seenInside = false;
    for (int y = crossingY - 30; y <= crossingY + 30; ++y) {
        for (int x = margin; x < margin + 5; ++x) {
            seenInside = seenInside || page.Dark(x, y);
        }
    }
    EXPECT_TRUE(seenInside);
    for (int y = 0; y < page.Height; ++y) {
        for (int x = 0; x < margin - 1; ++x) {
            ASSERT_FALSE(page.Dark(x, y)) << "ink in the left margin at " << x << "," << y;
        }
    }
    for (int x = 0; x < page.Width; ++x) {
        for (int y = 0; y < margin - 1; ++y) {
            ASSERT_FALSE(page.Dark(x, y)) << "ink in the top margin at " << x << "," << y;
        }
    }
}

// ---- The PDF keeps text as text, in the paper's landscape size ----

TEST_F(FilePrinterTest, TextStaysTextWithItsWindows1252Characters) {
    const fs::path pdf = TempFolder() / "text.pdf";
    PageScales scales{};
    ASSERT_TRUE(PrintTestPage(pdf, PageFormat::Pdf, 1.0, scales)) << Chooser->FileWritten().Message();
    const std::string text = RunAndRead("pdftotext -enc UTF-8 '" + pdf.string() + "' -");
    EXPECT_NE(text.find("L\xC3\xB6"
                        "fgren A 3.000\xC2\xB0"),
              std::string::npos)
        << text;
    const std::string info = RunAndRead("pdfinfo '" + pdf.string() + "'");
    EXPECT_NE(info.find("792 x 612 pts"), std::string::npos) << info;
    const std::string fonts = RunAndRead("pdffonts '" + pdf.string() + "'");
    EXPECT_NE(fonts.find("LiberationSans"), std::string::npos) << fonts;
}

// ---- PNG carries its resolution and measures the same; SVG is a complete document ----

TEST_F(FilePrinterTest, PngHasTheRasterOfItsResolutionAPhysChunkAndTrueLengths) {
    const fs::path png = TempFolder() / "page.png";
    PageScales scales{};
    ASSERT_TRUE(PrintTestPage(png, PageFormat::Png, 1.0, scales)) << Chooser->FileWritten().Message();
    const std::string bytes = ReadFile(png);
    const auto phys = bytes.find("pHYs");
    ASSERT_NE(phys, std::string::npos);
    ASSERT_EQ(phys, 8u + 25u + 4u);
    auto bigEndian = [&](std::size_t at) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        }
        return value;
    };
    EXPECT_EQ(bigEndian(phys + 4), static_cast<std::uint32_t>(std::lround(Dpi / 0.0254)));
    EXPECT_EQ(bigEndian(phys + 8), static_cast<std::uint32_t>(std::lround(Dpi / 0.0254)));
    EXPECT_EQ(bytes[phys + 12], 1);

    const Raster page = ReadPng(png);
    ASSERT_EQ(page.Width, 11 * Dpi);
    ASSERT_EQ(page.Height, 17 * Dpi / 2);
    const int margin = MarginPixels();
    const int across = LongestRun(page, margin + static_cast<int>(120 * scales.X),
                                  margin + static_cast<int>(std::lround(10 * scales.Y)), true);
    EXPECT_NEAR(across, 200 * Dpi / DotsPerInchMm + 2, 1.0);

    const std::string identified =
        RunAndRead("identify -units PixelsPerInch -format '%w %h %x' '" + png.string() + "'");
    EXPECT_EQ(identified.substr(0, 10), "6600 5100 ") << identified;
    EXPECT_NEAR(std::atof(identified.substr(10).c_str()), Dpi, 0.01) << identified;
}

TEST_F(FilePrinterTest, SvgIsACompleteDocumentInPoints) {
    const fs::path svg = TempFolder() / "page.svg";
    PageScales scales{};
    ASSERT_TRUE(PrintTestPage(svg, PageFormat::Svg, 1.0, scales)) << Chooser->FileWritten().Message();
    const std::string text = ReadFile(svg);
    EXPECT_EQ(text.rfind("<?xml", 0), 0u);
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("width=\"792pt\""), std::string::npos);
    EXPECT_NE(text.find("height=\"612pt\""), std::string::npos);
    EXPECT_NE(text.find("<path"), std::string::npos);
    EXPECT_NE(text.find("</svg>"), std::string::npos);
}

// ---- A file appears only complete; failures leave nothing behind and say why ----

std::vector<std::string> LeftoversOf(const fs::path& folder, const std::string& name) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string file = entry.path().filename().string();
        if (file.rfind("." + name + ".", 0) == 0) {
            found.push_back(file);
        }
    }
    return found;
}

TEST_F(FilePrinterTest, AFolderThatCannotBeWrittenFailsTheJobAndNamesThePath) {
    const std::string path = "/nonexistent-quillmere-folder/page.pdf";
    FilePrinterSettings settings;
    settings.Path = path;
    FilePrinterChooser chooser(settings);
    PrintSurface surface(chooser);
    EXPECT_FALSE(surface.BeginPrintJob().Ok());
    surface.PageLineTo(100, 100, UseLineColour);
    surface.EndPrintJob();
    EXPECT_FALSE(chooser.FileWritten().Ok());
    EXPECT_NE(chooser.FileWritten().Message().find(path), std::string::npos) << chooser.FileWritten().Message();
    EXPECT_EQ(chooser.FileWritten().Message().find('\n'), std::string::npos);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(FilePrinterTest, AnEmptyPathIsAFailedChoiceWithAReason) {
    FilePrinterChooser chooser(FilePrinterSettings{});
    PrintSurface surface(chooser);
    EXPECT_FALSE(surface.BeginPrintJob().Ok());
    surface.EndPrintJob();
    EXPECT_FALSE(chooser.FileWritten().Ok());
    EXPECT_EQ(chooser.FileWritten().Message(), "no output file named");
}

TEST_F(FilePrinterTest, AnExistingFileIsReplacedOnlyWhenTheNewOneIsComplete) {
    const fs::path folder = TempFolder();
    const fs::path pdf = folder / "replace.pdf";
    {
        std::ofstream old(pdf, std::ios::binary | std::ios::trunc);
        old << "old";
    }
    FilePrinterSettings settings;
    settings.Path = pdf.string();
    FilePrinterChooser chooser(settings);
    PrintSurface surface(chooser);
    ASSERT_TRUE(surface.BeginPrintJob().Ok() && surface.PrinterAttached());
    (void)DrawTestPage(surface, 1.0);
    EXPECT_EQ(ReadFile(pdf), "old");
    EXPECT_FALSE(chooser.FileWritten().Ok());
    surface.EndPrintJob();
    EXPECT_TRUE(chooser.FileWritten().Ok());
    EXPECT_TRUE(chooser.FileWritten().Message().empty());
    EXPECT_EQ(ReadFile(pdf).rfind("%PDF-", 0), 0u);
    EXPECT_TRUE(LeftoversOf(folder, "replace.pdf").empty());
}

TEST_F(FilePrinterTest, ADestinationThatIsAFolderIsNotWrittenAndLeavesNoTemporaryFile) {
    const fs::path folder = TempFolder();
    const fs::path target = folder / "folder-as-target";
    fs::create_directories(target);
    FilePrinterSettings settings;
    settings.Path = target.string();
    FilePrinterChooser chooser(settings);
    PrintSurface surface(chooser);
    EXPECT_FALSE(surface.BeginPrintJob().Ok());
    surface.EndPrintJob();
    EXPECT_FALSE(chooser.FileWritten().Ok());
    EXPECT_EQ(chooser.FileWritten().Message(), target.string() + ": is a folder");
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_TRUE(LeftoversOf(folder, "folder-as-target").empty());
}

TEST_F(FilePrinterTest, AJobThatDrewNothingStillWritesOneBlankPage) {
    const fs::path pdf = TempFolder() / "blank.pdf";
    FilePrinterSettings settings;
    settings.Path = pdf.string();
    settings.Paper = PaperSize::A4;
    FilePrinterChooser chooser(settings);
    PrintSurface surface(chooser);
    ASSERT_TRUE(surface.BeginPrintJob().Ok() && surface.PrinterAttached());
    surface.EndPrintJob();
    EXPECT_TRUE(chooser.FileWritten().Ok());
    const std::string info = RunAndRead("pdfinfo '" + pdf.string() + "'");
    EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
    EXPECT_NE(info.find("595.276 x 841.89 pts (A4)"), std::string::npos) << info;
}

// ---- Printable size and fonts as the page model sees them ----

struct PrintableCase {
    PaperSize Paper;
    int Orientation;
    double WidthMm;
    double HeightMm;
};

class PrintableArea : public ::testing::TestWithParam<PrintableCase> {};

TEST_P(PrintableArea, IsThePaperLessTheMarginAllRoundInTheOrientation) {
    FilePrinterSettings settings;
    settings.Path = (TempFolder() / "printable.pdf").string();
    settings.Paper = GetParam().Paper;
    auto device = MakeFilePrinterDevice(settings, std::make_shared<FilePrinterOutcome>());
    ASSERT_TRUE(device->StartDocument("Print Job").Ok());
    device->StartPage(GetParam().Orientation);
    const DevicePoint size = device->PrintableSize();
    const double dotsPerMm = Dpi / DotsPerInchMm;
    const double margin = 2 * std::round(MarginMm * dotsPerMm);
    EXPECT_NEAR(size.X, GetParam().WidthMm * dotsPerMm - margin, 1.0);
    EXPECT_NEAR(size.Y, GetParam().HeightMm * dotsPerMm - margin, 1.0);
    EXPECT_EQ(device->Resolution().X, Dpi);
    EXPECT_EQ(device->Resolution().Y, Dpi);
}

INSTANTIATE_TEST_SUITE_P(Papers, PrintableArea,
                         ::testing::Values(PrintableCase{PaperSize::Letter, 1, 215.9, 279.4},
                                           PrintableCase{PaperSize::Letter, 2, 279.4, 215.9},
                                           PrintableCase{PaperSize::A4, 1, 210.0, 297.0},
                                           PrintableCase{PaperSize::A4, 2, 297.0, 210.0}));

TEST(FileFonts, ACharacterHeightRequestIsTheEmSizeAndTheCellIncludesTheLeading) {
    FilePrinterSettings settings;
    settings.Path = (TempFolder() / "fonts.pdf").string();
    auto device = MakeFilePrinterDevice(settings, std::make_shared<FilePrinterOutcome>());
    DeviceFontRequest request{"Arial", -100, 400, false, false, false};
    const DeviceFontMetrics metrics = device->FontMetrics(device->MakeFont(request));
    // Liberation Sans, standing in for Arial: ascent 0.905 and descent 0.212 of the em, line gap 0.033.
    EXPECT_NEAR(metrics.Height, 112, 1);
    EXPECT_NEAR(metrics.ExternalLeading, 3, 1);
    request.Height = 112;
    const DeviceFontMetrics cell = device->FontMetrics(device->MakeFont(request));
    EXPECT_NEAR(cell.Height, 112, 1);
}

} // namespace

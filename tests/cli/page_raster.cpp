#include "tests/cli/page_raster.h"

#include "geometry/angles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::optional<PageRaster> PageRaster::Of(const std::string& pdf, int dpi, int page) {
    const std::string stem = pdf + "-raster";
    const std::string command = "pdftoppm -r " + std::to_string(dpi) + " -f " + std::to_string(page) + " -l " +
                                std::to_string(page) + " -gray -singlefile " + Quoted(pdf) + " " + Quoted(stem) +
                                " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        return std::nullopt;
    }
    std::ifstream in(stem + ".pgm", std::ios::binary);
    PageRaster raster;
    std::string magic;
    int maximum = 0;
    in >> magic >> raster.Width >> raster.Height >> maximum;
    in.get();
    if (!in || magic != "P5" || maximum != 255) {
        return std::nullopt;
    }
    raster.Pixels.resize(static_cast<std::size_t>(raster.Width) * raster.Height);
    in.read(reinterpret_cast<char*>(raster.Pixels.data()), static_cast<std::streamsize>(raster.Pixels.size()));
    std::filesystem::remove(stem + ".pgm");
    return raster;
}

double PageRaster::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width || y >= Height) {
        return 0;
    }
    return 1 - Pixels[static_cast<std::size_t>(y) * Width + x] / 255.0;
}

double PageRaster::Dark(double x, double y) const {
    const double fx = x - 0.5;
    const double fy = y - 0.5;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const double ax = fx - x0;
    const double ay = fy - y0;
    return (1 - ay) * ((1 - ax) * At(x0, y0) + ax * At(x0 + 1, y0)) +
           ay * ((1 - ax) * At(x0, y0 + 1) + ax * At(x0 + 1, y0 + 1));
}

double PageRaster::CentreAlongRow(double y, double fromX, double toX) const {
    double sum = 0, weighted = 0;
    for (int x = static_cast<int>(fromX); x <= static_cast<int>(toX); ++x) {
        const double d = At(x, static_cast<int>(y));
        sum += d;
        weighted += d * (x + 0.5);
    }
    return sum > 0 ? weighted / sum : std::nan("");
}

double PageRaster::CentreAlongColumn(double x, double fromY, double toY) const {
    double sum = 0, weighted = 0;
    for (int y = static_cast<int>(fromY); y <= static_cast<int>(toY); ++y) {
        const double d = At(static_cast<int>(x), y);
        sum += d;
        weighted += d * (y + 0.5);
    }
    return sum > 0 ? weighted / sum : std::nan("");
}

PageRaster PageRaster::Joined(const PageRaster& earlier, const PageRaster& later, int dx, int dy, int cutX) {
    PageRaster joined;
    joined.Width = std::max(earlier.Width, later.Width + dx);
    joined.Height = earlier.Height;
    joined.Pixels.assign(static_cast<std::size_t>(joined.Width) * joined.Height, 255);
    for (int y = 0; y < joined.Height; ++y) {
        for (int x = 0; x < joined.Width; ++x) {
            const double dark = x < cutX ? earlier.At(x, y) : later.At(x - dx, y - dy);
            joined.Pixels[static_cast<std::size_t>(y) * joined.Width + x] =
                static_cast<unsigned char>(std::lround((1 - dark) * 255));
        }
    }
    return joined;
}

PageRaster PageRaster::TurnedClockwise() const {
    PageRaster turned;
    turned.Width = Height;
    turned.Height = Width;
    turned.Pixels.resize(Pixels.size());
    for (int y = 0; y < turned.Height; ++y) {
        for (int x = 0; x < turned.Width; ++x) {
            // turned (x, y) is what lay at (y, Height - 1 - x) before
            turned.Pixels[static_cast<std::size_t>(y) * turned.Width + x] =
                Pixels[static_cast<std::size_t>(Height - 1 - x) * Width + y];
        }
    }
    return turned;
}

std::vector<int> PageRaster::InkBox() const {
    int left = Width, top = Height, right = -1, bottom = -1;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            if (At(x, y) > 0.5) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return {left, top, right, bottom};
}

int PageRaster::DarkRunsAround(double cx, double cy, double radius) const {
    const int samples = 40000;
    int runs = 0;
    bool wasDark = Dark(cx + radius, cy) >= 0.5;
    for (int i = 1; i <= samples; ++i) {
        const double angle = 2 * static_cast<double>(Pi) * i / samples;
        const bool dark = Dark(cx + radius * std::cos(angle), cy - radius * std::sin(angle)) >= 0.5;
        runs += wasDark && !dark ? 1 : 0;
        wasDark = dark;
    }
    return runs;
}

std::vector<double> EdgesAlongRay(const PageRaster& page, double cx, double cy, double angle, double from, double to) {
    std::vector<double> edges;
    const double step = 0.05;
    double previous = page.Dark(cx + from * std::cos(angle), cy - from * std::sin(angle));
    for (double r = from + step; r <= to; r += step) {
        const double d = page.Dark(cx + r * std::cos(angle), cy - r * std::sin(angle));
        if ((previous < 0.5) != (d < 0.5)) {
            edges.push_back(r - step + step * (0.5 - previous) / (d - previous));
        }
        previous = d;
    }
    return edges;
}

#pragma once

#include <optional>
#include <string>
#include <vector>

// A word quoted for the shell, whatever it holds.
std::string Quoted(const std::string& text);

// A PDF page rasterised in grey by poppler, as a user's PDF viewer would show it; darkness 0 (white) to 1 (black).
class PageRaster {
public:
    // Nothing when pdftoppm cannot render the file or its output cannot be read.
    static std::optional<PageRaster> Of(const std::string& pdf, int dpi = 600, int page = 1);
    // Two sheets laid over each other: `later` moved by (dx, dy) pixels over `earlier`, and cut at `cutX` (in the
    // earlier sheet's pixels), left of which the earlier sheet shows.
    static PageRaster Joined(const PageRaster& earlier, const PageRaster& later, int dx, int dy, int cutX);

    int Width = 0;
    int Height = 0;

    // Darkness of one pixel; outside the page is white.
    double At(int x, int y) const;

    // Darkness bilinear between pixel centres, at a position in pixel units.
    double Dark(double x, double y) const;

    // The darkness-weighted centre of whatever lies on a row between two x positions (pixel units).
    double CentreAlongRow(double y, double fromX, double toX) const;
    double CentreAlongColumn(double x, double fromY, double toY) const;

    // The same page turned a quarter clockwise: a landscape page that a printer turned onto portrait paper
    // (its top to the paper's left edge) seen again as it was drawn.
    PageRaster TurnedClockwise() const;

    // The smallest box holding every clearly dark pixel: left, top, right, bottom in pixels.
    std::vector<int> InkBox() const;

    // How many dark runs (a strobe ring's bars) a circle about (cx, cy) crosses, in pixel units.
    int DarkRunsAround(double cx, double cy, double radius) const;

private:
    std::vector<unsigned char> Pixels;
};

// Where the darkness along a ray from (cx, cy) at `angle` (counter-clockwise from the x axis, y pointing down the
// page) crosses one half, going outward between two radii: the distances from the centre in pixels, interpolated.
std::vector<double> EdgesAlongRay(const PageRaster& page, double cx, double cy, double angle, double from, double to);

#include "print/arc_elements.h"

#include "geometry/angles.h"
#include "geometry/numeric_text.h"
#include "print/page_model.h"

#include <cmath>

namespace {

// Sums and products are carried at extended precision, as every other computation of the program.
using Extended = long double;

// A grid's local frame: u along the groove tangent, v radially outward from the spindle, in millimetres.
struct GridFrame {
    Extended NullX;
    Extended NullY;
    Extended Cos;
    Extended Sin;
    Extended ScaleX;
    Extended ScaleY;
};

void GridMoveTo(PrintSurface& surface, const GridFrame& frame, Extended u, Extended v) {
    const Extended x = frame.NullX + u * frame.Cos + v * frame.Sin;
    const Extended y = frame.NullY - u * frame.Sin + v * frame.Cos;
    surface.PageMoveTo(static_cast<double>(x * frame.ScaleX), static_cast<double>(y * frame.ScaleY));
}

void GridLineTo(PrintSurface& surface, const GridFrame& frame, Extended u, Extended v) {
    const Extended x = frame.NullX + u * frame.Cos + v * frame.Sin;
    const Extended y = frame.NullY - u * frame.Sin + v * frame.Cos;
    surface.PageLineTo(static_cast<double>(x * frame.ScaleX), static_cast<double>(y * frame.ScaleY), UseLineColour);
}

void GridLine(PrintSurface& surface, const GridFrame& frame, Extended u1, Extended v1, Extended u2, Extended v2) {
    GridMoveTo(surface, frame, u1, v1);
    GridLineTo(surface, frame, u2, v2);
}

} // namespace

void DrawArc(PrintSurface& surface, double centreX, double centreY, double radius, double scaleX, double scaleY,
             double startDegrees, double endDegrees) {
    const Extended start = startDegrees * PrintoutPi / 180;
    const Extended end = endDegrees * PrintoutPi / 180;
    const Extended left = Extended{centreX} * scaleX - Extended{radius} * scaleX;
    const Extended top = Extended{centreY} * scaleY - Extended{radius} * scaleY;
    const Extended right = Extended{centreX} * scaleX + Extended{radius} * scaleX;
    const Extended bottom = Extended{centreY} * scaleY + Extended{radius} * scaleY;
    surface.PageArc(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                    static_cast<float>(bottom), static_cast<float>(start), static_cast<float>(end), UseLineColour,
                    NoFill, 0, false);
}

std::optional<PagePosition> IntersectCircles(double radiusAboutSpindle, double radiusAboutPivot, double centreDistance,
                                             double spindleX, double spindleY, double pivotX, double pivotY) {
    const Extended r = radiusAboutSpindle;
    const Extended l = radiusAboutPivot;
    const Extended d = centreDistance;
    const Extended a = (r * r - l * l + d * d) / (2 * d);
    const Extended underRoot = r * r - a * a;
    const Extended h = SquareRoot(underRoot);
    const Extended dx = Extended{pivotX} - spindleX;
    const Extended dy = Extended{pivotY} - spindleY;
    const Extended mx = spindleX + a * dx / d;
    const Extended my = spindleY + a * dy / d;
    const PagePosition point{static_cast<double>(mx - h * dy / d), static_cast<double>(my + h * dx / d)};
    // A negative value under the root comes back unchanged and puts the point somewhere meaningless.
    if (d == 0 || !(underRoot >= 0) || !std::isfinite(point.X) || !std::isfinite(point.Y)) {
        return std::nullopt;
    }
    return point;
}

void EraseDisc(PrintSurface& surface, double centreX, double centreY, double diameter, double scaleX, double scaleY) {
    const Extended halfX = Extended{diameter} * scaleX / 2;
    const Extended halfY = Extended{diameter} * scaleY / 2;
    const Extended cx = Extended{centreX} * scaleX;
    const Extended cy = Extended{centreY} * scaleY;
    const PageColour background = BackgroundColourOf(surface.Colours());
    surface.PageBox(static_cast<float>(cx - halfX), static_cast<float>(cy - halfY), static_cast<float>(cx + halfX),
                    static_cast<float>(cy + halfY), EllipseCorner, background, background, 0);
}

double GridAngle(double nullX, double nullY, double spindleX, double spindleY) {
    // A one-argument arctangent: the turn stays within a quarter either way, which is what the grid's
    // frame expects for a null point below the spindle.
    return static_cast<double>(std::atan((Extended{nullX} - spindleX) / (Extended{nullY} - spindleY)));
}

void DrawAlignmentGrid(PrintSurface& surface, PagePosition pivot, double spindleToPivot, double nullX, double nullY,
                       double gridAngle, double scaleX, double scaleY) {
    const GridFrame frame{nullX, nullY, std::cos(Extended{gridAngle}), std::sin(Extended{gridAngle}), scaleX, scaleY};
    const Extended spindleX = Extended{pivot.X} - spindleToPivot;
    const Extended spindleY = pivot.Y;

    for (const int v : {-8, -6, -4, -2, 2, 4, 6, 8}) {
        GridLine(surface, frame, -30, v, 30, v);
    }
    surface.PageMoveTo(static_cast<double>(spindleX * scaleX), static_cast<double>(spindleY * scaleY));
    GridLineTo(surface, frame, 0, 8);
    // The heavy centre line: three strokes 0.4 mm apart.
    for (const int i : {-1, 0, 1}) {
        GridLine(surface, frame, -30, i / Extended{2.5}, 30, i / Extended{2.5});
    }
    for (const int u : {-9, -7, -5, -3}) {
        GridLine(surface, frame, u, -20, u, 20);
    }
}

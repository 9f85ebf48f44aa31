#include "print/drawing_primitives.h"

#include "print/page_model.h"

namespace {
constexpr double SpindleCrossSize = 3.0;
constexpr double SpindleHashOvershoot = 3.0;
} // namespace

void DrawCross(PrintSurface& surface, double centreX, double centreY, double size, double scaleX, double scaleY) {
    // Vertical stroke from its lower end up, then the horizontal one from right to left.
    surface.PageMoveTo(centreX * scaleX, centreY * scaleY + size * scaleY / 2);
    surface.PageLineTo(centreX * scaleX, centreY * scaleY - size * scaleY / 2, UseLineColour);
    surface.PageMoveTo(centreX * scaleX + size * scaleX / 2, centreY * scaleY);
    surface.PageLineTo(centreX * scaleX - size * scaleX / 2, centreY * scaleY, UseLineColour);
}

void DrawHashSquare(PrintSurface& surface, double centreX, double centreY, double side, double overshoot, double scaleX,
                    double scaleY) {
    const double half = side / 2;
    // Left and right sides run downwards, upper and lower sides left to right, each past both corners.
    surface.PageMoveTo(scaleX * (centreX - half), scaleY * (centreY - half - overshoot));
    surface.PageLineTo(scaleX * (centreX - half), scaleY * (centreY + half + overshoot), UseLineColour);
    surface.PageMoveTo(scaleX * (centreX + half), scaleY * (centreY - half - overshoot));
    surface.PageLineTo(scaleX * (centreX + half), scaleY * (centreY + half + overshoot), UseLineColour);
    surface.PageMoveTo(scaleX * (centreX - half - overshoot), scaleY * (centreY - half));
    surface.PageLineTo(scaleX * (centreX + half + overshoot), scaleY * (centreY - half), UseLineColour);
    surface.PageMoveTo(scaleX * (centreX - half - overshoot), scaleY * (centreY + half));
    surface.PageLineTo(scaleX * (centreX + half + overshoot), scaleY * (centreY + half), UseLineColour);
}

void DrawCircle(PrintSurface& surface, double centreX, double centreY, double diameter, double scaleX, double scaleY) {
    // No fill, so marks drawn inside earlier stay visible.
    surface.PageBox(static_cast<float>(centreX * scaleX - diameter * scaleX / 2),
                    static_cast<float>(centreY * scaleY - diameter * scaleY / 2),
                    static_cast<float>(centreX * scaleX + diameter * scaleX / 2),
                    static_cast<float>(centreY * scaleY + diameter * scaleY / 2), EllipseCorner, UseLineColour, NoFill,
                    0);
}

void DrawSpindleHoleMark(PrintSurface& surface, double centreX, double centreY, double scaleX, double scaleY) {
    DrawCircle(surface, centreX, centreY, SpindleHoleDiameter, scaleX, scaleY);
    DrawCross(surface, centreX, centreY, SpindleCrossSize, scaleX, scaleY);
    DrawHashSquare(surface, centreX, centreY, SpindleHoleDiameter, SpindleHashOvershoot, scaleX, scaleY);
}

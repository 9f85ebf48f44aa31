#include "print/drawing_primitives.h"

#include "print/page_model.h"

namespace {
constexpr double SpindleCrossSize = 3.0;
constexpr double SpindleHashOvershoot = 3.0;
} // namespace

void DrawCross(double centreX, double centreY, double size, double scaleX, double scaleY) {
    // Vertical stroke from its lower end up, then the horizontal one from right to left.
    PageMoveTo(centreX * scaleX, centreY * scaleY + size * scaleY / 2);
    PageLineTo(centreX * scaleX, centreY * scaleY - size * scaleY / 2, UseLineColour);
    PageMoveTo(centreX * scaleX + size * scaleX / 2, centreY * scaleY);
    PageLineTo(centreX * scaleX - size * scaleX / 2, centreY * scaleY, UseLineColour);
}

void DrawHashSquare(double centreX, double centreY, double side, double overshoot, double scaleX, double scaleY) {
    const double half = side / 2;
    // Left and right sides run downwards, upper and lower sides left to right, each past both corners.
    PageMoveTo(scaleX * (centreX - half), scaleY * (centreY - half - overshoot));
    PageLineTo(scaleX * (centreX - half), scaleY * (centreY + half + overshoot), UseLineColour);
    PageMoveTo(scaleX * (centreX + half), scaleY * (centreY - half - overshoot));
    PageLineTo(scaleX * (centreX + half), scaleY * (centreY + half + overshoot), UseLineColour);
    PageMoveTo(scaleX * (centreX - half - overshoot), scaleY * (centreY - half));
    PageLineTo(scaleX * (centreX + half + overshoot), scaleY * (centreY - half), UseLineColour);
    PageMoveTo(scaleX * (centreX - half - overshoot), scaleY * (centreY + half));
    PageLineTo(scaleX * (centreX + half + overshoot), scaleY * (centreY + half), UseLineColour);
}

void DrawCircle(double centreX, double centreY, double diameter, double scaleX, double scaleY) {
    // No fill, so marks drawn inside earlier stay visible.
    PageBox(static_cast<float>(centreX * scaleX - diameter * scaleX / 2),
            static_cast<float>(centreY * scaleY - diameter * scaleY / 2),
            static_cast<float>(centreX * scaleX + diameter * scaleX / 2),
            static_cast<float>(centreY * scaleY + diameter * scaleY / 2), EllipseCorner, UseLineColour, NoFill, 0);
}

void DrawSpindleHoleMark(double centreX, double centreY, double scaleX, double scaleY) {
    DrawCircle(centreX, centreY, SpindleHoleDiameter, scaleX, scaleY);
    DrawCross(centreX, centreY, SpindleCrossSize, scaleX, scaleY);
    DrawHashSquare(centreX, centreY, SpindleHoleDiameter, SpindleHashOvershoot, scaleX, scaleY);
}

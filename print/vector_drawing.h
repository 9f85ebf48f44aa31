#pragma once

#include "print/print_device.h"

// How a vector device (PDF, SVG) draws the page model's requests in dot coordinates, shared by the cairo device and
// the browser's: the same pen placement and the same reading of an arc give the same line work.

// An odd pen width is centred on a dot, an even one on the boundary between two dots, so lines stay crisp.
double PenOffset(int penWidth);
// Zero width means the thinnest line; a vector device would draw nothing at zero.
double StrokeWidth(int penWidth);

// The em size in dots of a requested font: a negative height asks for that character (em) height, a positive one
// for that cell height; zero lets the device choose, as a printer does: its default of 10 points.
double EmSize(const DeviceFontRequest& request, const FontDesign& design, int dotsPerInch);

// An arc request as a part of an ellipse: centre and radii in dots, and the sweep as the ellipse's own parameter,
// counter-clockwise with y up from `From` to `To` (To > From; the same ray twice is the whole ellipse). Empty when
// the box has no area.
struct EllipseSweep {
    double CentreX;
    double CentreY;
    double RadiusX;
    double RadiusY;
    double From;
    double To;
};
bool SweepOf(DeviceRect box, DevicePoint start, DevicePoint end, EllipseSweep& sweep);

#pragma once

#include "print/print_device.h"

// How a vector device (PDF, SVG) draws the page model's requests in dot coordinates, shared by the cairo device and
// the browser's: the same pen placement and the same reading of an arc give the same line work.

// An odd pen width is centred on a dot, an even one on the boundary between two dots, so lines stay crisp.
double PenOffset(int penWidth);
// A line's pen: the thinnest line covers its row of dots, as a printer's does.
double LineOffset(int penWidth);
// Lines that run on from where the last one ended, in its colour and width, are stroked as one path with round
// joins and caps; at most this many segments a path, so a path stays of a size every viewer and printer handles.
inline constexpr int MaxPolylineSegments = 1000;
// The lines joined so far into one path, not yet stroked.
struct PolylinePath {
    bool Open = false;
    DevicePoint End{};
    DeviceColour Colour = 0;
    int PenWidth = 0;
    int Segments = 0;

    // Whether a line from `from` in this colour and width runs on from the path, which has room for it.
    bool RunsOn(DevicePoint from, DeviceColour colour, int penWidth) const {
        return Open && Segments < MaxPolylineSegments && from.X == End.X && from.Y == End.Y && colour == Colour &&
               penWidth == PenWidth;
    }
    // A new path, begun with the line that ends at `to`.
    void Begin(DevicePoint to, DeviceColour colour, int penWidth) { *this = {true, to, colour, penWidth, 1}; }
    void Extend(DevicePoint to) {
        End = to;
        ++Segments;
    }
};
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

#pragma once

#include "print/page_model.h"
#include "print/page_scale.h"

#include <optional>

// The pieces of the arc template. Positions and sizes are page millimetres (origin at the top-left of the
// printable area, y downward); scaleX and scaleY are dots per millimetre with the correction factors applied.

// The arc of the circle about the centre, counter-clockwise on the page from startDegrees to endDegrees.
void DrawArc(PrintSurface& surface, double centreX, double centreY, double radius, double scaleX, double scaleY,
             double startDegrees, double endDegrees);

// The intersection of the circle of radiusAboutSpindle about the spindle with the circle of radiusAboutPivot
// about the pivot that lies right of the direction from spindle to pivot (below it on the template); none when the
// circles miss each other, the distance is zero or the point is not finite.
std::optional<PagePosition> IntersectCircles(double radiusAboutSpindle, double radiusAboutPivot, double centreDistance,
                                             double spindleX, double spindleY, double pivotX, double pivotY);

// Paints the disc in the surface's background colour, clearing what lies beneath.
void EraseDisc(PrintSurface& surface, double centreX, double centreY, double diameter, double scaleX, double scaleY);

// The alignment grid at a null point, turned by gridAngle (radians), with the radial line from the spindle, which
// lies spindleToPivot left of the pivot.
void DrawAlignmentGrid(PrintSurface& surface, PagePosition pivot, double spindleToPivot, double nullX, double nullY,
                       double gridAngle, double scaleX, double scaleY);

// The principal-value arctangent of the null point's offset from the spindle: the grid's turn.
double GridAngle(double nullX, double nullY, double spindleX, double spindleY);

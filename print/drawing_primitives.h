#pragma once

#include "print/page_model.h"

// The spindle hole: 0.282 inch, held in single precision.
inline constexpr float SpindleHoleDiameter = 7.1628f;

// Marks on the open page; centres and sizes in page millimetres, scales in dots per millimetre.
void DrawCross(PrintSurface& surface, double centreX, double centreY, double size, double scaleX, double scaleY);
void DrawHashSquare(PrintSurface& surface, double centreX, double centreY, double side, double overshoot, double scaleX,
                    double scaleY);
void DrawCircle(PrintSurface& surface, double centreX, double centreY, double diameter, double scaleX, double scaleY);
// Circle, 3 mm cross and hash square with 3 mm overshoot: the spindle hole both printouts carry.
void DrawSpindleHoleMark(PrintSurface& surface, double centreX, double centreY, double scaleX, double scaleY);

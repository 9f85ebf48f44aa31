#pragma once

// What the printed charts share: page millimetres turned into dots, pens, lines, fonts and text set by its baseline.

#include "print/page_model.h"
#include "print/page_scale.h"

#include <string_view>

struct ChartPoint {
    double X = 0;
    double Y = 0;
};

namespace chart {

struct Canvas {
    PrintSurface* Surface = nullptr;
    PageScale Scale{1, 1};
    int ResolutionY = 0;
    // The lettering follows the printer correction down the page.
    double CorrectionY = 1;
    PageColour Foreground = 0;
    PageColour Background = 0;

    double X(double mm) const { return static_cast<double>(static_cast<long double>(mm) * Scale.X); }
    double Y(double mm) const { return static_cast<double>(static_cast<long double>(mm) * Scale.Y); }
    void Pen(double mm) const;
    void Line(ChartPoint from, ChartPoint to, PageColour colour) const;
    PrintFont Font(float points, int style = 0) const;
    // The em of a font on the page in dots, as the page model rounds it.
    double EmDots(const PrintFont& font) const;
};

enum class Align { Left, Centre, Right };

// A text placed by its baseline and aligned on x.
void Text(const Canvas& canvas, const PrintFont& font, double x, double baseline, std::string_view text,
          Align align = Align::Left);
// The baseline that centres figures on y.
double CentredBaseline(const Canvas& canvas, const PrintFont& font, double y);
// A text broken at blanks into lines no wider than `width`; the baseline of its last line.
double Paragraph(const Canvas& canvas, const PrintFont& font, double x, double baseline, double width,
                 std::string_view text, double lineStep);

} // namespace chart

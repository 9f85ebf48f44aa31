#include "print/chart_canvas.h"

#include "print/text_width.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace chart {

void Canvas::Pen(double mm) const {
    Surface->SetPenWidth(std::max(1, static_cast<int>(std::lround(mm * Scale.X))));
}

void Canvas::Line(ChartPoint from, ChartPoint to, PageColour colour) const {
    Surface->PageMoveTo(X(from.X), Y(from.Y));
    Surface->PageLineTo(X(to.X), Y(to.Y), colour);
}

PrintFont Canvas::Font(float points, int style) const {
    return CreatePrintFont("Arial", static_cast<float>(points * CorrectionY), style);
}

double Canvas::EmDots(const PrintFont& font) const {
    return std::round(static_cast<double>(font.Points) * ResolutionY / 72.0);
}

void Text(const Canvas& canvas, const PrintFont& font, double x, double baseline, std::string_view text, Align align) {
    canvas.Surface->SelectPrintFont(font);
    const double em = canvas.EmDots(font);
    const double width = ArialTextWidth(text) * em / canvas.Scale.X;
    const double left = align == Align::Left ? x : align == Align::Centre ? x - width / 2 : x - width;
    canvas.Surface->PageMoveTo(canvas.X(left), canvas.Y(baseline) - ArialAscent * em);
    canvas.Surface->PagePrintLine(text);
}

double CentredBaseline(const Canvas& canvas, const PrintFont& font, double y) {
    return y + ArialCapHeight * canvas.EmDots(font) / canvas.Scale.Y / 2;
}

double Paragraph(const Canvas& canvas, const PrintFont& font, double x, double baseline, double width,
                 std::string_view text, double lineStep) {
    const double em = canvas.EmDots(font) / canvas.Scale.X;
    std::string line;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t blank = std::min(text.find(' ', at), text.size());
        const std::string_view word = text.substr(at, blank - at);
        const std::string longer = line.empty() ? std::string(word) : line + " " + std::string(word);
        if (!line.empty() && ArialTextWidth(longer) * em > width) {
            Text(canvas, font, x, baseline, line);
            baseline += lineStep;
            line = std::string(word);
        } else {
            line = longer;
        }
        at = blank + 1;
    }
    Text(canvas, font, x, baseline, line);
    return baseline;
}

} // namespace chart

#pragma once

#include "geometry/alignment.h"
#include "print/page_model.h"
#include "print/page_scale.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Only the chart takes the analysis; its callers have it from analysis/alignment_analysis.h already, and the other
// printouts' users need not compile it.
struct AlignmentAnalysis;
struct StrobeDiskLayout;
struct SpeedReport;

inline constexpr std::size_t CaptionLength = 36;

// Names under which the printouts record some of their marks (SetPageMark), for the checks on a recorded page.
inline constexpr std::string_view SpindleMark = "the spindle mark";
inline constexpr std::string_view PivotMark = "the pivot mark";
inline constexpr std::string_view PivotLabelMark = "the pivot label";
inline constexpr std::string_view InnerGridMark = "the inner alignment grid";
inline constexpr std::string_view OuterGridMark = "the outer alignment grid";

// Each printout is one print job on the surface, in the surface's colours.

// What the arc template prints: the arm and its alignment, the correction factors, and the title (none: the page
// has no title, as the window's before any geometry was chosen).
struct ArcTemplateJob {
    AlignedArm Arm;
    PrintCorrection Correction;
    std::optional<std::string> Title;
};

// Where the template put its points, in page millimetres: the pivot, known before the printer is chosen, and the
// null points, none where no page was drawn or the circles that place one do not meet.
struct ArcTemplatePlacement {
    PagePosition Pivot{};
    std::optional<PagePosition> InnerNull;
    std::optional<PagePosition> OuterNull;
};

// The arc alignment template: one landscape page.
ArcTemplatePlacement PrintArcTemplate(PrintSurface& surface, const ArcTemplateJob& job);

// Where the frame's reference crosses and Y labels may go when they reach past the printable area. `AsDrawn` puts
// every mark where the Windows program always has, to be cut by the edge. `KeptOnPage` (the Linux tool and the
// browser page) keeps a mark whose measured point is on the page whole on it: a cross loses the part of an arm
// beyond the printable area, never its centre, and a Y label rises until its character cell fits, as long as its
// tick is on the page. A page whose marks fit (Letter at an ordinary margin) comes out as AsDrawn draws it.
enum class EdgeMarks { AsDrawn, KeptOnPage };
ArcTemplatePlacement PrintArcTemplate(PrintSurface& surface, const ArcTemplateJob& job, EdgeMarks edgeMarks);
// A stroboscope disk, scaled by the correction factors: one portrait page. Captions are 36-byte fixed texts,
// printed only for a custom disk.
void PrintStrobeDisk(PrintSurface& surface, const PrintCorrection& correction, std::int32_t outerBars,
                     std::int32_t innerBars, const std::string& captionLine1, const std::string& captionLine2);
// The same page with note lines under a custom disk's captions, in the small font from where the 50 Hz disk has
// its drift note, one line below the other: the Linux tool's drift notes. The Windows program prints none, and
// the two built-in pairs of counts keep their own page.
void PrintStrobeDiskWithNotes(PrintSurface& surface, const PrintCorrection& correction, std::int32_t outerBars,
                              std::int32_t innerBars, const std::string& captionLine1, const std::string& captionLine2,
                              const std::vector<std::string>& notes);
// The Linux tool's and the browser page's disk: PrintStrobeDiskWithNotes with the layout's notes, the timing
// instructions for the layout's speeds instead of the 33 1/3 rpm ones (the built-in pairs of counts keep theirs),
// and a line under the disk that names the circle of 180 mm, the one to measure.
void PrintStrobeDiskLayout(PrintSurface& surface, const PrintCorrection& correction, const StrobeDiskLayout& disk);
// The analysis chart: tracking error and distortion over groove radius for the three geometries and the user's
// arm, with a legend of their figures; one portrait page. Layout in print/analysis_chart.h.
void PrintAnalysisChart(PrintSurface& surface, const AlignmentAnalysis& analysis);
// The speed chart: the deviation over time (weighted and unweighted), one revolution folded, the deviation's
// spectrum with its named components, the figures and the advice; one portrait page.
void PrintSpeedChart(PrintSurface& surface, const SpeedReport& speed);

#pragma once

#include "print/page_model.h"
#include "print/page_scale.h"
#include "print/printouts.h"

#include <vector>

// The arc template across sheets, for arms whose template is wider than the paper (the Linux tool and the browser
// page). Each sheet shows the part of the one wide template from its left edge on, in the template's own dots, so
// that joined sheets hold exactly the dots one large sheet would. Neighbours overlap by a band that carries
// registration crosses on the line where the later sheet is cut and laid over the earlier one.

inline constexpr double JoinBandMm = 20;
// The heights of the registration crosses on a join, in page millimetres (below the spindle-pivot line).
inline constexpr double RegistrationCrossY[] = {60, 120, 180};
inline constexpr double RegistrationCrossMm = 10;
// The scale check of every sheet after the first: the corner of its two 100 mm bars, from the sheet's left edge
// and its top, in millimetres.
inline constexpr double ScaleCheckCornerX = JoinBandMm + 10;
inline constexpr double ScaleCheckCornerY = 195;

// No more sheets than this are printed: an arm that needs more is no tone arm (the settings warn of the rest).
inline constexpr int MostArcSheets = 8;

struct ArcSheets {
    // Where each sheet starts on the template, in whole dots from the template's left edge, left to right.
    std::vector<int> Left;
    int BandDots = 0;
    int Count() const { return static_cast<int>(Left.size()); }
    // The line on which sheet `index` + 1 is cut and laid over sheet `index`, in template dots.
    int JoinDots(int index) const { return Left[static_cast<std::size_t>(index) + 1] + BandDots / 2; }
};

// How the tool asks for sheets: as many as the paper needs, or tiled even when one would do.
enum class SheetChoice { AsNeeded, Tiled };

// Where the template ends on the right (the pivot mark and its label), in dots of the scale.
double ArcTemplateRightDots(const ArcTemplateJob& job, const PageScale& scale, int dotsPerInchY);
// Where the part of the template that must be on the page ends on the right: the pivot point and the measuring
// frame, in dots of the scale.
double ArcTemplateMeasuredRightDots(const ArcTemplateJob& job, const PageScale& scale);
// The sheets of the template on a printable area `printableWidthDots` wide: one when it holds the pivot point and
// the measured marks (and it is not to be tiled), else as many as reach its right end, never a join across a null
// point's grid where a sheet leaves room.
ArcSheets PlanArcSheets(const ArcTemplateJob& job, const PageScale& scale, int dotsPerInchY, int printableWidthDots,
                        SheetChoice choice);

// The arc template on as many landscape pages of one job as `choice` and the printer's paper ask for. One sheet
// draws exactly the page PrintArcTemplate(surface, job, EdgeMarks::KeptOnPage) draws, its fill reaching over a
// paper larger than Letter. Tiled sheets carry "Sheet k of n", the joining steps, the registration crosses and cut
// and glue lines of their joins, and each sheet after the first its own 100 mm scale check across and down.
ArcTemplatePlacement PrintArcTemplateSheets(PrintSurface& surface, const ArcTemplateJob& job, SheetChoice choice);
// The same job reduced to one of its sheets (0 for the first), as a page of its own: a file format that holds one
// page per file.
ArcTemplatePlacement PrintArcTemplateSheet(PrintSurface& surface, const ArcTemplateJob& job, SheetChoice choice,
                                           int sheet);

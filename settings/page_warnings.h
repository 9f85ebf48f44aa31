#pragma once

// Warnings before a wasted page: the checks behind "quillmere: warning: ..." and the warnings the browser version
// shows beside its fields. Each returns one text per problem, without a prefix. Portable.

#include "geometry/alignment.h"
#include "print/page_model.h"
#include "print/page_scale.h"
#include "print/paper.h"
#include "print/printouts.h"
#include "print/strobe_speeds.h"
#include "settings/setting_notice.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The paper and the printer a page is made for: the paper in portrait, the unprintable margin all round and the
// resolution, as the Linux tool's file printer emulates them.
struct PageSetup {
    PaperSize Paper = PaperSize::Letter;
    double MarginMm = 4.23;
    int Dpi = 600;
    // The arc template tiled across sheets even when one would hold it.
    bool Tile = false;
    // Not 0: the page is checked as sheets joined into one this many dots long (its printable width in landscape).
    int JoinedWidthDots = 0;
};
PageSetup LetterPage(double marginMm = 4.23, int dpi = 600);
PageSetup A4Page(double marginMm = 4.23, int dpi = 600);

// The lengths: the spindle-to-pivot distance not beyond the outer groove or above 400 mm, a radius of 0 or less,
// the inner radius not smaller than the outer.
std::vector<SettingNotice> AlignmentWarnings(const ArmInputs& arm);
// Correction factors outside 0.9 to 1.1.
std::vector<SettingNotice> CorrectionFactorWarnings(const PrintCorrection& correction);
// A number text that does not read in full: "\"57,5\" reads as 57".
std::optional<std::string> NumberReadingWarning(std::string_view text);
// A colours text as the Windows program's command line reads it: fewer than six numbers (the rest read as 0), a number
// that does not read as the whole number from 0 to 255 it is used as ("a", "0x10", "300", "1.5"), numbers after the
// sixth (ignored), and lines that would hardly show on the background (see LinesWouldShow). Program text.
std::vector<SettingNotice> ColourWarnings(std::string_view coloursText);
// Whether lines in the one colour show on paper of the other: their contrast of relative luminance (the measure of
// the web's accessibility guidelines, ink and paper alike) is at least 1.5 to 1. Black on white is 21 to 1; the
// same colour twice, yellow or pale grey on white, and navy on black fall short.
bool LinesWouldShow(const PrintColourRecord& colours);

// The arc template of the (computed) record recorded on the setup's printable area: a null point that cannot be
// drawn, and each frame line, tick, label, reference cross, spindle or pivot mark that falls outside, with what
// would keep it. The template is printed from copies of the record.
// A template wider than the paper is tiled across sheets: then a note says so, with the papers that would hold it on
// one sheet, and the marks are checked on the sheets joined.
std::vector<SettingNotice> ArcTemplateWarnings(const PageSetup& setup, const ArcTemplateJob& job);
// The sheets the arc template takes on the setup's paper (landscape): 1 when it fits and is not tiled by choice.
int ArcSheetCount(const PageSetup& setup, const ArcTemplateJob& job);
// The strobe disk with the record's correction factors recorded the same way: each part of it that falls outside;
// and a caption that is given but not printed because the counts are those of a built-in disk.
std::vector<SettingNotice> StrobeDiskWarnings(const PageSetup& setup, const PrintCorrection& correction,
                                              const StrobeDiskLayout& disk, bool caption1Given, bool caption2Given);

#include "settings/help_text.h"

// clang-format off
const std::array<std::string_view, HelpAboutLineCount> HelpAboutLines = {
    "Quillmere",
    "Version 1.22BETA - arc template and strobe disks at full scale.",
    "Freeware with no guarantee of suitability for any",
    "purpose. No liabilities assumed for any loss or",
    "damage under any circumstances.",
    "",
    "Measure your arm pivot-to-spindle distance carefully.",
    "Choose inner and outer groove radius using standards, ",
    "typical US pop/rock dimensions, or numbers of your",
    "own choosing. Choose an optimization strategy, which",
    "may depend on the adjustment limitations of your table.",
    "Print the alignment template and punch the spindle hole.",
    "Or, cut on the four hash lines with a sharp hobby knife.",
    "Adjust the cartridge overhang so the stylus traces the",
    "radius line exactly. Tape the platter in that position.",
    "Adjust the cartridge body to line up with either grid.",
    "If the cartridge body is tapered, tape small L shaped",
    "wings to the template, equidistant from the grid center-",
    "line to assist in lining up the back of the cartridge.",
    "The printout must be exact. If the 200 mm reference",
    "dimensions are off, enter a printer correction factor",
    "for x and/or y to slightly enlarge or reduce the size for",
    "that axis. You can also use this setting to change the",
    "size of the strobe disks. For more rigid and durable",
    "printouts, use photo paper. Note that L\xF6" "fgren A is also",
    "known as Baerwald. *** Read the ReadMe file ***",
};
// clang-format on

std::string HelpAboutText() {
    std::string text;
    for (std::size_t line = 0; line < HelpAboutLines.size(); ++line) {
        if (line > 0) {
            text += '\n';
        }
        text += HelpAboutLines[line];
    }
    return text;
}

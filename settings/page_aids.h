#pragma once

// What the browser page says around a printout, worded and computed here so that no front end does arithmetic or
// keeps texts of its own: the correction factor from a measured length, the file name a setup's page is saved
// under, and what to check on the printed sheet (the Linux tool says the same after writing a page).

#include "geometry/result.h"
#include "settings/settings.h"

#include <string>
#include <string_view>
#include <vector>

// The length the frame's marks stand for, and the measured lengths a correction factor may come from: a sheet
// outside them was not printed at about actual size, and a factor would hide that rather than correct it.
inline constexpr double CalibrationLengthMm = 200;
inline constexpr double ShortestCalibrationMm = 100;
inline constexpr double LongestCalibrationMm = 300;

// The printer correction factor that makes the 200 mm marks measure 200 mm on the next print: 200 divided by what
// they measured, as the text to put in the factor's field ("198.6" gives "1.00705", five decimals, trailing zeros
// dropped). The measured text is read as the settings read a length (a decimal comma is a decimal point); a text
// that is not a length in full, or one outside 100..300 mm, is refused with a hint.
Result<std::string> CorrectionFactorFromMeasured(std::string_view measured);

// The page's printouts: "arc", "chart", "strobe-60", "strobe-50" and "strobe-custom"; the report is that of the
// printout's command for the setup.
// The file a printout of the setup is saved under: "arc-222mm-iec-lofgren-a-a4.pdf", "analysis-209mm-din-letter.pdf",
// "strobe-50hz-a4.pdf", "strobe-200-148-bars-a4.pdf"; radii that are no preset are named by their lengths.
std::string PageFileName(std::string_view printout, const SettingsReport& report);

// What keeps a printout of the setup from being worth printing: the report's refusals, and for the arc template
// and the analysis chart the alignment warnings that leave no arm to align (a pivot on the record, radii that are
// not positive or out of order). The Linux tool writes such pages with a warning; the page offers no download.
std::vector<SettingNotice> BlockingNotices(std::string_view printout, const SettingsReport& report);

// What to check on the printed page of a command ("the 200 mm marks"); empty for a page without marks to check.
std::string_view PrintCheckOf(SettingsCommand command);
// The reminder after a page is made: "print at actual size (100 %), then check the 200 mm marks".
std::string PrintReminderOf(SettingsCommand command);

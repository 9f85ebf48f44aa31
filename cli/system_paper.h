#pragma once

#include "cli/file_printer.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The paper a name from a paper setting stands for. The tool prints on Letter or A4 only, so the ISO sizes
// (A, B and C series, DL) map to A4 and the North American sizes (legal, executive, tabloid, ...) to Letter;
// anything else is unknown.
std::optional<PaperSize> PaperOfName(std::string_view name);

// The paper name in the text of a papersize file: the first word of the first line that is neither blank nor a
// comment ('#'), or nothing when there is no such line.
std::optional<std::string> PaperNameInConfigText(std::string_view text);

// The locale that decides the paper: LC_ALL, else LC_PAPER, else LANG, whichever is first set and not empty
// (each may be null); "" when none is.
std::string PaperLocaleName(const char* lcAll, const char* lcPaper, const char* lang);

// The paper of a locale by its territory ("en_US.UTF-8" -> Letter, "de_DE@euro" -> A4), for locales that are
// not installed; nothing for a locale without a territory such as "C", "POSIX" or "C.UTF-8".
std::optional<PaperSize> PaperOfLocaleTerritory(std::string_view localeName);

// The paper of a locale's paper dimensions in millimetres (216 x 279 is Letter, 210 x 297 is A4).
std::optional<PaperSize> PaperOfDimensions(int widthMm, int heightMm);

// Where the system's paper setting is read from; the real system by default, a table in tests.
struct PaperSources {
    // The value of an environment variable, or null when it is not set.
    std::function<const char*(const char*)> Environment;
    // The whole text of a file, or nothing when it cannot be read.
    std::function<std::optional<std::string>(const std::string&)> ReadFile;
    // The paper width and height in mm of an installed locale, or nothing when the locale is not installed.
    std::function<std::optional<std::pair<int, int>>(const std::string&)> LocalePaperMm;
};

PaperSources SystemPaperSources();

// The paper setting, in the order a user of this system expects it to be honoured: PAPERSIZE, the file named by
// PAPERCONF, the user's papersize file ($XDG_CONFIG_HOME or ~/.config), /etc/papersize, then the locale's paper
// (installed locale data, else its territory); Letter when none of them names Letter or A4.
PaperSize SystemPaperSizeFrom(const PaperSources& sources);
PaperSize SystemPaperSize();

#include "cli/system_paper.h"

#include "settings/default_paper.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <langinfo.h>
#include <locale.h>
#include <sstream>

namespace {

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

bool IsLocaleWithoutPaper(std::string_view name) {
    return name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.");
}

} // namespace

std::optional<PaperSize> PaperOfName(std::string_view name) {
    const std::string lowered = Lowered(name);
    // The larger papers the tool prints on are themselves; the rest print on the common paper of their region.
    if (lowered == "a3") {
        return PaperSize::A3;
    }
    if (lowered == "tabloid" || lowered == "ledger" || lowered == "11x17") {
        return PaperSize::Tabloid;
    }
    if (lowered == "legal") {
        return PaperSize::Legal;
    }
    if (lowered.size() >= 2 && (lowered[0] == 'a' || lowered[0] == 'b' || lowered[0] == 'c') &&
        AllDigits(std::string_view(lowered).substr(1))) {
        return PaperSize::A4;
    }
    if (lowered == "dl") {
        return PaperSize::A4;
    }
    // clang-format off
    static constexpr std::array<std::string_view, 9> northAmerican = {
        "letter", "legal", "executive", "tabloid", "ledger", "halfletter", "statement", "note", "11x17",
    };
    // clang-format on
    if (std::find(northAmerican.begin(), northAmerican.end(), lowered) != northAmerican.end()) {
        return PaperSize::Letter;
    }
    return std::nullopt;
}

std::optional<std::string> PaperNameInConfigText(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        std::size_t first = 0;
        while (first < line.size() && IsBlank(line[first])) {
            ++first;
        }
        line.remove_prefix(first);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        std::size_t last = 0;
        while (last < line.size() && !IsBlank(line[last])) {
            ++last;
        }
        return std::string(line.substr(0, last));
    }
    return std::nullopt;
}

std::string PaperLocaleName(const char* lcAll, const char* lcPaper, const char* lang) {
    for (const char* value : {lcAll, lcPaper, lang}) {
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "";
}

std::optional<PaperSize> PaperOfLocaleTerritory(std::string_view localeName) {
    // language[_TERRITORY][.codeset][@modifier]
    const std::size_t underscore = localeName.find('_');
    if (IsLocaleWithoutPaper(localeName) || underscore == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view territory = localeName.substr(underscore + 1);
    territory = territory.substr(0, territory.find_first_of(".@"));
    if (territory.size() != 2) {
        return std::nullopt;
    }
    std::string upper(territory);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return DefaultPaperForRegion(upper);
}

std::optional<PaperSize> PaperOfDimensions(int widthMm, int heightMm) {
    // Locale data rounds to whole millimetres: Letter is 215.9 x 279.4.
    if (widthMm == 216 && heightMm == 279) {
        return PaperSize::Letter;
    }
    if (widthMm == 210 && heightMm == 297) {
        return PaperSize::A4;
    }
    if (widthMm == 297 && heightMm == 420) {
        return PaperSize::A3;
    }
    if (widthMm == 279 && heightMm == 432) {
        return PaperSize::Tabloid;
    }
    if (widthMm == 216 && heightMm == 356) {
        return PaperSize::Legal;
    }
    return std::nullopt;
}

PaperSources SystemPaperSources() {
    PaperSources sources;
    sources.Environment = [](const char* name) -> const char* { return std::getenv(name); };
    sources.ReadFile = [](const std::string& path) -> std::optional<std::string> {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            return std::nullopt;
        }
        // A papersize file is a line or two; reading more would only slow down a tool pointed at a huge file.
        std::string text(4096, '\0');
        file.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(file.gcount()));
        return text;
    };
    sources.LocalePaperMm = [](const std::string& name) -> std::optional<std::pair<int, int>> {
        const locale_t locale = newlocale(LC_PAPER_MASK, name.c_str(), static_cast<locale_t>(nullptr));
        if (locale == static_cast<locale_t>(nullptr)) {
            return std::nullopt;
        }
        // glibc hands these numbers back in the pointer itself.
        const auto number = [&](nl_item item) {
            return static_cast<int>(reinterpret_cast<std::uintptr_t>(nl_langinfo_l(item, locale)));
        };
        const std::pair<int, int> size{number(_NL_PAPER_WIDTH), number(_NL_PAPER_HEIGHT)};
        freelocale(locale);
        return size;
    };
    return sources;
}

PaperSize SystemPaperSizeFrom(const PaperSources& sources) {
    const auto environment = [&](const char* name) -> std::string {
        const char* value = sources.Environment ? sources.Environment(name) : nullptr;
        return value != nullptr ? value : "";
    };
    const auto fromFile = [&](const std::string& path) -> std::optional<PaperSize> {
        if (path.empty() || !sources.ReadFile) {
            return std::nullopt;
        }
        const std::optional<std::string> text = sources.ReadFile(path);
        const std::optional<std::string> name = text ? PaperNameInConfigText(*text) : std::nullopt;
        return name ? PaperOfName(*name) : std::nullopt;
    };

    if (const std::optional<PaperSize> paper = PaperOfName(environment("PAPERSIZE"))) {
        return *paper;
    }
    std::string userConfig;
    if (const std::string xdg = environment("XDG_CONFIG_HOME"); !xdg.empty()) {
        userConfig = xdg + "/papersize";
    } else if (const std::string home = environment("HOME"); !home.empty()) {
        userConfig = home + "/.config/papersize";
    }
    for (const std::string& path : {environment("PAPERCONF"), userConfig, std::string("/etc/papersize")}) {
        if (const std::optional<PaperSize> paper = fromFile(path)) {
            return *paper;
        }
    }

    const std::string locale =
        PaperLocaleName(environment("LC_ALL").c_str(), environment("LC_PAPER").c_str(), environment("LANG").c_str());
    if (!PaperOfLocaleTerritory(locale)) {
        return PaperSize::Letter; // "C", "POSIX" or no territory: the locale says nothing about paper
    }
    if (sources.LocalePaperMm) {
        if (const std::optional<std::pair<int, int>> size = sources.LocalePaperMm(locale)) {
            if (const std::optional<PaperSize> paper = PaperOfDimensions(size->first, size->second)) {
                return *paper;
            }
        }
    }
    return PaperOfLocaleTerritory(locale).value_or(PaperSize::Letter);
}

PaperSize SystemPaperSize() {
    return SystemPaperSizeFrom(SystemPaperSources());
}

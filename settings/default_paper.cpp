#include "settings/default_paper.h"

#include "settings/settings.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

// clang-format off
constexpr std::array<std::string_view, 14> Letter = {
    "US", "CA", "MX", "PR", "PH", "BO", "CL", "CO", "CR", "GT", "NI", "PA", "SV", "VE",
};
// clang-format on

} // namespace

std::span<const std::string_view> LetterRegions() {
    return Letter;
}

PaperSize DefaultPaperForRegion(std::string_view region) {
    std::string upper(region);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); });
    return std::find(Letter.begin(), Letter.end(), upper) != Letter.end() ? PaperSize::Letter : PaperSize::A4;
}

std::string_view DefaultPaperNameForRegion(std::string_view region) {
    const PaperSize paper = DefaultPaperForRegion(region);
    for (const NamedPaper& named : PaperNames()) {
        if (named.Paper == paper) {
            return named.Name;
        }
    }
    return "a4";
}

#include "settings/null_points.h"

#include "geometry/numeric_text.h"
#include "geometry/windows_1252.h"

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::string_view Blanks = " \t";
// Separators that cannot belong to a length, so the two numbers stand either side of the one there is.
constexpr std::string_view Separators = ";/+";

// Spaces and tabs both separate the numbers, so both are trimmed: a tab left at an end would read as a separator
// with nothing after it.
std::string_view TrimmedOfBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

struct Length {
    double Value = 0;
    bool DecimalComma = false;
};

// A number read in full as the tool reads a length, or nothing: a list leaves no room to guess where a number that
// reads only in part was meant to end.
std::optional<Length> LengthIn(std::string_view text) {
    const std::string program = Utf8ToWindows1252(TrimmedOfBlanks(text));
    if (program.empty()) {
        return std::nullopt;
    }
    const std::optional<std::string> pointed = DecimalCommaAsPoint(program);
    const std::string number = pointed.value_or(program);
    if (PartlyReadNumber(number)) {
        return std::nullopt;
    }
    return Length{TextToNumber(number), pointed.has_value()};
}

Result<NullPointsText> Pair(std::string_view inner, std::string_view outer, std::string_view text) {
    const std::optional<Length> first = LengthIn(inner);
    const std::optional<Length> second = LengthIn(outer);
    if (!first || !second) {
        return Failure{"must be two null points in mm, the inner one first (66.0;120.9 or 66.0,120.9), not '" +
                       std::string(text) + "'"};
    }
    return NullPointsText{first->Value, second->Value, first->DecimalComma || second->DecimalComma};
}

} // namespace

Result<NullPointsText> ReadNullPointsText(std::string_view text) {
    const std::string_view trimmed = TrimmedOfBlanks(text);
    const std::size_t separator = trimmed.find_first_of(Separators);
    if (separator != std::string_view::npos) {
        if (trimmed.find_first_of(Separators, separator + 1) != std::string_view::npos) {
            return Pair("", "", text); // more than two numbers
        }
        return Pair(trimmed.substr(0, separator), trimmed.substr(separator + 1), text);
    }
    // Blanks between the numbers separate them, a comma just before the blanks with them ("66.0, 120.9").
    const std::size_t blank = trimmed.find_first_of(Blanks);
    if (blank != std::string_view::npos) {
        const std::size_t next = trimmed.find_first_not_of(Blanks, blank);
        std::string_view first = trimmed.substr(0, blank);
        if (first.ends_with(',')) {
            first.remove_suffix(1);
        }
        return Pair(first, trimmed.substr(next), text);
    }
    // Only commas: each that leaves a number read in full on either side is a way to read the text.
    std::vector<NullPointsText> readings;
    for (std::size_t comma = trimmed.find(','); comma != std::string_view::npos; comma = trimmed.find(',', comma + 1)) {
        const Result<NullPointsText> reading = Pair(trimmed.substr(0, comma), trimmed.substr(comma + 1), text);
        if (reading) {
            readings.push_back(*reading);
        }
    }
    if (readings.size() == 1) {
        return readings.front();
    }
    if (readings.empty()) {
        return Pair("", "", text);
    }
    std::string ways;
    std::string spellings;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const std::string inner = ShortestText(readings[i].Inner);
        const std::string outer = ShortestText(readings[i].Outer);
        const std::string_view joint = i == 0 ? "" : i + 1 == readings.size() ? " or " : ", ";
        ways += std::string(joint) + inner + " and " + outer + " mm";
        spellings += std::string(joint) + inner + ";" + outer;
    }
    return Failure{"'" + std::string(text) + "' could be " + ways + ": write " + spellings};
}

std::optional<NullPointsText> ReadNullPointText(std::string_view text) {
    const std::optional<Length> length = LengthIn(text);
    if (!length) {
        return std::nullopt;
    }
    return NullPointsText{length->Value, 0, length->DecimalComma};
}

NullPointFields NullPointFieldsOf(std::string_view nullsText) {
    const Result<NullPointsText> read = ReadNullPointsText(nullsText);
    if (!read) {
        return {std::string(nullsText), ""};
    }
    return {ShortestText(read->Inner), ShortestText(read->Outer)};
}

#include "print/command_line_colours.h"

#include "geometry/numeric_text.h"

std::string_view TextAfterProgramName(std::string_view commandLine) {
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine.front() == '"') {
        const std::size_t closing = commandLine.find('"', 1);
        end = closing == std::string_view::npos ? commandLine.size() : closing + 1;
    } else {
        end = commandLine.find_first_of(" \t");
        if (end == std::string_view::npos) {
            end = commandLine.size();
        }
    }
    return commandLine.substr(end);
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::vector<std::string> SplitCommandFields(std::string_view text) {
    std::vector<std::string> fields;
    std::size_t position = 0;
    while (true) {
        while (position < text.size() && text[position] == ' ') {
            ++position;
        }
        std::size_t comma = std::string_view::npos;
        if (position < text.size() && text[position] == '"') {
            const std::size_t closing = text.find('"', position + 1);
            const std::size_t contentEnd = closing == std::string_view::npos ? text.size() : closing;
            fields.emplace_back(text.substr(position + 1, contentEnd - position - 1));
            comma = text.find(',', contentEnd);
        } else {
            comma = text.find(',', position);
            const std::size_t fieldEnd = comma == std::string_view::npos ? text.size() : comma;
            fields.emplace_back(text.substr(position, fieldEnd - position));
        }
        if (comma == std::string_view::npos) {
            return fields;
        }
        position = comma + 1;
    }
}

PrintColourRecord ColoursFromCommandText(std::string_view text) {
    if (text.empty()) {
        return PrintColourRecord{0, 0, 0, 255, 255, 255};
    }
    const std::vector<std::string> fields = SplitCommandFields(text);
    std::int32_t components[6] = {};
    for (std::size_t index = 0; index < 6; ++index) {
        const std::string_view field = index < fields.size() ? std::string_view(fields[index]) : std::string_view();
        components[index] = RoundToInteger(TextToNumber(field));
    }
    return PrintColourRecord{components[0], components[1], components[2], components[3], components[4], components[5]};
}

CommandLineColours ColoursFromCommandLine(std::string_view commandLine) {
    const std::string_view text = TrimBlanks(TextAfterProgramName(commandLine));
    return CommandLineColours{std::string(text), ColoursFromCommandText(text)};
}

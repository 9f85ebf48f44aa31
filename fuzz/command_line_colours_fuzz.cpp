// Any command line: the colours are always set, every component the page sees lies within 0..255, and the same
// text without the program's name gives the same colours.
#include "print/command_line_colours.h"
#include "print/page_model.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* rule, std::string_view line) {
    std::fprintf(stderr, "%s\ncommand line (%zu bytes): \"%.*s\"\n", rule, line.size(),
                 static_cast<int>(std::min<std::size_t>(line.size(), 200)), line.data());
    std::abort();
}

bool SameColours(const PrintColourRecord& a, const PrintColourRecord& b) {
    return a.ForegroundRed == b.ForegroundRed && a.ForegroundGreen == b.ForegroundGreen &&
           a.ForegroundBlue == b.ForegroundBlue && a.BackgroundRed == b.BackgroundRed &&
           a.BackgroundGreen == b.BackgroundGreen && a.BackgroundBlue == b.BackgroundBlue;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const CommandLineColours read = ColoursFromCommandLine(line);
    const PrintColourRecord fromLine = read.Colours;

    const std::string_view after = TextAfterProgramName(line);
    if (after.size() > line.size() || after.data() < line.data()) {
        Fail("the text after the program name lies outside the command line", line);
    }
    if (!SameColours(fromLine, ColoursFromCommandText(TrimBlanks(after)))) {
        Fail("the colours differ from those of the text after the program name", line);
    }
    if (read.Text.size() > line.size()) {
        Fail("the remembered command text is longer than the command line", line);
    }
    for (const PageColour colour : {ForegroundColourOf(fromLine), BackgroundColourOf(fromLine)}) {
        if (colour < 0 || colour > 0xFFFFFF) {
            Fail("a colour is not a platform colour value", line);
        }
    }
    for (const std::string& field : SplitCommandFields(after)) {
        if (field.size() > line.size()) {
            Fail("a field is longer than the command line", line);
        }
    }
    return 0;
}

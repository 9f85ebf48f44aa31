#include "app/help_text.h"
#include "cli/field_options.h"
#include "cli/options.h"
#include "cli/page_commands.h"

#include "geometry/windows_1252.h"

#include <algorithm>
#include <array>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* ProgramName = "quillmere";
constexpr std::array<std::string_view, 4> Commands = {"values", "arc", "strobe", "about"};

void PrintUsage(std::ostream& out) {
    out << "Usage: quillmere COMMAND [OPTIONS]\n"
           "Tone-arm alignment: computes the alignment and prints full-scale templates.\n\n"
           "Commands:\n"
           "  values   print the computed alignment (the ten confirmation lines)\n"
           "  arc      write the arc alignment template (default arc-template.pdf)\n"
           "  strobe   write a stroboscope disk for 60 Hz, 50 Hz or custom bar counts (default strobe-60hz.pdf)\n"
           "  about    print the help and about text: how to measure, choose, print and use the template\n"
           "\nOptions:\n"
           "  -h, --help     show this help\n"
           "  --version      show the version\n"
           "\nRun 'quillmere COMMAND --help' for the options of a command.\n";
}

int RunAboutCommand(std::span<const std::string> args) {
    const ParsedOptions options = ParseOptions(args, {});
    if (options.Has("help")) {
        std::cout << "Usage: quillmere about\nPrints the help and about text.\n";
        return 0;
    }
    std::cout << Windows1252ToUtf8(HelpAboutText()) << '\n';
    return std::cout.flush() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> all(argv + 1, argv + argc);
    if (all.empty()) {
        std::cerr << ProgramName << ": no command given (try 'quillmere --help')\n";
        return 2;
    }
    const std::string& command = all.front();
    const std::span<const std::string> rest(all.data() + 1, all.size() - 1);
    try {
        if (command == "--help" || command == "-h" || command == "help") {
            PrintUsage(std::cout);
            return 0;
        }
        if (command == "--version") {
            std::cout << ProgramName << ' ' << QUILLMERE_VERSION << '\n';
            return 0;
        }
        if (command == "about") {
            return RunAboutCommand(rest);
        }
        if (command == "values") {
            return RunValuesCommand(rest);
        }
        if (command == "arc") {
            return RunArcCommand(rest);
        }
        if (command == "strobe") {
            return RunStrobeCommand(rest);
        }
        throw UsageError("unknown command '" + command + "'");
    } catch (const UsageError& error) {
        const bool known = std::find(Commands.begin(), Commands.end(), command) != Commands.end();
        const std::string hint = known ? "quillmere " + command + " --help" : "quillmere --help";
        std::cerr << ProgramName << ": " << error.what() << " (try '" << hint << "')\n";
        return 2;
    } catch (const CommandFailure& error) {
        std::cerr << ProgramName << ": " << error.what() << '\n';
        return 1;
    }
}

#include "cli/field_options.h"
#include "cli/options.h"
#include "cli/page_commands.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* ProgramName = "quillmere";

void PrintUsage(std::ostream& out) {
    out << "Usage: quillmere COMMAND [OPTIONS]\n"
           "Tone-arm alignment: computes the alignment and prints full-scale templates.\n\n"
           "Commands:\n"
           "  values   print the computed alignment (the ten confirmation lines)\n"
           "  arc      write the arc alignment template (default arc-template.pdf)\n"
           "  strobe   write a stroboscope disk for 60 or 50 Hz mains (default strobe-60hz.pdf)\n"
           "\nRun 'quillmere COMMAND --help' for the options of a command.\n";
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
        const bool known = command == "values" || command == "arc" || command == "strobe";
        const std::string hint = known ? "quillmere " + command + " --help" : "quillmere --help";
        std::cerr << ProgramName << ": " << error.what() << " (try '" << hint << "')\n";
        return 2;
    } catch (const CommandFailure& error) {
        std::cerr << ProgramName << ": " << error.what() << '\n';
        return 1;
    }
}

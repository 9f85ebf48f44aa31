#include "cli/analyse_command.h"
#include "cli/command_settings.h"
#include "cli/match_command.h"
#include "cli/options.h"
#include "cli/page_commands.h"
#include "cli/speed_command.h"
#include "cli/standard_output.h"
#include "settings/help_text.h"

#include "geometry/windows_1252.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

// What --version says and what about ends with: the tool's name, version and licence.
const std::string VersionText = std::string("quillmere ") + QUILLMERE_VERSION +
                                "\nCopyright (c) 2026 The Quillmere developers\n"
                                "MIT License: free to use, copy, change and pass on; no warranty of any kind.";

ToolCommand AddAboutCommand(CLI::App& tool) {
    CLI::App* command = AddToolCommand(tool, "about",
                                       "print the help and about text: how to measure, choose, print and use the "
                                       "template");
    return {command, [] {
                std::cout << Windows1252ToUtf8(HelpAboutText()) << "\n\n" << VersionText << '\n';
                return std::cout.flush() ? 0 : 1;
            }};
}

} // namespace

int main(int argc, char** argv) {
    CLI::App tool("Tone-arm alignment: computes the alignment and prints full-scale templates in mm.", "quillmere");
    PrepareTool(tool);
    tool.set_version_flag("--version", VersionText, "show the version and the licence");
    const std::vector<ToolCommand> commands = {AddValuesCommand(tool),  AddArcCommand(tool),   AddStrobeCommand(tool),
                                               AddAnalyseCommand(tool), AddSpeedCommand(tool), AddMatchCommand(tool),
                                               AddAboutCommand(tool)};
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The one place errors are caught: inside the checked output, so that what was written before still counts.
    return RunWithCheckedStandardOutput([&] {
        try {
            return RunToolCommandLine(tool, commands, args);
        } catch (const UsageError& error) {
            ReportToolError(error, HelpHintFor(commands, args));
            return 2;
        } catch (const CommandFailure& error) {
            ReportToolError(error);
            return 1;
        }
    });
}

#pragma once

// The tool's command line, parsed by CLI11: the commands are its subcommands, and the pieces every command shares
// (case-insensitive choices with aliases, numbers within limits, the help layout, the one-line usage errors) live
// here so that each command only declares its options.
#include <CLI/CLI.hpp>

#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A usage error: one line for stderr; the tool exits with code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure to do what was asked (unwritable file, printer refused): exit code 1.
class CommandFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One command of the tool: its CLI11 subcommand and what runs when the command line chose it (the exit code).
// `Run` may throw UsageError or CommandFailure.
struct ToolCommand {
    CLI::App* Command = nullptr;
    std::function<int()> Run;
};

// A subcommand of the tool with the tool's conventions (see PrepareTool).
CLI::App* AddToolCommand(CLI::App& tool, const std::string& name, const std::string& description);

// Prints each warning as "quillmere: warning: ..." on stderr; with `strict` and any warning, also says that
// nothing was written and returns true: the command then stops with exit code 2.
bool ReportWarnings(const std::vector<std::string>& warnings, bool strict);

// The top-level application: help flag, help layout, the last of a repeated option wins.
void PrepareTool(CLI::App& tool);

// Parses the arguments (without the program name) and runs the chosen command; throws UsageError or
// CommandFailure, which the tool's main catches.
int RunToolCommandLine(CLI::App& tool, const std::vector<ToolCommand>& commands, std::span<const std::string> args);
// The help a usage error points to: "quillmere COMMAND --help" for a known command, else "quillmere --help".
std::string HelpHintFor(const std::vector<ToolCommand>& commands, std::span<const std::string> args);
// A usage error in one line, "quillmere: ... (try 'HINT')" (exit code 2); a failure in one line (exit code 1).
void ReportToolError(const UsageError& error, const std::string& hint);
void ReportToolError(const CommandFailure& error);

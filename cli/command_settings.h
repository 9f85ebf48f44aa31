#pragma once

// A command's options as the settings layer names them: declared from its rules, gathered as typed, read by it.
#include "cli/options.h"
#include "settings/settings.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

struct CommandSettings {
    SettingsCommand Command = SettingsCommand::Values;
    // Each option's text as given; CLI11 fills them, the last of a repeated option wins.
    std::map<std::string, std::optional<std::string>> Texts;
    // Each switch (--strict, --exact) by its option name.
    std::map<std::string, bool> Flags;
};

// Declares the command's options, in their groups, with the settings layer's help and defaults.
std::shared_ptr<CommandSettings> AddSettingOptions(CLI::App& command, SettingsCommand which);

// The settings read; a refusal is a usage error (its message, exit code 2). With `keepRefused` the report is
// returned even when refused, for a command that prints it whole.
SettingsReport ReadCommandSettings(const CommandSettings& settings, bool keepRefused = false);

// For a command that prints its report: the JSON report first when `json` (it is the answer whatever it holds; the
// exit code still tells), then a refusal as a usage error, then the notices as ReportNotices does.
bool AnswerWithReport(const SettingsReport& report, bool json);

// Prints the warnings as "quillmere: warning: ..." and the notes as "quillmere: ..."; with --strict and any
// warning, says that nothing was written and returns true: the command then stops with exit code 2.
bool ReportNotices(const SettingsReport& report);

// How the numbers are read, for the commands' help.
extern const std::string_view FieldReadingNote;

// The `values` command.
ToolCommand AddValuesCommand(CLI::App& tool);

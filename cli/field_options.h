#pragma once

#include "windows/window_fields.h"
#include "cli/options.h"
#include "windows/field_table.h"

#include <optional>
#include <string>
#include <vector>

// The main window's fields as a table, filled from command-line options; defaults are the window's initial texts.
using FieldTable = WindowFieldTable;

// The options that stand for the window's fields, as given (UTF-8); a field left out keeps its initial text.
// `Preset` and `Geometry` hold the canonical name of the choice.
struct FieldOptions {
    std::optional<std::string> SpindleToPivot, InnerRadius, OuterRadius, CorrectionX, CorrectionY, Id;
    std::optional<std::string> Preset, Geometry;
    bool Strict = false; // --strict, which every command with field options takes
};

// Declares the field options on a command, in the group "Field options".
void AddFieldOptions(CLI::App& command, FieldOptions& options);
// The correction factor options alone (the strobe disks read only these of the fields).
void AddCorrectionOptions(CLI::App& command, FieldOptions& options);

// How the field options' numbers are read, for the commands' help.
extern const std::string_view FieldReadingNote;

// Fills the table from the options; adds a warning when a number text does not read in full, since a command-line
// user cannot see the field.
FieldTable FieldTableFromOptions(const FieldOptions& options, std::vector<std::string>& warnings);

// The `values` command.
ToolCommand AddValuesCommand(CLI::App& tool);

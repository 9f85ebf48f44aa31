#pragma once

#include "app/window_fields.h"
#include "cli/options.h"
#include "geometry/field_table.h"

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

// The main window's fields as a table, filled from command-line options; defaults are the window's initial texts.
using FieldTable = WindowFieldTable;

// The options that stand for the window's fields.
void AddFieldOptionSpecs(std::vector<OptionSpec>& specs);
// The correction factor options alone (the strobe disks read only these of the window).
void AddCorrectionOptionSpecs(std::vector<OptionSpec>& specs);
// Fills the table from the options; warns on `warnings` when a number text does not read in full, since a
// command-line user cannot see the field. Throws UsageError on a bad choice.
FieldTable FieldTableFromOptions(const ParsedOptions& options, std::ostream& warnings);
// Help lines for the field options, with their defaults.
std::string FieldOptionsHelp();
std::string CorrectionOptionsHelp();

// Whole commands; each returns the exit code.
int RunValuesCommand(std::span<const std::string> args);

#pragma once

#include <span>
#include <string>

// The commands that write a page to a file; each returns the exit code. Usage errors throw UsageError,
// a file that cannot be written throws CommandFailure.
int RunArcCommand(std::span<const std::string> args);
int RunStrobeCommand(std::span<const std::string> args);

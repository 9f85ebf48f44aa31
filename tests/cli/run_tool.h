#pragma once

#include <string>
#include <utility>
#include <vector>

// Runs the Linux tool with the arguments (no shell in between) and collects what it wrote and its exit code.
struct ToolResult {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

// How the tool's process is set up beyond its arguments.
struct ToolSurroundings {
    // Bytes any file may grow to (0: no limit); writes beyond fail with EFBIG, as on a full disk with ENOSPC.
    long FileSizeLimit = 0;
    // Standard output is a terminal (whose output is not kept).
    bool TerminalOut = false;
    // Standard output is a pipe nobody reads, with SIGPIPE ignored: every write to it fails with EPIPE.
    bool ClosedPipeOut = false;
    // Run as the user "nobody" when the tests run as root, so that file permissions hold for the tool.
    bool Unprivileged = false;
};

// Variables set in the tool's environment on top of the test's own: name and value.
using ToolEnvironment = std::vector<std::pair<std::string, std::string>>;

// A run of the tool that has been started and not yet waited for.
struct RunningTool {
    int Pid = -1;
    std::string OutPath;
    std::string ErrPath;
};

RunningTool StartTool(const std::vector<std::string>& args, const std::string& workingDirectory = "",
                      const ToolSurroundings& surroundings = {}, const ToolEnvironment& environment = {});
// Waits for the tool to end; a tool ended by a signal has the exit code 128 + the signal's number.
ToolResult FinishTool(const RunningTool& running);
ToolResult RunTool(const std::vector<std::string>& args, const std::string& workingDirectory = "",
                   const ToolSurroundings& surroundings = {}, const ToolEnvironment& environment = {});
// A fresh, empty folder under the test build folder.
std::string FreshTestFolder(const std::string& name);
std::string ReadWholeFile(const std::string& path);
// The lines of a text the tool wrote, without their line ends.
std::vector<std::string> Lines(const std::string& text);

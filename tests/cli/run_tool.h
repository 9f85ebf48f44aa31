#pragma once

#include <string>
#include <vector>

// Runs the Linux tool with the arguments (no shell in between) and collects what it wrote and its exit code.
struct ToolResult {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

ToolResult RunTool(const std::vector<std::string>& args, const std::string& workingDirectory = "");
// A fresh, empty folder under the test build folder.
std::string FreshTestFolder(const std::string& name);
std::string ReadWholeFile(const std::string& path);

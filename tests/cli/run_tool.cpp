#include "tests/cli/run_tool.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <csignal>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string FreshTestFolder(const std::string& name) {
    const std::filesystem::path folder = std::filesystem::path(QUILLMERE_TEST_TMP) / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

RunningTool StartTool(const std::vector<std::string>& args, const std::string& workingDirectory,
                      const ToolSurroundings& surroundings, const ToolEnvironment& environment) {
    static int serial = 0;
    const std::filesystem::path base = std::filesystem::path(QUILLMERE_TEST_TMP) / "runs";
    std::filesystem::create_directories(base);
    const std::string stem = (base / (std::to_string(getpid()) + "-" + std::to_string(++serial))).string();
    const std::string outPath = stem + ".out";
    const std::string errPath = stem + ".err";

    std::vector<std::string> argv{QUILLMERE_TOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (auto& a : argv) {
        pointers.push_back(a.data());
    }
    pointers.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        if (surroundings.TerminalOut) {
            const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
            grantpt(terminal);
            unlockpt(terminal);
            dup2(open(ptsname(terminal), O_WRONLY | O_NOCTTY), 1);
        }
        if (surroundings.ClosedPipeOut) {
            int ends[2];
            if (pipe(ends) != 0) {
                _exit(127);
            }
            close(ends[0]);
            dup2(ends[1], 1);
            signal(SIGPIPE, SIG_IGN);
        }
        if (surroundings.FileSizeLimit > 0) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(surroundings.FileSizeLimit),
                               static_cast<rlim_t>(surroundings.FileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        // The tool's default paper follows the system's setting; the tests expect Letter unless they say otherwise.
        setenv("PAPERSIZE", "letter", 1);
        for (const auto& [name, value] : environment) {
            setenv(name.c_str(), value.c_str(), 1);
        }
        constexpr uid_t Nobody = 65534;
        if (surroundings.Unprivileged && geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0)) {
            _exit(127);
        }
        if (!workingDirectory.empty() && chdir(workingDirectory.c_str()) != 0) {
            _exit(127);
        }
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    return {child, outPath, errPath};
}

ToolResult FinishTool(const RunningTool& running) {
    ToolResult result;
    int status = 0;
    waitpid(running.Pid, &status, 0);
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.Out = ReadWholeFile(running.OutPath);
    result.Err = ReadWholeFile(running.ErrPath);
    std::filesystem::remove(running.OutPath);
    std::filesystem::remove(running.ErrPath);
    return result;
}

ToolResult RunTool(const std::vector<std::string>& args, const std::string& workingDirectory,
                   const ToolSurroundings& surroundings, const ToolEnvironment& environment) {
    return FinishTool(StartTool(args, workingDirectory, surroundings, environment));
}

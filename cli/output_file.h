#pragma once

#include "cli/removal_on_signal.h"
#include "geometry/result.h"

#include <cstddef>
#include <string>

// The one way a page file is written: completely or not at all, whatever the target is.
// - "-" is standard output, written as it comes; refused when standard output is a terminal.
// - A target that exists and is not a regular file (a device, a FIFO) is written into directly, never replaced.
// - Otherwise a temporary file is written beside the final target (symlinks followed, so a link stays a link),
//   flushed to the disk and renamed over the target: the old file stays as it was until the new one is complete.
//   An existing file the user may not write is refused, as cp refuses it; SIGINT, SIGTERM and SIGHUP remove the
//   temporary file before the tool ends.
// Every write is checked; the first failure is kept as one line naming the path and the reason.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile(); // abandons a file that was not finished
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Each step fails with the first failure of the file so far, once there is one.
    Outcome Open(const std::string& path);
    Outcome Write(const void* data, std::size_t size);
    // Flushes to the disk and puts the file in place; after a failure, abandons it instead.
    Outcome Finish();
    // Removes the temporary file; the target keeps whatever it held.
    void Abandon();

    // Done, or the first failure as one line ("cannot write PATH: REASON", "PATH: is a folder").
    Outcome Status() const;

private:
    bool Failed() const { return !Error.empty(); }
    Outcome Fail(const std::string& line);
    Outcome FailWithErrno(int error);
    // A failure met on the way, for Finish() and Close() to report once they have cleaned up.
    void KeepError(int error);
    void Close();

    std::string Path;
    std::string TemporaryPath;
    std::string TargetPath;
    RemovalOnSignal Removal;
    int Descriptor = -1;
    bool Borrowed = false; // standard output: written into, never closed
    std::string Error;
};

// Whether a path names standard output ("-").
bool IsStandardOutput(const std::string& path);
// Whether a page may go to this path, as far as is known before anything is drawn: fails for standard output that
// is a terminal.
Outcome CheckOutputPath(const std::string& path);

#pragma once

#include <string>

// A temporary file that must not outlive the tool when it is stopped by SIGINT, SIGTERM or SIGHUP: while an object
// holds its path, such a signal removes the file and then ends the tool as the signal would have.
// A handful of files at once (the page's temporary file, and the PDF for CUPS); beyond that a file is not covered.
class RemovalOnSignal {
public:
    RemovalOnSignal() = default;
    ~RemovalOnSignal(); // releases the path: the file is the holder's to keep, rename or remove
    RemovalOnSignal(const RemovalOnSignal&) = delete;
    RemovalOnSignal& operator=(const RemovalOnSignal&) = delete;

    void Hold(const std::string& path);
    void Release();

private:
    int Slot = -1;
};

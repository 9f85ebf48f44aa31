#pragma once

#include <array>
#include <functional>
#include <streambuf>

// Standard output as the tool writes it: buffered, every write checked, and the first failure kept with its reason,
// which a stream's failure bit alone loses.
class CheckedStandardOutput : public std::streambuf {
public:
    CheckedStandardOutput();
    CheckedStandardOutput(const CheckedStandardOutput&) = delete;
    CheckedStandardOutput& operator=(const CheckedStandardOutput&) = delete;

    // Writes what is buffered and closes the descriptor; 0 when every byte went out, else the first errno.
    int Close();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

private:
    bool WriteOut(const char* data, std::size_t size);
    bool Drain();

    std::array<char, 8192> Buffer{};
    int FirstError = 0;
};

// Runs the tool with std::cout going through a CheckedStandardOutput and checks it before the exit, as the core
// utilities do: a write that failed (a full disk, a closed pipe with SIGPIPE ignored) is reported as
// "quillmere: write error: REASON" and the exit code is 1 unless the run already failed.
int RunWithCheckedStandardOutput(const std::function<int()>& run);

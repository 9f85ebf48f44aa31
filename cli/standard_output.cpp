#include "cli/standard_output.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <unistd.h>

CheckedStandardOutput::CheckedStandardOutput() {
    setp(Buffer.data(), Buffer.data() + Buffer.size());
}

int CheckedStandardOutput::Close() {
    Drain();
    if (close(STDOUT_FILENO) != 0 && errno != EBADF && errno != EINTR && FirstError == 0) {
        FirstError = errno;
    }
    return FirstError;
}

CheckedStandardOutput::int_type CheckedStandardOutput::overflow(int_type c) {
    if (!Drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize CheckedStandardOutput::xsputn(const char* data, std::streamsize size) {
    if (size > epptr() - pptr()) {
        return Drain() && WriteOut(data, static_cast<std::size_t>(size)) ? size : 0;
    }
    std::memcpy(pptr(), data, static_cast<std::size_t>(size));
    pbump(static_cast<int>(size));
    return size;
}

int CheckedStandardOutput::sync() {
    return Drain() ? 0 : -1;
}

bool CheckedStandardOutput::WriteOut(const char* data, std::size_t size) {
    while (size > 0 && FirstError == 0) {
        const ssize_t written = write(STDOUT_FILENO, data, size);
        if (written < 0 && errno != EINTR) {
            FirstError = errno;
        } else if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
        }
    }
    return FirstError == 0;
}

bool CheckedStandardOutput::Drain() {
    const bool written = WriteOut(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    // What could not be written is dropped: the first failure is what is reported.
    setp(Buffer.data(), Buffer.data() + Buffer.size());
    return written;
}

int RunWithCheckedStandardOutput(const std::function<int()>& run) {
    CheckedStandardOutput checked;
    std::streambuf* const previous = std::cout.rdbuf(&checked);
    int code = 0;
    try {
        code = run();
    } catch (...) {
        std::cout.rdbuf(previous);
        throw;
    }
    std::cout.rdbuf(previous);
    if (const int error = checked.Close(); error != 0) {
        std::cerr << "quillmere: write error: " << std::strerror(error) << '\n';
        return code == 0 ? 1 : code;
    }
    return code;
}

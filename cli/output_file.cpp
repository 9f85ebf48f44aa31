#include "cli/output_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a chain of symlinks ends at, existing or not; the path itself when it is no link.
std::string FinalTarget(std::string path) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat entry {};
        char target[PATH_MAX];
        const ssize_t length = lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode)
                                   ? readlink(path.c_str(), target, sizeof target)
                                   : -1;
        if (length <= 0 || length >= static_cast<ssize_t>(sizeof target)) {
            return path;
        }
        const std::string next(target, static_cast<std::size_t>(length));
        path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
    }
    return path;
}

// The temporary file's name beside the target: ".NAME.XXXXXX", with NAME cut short where the whole would be longer
// than the folder allows (a legal name of 248 bytes or more leaves no room for the 8 added bytes).
std::string TemporaryPattern(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string name = BaseNameOf(target);
    const long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
    const std::size_t longest = limit > 16 ? static_cast<std::size_t>(limit) : NAME_MAX;
    const std::string added = ".XXXXXX";
    return folder + "/." + name.substr(0, std::min(name.size(), longest - added.size() - 1)) + added;
}

// A regular file is on the disk once fsync says so; devices and pipes have nothing to sync.
bool SyncIfFile(int descriptor) {
    struct stat file {};
    return fstat(descriptor, &file) != 0 || !S_ISREG(file.st_mode) || fsync(descriptor) == 0;
}

} // namespace

bool IsStandardOutput(const std::string& path) {
    return path == "-";
}

Outcome CheckOutputPath(const std::string& path) {
    if (IsStandardOutput(path) && isatty(STDOUT_FILENO) == 1) {
        return Failure{"will not write a page to a terminal: redirect standard output or name a file"};
    }
    return Done{};
}

OutputFile::~OutputFile() {
    Abandon();
}

Outcome OutputFile::Open(const std::string& path) {
    Path = path;
    if (IsStandardOutput(path)) {
        Path = "standard output";
        if (const Outcome allowed = CheckOutputPath(path); !allowed) {
            return Fail(allowed.Message());
        }
        Descriptor = STDOUT_FILENO;
        Borrowed = true;
        return Done{};
    }
    struct stat existing {};
    const bool exists = stat(path.c_str(), &existing) == 0;
    // Only a path that leads nowhere yet makes a new file; a symlink loop or a blocked way is the failure it is.
    if (!exists && errno != ENOENT) {
        return FailWithErrno(errno);
    }
    if (exists && S_ISDIR(existing.st_mode)) {
        return Fail(path + ": is a folder");
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        Descriptor = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        return Descriptor >= 0 ? Outcome(Done{}) : FailWithErrno(errno);
    }
    TargetPath = FinalTarget(path);
    // Renaming over a file needs only the folder's permission; the file's own says whether it may be replaced, as
    // cp would open it.
    if (exists && faccessat(AT_FDCWD, TargetPath.c_str(), W_OK, AT_EACCESS) != 0) {
        return FailWithErrno(errno);
    }
    std::string pattern = TemporaryPattern(TargetPath);
    Descriptor = mkostemp(pattern.data(), O_CLOEXEC);
    if (Descriptor < 0) {
        return FailWithErrno(errno);
    }
    TemporaryPath = pattern;
    Removal.Hold(TemporaryPath);
    // The new file keeps the old one's permissions; a new one gets what the umask allows.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(Descriptor, exists ? existing.st_mode & 07777 : 0666 & ~mask);
    return Done{};
}

Outcome OutputFile::Write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0 && !Failed()) {
        if (Descriptor < 0) {
            return Fail("cannot write " + Path + ": the file is closed");
        }
        const ssize_t written = write(Descriptor, bytes, size);
        if (written < 0 && errno != EINTR) {
            return FailWithErrno(errno);
        }
        if (written > 0) {
            bytes += written;
            size -= static_cast<std::size_t>(written);
        }
    }
    return Status();
}

Outcome OutputFile::Finish() {
    if (!Failed() && Descriptor >= 0 && !SyncIfFile(Descriptor)) {
        KeepError(errno);
    }
    Close();
    if (!Failed() && !TemporaryPath.empty()) {
        if (std::rename(TemporaryPath.c_str(), TargetPath.c_str()) != 0) {
            KeepError(errno);
        } else {
            TemporaryPath.clear();
            Removal.Release();
            // The new name itself lasts only once the folder is on the disk too.
            const int folder = open(FolderOf(TargetPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (folder >= 0) {
                fsync(folder);
                close(folder);
            }
        }
    }
    if (Failed()) {
        Abandon();
    }
    return Status();
}

Outcome OutputFile::Status() const {
    if (Failed()) {
        return Failure{Error};
    }
    return Done{};
}

void OutputFile::Abandon() {
    Close();
    if (!TemporaryPath.empty()) {
        unlink(TemporaryPath.c_str());
        TemporaryPath.clear();
        Removal.Release();
    }
}

void OutputFile::Close() {
    if (Descriptor >= 0 && !Borrowed && close(Descriptor) != 0 && errno != EINTR) {
        KeepError(errno);
    }
    Descriptor = -1;
    Borrowed = false;
}

Outcome OutputFile::Fail(const std::string& line) {
    if (Error.empty()) {
        Error = line;
    }
    return Status();
}

Outcome OutputFile::FailWithErrno(int error) {
    return Fail("cannot write " + Path + ": " + std::strerror(error));
}

void OutputFile::KeepError(int error) {
    // Only the first failure is reported; Status() gives it at the end.
    static_cast<void>(FailWithErrno(error));
}

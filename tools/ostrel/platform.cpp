#include "platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <sys/stat.h>
#include <sys/types.h>
#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace ostrel_tool {

long long fileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<long long>(st.st_size);
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

#ifdef _WIN32

bool isWritable(const std::string& path) {
    return !exists(path) || ::_access(path.c_str(), 2) == 0;
}
bool isSymlink(const std::string&) { return false; }
std::string resolvedPath(const std::string& path) { return path; }

bool createNewFile(const std::string& path) {
    const int fd = ::_open(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return false;
    ::_close(fd);
    return true;
}

void copyPermissions(const std::string&, const std::string&) {}

bool replaceFile(const std::string& from, const std::string& to) {
    if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    errno = EACCES;
    return false;
}

bool removeFile(const std::string& path) { return ::_unlink(path.c_str()) == 0; }
bool stderrIsTerminal() { return ::_isatty(2) != 0; }
int processId() { return ::_getpid(); }

#else

bool isWritable(const std::string& path) {
    return !exists(path) || ::access(path.c_str(), W_OK) == 0;
}

bool isSymlink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string resolvedPath(const std::string& path) {
    // Hop by hop first: realpath would see through /proc/self/fd/N to whatever file the
    // descriptor has open.
    std::string current = path;
    for (int hop = 0; hop < 40 && isSymlink(current); ++hop) {
        char target[4096];
        const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
        if (n < 0) return std::string();
        std::string next(target, static_cast<size_t>(n));
        if (next.compare(0, 6, "/proc/") == 0) return next;
        if (next[0] != '/') {
            const size_t slash = current.find_last_of('/');
            if (slash != std::string::npos) next = current.substr(0, slash + 1) + next;
        }
        current = next;
    }
    char* real = ::realpath(current.c_str(), nullptr);
    if (real == nullptr) return std::string();
    std::string result(real);
    std::free(real);
    return result;
}

bool createNewFile(const std::string& path) {
    // open() applies the umask, as for any new file.
    const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0666);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

void copyPermissions(const std::string& model, const std::string& path) {
    struct stat st {};
    if (::stat(model.c_str(), &st) == 0) ::chmod(path.c_str(), st.st_mode & 07777);
}

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }
bool stderrIsTerminal() { return ::isatty(2) != 0; }
int processId() { return static_cast<int>(::getpid()); }

#endif

} // namespace ostrel_tool

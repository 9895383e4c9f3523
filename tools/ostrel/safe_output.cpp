#include "safe_output.h"

#include "platform.h"

#include <cerrno>
#include <cstring>

namespace ostrel_tool {

namespace {

std::string directoryOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Removes the temporary file unless the rename took it.
struct TemporaryFile {
    std::string path;
    bool keep = false;
    ~TemporaryFile() {
        if (!keep && !path.empty()) removeFile(path);
    }
};

[[noreturn]] void fail(const std::string& what) { OSTREL_THROW("Error: " + what); }

} // namespace

long long writeDocumentSafely(Ostrel::XObject& root, const std::string& target,
                              const std::string& dtd) {
    if (target.empty()) fail("no output file named");
    // Through a symbolic link the file it names is replaced, not the link; a link into
    // /proc (/dev/stdout) names a stream of this process, written in place.
    std::string path = target;
    if (isSymlink(target)) {
        path = resolvedPath(target);
        if (path.empty() || path.compare(0, 6, "/proc/") == 0) {
            root.EmitXMLToFile(target, dtd);
            return -1;
        }
    }
    if (isDirectory(path)) fail("output '" + target + "' is a directory");
    if (!isWritable(path))
        fail("output '" + target + "' cannot be written: " + std::strerror(errno));
    // A device or a pipe (/dev/full) is written in place: renaming a file onto it would
    // replace the device node itself.
    if (exists(path) && fileSize(path) < 0) {
        root.EmitXMLToFile(path, dtd);
        return -1;
    }

    TemporaryFile temporary;
    const std::string stem =
        directoryOf(path) + "/." + baseOf(path) + ".tmp" + std::to_string(processId());
    for (int attempt = 0; temporary.path.empty(); ++attempt) {
        const std::string candidate = stem + "-" + std::to_string(attempt);
        if (createNewFile(candidate))
            temporary.path = candidate;
        else if (errno != EEXIST || attempt >= 100)
            fail("cannot create a file beside '" + target + "': " + std::strerror(errno));
    }
    // A replaced file keeps its permissions.
    if (fileSize(path) >= 0) copyPermissions(path, temporary.path);

    // Throws when the file cannot be written whole (a full disk, say); the temporary
    // file then goes and the target stays as it was.
    root.EmitXMLToFile(temporary.path, dtd);
    const long long written = fileSize(temporary.path);

    if (!replaceFile(temporary.path, path))
        fail("cannot replace '" + target + "': " + std::strerror(errno));
    temporary.keep = true;
    return written;
}

} // namespace ostrel_tool

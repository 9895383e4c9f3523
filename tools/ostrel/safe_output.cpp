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
    if (isDirectory(target)) fail("output '" + target + "' is a directory");

    TemporaryFile temporary;
    const std::string stem =
        directoryOf(target) + "/." + baseOf(target) + ".tmp" + std::to_string(processId());
    for (int attempt = 0; temporary.path.empty(); ++attempt) {
        const std::string candidate = stem + "-" + std::to_string(attempt);
        if (createNewFile(candidate))
            temporary.path = candidate;
        else if (errno != EEXIST || attempt >= 100)
            fail("cannot create a file beside '" + target + "': " + std::strerror(errno));
    }
    // A replaced file keeps its permissions.
    if (fileSize(target) >= 0) copyPermissions(target, temporary.path);

    // Throws when the file cannot be written whole (a full disk, say); the temporary
    // file then goes and the target stays as it was.
    root.EmitXMLToFile(temporary.path, dtd);
    const long long written = fileSize(temporary.path);

    if (!replaceFile(temporary.path, target))
        fail("cannot replace '" + target + "': " + std::strerror(errno));
    temporary.keep = true;
    return written;
}

} // namespace ostrel_tool

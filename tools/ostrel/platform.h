// The few file-system calls the tool needs that differ between POSIX and Windows.
#ifndef OSTREL_TOOL_PLATFORM_H
#define OSTREL_TOOL_PLATFORM_H

#include <string>

namespace ostrel_tool {

// Size of a regular file; -1 when it cannot be read as one.
long long fileSize(const std::string& path);
bool isDirectory(const std::string& path);
bool exists(const std::string& path);
// Whether path itself is a symbolic link (never on Windows).
bool isSymlink(const std::string& path);
// The absolute path path leads to through its links; "" when it leads nowhere. A link
// into /proc (/dev/stdout) gives that /proc path itself.
std::string resolvedPath(const std::string& path);
// Whether path may be written; true when it does not exist. False sets errno.
bool isWritable(const std::string& path);
// Creates path, which must not exist yet, as an empty file with the permissions a new
// file gets; false (errno set) when it cannot.
bool createNewFile(const std::string& path);
// Gives `path` the permissions of `model` (nothing happens where that has no meaning).
void copyPermissions(const std::string& model, const std::string& path);
// Moves from onto to, replacing to if it exists; false (errno set) on failure.
bool replaceFile(const std::string& from, const std::string& to);
bool removeFile(const std::string& path);
bool stderrIsTerminal();
int processId();

} // namespace ostrel_tool

#endif

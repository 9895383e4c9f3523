// The few file-system calls the tool needs that differ between POSIX and Windows.
#ifndef OSTREL_TOOL_PLATFORM_H
#define OSTREL_TOOL_PLATFORM_H

#include <string>

namespace ostrel_tool {

// Size of a regular file; -1 when it cannot be read as one.
long long fileSize(const std::string& path);
bool isDirectory(const std::string& path);
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

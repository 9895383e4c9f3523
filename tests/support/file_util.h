// Reading back what the library wrote, and scratch files for it.
#ifndef OSTREL_TESTS_FILE_UTIL_H
#define OSTREL_TESTS_FILE_UTIL_H

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace ostrel_test {

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

// The bytes a text-mode stream puts on disk for text: on Windows each "\n" becomes "\r\n".
inline std::string textOnDisk(std::string text) {
#ifdef _WIN32
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2)
        text.insert(at, 1, '\r');
#endif
    return text;
}

// A file name unique to this process and test, removed again on destruction; made
// holding content when one is given.
struct TempFile {
    explicit TempFile(const std::string& stem)
        : m_path("/tmp/ostrel_test_" + std::to_string(getpid()) + "_" + stem) {}
    TempFile(const std::string& stem, const std::string& content) : TempFile(stem) { writeFile(m_path, content); }
    ~TempFile() { std::remove(m_path.c_str()); }
    const std::string& path() const { return m_path; }
    std::string m_path;
};

} // namespace ostrel_test

#endif

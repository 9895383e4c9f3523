// Running a program the way a user does, for the tests of the ostrel tools.
#ifndef OSTREL_TESTS_TOOL_RUN_H
#define OSTREL_TESTS_TOOL_RUN_H

#include "support/file_util.h"

#include <cstdlib>
#include <vector>

#include <sys/wait.h>

namespace ostrel_test {

struct ToolRun {
    int status = -1;  // exit status; -1 when the program did not exit normally
    std::string out, err;
};

// Runs program with arguments (each quoted) and collects what it printed.
inline ToolRun runProgram(const std::string& program, const std::vector<std::string>& args) {
    TempFile out("tool.out"), err("tool.err");
    std::string command = program;
    for (const std::string& arg : args) command += " '" + arg + "'";
    const int raw = std::system((command + " >'" + out.path() + "' 2>'" + err.path() + "' </dev/null").c_str());
    return ToolRun{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out.path()), readFile(err.path())};
}

} // namespace ostrel_test

#endif

// Runs a fuzz target over every file of its seed corpus, crashes found by fuzzing
// included, as an ordinary test of the suite (and so under the sanitizers of its build).
// The target's own checks stop the program on a fault, naming the file.
#include "support/file_util.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

TEST(FuzzCorpus, EveryEntryRunsClean) {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(OSTREL_FUZZ_CORPUS))
        if (entry.path().filename().string()[0] != '.') files.insert(entry.path().string());
    ASSERT_GE(files.size(), 10u) << "corpus " << OSTREL_FUZZ_CORPUS;
    for (const std::string& file : files) {
        const std::string bytes = ostrel_test::readFile(file);
        std::fprintf(stderr, "%s\n", file.c_str());  // the file a fault stops at
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
}

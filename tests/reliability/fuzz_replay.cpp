// Runs a fuzz target over every file of its seed corpus, crashes found by fuzzing
// included, as an ordinary test of the suite (and so under the sanitizers of its build).
// The target's own checks stop the program on a fault, naming the file.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

TEST(FuzzCorpus, EveryEntryRunsClean) {
    const std::string dir = OSTREL_FUZZ_CORPUS;
    std::vector<std::string> files;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') files.push_back(e->d_name);
        closedir(d);
    }
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 10u) << "corpus " << dir;
    for (const std::string& name : files) {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
        std::fprintf(stderr, "%s\n", name.c_str());  // the file a fault stops at
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
}

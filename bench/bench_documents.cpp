#include "bench_documents.h"

#include "xkb_generator.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ostrel_bench {

namespace {
std::string dataDir() {
    const char* dir = std::getenv("OSTREL_BENCH_DATA");
    std::string path = dir && *dir ? dir : "/tmp/ostrel-bench";
    mkdir(path.c_str(), 0755);
    return path;
}
} // namespace

std::uint64_t fileSize(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

std::string xkbDocument(int megabytes) {
    const std::string path = dataDir() + "/xkb-" + std::to_string(megabytes) + "MB.xml";
    if (fileSize(path) == 0)
        generateXkbRegistry(path, static_cast<std::uint64_t>(megabytes) * 1024 * 1024);
    return path;
}

std::string outputPath(const std::string& name) { return dataDir() + "/out-" + name + ".xml"; }

std::string slurp(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw std::runtime_error("cannot read " + path);
    std::string text(fileSize(path), '\0');
    const std::size_t got = std::fread(&text[0], 1, text.size(), f);
    std::fclose(f);
    text.resize(got);
    return text;
}

} // namespace ostrel_bench

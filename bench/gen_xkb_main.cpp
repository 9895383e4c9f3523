// xkbgen SIZE_MB OUT [SEED]: writes a synthetic XKB registry of about SIZE_MB megabytes.
#include "xkb_generator.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: xkbgen SIZE_MB OUT [SEED]\n");
        return 2;
    }
    const double megabytes = std::atof(argv[1]);
    if (!(megabytes > 0) || megabytes > 100000) {
        std::fprintf(stderr, "xkbgen: size must be a positive number of megabytes\n");
        return 2;
    }
    try {
        const auto bytes = ostrel_bench::generateXkbRegistry(
            argv[2], static_cast<std::uint64_t>(megabytes * 1024 * 1024),
            argc == 4 ? static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 1);
        std::printf("%s: %llu bytes\n", argv[2], static_cast<unsigned long long>(bytes));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "xkbgen: %s\n", e.what());
        return 1;
    }
    return 0;
}

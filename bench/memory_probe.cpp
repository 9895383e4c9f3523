// memory_probe PEER FILE: loads FILE into PEER's tree in this fresh process and prints how
// far the peak resident memory grew over what the process had before, in KiB.
#include "peers.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {
long residentKiB() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: memory_probe PEER FILE\n");
        return 2;
    }
    for (const auto& peer : ostrel_bench::peers()) {
        if (std::strcmp(peer.name, argv[1]) != 0) continue;
        const long before = residentKiB();
        void* tree = peer.load(argv[2]);
        if (!tree) return 1;
        struct rusage usage;
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%ld\n", usage.ru_maxrss - before);
        return 0;
    }
    std::fprintf(stderr, "memory_probe: no peer named %s\n", argv[1]);
    return 2;
}

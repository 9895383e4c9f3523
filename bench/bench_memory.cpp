// memory: peak resident memory of each imported tree per byte of input, each measured
// in a child process of its own so that one peer's heap does not hide another's.
#include "bench_documents.h"
#include "bench_sizes.h"
#include "peers.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace ostrel_bench {
namespace {

long residentKiB() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void peakMemory(benchmark::State& state, const Peer& peer, int megabytes) {
    const std::string path = xkbDocument(megabytes);
    double perByte = 0, peakMiB = 0;
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) {
            state.SkipWithError("pipe failed");
            return;
        }
        const pid_t child = fork();
        if (child == 0) {
            close(fds[0]);
            const long before = residentKiB();
            void* tree = peer.load(path);
            struct rusage usage;
            getrusage(RUSAGE_SELF, &usage);
            long grown = tree ? usage.ru_maxrss - before : -1;
            if (write(fds[1], &grown, sizeof grown) != sizeof grown) _exit(1);
            _exit(0);
        }
        close(fds[1]);
        long grownKiB = -1;
        if (read(fds[0], &grownKiB, sizeof grownKiB) != sizeof grownKiB) grownKiB = -1;
        close(fds[0]);
        waitpid(child, nullptr, 0);
        if (grownKiB < 0) {
            state.SkipWithError("load failed");
            return;
        }
        peakMiB = grownKiB / 1024.0;
        perByte = grownKiB * 1024.0 / static_cast<double>(fileSize(path));
    }
    state.counters["peak_MiB"] = peakMiB;
    state.counters["bytes_per_input_byte"] = perByte;
}

const bool registered = [] {
    for (int mb : documentSizes())
        for (const Peer& peer : peers())
            benchmark::RegisterBenchmark(
                ("memory/" + std::string(peer.name) + "/" + std::to_string(mb) + "MB").c_str(),
                [&peer, mb](benchmark::State& s) { peakMemory(s, peer, mb); })
                ->Iterations(1)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
    return true;
}();

} // namespace
} // namespace ostrel_bench

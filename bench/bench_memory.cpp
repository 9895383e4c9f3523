// memory: peak resident memory of each imported tree per byte of input, each measured
// in a child process of its own so that one peer's heap does not hide another's.
#include "bench_documents.h"
#include "bench_sizes.h"
#include "peers.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>

namespace ostrel_bench {
namespace {

// The probe program beside this one: a fresh process per measurement, so that no heap
// this process already holds hides what a tree needs.
std::string probePath() {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string();
    return path.substr(0, path.find_last_of('/') + 1) + "memory_probe";
}

void peakMemory(benchmark::State& state, const Peer& peer, int megabytes) {
    const std::string path = xkbDocument(megabytes);
    const std::string command = probePath() + " " + peer.name + " '" + path + "'";
    long grownKiB = -1;
    for (auto _ : state) {
        std::FILE* probe = popen(command.c_str(), "r");
        if (!probe || std::fscanf(probe, "%ld", &grownKiB) != 1) grownKiB = -1;
        if (probe && pclose(probe) != 0) grownKiB = -1;
        if (grownKiB < 0) {
            state.SkipWithError("load failed");
            return;
        }
    }
    state.counters["peak_MiB"] = grownKiB / 1024.0;
    state.counters["bytes_per_input_byte"] = grownKiB * 1024.0 / static_cast<double>(fileSize(path));
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

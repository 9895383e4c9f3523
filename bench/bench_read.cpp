// read: each importer into its own tree, beside the limit of reading the file into one buffer.
#include "bench_documents.h"
#include "bench_sizes.h"
#include "peers.h"

#include <benchmark/benchmark.h>

namespace ostrel_bench {
namespace {

void readTree(benchmark::State& state, const Peer& peer, int megabytes) {
    const std::string path = xkbDocument(megabytes);
    for (auto _ : state) {
        void* tree = peer.load(path);
        if (!tree) {
            state.SkipWithError("load failed");
            break;
        }
        state.PauseTiming();
        peer.free(tree);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fileSize(path)));
}

void readLimit(benchmark::State& state, int megabytes) {
    const std::string path = xkbDocument(megabytes);
    for (auto _ : state) benchmark::DoNotOptimize(slurp(path));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fileSize(path)));
}

const bool registered = [] {
    for (int mb : documentSizes()) {
        const std::string size = "/" + std::to_string(mb) + "MB";
        for (const Peer& peer : peers())
            benchmark::RegisterBenchmark(("read/" + std::string(peer.name) + size).c_str(),
                                         [&peer, mb](benchmark::State& s) { readTree(s, peer, mb); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        benchmark::RegisterBenchmark(("read/limit-one-buffer" + size).c_str(),
                                     [mb](benchmark::State& s) { readLimit(s, mb); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    return true;
}();

} // namespace
} // namespace ostrel_bench

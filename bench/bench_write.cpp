// write: each library writes its own tree of the same document, indented; the limit
// writes the same bytes from one buffer.
#include "bench_documents.h"
#include "bench_sizes.h"
#include "peers.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace ostrel_bench {
namespace {

void writeTree(benchmark::State& state, const Peer& peer, int megabytes) {
    const std::string in = xkbDocument(megabytes);
    const std::string out = outputPath(std::string("write-") + peer.name);
    void* tree = peer.load(in);
    if (!tree) {
        state.SkipWithError("load failed");
        return;
    }
    for (auto _ : state)
        if (!peer.save(tree, out)) {
            state.SkipWithError("save failed");
            break;
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fileSize(out)));
    peer.free(tree);
    std::remove(out.c_str());
}

void writeLimit(benchmark::State& state, int megabytes) {
    // The bytes Ostrel writes for this document, from one buffer with one call.
    const std::string out = outputPath("write-limit");
    void* tree = ostrelXkb().load(xkbDocument(megabytes));
    ostrelXkb().save(tree, out);
    ostrelXkb().free(tree);
    const std::string bytes = slurp(out);
    for (auto _ : state) {
        std::FILE* f = std::fopen(out.c_str(), "w");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
    std::remove(out.c_str());
}

const bool registered = [] {
    for (int mb : documentSizes()) {
        const std::string size = "/" + std::to_string(mb) + "MB";
        for (const Peer& peer : peers()) {
            // Writing is measured on the typed tree.
            if (std::string(peer.name) == ostrelGeneric().name) continue;
            benchmark::RegisterBenchmark(("write/" + std::string(peer.name) + size).c_str(),
                                         [&peer, mb](benchmark::State& s) { writeTree(s, peer, mb); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
        benchmark::RegisterBenchmark(("write/limit-one-buffer" + size).c_str(),
                                     [mb](benchmark::State& s) { writeLimit(s, mb); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    return true;
}();

} // namespace
} // namespace ostrel_bench

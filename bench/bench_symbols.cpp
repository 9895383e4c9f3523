// symbol table: lookup and insertion with 100, 10,000 and 49,999 entries in use.
#include <ostrelbase/symboltable.h>

#include <benchmark/benchmark.h>

namespace {

// The pool holds 50,000 bytes: a full table is one one-character name, inserted
// first (the oldest entry, the one a newest-first scan reaches last), then empty strings.
void fill(int entries) {
    SymbolResetTable();
    SymbolResolveEntities(0);
    SymbolInsert("k", 1);
    for (int i = 1; i < entries; ++i) SymbolInsert("", 2);
}

void lookupOldest(benchmark::State& state) {
    fill(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(SymbolLookup("k"));
}

void lookupMissing(benchmark::State& state) {
    fill(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(SymbolLookup("absent"));
}

void insertAt(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    const int batch = entries < 100 ? entries : 100;
    for (auto _ : state) {
        state.PauseTiming();
        fill(entries - batch);
        state.ResumeTiming();
        for (int i = 0; i < batch; ++i) benchmark::DoNotOptimize(SymbolInsert("", 3));
    }
    state.SetItemsProcessed(state.iterations() * batch);
}

BENCHMARK(lookupOldest)->Name("symbols/lookup-oldest")->Arg(100)->Arg(10000)->Arg(49999);
BENCHMARK(lookupMissing)->Name("symbols/lookup-missing")->Arg(100)->Arg(10000)->Arg(49999);
BENCHMARK(insertAt)->Name("symbols/insert")->Arg(100)->Arg(10000)->Arg(49999)->Iterations(200);

} // namespace

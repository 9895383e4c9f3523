// The documents the benchmarks work on, generated once and kept between runs.
#ifndef OSTREL_BENCH_DOCUMENTS_H
#define OSTREL_BENCH_DOCUMENTS_H

#include <cstdint>
#include <string>

namespace ostrel_bench {

// Path of the synthetic XKB registry of about megabytes MB (generated on first use in
// $OSTREL_BENCH_DATA, default /tmp/ostrel-bench).
std::string xkbDocument(int megabytes);
// Size of a file in bytes.
std::uint64_t fileSize(const std::string& path);
// A scratch output path for the given benchmark.
std::string outputPath(const std::string& name);
// The whole file in memory.
std::string slurp(const std::string& path);

} // namespace ostrel_bench

#endif

// Synthetic XKB configuration registries of any size, all of the same shape.
#ifndef OSTREL_BENCH_XKB_GENERATOR_H
#define OSTREL_BENCH_XKB_GENERATOR_H

#include <cstdint>
#include <string>

namespace ostrel_bench {

// Writes a registry of at least targetBytes bytes (models, layouts with variants,
// option groups in fixed proportions) to path; the same seed gives the same file.
// Returns the number of bytes written; throws std::runtime_error when the file fails.
std::uint64_t generateXkbRegistry(const std::string& path, std::uint64_t targetBytes,
                                  std::uint32_t seed = 1);

} // namespace ostrel_bench

#endif

// Which document sizes the benchmarks run at: $OSTREL_BENCH_SIZES (MB, comma separated),
// by default 1, 10 and 100.
#ifndef OSTREL_BENCH_SIZES_H
#define OSTREL_BENCH_SIZES_H

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace ostrel_bench {

inline std::vector<int> documentSizes() {
    const char* env = std::getenv("OSTREL_BENCH_SIZES");
    std::stringstream list(env && *env ? env : "1,10,100");
    std::vector<int> sizes;
    for (std::string item; std::getline(list, item, ',');)
        if (int mb = std::atoi(item.c_str()); mb > 0) sizes.push_back(mb);
    return sizes;
}

} // namespace ostrel_bench

#endif

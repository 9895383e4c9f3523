// The peers behind one small interface: load a file into the peer's tree, save it
// indented, free it.
#ifndef OSTREL_BENCH_PEERS_H
#define OSTREL_BENCH_PEERS_H

#include <string>
#include <vector>

namespace ostrel_bench {

struct Peer {
    const char* name;
    // Loads the file into a tree; null on failure.
    void* (*load)(const std::string& path);
    // Writes the tree indented to path; false on failure.
    bool (*save)(void* tree, const std::string& path);
    void (*free)(void* tree);
};

// The peers built into this benchmark, then Ostrel's two importers.
const std::vector<Peer>& peers();
// Ostrel's XKB binding and generic binding as peers.
const Peer& ostrelXkb();
const Peer& ostrelGeneric();

} // namespace ostrel_bench

#endif

// Hashing and comparing short byte strings (names) a machine word at a time. Every load
// stays within the n bytes given.
#ifndef OSTRELXML_BYTES_H
#define OSTRELXML_BYTES_H

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ostrel_xml {

inline std::uint64_t load64(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

inline std::uint32_t load32(const char* p) {
    std::uint32_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// How many of the bytes of a word as load64 read it (first byte first) come before the first
// one that is not zero in x, which must not be zero.
inline size_t zeroBytesFirst(std::uint64_t x) {
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    return static_cast<size_t>(__builtin_ctzll(x)) / 8;
#else
    unsigned char bytes[8];
    std::memcpy(bytes, &x, sizeof bytes);
    size_t n = 0;
    while (bytes[n] == 0) ++n;
    return n;
#endif
}

// Whether the n bytes at a and b are equal.
inline bool sameBytes(const char* a, const char* b, size_t n) {
    if (n >= 8) {
        for (size_t i = 0; i + 8 < n; i += 8)
            if (load64(a + i) != load64(b + i)) return false;
        return load64(a + n - 8) == load64(b + n - 8);
    }
    if (n >= 4) return load32(a) == load32(b) && load32(a + n - 4) == load32(b + n - 4);
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// A hash of the n bytes at p; every byte counts.
inline size_t hashBytes(const char* p, size_t n) {
    constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ULL;
    std::uint64_t h = (n + 1) * kMul;
    auto mix = [&h](std::uint64_t w) {
        h = (h ^ w) * kMul;
        h ^= h >> 32;
    };
    if (n >= 8) {
        for (size_t i = 0; i + 8 < n; i += 8) mix(load64(p + i));
        mix(load64(p + n - 8));
    } else if (n >= 4) {
        mix(load32(p) | (static_cast<std::uint64_t>(load32(p + n - 4)) << 32));
    } else {
        std::uint64_t w = 0;
        for (size_t i = 0; i < n; ++i) w = (w << 8) | static_cast<unsigned char>(p[i]);
        mix(w);
    }
    return static_cast<size_t>(h);
}

} // namespace ostrel_xml

#endif

// Finding the first of a few given bytes in a run of text, eight bytes at a time: page text and string
// literals are most of what a site's sources hold, and a byte-by-byte loop costs several instructions a
// byte.
#pragma once

#include <cstdint>
#include <cstring>

namespace byte_search {

constexpr uint64_t repeat(unsigned char c) {
    return 0x0101010101010101ULL * c;
}

// The high bit of each byte of `x` that is zero, and no other bit.
inline uint64_t zero_bytes(uint64_t x) {
    constexpr uint64_t low7 = repeat(0x7f);
    return ~(((x & low7) + low7) | x) & ~low7;
}

// The first byte in [p, end) equal to a, b or c; end when there is none.
inline const char* find_first_of(const char* p, const char* end, char a, char b, char c) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    const uint64_t ra = repeat(static_cast<unsigned char>(a));
    const uint64_t rb = repeat(static_cast<unsigned char>(b));
    const uint64_t rc = repeat(static_cast<unsigned char>(c));
    while (end - p >= 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        const uint64_t found = zero_bytes(word ^ ra) | zero_bytes(word ^ rb) | zero_bytes(word ^ rc);
        if (found)
            return p + (__builtin_ctzll(found) >> 3);
        p += 8;
    }
#endif
    for (; p < end; ++p)
        if (*p == a || *p == b || *p == c)
            return p;
    return end;
}

} // namespace byte_search

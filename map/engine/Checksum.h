// A fast 64-bit checksum of a file's body. It finds accidental damage (a
// flipped byte, a shortened count), not deliberate forgery, and runs at
// several bytes per cycle so that checking a large map costs little.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

inline std::uint64_t contentChecksum(const std::uint8_t* data, std::size_t size)
{
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t lanes[4] = {size, 0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull};
    std::size_t position = 0;
    // Four independent lanes keep the multiplier busy.
    for (; position + 32 <= size; position += 32)
        for (std::size_t lane = 0; lane < 4; ++lane) {
            std::uint64_t word;
            std::memcpy(&word, data + position + 8 * lane, 8);
            lanes[lane] = (lanes[lane] ^ word) * kMultiplier;
            lanes[lane] ^= lanes[lane] >> 29;
        }
    std::uint64_t hash = lanes[0] ^ (lanes[1] * 3) ^ (lanes[2] * 5) ^ (lanes[3] * 7);
    for (; position < size; ++position)
        hash = (hash ^ data[position]) * kMultiplier;
    hash ^= hash >> 31;
    return hash * kMultiplier;
}

// Whether a body matches its recorded checksum. A fuzzer cannot forge
// checksums, so builds made for fuzzing accept any, letting the mutated
// bytes reach the structure and meaning checks behind this one.
template <typename Bytes>
bool checksumMatches(const Bytes& body, std::uint64_t recorded)
{
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    (void)body;
    (void)recorded;
    return true;
#else
    return contentChecksum(body.data(), body.size()) == recorded;
#endif
}

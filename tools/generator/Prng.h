// The generator's own random numbers. Editions must come out byte for byte
// the same for a seed on every machine and library version, so the sequence
// is SplitMix64 and every derived draw (ranges, doubles, choices) is computed
// here rather than by the standard library's distributions, whose output is
// not fixed between implementations.
#pragma once

#include <cstdint>
#include <vector>

class Prng {
public:
    explicit Prng(std::uint64_t seed) : state_(seed) {}

    // A generator of its own for one part of an edition, so that changing how
    // much one part draws does not shift the numbers of another.
    static Prng stream(std::uint64_t seed, int edition, std::uint64_t purpose)
    {
        Prng mixer(seed ^ (0x9E3779B97F4A7C15ull * static_cast<std::uint64_t>(edition + 1)));
        mixer.state_ ^= purpose * 0xD1B54A32D192ED03ull;
        return Prng(mixer.next());
    }

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    double uniform(double low, double high) { return low + (high - low) * unit(); }
    // Uniform integer in [low, high], both ends included.
    int range(int low, int high)
    {
        const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low + 1);
        return low + static_cast<int>(next() % span);
    }
    bool chance(double probability) { return unit() < probability; }

    template <typename Container>
    const typename Container::value_type& pick(const Container& items)
    {
        return items[range(0, static_cast<int>(items.size()) - 1)];
    }
    template <typename T, std::size_t N>
    const T& pick(const T (&items)[N])
    {
        return items[static_cast<std::size_t>(range(0, static_cast<int>(N) - 1))];
    }

private:
    std::uint64_t state_;
};

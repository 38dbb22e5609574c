#pragma once

#include <cstdint>
#include <limits>

namespace QRCode {

// A small seeded pseudo-random generator (the SplitMix64 step). Its state
// starts at the seed, unmixed. Meets the standard uniform random bit
// generator requirements, so the standard distributions and std::shuffle
// can draw from it.
struct SplitMix64 {
    using result_type = std::uint64_t;

    std::uint64_t state = 0;

    constexpr SplitMix64() noexcept = default;
    constexpr explicit SplitMix64(std::uint64_t seed) noexcept : state(seed) {}

    constexpr std::uint64_t next() noexcept {
        state += 0x9e3779b97f4a7c15ULL;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    constexpr std::uint64_t operator()() noexcept { return next(); }
    static constexpr std::uint64_t min() noexcept { return 0; }
    static constexpr std::uint64_t max() noexcept { return std::numeric_limits<std::uint64_t>::max(); }

    friend constexpr bool operator==(const SplitMix64&, const SplitMix64&) noexcept = default;
};

} // namespace QRCode

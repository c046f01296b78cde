#pragma once
// The deal as pure functions: the generator step and the placing of the pairs, with the
// clock passed in so that tests and the benchmark can feed it.
#include <cstdint>
#include <functional>
#include <span>

namespace game {

// One draw in 0 .. n-1 from a freshly taken counter value. The generator is seeded anew
// before every draw, so the counter's low bits are all the randomness there is; the
// multiply-and-take-the-high-half step spreads them over the range without a modulo bias.
constexpr std::int32_t drawFromCounter(std::uint32_t counter, std::int32_t n) {
    const std::uint32_t seed = counter * 134775813u + 1u;  // wraps modulo 2^32
    return static_cast<std::int32_t>((std::uint64_t{seed} * static_cast<std::uint32_t>(n)) >> 32);
}

// Where a deal writes. pool and chosen are indexed from 1 (slot 0 unused); startBoard may be
// empty (the demonstration keeps the start board of the game).
struct DealTarget {
    std::span<std::int32_t> pool;        // n + 1 entries
    std::span<std::int32_t> chosen;      // pairs + 1 entries
    std::span<std::int32_t> board;       // n entries
    std::span<bool> faceDown;            // n entries, all false on entry
    std::span<std::int32_t> startBoard;  // n entries, or empty
};

// Draws `pairs` distinct pictures out of 1 .. n and puts each on two free places, the
// pictures in ascending order. `draw(n)` is one seeded draw in 0 .. n-1.
void dealCards(std::int32_t n, std::int32_t pairs, const DealTarget& target,
               const std::function<std::int32_t(std::int32_t)>& draw);

}  // namespace game

#pragma once
// The move record's entries: a code, then one or two board positions. The writers, the
// replay and the saved record file all read the codes and entry lengths from here.
#include <cstdint>

namespace game {

// Integers the record holds; a saved record file holds one more (the slot after it).
constexpr int kLogSize = 2048;

// A card action by player 1 or the local player.
constexpr std::int32_t kMovePlayerOne = 100;
// A card action by player 2, or a click line received from the peer.
constexpr std::int32_t kMovePlayerTwo = 200;
// A found pair taken away by the clear step.
constexpr std::int32_t kMovePairCleared = 300;
// A missed pair turned back by the cover step.
constexpr std::int32_t kMovePairCovered = 400;

constexpr int kCardEntrySize = 2;  // code, position
constexpr int kPairEntrySize = 3;  // code, first position, second position

// Integers an entry of this code takes, code included; 0 for a code no writer stores (only
// a record file from elsewhere holds one).
constexpr int entrySize(std::int32_t code) {
    switch (code) {
    case kMovePlayerOne:
    case kMovePlayerTwo: return kCardEntrySize;
    case kMovePairCleared:
    case kMovePairCovered: return kPairEntrySize;
    default: return 0;
    }
}

}  // namespace game

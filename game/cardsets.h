#pragma once
// The card sets: what a deal draws from, the names shown as hints, the file number that
// keeps each set's data files apart, and the titles.
#include <string>

namespace game {

constexpr int kMaxCards = 60;
constexpr int kMaxPairs = 30;

struct CardSetConfig {
    const char* id;  // "animals", "birds", "greek"
    int cardCount;   // positions
    int pairCount;   // pictures drawn per deal
    int rows, cols;
    const char* library;   // picture library file name; nullptr: the program itself
    int fileNumber;        // 14, 15, 16
    const char* setTitle;  // caption after a switch to the set
    const char* hofClicksSeed;
    const char* hofTimeSeed;
    const char* const* names;  // card names 1 .. cardCount at [0 .. cardCount-1], Windows-1252
};

const CardSetConfig& animalsSet();
const CardSetConfig& birdsSet();
const CardSetConfig& greekSet();

// The card name of a picture number in a set; empty outside 1 .. cardCount.
std::string cardName(const CardSetConfig& set, int picture);

}  // namespace game

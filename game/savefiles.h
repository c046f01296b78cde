#pragma once
// The three files of a saved game, as bytes: the game file (board, scores, solo flag,
// seconds), the move record, and the players record. Pure functions, no I/O. Integers are
// signed 32-bit little-endian; none of the files carries a header.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace game::savefiles {

std::string gameFileName(int fileNumber);     // "zwi14game.dat"
std::string moveLogFileName(int fileNumber);  // "zwi14repl.dat"
std::string playersFileName(int fileNumber);  // "zwi14play.dat"

// Counts read from a file (clicks, seconds) are kept well below the integer limit, so that
// counting on from a loaded value can never overflow.
constexpr std::int32_t kMaxCount = 1000000000;

// ---- game file: cardCount board values, then six values ----
struct GameFile {
    std::vector<std::int32_t> board;
    std::int32_t startScoreMe = 0, startScoreOpp = 0;
    std::int32_t score1 = 0, score2 = 0;  // Label2, Label4
    std::int32_t solo = 0;                // 1: "Alleen" was checked
    std::int32_t seconds = 0;             // Label5
};
std::string encodeGameFile(const GameFile& game);

// A game file as the loader reads it, value by value: a short file ends the reading at the
// first value that is missing. Values come back made safe: board values outside
// 0 .. cardCount become empty places, pair scores are held to 0 .. pairCount, click counts
// and seconds to 0 .. kMaxCount.
struct GameFileRead {
    bool empty = true;        // no bytes at all
    bool boardRead = false;   // all cardCount board values
    bool scoresRead = false;  // the two start scores, both scores and the solo flag
    bool secondsRead = false;
    GameFile game;
};
GameFileRead decodeGameFile(const std::string& bytes, int cardCount, int pairCount);

// ---- move record: moveLog[0 .. logLength], no count ----
// logLength + 1 values; a full record has no slot after its last entry, so 0 stands there.
std::string encodeMoveLog(const std::int32_t* log, int logLength, int capacity);
// Reads up to capacity + 1 whole values (stray bytes after the last are ignored), stores at
// most `capacity` of them, returns how many were read (the last one is the unused slot the
// saver wrote, so logLength = result - 1). The values are kept as they are, known codes or
// not: the replay copes with any, and a save writes them back unchanged.
int decodeMoveLog(const std::string& bytes, std::int32_t* log, int capacity);

// ---- players record: two captions and two flags, 34 bytes ----
constexpr std::size_t kPlayersRecordSize = 34;
constexpr std::size_t kCaptionField = 15;
struct PlayersRecord {
    std::string caption1, caption2;  // Label1, Label3
    bool hotSeat = false;
    bool playerOneToMove = false;
};
// Captions are cut to 15 bytes; the unused bytes of each field are zero.
std::string encodePlayers(const PlayersRecord& record);
// Nothing when the file is shorter than one record. A length byte above 15 reads the
// whole 15-byte field, never beyond it.
std::optional<PlayersRecord> decodePlayers(const std::string& bytes);

}  // namespace game::savefiles

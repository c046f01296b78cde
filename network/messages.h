#pragma once
// The three peer lines (board, game, click) and the byte-stream framing, as plain functions
// without I/O. Lines are 8-bit bytes and are never decoded.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/tcp_lines.h"

namespace network {

using plat::kMaxLineBytes;
// From this length on a line is a board, in both programs.
constexpr std::size_t kBoardMinLength = 45;

// One character per position: picture number + 32 (taken modulo 256).
std::string BoardMessage(const std::int32_t* board, int cardCount);

// "?", the receiver's score (the sender's opponent), the sender's own score, as raw bytes.
// Only what the framing would cut travels as score + 128: a 10 in either byte (it ends the
// line) and a 13 in the last byte (it reads as the CR of the line end). A 13 in the first
// byte goes raw, as older copies expect. The receiver undoes it with decodeScore.
std::string GameMessage(std::int32_t opponentScore, std::int32_t ownScore);
unsigned char encodeScore(std::int32_t score, bool lastByte);
int decodeScore(unsigned char byte);

// chr(position + 32), then the action letter.
std::string ClickMessage(int position, char letter);

// A board line as a copy of the game sends it: one character per place, each an empty place
// (0) or a picture of the set (1 .. cardCount: a deal draws half of the set's pictures), and
// every picture on two places or on none. Anything else would show a table that can never
// end.
bool validBoard(std::string_view line, int cardCount);

enum class LineKind { Game, Board, Click };
// By length and first character only, in this order: 3 and '?' -> game; 45 or more ->
// board; anything else -> click.
LineKind classify(std::string_view line);

struct Click {
    int position;
    char letter;  // 'o', 'b', 'd' or 'z'
};
// A click line as a copy of the game sends it: two characters, a position on the board, one
// of the four letters. Anything else is nullopt.
std::optional<Click> parseClick(std::string_view line, int cardCount);

struct Scores {
    int mine;    // the receiver's own score (byte 1)
    int theirs;  // the sender's score (byte 2)
};
// A game line (3 bytes, '?'), or nullopt.
std::optional<Scores> parseGame(std::string_view line);

// The line as it goes on the wire.
inline std::string frame(std::string_view line) {
    std::string out(line);
    out += "\r\n";
    return out;
}

// The splitter the sockets use, so the game and the wire cut lines the same way.
using LineSplitter = plat::LineSplitter;

}  // namespace network

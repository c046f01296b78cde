// Building, telling apart and framing the peer lines.
#include "network/messages.h"

#include <vector>

namespace network {

std::string BoardMessage(const std::int32_t* board, int cardCount) {
    std::string line;
    line.reserve(static_cast<std::size_t>(cardCount > 0 ? cardCount : 0));
    for (int p = 0; p < cardCount; ++p)
        line += static_cast<char>(static_cast<std::uint32_t>(board[p] + 32) & 0xFF);
    return line;
}

unsigned char encodeScore(std::int32_t score, bool lastByte) {
    auto byte = static_cast<unsigned char>(static_cast<std::uint32_t>(score) & 0xFF);
    // LF would split the line and a CR right before the line end would be dropped; a CR
    // with a byte after it arrives intact. Scores never reach 128, so the high bit is
    // free to mark the ones that cannot travel raw.
    if (byte == 10 || (lastByte && byte == 13)) byte = static_cast<unsigned char>(byte + 128);
    return byte;
}

int decodeScore(unsigned char byte) { return byte >= 128 ? byte - 128 : byte; }

std::string GameMessage(std::int32_t opponentScore, std::int32_t ownScore) {
    std::string line = "?";
    line += static_cast<char>(encodeScore(opponentScore, false));
    line += static_cast<char>(encodeScore(ownScore, true));
    return line;
}

std::string ClickMessage(int position, char letter) {
    std::string line;
    line += static_cast<char>(static_cast<std::uint32_t>(position + 32) & 0xFF);
    line += letter;
    return line;
}

bool validBoard(std::string_view line, int cardCount) {
    if (cardCount <= 0 || line.size() != static_cast<std::size_t>(cardCount)) return false;
    std::vector<int> places(static_cast<std::size_t>(cardCount) + 1, 0);
    for (char c : line) {
        const int picture = static_cast<unsigned char>(c) - 32;
        if (picture < 0 || picture > cardCount) return false;
        ++places[static_cast<std::size_t>(picture)];
    }
    for (std::size_t picture = 1; picture < places.size(); ++picture)
        if (places[picture] != 0 && places[picture] != 2) return false;
    return true;
}

LineKind classify(std::string_view line) {
    if (line.size() == 3 && line[0] == '?') return LineKind::Game;
    if (line.size() >= kBoardMinLength) return LineKind::Board;
    return LineKind::Click;
}

std::optional<Click> parseClick(std::string_view line, int cardCount) {
    if (line.size() != 2) return std::nullopt;
    int position = static_cast<unsigned char>(line[0]) - 32;
    char letter = line[1];
    if (position < 0 || position >= cardCount) return std::nullopt;
    if (letter != 'o' && letter != 'b' && letter != 'd' && letter != 'z') return std::nullopt;
    return Click{position, letter};
}

std::optional<Scores> parseGame(std::string_view line) {
    if (classify(line) != LineKind::Game) return std::nullopt;
    return Scores{decodeScore(static_cast<unsigned char>(line[1])),
                  decodeScore(static_cast<unsigned char>(line[2]))};
}

}  // namespace network

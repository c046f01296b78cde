// Building, telling apart and framing the peer lines.
#include "network/messages.h"

namespace network {

std::string BoardMessage(const std::int32_t* board, int cardCount) {
    std::string line;
    line.reserve(static_cast<std::size_t>(cardCount > 0 ? cardCount : 0));
    for (int p = 0; p < cardCount; ++p)
        line += static_cast<char>(static_cast<std::uint32_t>(board[p] + 32) & 0xFF);
    return line;
}

unsigned char encodeScore(std::int32_t score) {
    auto byte = static_cast<unsigned char>(static_cast<std::uint32_t>(score) & 0xFF);
    // LF would split the line and a CR before the LF would be dropped. Scores never
    // reach 128, so the high bit is free to mark the two.
    if (byte == 10 || byte == 13) byte = static_cast<unsigned char>(byte + 128);
    return byte;
}

int decodeScore(unsigned char byte) { return byte >= 128 ? byte - 128 : byte; }

std::string GameMessage(std::int32_t opponentScore, std::int32_t ownScore) {
    std::string line = "?";
    line += static_cast<char>(encodeScore(opponentScore));
    line += static_cast<char>(encodeScore(ownScore));
    return line;
}

std::string ClickMessage(int position, char letter) {
    std::string line;
    line += static_cast<char>(static_cast<std::uint32_t>(position + 32) & 0xFF);
    line += letter;
    return line;
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

void LineSplitter::feed(std::string_view bytes) {
    // Drop what was taken before it grows large, so a long session keeps a small buffer.
    if (start_ > 0 && start_ >= buf_.size() / 2) {
        buf_.erase(0, start_);
        start_ = 0;
    }
    buf_.append(bytes);
}

bool LineSplitter::next(std::string& line) {
    std::size_t lf = buf_.find('\n', start_ + scanned_);
    if (lf == std::string::npos) {
        scanned_ = buf_.size() - start_;
        return false;
    }
    std::size_t length = lf - start_;
    if (length > max_) return false;  // overflowed(): the reader treats it as an error
    std::size_t end = lf;
    if (end > start_ && buf_[end - 1] == '\r') --end;
    line.assign(buf_, start_, end - start_);
    start_ = lf + 1;
    scanned_ = 0;
    if (start_ == buf_.size()) {
        buf_.clear();
        start_ = 0;
    }
    return true;
}

bool LineSplitter::overflowed() const {
    std::size_t lf = buf_.find('\n', start_);
    std::size_t length = (lf == std::string::npos ? buf_.size() : lf) - start_;
    return length > max_;
}

}  // namespace network

// Byte layouts of the saved-game files.
#include "game/savefiles.h"

#include <algorithm>

namespace game::savefiles {
namespace {

void putInt(std::string& out, std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((u >> (8 * i)) & 0xFF);
}

std::int32_t getInt(const std::string& in, std::size_t index) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[index * 4 + i])) << (8 * i);
    return static_cast<std::int32_t>(u);
}

std::int32_t clampTo(std::int32_t v, std::int32_t hi) { return std::clamp(v, 0, hi); }

void putCaption(std::string& out, const std::string& caption) {
    std::size_t n = std::min(caption.size(), kCaptionField);
    out += static_cast<char>(n);
    out += caption.substr(0, n);
    out.append(kCaptionField - n, '\0');
}

std::string getCaption(const std::string& in, std::size_t at) {
    std::size_t n = std::min<std::size_t>(static_cast<unsigned char>(in[at]), kCaptionField);
    return in.substr(at + 1, n);
}

}  // namespace

std::string gameFileName(int n) { return "zwi" + std::to_string(n) + "game.dat"; }
std::string moveLogFileName(int n) { return "zwi" + std::to_string(n) + "repl.dat"; }
std::string playersFileName(int n) { return "zwi" + std::to_string(n) + "play.dat"; }

std::string encodeGameFile(const GameFile& g) {
    std::string out;
    out.reserve((g.board.size() + 6) * 4);
    for (auto v : g.board) putInt(out, v);
    for (auto v : {g.startScoreMe, g.startScoreOpp, g.score1, g.score2, g.solo, g.seconds})
        putInt(out, v);
    return out;
}

GameFileRead decodeGameFile(const std::string& bytes, int cardCount, int pairCount) {
    GameFileRead r;
    r.empty = bytes.empty();
    const std::size_t values = bytes.size() / 4;  // a partial value is a failed read
    const auto c = static_cast<std::size_t>(cardCount);
    if (values < c) return r;
    r.boardRead = true;
    r.game.board.resize(c);
    for (std::size_t p = 0; p < c; ++p) {
        std::int32_t v = getInt(bytes, p);
        r.game.board[p] = v >= 0 && v <= cardCount ? v : 0;
    }
    if (values < c + 5) return r;
    r.scoresRead = true;
    auto& g = r.game;
    g.solo = getInt(bytes, c + 4);
    // In solo play the second score is the click count, not a pair count.
    const std::int32_t secondMax = g.solo > 0 ? kMaxCount : pairCount;
    g.startScoreMe = clampTo(getInt(bytes, c), pairCount);
    g.startScoreOpp = clampTo(getInt(bytes, c + 1), secondMax);
    g.score1 = clampTo(getInt(bytes, c + 2), pairCount);
    g.score2 = clampTo(getInt(bytes, c + 3), secondMax);
    if (values < c + 6) return r;
    r.secondsRead = true;
    g.seconds = clampTo(getInt(bytes, c + 5), kMaxCount);
    return r;
}

std::string encodeMoveLog(const std::int32_t* log, int logLength, int capacity) {
    logLength = std::clamp(logLength, 0, capacity);
    std::string out;
    out.reserve(static_cast<std::size_t>(logLength + 1) * 4);
    for (int i = 0; i < logLength; ++i) putInt(out, log[i]);
    putInt(out, logLength < capacity ? log[logLength] : 0);
    return out;
}

int decodeMoveLog(const std::string& bytes, std::int32_t* log, int capacity) {
    const int n = static_cast<int>(
        std::min<std::size_t>(bytes.size() / 4, static_cast<std::size_t>(capacity) + 1));
    for (int i = 0; i < n && i < capacity; ++i) log[i] = getInt(bytes, static_cast<std::size_t>(i));
    return n;
}

std::string encodePlayers(const PlayersRecord& r) {
    std::string out;
    out.reserve(kPlayersRecordSize);
    putCaption(out, r.caption1);
    putCaption(out, r.caption2);
    out += static_cast<char>(r.hotSeat ? 1 : 0);
    out += static_cast<char>(r.playerOneToMove ? 1 : 0);
    return out;
}

std::optional<PlayersRecord> decodePlayers(const std::string& bytes) {
    if (bytes.size() < kPlayersRecordSize) return std::nullopt;
    PlayersRecord r;
    r.caption1 = getCaption(bytes, 0);
    r.caption2 = getCaption(bytes, 16);
    r.hotSeat = bytes[32] != 0;
    r.playerOneToMove = bytes[33] != 0;
    return r;
}

}  // namespace game::savefiles

// Saved-game byte layouts, damaged files, and the write-beside-and-replace file primitive.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include "game/cardsets.h"
#include "game/savefiles.h"
#include "platform/files.h"

using namespace game::savefiles;

namespace {
std::string ints(std::initializer_list<std::int32_t> v) {
    std::string out;
    for (auto x : v)
        for (int i = 0; i < 4; ++i) out += static_cast<char>((static_cast<std::uint32_t>(x) >> 8 * i) & 0xFF);
    return out;
}
std::int32_t intAt(const std::string& b, std::size_t off) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= std::uint32_t(static_cast<unsigned char>(b[off + i])) << 8 * i;
    return static_cast<std::int32_t>(u);
}
}  // namespace

TEST(SaveLayout, GameFileOffsetsForBothPrograms) {
    for (auto [cards, size] : {std::pair{60, 264u}, std::pair{48, 216u}}) {
        GameFile g;
        for (int p = 0; p < cards; ++p) g.board.push_back(p % 2 ? p : 0);
        g.startScoreMe = 3, g.startScoreOpp = -2, g.score1 = 12, g.score2 = 9, g.solo = 1;
        g.seconds = 0x01020304;
        const std::string b = encodeGameFile(g);
        ASSERT_EQ(b.size(), size);
        const std::size_t c = static_cast<std::size_t>(cards) * 4;
        EXPECT_EQ(intAt(b, 4), 1);
        EXPECT_EQ(b.substr(c + 4, 4), std::string("\xFE\xFF\xFF\xFF", 4));  // signed LE
        EXPECT_EQ(intAt(b, c + 8), 12);
        EXPECT_EQ(intAt(b, c + 12), 9);
        EXPECT_EQ(intAt(b, c + 16), 1);
        EXPECT_EQ(b.substr(c + 20), "\x04\x03\x02\x01");
    }
    EXPECT_EQ(gameFileName(14), "zwi14game.dat");
    EXPECT_EQ(moveLogFileName(15), "zwi15repl.dat");
    EXPECT_EQ(playersFileName(16), "zwi16play.dat");
}

TEST(SaveLayout, DamagedGameFilesReadSafely) {
    std::string board;
    for (int p = 0; p < 48; ++p) board += ints({p == 0 ? -1 : p == 1 ? 49 : p == 2 ? 48 : 7});
    // Read value by value: each short file ends at the first missing value.
    EXPECT_TRUE(decodeGameFile("", 48, 24).empty);
    EXPECT_FALSE(decodeGameFile(board.substr(0, 190), 48, 24).boardRead);
    auto r = decodeGameFile(board + ints({1, 2, 3, 4}), 48, 24);
    EXPECT_TRUE(r.boardRead);
    EXPECT_FALSE(r.scoresRead);
    EXPECT_EQ(r.game.board[0], 0);   // below 0: empty place
    EXPECT_EQ(r.game.board[1], 0);   // above the card count
    EXPECT_EQ(r.game.board[2], 48);
    r = decodeGameFile(board + ints({-5, 99, 99, -1, 0}), 48, 24);
    EXPECT_TRUE(r.scoresRead);
    EXPECT_FALSE(r.secondsRead);
    EXPECT_EQ(r.game.startScoreMe, 0);
    EXPECT_EQ(r.game.startScoreOpp, 24);
    EXPECT_EQ(r.game.score1, 24);
    EXPECT_EQ(r.game.score2, 0);
    // In solo play the second score counts clicks and may pass the pair count.
    r = decodeGameFile(board + ints({0, 0, 24, 134, 1, -3}) + "junk", 48, 24);
    EXPECT_TRUE(r.secondsRead);
    EXPECT_EQ(r.game.score2, 134);
    EXPECT_EQ(r.game.seconds, 0);
    r = decodeGameFile(board + ints({0, 0x7FFFFFFF, 24, 0x7FFFFFFF, 1, 0x7FFFFFFF}), 48, 24);
    EXPECT_EQ(r.game.score2, kMaxCount);
    EXPECT_EQ(r.game.startScoreOpp, kMaxCount);
    EXPECT_EQ(r.game.seconds, kMaxCount);
}

TEST(SaveLayout, MoveRecordKeepsItsSlotAndNeverOverruns) {
    std::array<std::int32_t, game::kLogSize> log{};
    log[0] = 100, log[1] = 4, log[2] = 300, log[3] = 4, log[4] = 9, log[5] = 77;
    EXPECT_EQ(encodeMoveLog(log.data(), 5, game::kLogSize), ints({100, 4, 300, 4, 9, 77}));
    EXPECT_EQ(encodeMoveLog(log.data(), 0, game::kLogSize), ints({100}));
    log.fill(200);
    std::string full = encodeMoveLog(log.data(), game::kLogSize, game::kLogSize);
    ASSERT_EQ(full.size(), (game::kLogSize + 1) * 4u);
    EXPECT_EQ(intAt(full, game::kLogSize * 4), 0);  // no slot after a full record

    std::array<std::int32_t, game::kLogSize + 8> guard{};
    guard.fill(-7);
    EXPECT_EQ(decodeMoveLog(full + ints({1, 2, 3}), guard.data(), game::kLogSize), game::kLogSize + 1);
    EXPECT_EQ(guard[game::kLogSize], -7);  // nothing stored past the record
    EXPECT_EQ(decodeMoveLog("abc", guard.data(), game::kLogSize), 0);

    const std::int32_t rec[] = {100, 3, 200, 59, 400, 1, 2, 300, 5, 60, 100, 1};
    EXPECT_EQ(validRecordLength(rec, 7, 60), 7);
    EXPECT_EQ(validRecordLength(rec, 6, 60), 4);    // 400 entry cut short
    EXPECT_EQ(validRecordLength(rec, 12, 60), 7);   // position 60 is off the board
    EXPECT_EQ(validRecordLength(rec, 4, 48), 2);
    const std::int32_t odd[] = {100, 1, 500, 1};
    EXPECT_EQ(validRecordLength(odd, 4, 60), 2);
}

TEST(SaveLayout, PlayersRecord) {
    PlayersRecord r{"Annabel:", "Tegenspeler:", true, false};
    const std::string b = encodePlayers(r);
    ASSERT_EQ(b.size(), 34u);
    EXPECT_EQ(b, std::string("\x08" "Annabel:\0\0\0\0\0\0\0" "\x0C" "Tegenspeler:\0\0\0" "\x01\x00", 34));
    r.caption1 = "Twintig tekens lang:";  // 20 characters: the first 15 are kept
    auto back = decodePlayers(encodePlayers(r));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->caption1, "Twintig tekens ");
    EXPECT_TRUE(back->hotSeat);
    EXPECT_FALSE(back->playerOneToMove);

    std::string bad = b;
    bad[0] = static_cast<char>(200);  // a length byte past the field reads the field only
    bad[33] = 7;
    back = decodePlayers(bad);
    EXPECT_EQ(back->caption1, std::string("Annabel:\0\0\0\0\0\0\0", 15));
    EXPECT_TRUE(back->playerOneToMove);
    EXPECT_FALSE(decodePlayers(b.substr(0, 33)));
    EXPECT_FALSE(decodePlayers(""));
}

TEST(SafeFiles, ReplaceAndFailureKeepsTheOldFile) {
    namespace fs = std::filesystem;
    std::string got;
    ASSERT_EQ(plat::writeFileReplacing("keep.dat", "old contents"), 0);
    ASSERT_EQ(plat::writeFileReplacing("keep.dat", "new"), 0);
    ASSERT_EQ(plat::readFile("keep.dat", got), 0);
    EXPECT_EQ(got, "new");
    EXPECT_EQ(plat::readFile("keep.dat", got, 2), 0);
    EXPECT_EQ(got, "ne");
    EXPECT_EQ(plat::readFile("missing.dat", got), ENOENT);

    // A write past the file-size limit fails as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 8;
    setrlimit(RLIMIT_FSIZE, &tiny);
    int err = plat::writeFileReplacing("keep.dat", std::string(100, 'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(err, EFBIG);
    EXPECT_EQ(plat::ioErrorText(err), "Disk full");
    ASSERT_EQ(plat::readFile("keep.dat", got), 0);
    EXPECT_EQ(got, "new");

    // A folder in a target's place fails the commit before any file is moved.
    fs::create_directory("dir.dat");
    plat::StagedFile a, b;
    ASSERT_EQ(a.create("keep.dat") + a.write("AAA") + a.close(), 0);
    EXPECT_EQ(b.create("dir.dat"), EISDIR);
    EXPECT_EQ(plat::ioErrorText(EISDIR), "I/O error 21");
    EXPECT_EQ(plat::ioErrorText(EACCES), "File access denied");
    EXPECT_EQ(plat::ioErrorCode(EROFS), 5);
    EXPECT_EQ(plat::absolutePath("x.dat"), (fs::current_path() / "x.dat").string());
    fs::remove("dir.dat");
}

TEST(SafeFiles, NoTemporaryFilesAreLeftBehind) {
    namespace fs = std::filesystem;
    {
        plat::StagedFile f;
        ASSERT_EQ(f.create("dropped.dat"), 0);
        f.write("abc");
    }
    ASSERT_EQ(plat::writeFileReplacing("kept.dat", "x"), 0);
    for (const auto& e : fs::directory_iterator(fs::current_path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
    EXPECT_FALSE(fs::exists("dropped.dat"));
}

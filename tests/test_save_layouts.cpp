// Saved-game byte layouts, damaged files, and the write-beside-and-replace file primitive.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "game/moverecord.h"
#include "game/savefiles.h"
#include "platform/files.h"
#include "test_save_support.h"

using namespace game::savefiles;

namespace {
namespace fs = std::filesystem;

std::string ints(std::initializer_list<std::int32_t> v) {
    std::string out;
    for (std::uint32_t x : v)
        for (int i = 0; i < 4; ++i) out += static_cast<char>(x >> 8 * i);
    return out;
}

// Each test works in a folder of its own and leaves the one it started in as it was.
class SafeFiles : public ::testing::Test {
protected:
    void TearDown() override { plat::fileStepHook = nullptr; }
    savetest::ScratchFolder scratch;
};
}  // namespace

TEST(SaveLayout, GameFileGoldenBytes) {
    for (auto [cards, size] : {std::pair{60, 264u}, std::pair{48, 216u}}) {
        GameFile g{std::vector<std::int32_t>(cards, 0), 3, -2, 12, 9, 1, 0x01020304};
        g.board[1] = 7;
        const std::string b = encodeGameFile(g);
        ASSERT_EQ(b.size(), size);
        EXPECT_EQ(b.substr(4, 4), ints({7}));
        EXPECT_EQ(b.substr(cards * 4u), ints({3, -2, 12, 9, 1}) + "\x04\x03\x02\x01");
    }
    EXPECT_EQ(gameFileName(14) + moveLogFileName(15) + playersFileName(16),
              "zwi14game.datzwi15repl.datzwi16play.dat");
}

TEST(SaveLayout, DamagedGameFilesReadSafely) {
    std::string board = ints({-1, 49, 48});
    for (int p = 3; p < 48; ++p) board += ints({7});
    // Read value by value: each short file ends at the first missing value.
    EXPECT_TRUE(decodeGameFile("", 48, 24).empty);
    EXPECT_FALSE(decodeGameFile(board.substr(0, 190), 48, 24).boardRead);
    auto r = decodeGameFile(board + ints({1, 2, 3, 4}), 48, 24);
    EXPECT_TRUE(r.boardRead && !r.scoresRead);
    EXPECT_EQ(r.game.board[0] + r.game.board[1], 0);  // outside 0 .. 48: empty places
    EXPECT_EQ(r.game.board[2], 48);
    r = decodeGameFile(board + ints({-5, 99, 99, -1, 0}), 48, 24);
    EXPECT_TRUE(r.scoresRead && !r.secondsRead);
    EXPECT_EQ(
        std::vector({r.game.startScoreMe, r.game.startScoreOpp, r.game.score1, r.game.score2}),
        std::vector({0, 24, 24, 0}));
    // In solo play the second score counts clicks and may pass the pair count.
    r = decodeGameFile(board + ints({0, 0, 24, 134, 1, -3}) + "junk", 48, 24);
    EXPECT_EQ(r.game.score2, 134);
    EXPECT_EQ(r.game.seconds, 0);
    r = decodeGameFile(board + ints({0, 0x7FFFFFFF, 24, 0x7FFFFFFF, 1, 0x7FFFFFFF}), 48, 24);
    EXPECT_EQ(r.game.score2 + 0LL + r.game.startScoreOpp + r.game.seconds, 3LL * kMaxCount);
}

TEST(SaveLayout, MoveRecordKeepsItsSlotAndNeverOverruns) {
    std::array<std::int32_t, game::kLogSize + 8> log{};
    log[0] = 100, log[1] = 4, log[2] = 300, log[3] = 4, log[4] = 9, log[5] = 77;
    EXPECT_EQ(encodeMoveLog(log.data(), 5, game::kLogSize), ints({100, 4, 300, 4, 9, 77}));
    log.fill(200);
    const std::string full = encodeMoveLog(log.data(), game::kLogSize, game::kLogSize);
    EXPECT_EQ(full.substr(full.size() - 8), ints({200, 0}));  // no slot after a full record

    log.fill(-7);
    EXPECT_EQ(decodeMoveLog(full + ints({1, 2}), log.data(), game::kLogSize), game::kLogSize + 1);
    EXPECT_EQ(log[game::kLogSize], -7);  // nothing stored past the record
    EXPECT_EQ(decodeMoveLog("abc", log.data(), game::kLogSize), 0);
}

TEST(SaveLayout, PlayersRecord) {
    PlayersRecord r{"Annabel:", "Tegenspeler:", true, false};
    const std::string b = encodePlayers(r);
    EXPECT_EQ(b, std::string("\x08"
                             "Annabel:\0\0\0\0\0\0\0"
                             "\x0C"
                             "Tegenspeler:\0\0\0"
                             "\x01\x00",
                             34));
    r.caption1 = "Twintig tekens lang:";  // 20 characters: the first 15 are kept
    auto back = decodePlayers(encodePlayers(r));
    EXPECT_EQ(back->caption1, "Twintig tekens ");
    EXPECT_TRUE(back->hotSeat && !back->playerOneToMove);

    std::string bad = b;
    bad[0] = static_cast<char>(200);  // a length byte past the field reads the field only
    bad[33] = 7;
    back = decodePlayers(bad);
    EXPECT_EQ(back->caption1, std::string("Annabel:\0\0\0\0\0\0\0", 15));
    EXPECT_TRUE(back->playerOneToMove);
    EXPECT_FALSE(decodePlayers(b.substr(0, 33)));
}

TEST_F(SafeFiles, FailedWritesKeepTheOldFileAndLeaveNoTemporaries) {
    std::string got;
    ASSERT_EQ(plat::writeFileReplacing("keep.dat", "old contents"), 0);
    ASSERT_EQ(plat::writeFileReplacing("keep.dat", "new"), 0);
    EXPECT_EQ(plat::readFile("keep.dat", got, 2), EFBIG);  // the cap, and word that it cut
    EXPECT_EQ(got, "ne");
    EXPECT_EQ(plat::readFile("keep.dat", got, 3), 0);
    EXPECT_EQ(plat::readFile("missing.dat", got, 10), ENOENT);

    // A write past the file-size limit fails as a full disk would.
    int err = 0;
    savetest::withFileSizeLimit(
        8, [&] { err = plat::writeFileReplacing("keep.dat", std::string(100, 'x')); });
    EXPECT_EQ(plat::ioErrorText(err), "Disk full");
    ASSERT_EQ(plat::readFile("keep.dat", got, 10), 0);
    EXPECT_EQ(got, "new");

    // A folder in a target's place is refused before anything is written.
    fs::create_directory("dir.dat");
    plat::StagedFile dir;
    EXPECT_EQ(dir.create("dir.dat"), EISDIR);
    {
        plat::StagedFile dropped;  // never committed: removed with the object
        ASSERT_EQ(dropped.create("dropped.dat"), 0);
        dropped.write("abc");
    }
    for (const auto& e : fs::directory_iterator(fs::current_path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
    EXPECT_FALSE(fs::exists("dropped.dat"));
}

TEST_F(SafeFiles, RewritesKeepOnlyAPlainFilesPermissionsAndOwner) {
    const mode_t oldMask = ::umask(022);
    // A planted setuid file: its content is ours now, its permission bits stay, never more.
    ASSERT_EQ(plat::writeFileReplacing("suid.dat", "theirs"), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown("suid.dat", 12345, 12346), 0);
    }
    ASSERT_EQ(::chmod("suid.dat", 04775), 0);  // after the owner change, which clears it
    ASSERT_EQ(plat::writeFileReplacing("suid.dat", "ours"), 0);
    struct stat st {};
    ASSERT_EQ(::lstat("suid.dat", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0775u);

    // A link to a world-writable file is replaced by a plain file of the default mode.
    ASSERT_EQ(plat::writeFileReplacing("shared.dat", "shared"), 0);
    ASSERT_EQ(::chmod("shared.dat", 0666), 0);
    fs::create_symlink("shared.dat", "link.dat");
    ASSERT_EQ(plat::writeFileReplacing("link.dat", "mine"), 0);
    struct stat link {};
    ASSERT_EQ(::lstat("link.dat", &link), 0);
    EXPECT_TRUE(S_ISREG(link.st_mode));
    EXPECT_EQ(link.st_mode & 07777, 0644u);
    EXPECT_EQ(savetest::fileText("shared.dat"), "shared");
    ::umask(oldMask);

    if (!root) GTEST_SKIP() << "the owner is kept only where we may give a file away: not root";
    EXPECT_EQ(st.st_uid, 12345u);
    EXPECT_EQ(st.st_gid, 12346u);
    EXPECT_EQ(link.st_uid, 0u);
}

TEST_F(SafeFiles, AFolderThatLetsNoFileBeMadeRewritesInPlace) {
    ASSERT_EQ(plat::writeFileReplacing("keep.dat", "old contents"), 0);
    fs::create_symlink("keep.dat", "link.dat");
    struct stat before {};
    ::stat("keep.dat", &before);
    plat::fileStepHook = [](const char* step) {
        return std::string(step) == "create" ? EACCES : 0;
    };
    EXPECT_EQ(plat::writeFileReplacing("keep.dat", "new"), 0);
    EXPECT_EQ(plat::writeFileReplacing("link.dat", "through"), EACCES);  // never written through
    EXPECT_EQ(plat::writeFileReplacing("missing.dat", "x"), EACCES);
    plat::fileStepHook = nullptr;
    EXPECT_EQ(savetest::fileText("keep.dat"), "new");
    struct stat after {};
    ::stat("keep.dat", &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_TRUE(fs::is_symlink("link.dat"));
    EXPECT_FALSE(fs::exists("missing.dat"));
}

TEST_F(SafeFiles, StagedFilesOfGoneWritersAreRemovedByTheNextWrite) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);  // a writer that is gone
    const std::string gone = std::to_string(child), self = std::to_string(::getpid());
    const std::vector<std::string> stale{".hof14.dat." + gone + ".3.zw.tmp",
                                         ".x.dat." + self + ".99999.zw.tmp"};
    const std::vector<std::string> kept{".hof14.dat.1.3.zw.tmp",       // its writer runs
                                        ".other." + gone + ".3.tmp"};  // another program's
    for (const auto& n : stale) std::ofstream(n) << "x";
    for (const auto& n : kept) std::ofstream(n) << "x";
    ASSERT_EQ(plat::writeFileReplacing("hof15.dat", "list"), 0);
    for (const auto& n : stale) EXPECT_FALSE(fs::exists(n)) << n;
    for (const auto& n : kept) EXPECT_TRUE(fs::exists(n)) << n;
    for (const auto& n : kept) fs::remove(n);
}

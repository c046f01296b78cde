// Saved-game byte layouts, damaged files, and the write-beside-and-replace file primitive.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <filesystem>
#include <fstream>

#include "game/datafiles.h"
#include "game/moverecord.h"
#include "game/savefiles.h"
#include "platform/files.h"
#include "test_save_support.h"

using namespace game::savefiles;

namespace {
namespace fs = std::filesystem;
using savetest::fileText;

std::string ints(std::initializer_list<std::int32_t> v) {
    std::string out;
    for (std::uint32_t x : v)
        for (int i = 0; i < 4; ++i) out += static_cast<char>(x >> 8 * i);
    return out;
}

void put(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
}

mode_t modeOf(const std::string& name) {
    struct stat st {};
    ::lstat(name.c_str(), &st);
    return st.st_mode & 07777;
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

    // A link in place of the folder's lock file is no lock of ours: writes fail as denied,
    // and nothing is made where the link leads.
    const std::string lock = ".zwirlo-" + std::to_string(::geteuid()) + ".lock";
    fs::remove(lock);
    fs::create_symlink("elsewhere", lock);
    EXPECT_EQ(plat::writeFileReplacing("keep.dat", "later"), EACCES);
    EXPECT_FALSE(fs::exists("elsewhere"));
    EXPECT_EQ(fileText("keep.dat"), "new");
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
    // The new file is ours alone while it is written, and has its mode before it moves.
    std::vector<mode_t> staged;
    plat::fileStepHook = [&](const char* step) {
        if (std::string(step) == "write" || std::string(step) == "rename")
            for (const auto& e : fs::directory_iterator("."))
                if (e.path().string().find(".zw.tmp") != std::string::npos)
                    staged.push_back(modeOf(e.path()));
        return 0;
    };
    ASSERT_EQ(plat::writeFileReplacing("suid.dat", "ours"), 0);
    plat::fileStepHook = nullptr;
    EXPECT_EQ(staged, (std::vector<mode_t>{0600, 0775}));
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
    EXPECT_EQ(fileText("shared.dat"), "shared");
    ::umask(oldMask);

    // So is a link to a file we may not write: only the folder's rights count for a link.
    fs::create_directory("sealed");
    put("sealed/locked.dat", "not ours");
    ASSERT_EQ(::chmod("sealed/locked.dat", 0444), 0);
    const int result = savetest::unprivileged([] {
        if (::symlink("sealed/locked.dat", "locked.dat") != 0) return 1;
        if (plat::writeFileReplacing("locked.dat", "mine") != 0) return 2;
        return fileText("locked.dat") == "mine" ? 0 : 3;
    });
    EXPECT_EQ(fileText("sealed/locked.dat"), "not ours");

    if (root) {
        EXPECT_EQ(st.st_uid, 12345u);  // kept where we may give a file away
        EXPECT_EQ(st.st_gid, 12346u);
        EXPECT_EQ(link.st_uid, 0u);
    }
    if (result == -1) GTEST_SKIP() << "running as root with no unprivileged user to become";
    EXPECT_EQ(result, 0);
}

TEST_F(SafeFiles, AFolderThatLetsNoFileBeMadeRewritesInPlace) {
    ASSERT_EQ(plat::writeFileReplacing("keep.dat", "old contents"), 0);
    fs::create_symlink("keep.dat", "link.dat");
    struct stat before {};
    ::stat("keep.dat", &before);
    const char* failAt = "";
    plat::fileStepHook = [&](const char* step) {
        return std::string(step) == "create" ? EACCES : std::string(step) == failAt ? EIO : 0;
    };
    EXPECT_EQ(plat::writeFileReplacing("keep.dat", "new"), 0);
    EXPECT_EQ(plat::writeFileReplacing("link.dat", "through"), EACCES);  // never written through
    EXPECT_EQ(plat::writeFileReplacing("missing.dat", "x"), EACCES);
    EXPECT_EQ(fileText("keep.dat"), "new");
    struct stat after {};
    ::stat("keep.dat", &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_TRUE(fs::is_symlink("link.dat"));
    EXPECT_FALSE(fs::exists("missing.dat"));

    // Cut short anywhere, such a rewrite leaves the old bytes or the new ones over them, never
    // an emptied file.
    for (const char* step : {"rewrite", "cut"}) {
        failAt = "";
        ASSERT_EQ(plat::writeFileReplacing("keep.dat", "old contents"), 0);
        failAt = step;
        EXPECT_EQ(plat::writeFileReplacing("keep.dat", "new"), EIO);
        EXPECT_EQ(fileText("keep.dat"),
                  failAt == std::string("cut") ? "new contents" : "old contents");
    }
}

TEST_F(SafeFiles, StagedFilesOfGoneWritersAreRemovedByTheNextWrite) {
    plat::setDataFiles(game::dataFileNames());
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);  // a writer that is gone
    const std::string gone = std::to_string(child), self = std::to_string(::getpid());
    // A writer lives while it holds the lock on its file, whatever became of its pid.
    const std::vector<std::string> stale{".hof14.dat." + gone + ".3.zw.tmp",
                                         ".hof14b.dat." + self + ".99999.zw.tmp"};
    const std::vector<std::string> kept{".hof14.dat." + gone + ".4.zw.tmp",   // its writer runs
                                        ".x.dat." + gone + ".3.zw.tmp",       // no data file's
                                        ".other." + gone + ".3.tmp",          // another program's
                                        ".hof16.dat." + gone + ".5.zw.tmp"};  // another user's
    for (const auto& n : stale) put(n, "x");
    for (const auto& n : kept) put(n, "x");
    const int living = ::open(kept[0].c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(living, LOCK_EX), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(kept[3].c_str(), 12345, 12345), 0);
    }
    ASSERT_EQ(plat::writeFileReplacing("hof15.dat", "list"), 0);
    ::close(living);
    for (const auto& n : stale) EXPECT_FALSE(fs::exists(n)) << n;
    for (const auto& n : kept) EXPECT_TRUE(fs::exists(n) || (n == kept[3] && !root)) << n;
}

// A commit marker is finished only when it is the user's own, its writer is gone (holds no
// lock on it), and every line names one of that writer's staged files of a data file, in
// the folder itself. Anything else changes nothing.
TEST_F(SafeFiles, MarkersActOnlyOnTheUsersOwnStagedFilesInTheFolder) {
    plat::setDataFiles(game::dataFileNames());
    fs::create_directories("x");
    put("x/notes.txt.999999.0.zw.tmp", "planted");  // outside the data folder
    fs::create_directories("data/x");
    fs::create_directories("data/d");
    fs::create_directories("data/.d");
    fs::current_path("data");
    put("x/notes.txt", "mine");
    put("d/notes.txt", "mine");
    put(".d/notes.txt.999999.0.zw.tmp", "planted");
    // Earlier builds' markers began with the boot; the names read as "x/notes.txt" and
    // "d/notes.txt" once the staged file's dot and end are taken off.
    put(".zwi14game.dat.999999.1.zw.commit",
        "boot x\n../x/notes.txt.999999.0.zw.tmp 7\n.d/notes.txt.999999.0.zw.tmp 7\nend\n");

    // A save whose writer still holds its marker's lock is not finished for it.
    put("zwi15game.dat", "old!");
    put(".zwi15game.dat.999999.6.zw.tmp", "new!");
    put(".zwi15game.dat.999999.5.zw.commit", "commit\n.zwi15game.dat.999999.6.zw.tmp 4\nend\n");
    const int living = ::open(".zwi15game.dat.999999.5.zw.commit", O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(living, LOCK_EX), 0);

    // Another user's marker and staged file, and a marker of ours that lists another user's
    // staged file (only root can make them).
    const bool root = ::geteuid() == 0;
    put("hof14.dat", "mine");
    put(".hof14.dat.999998.3.zw.tmp", "theirs");
    put(".hof14.dat.999998.2.zw.commit", "commit\n.hof14.dat.999998.3.zw.tmp 6\nend\n");
    put("hof15.dat", "mine");
    put(".hof15.dat.999997.3.zw.tmp", "theirs");
    put(".hof15.dat.999997.2.zw.commit", "commit\n.hof15.dat.999997.3.zw.tmp 6\nend\n");
    if (root) {
        for (const char* n : {".hof14.dat.999998.3.zw.tmp", ".hof14.dat.999998.2.zw.commit",
                              ".hof15.dat.999997.3.zw.tmp"})
            ASSERT_EQ(::chown(n, 12345, 12345), 0);
    }

    plat::finishStagedWrites();
    EXPECT_EQ(fileText("x/notes.txt") + fileText("d/notes.txt"), "minemine");
    EXPECT_EQ(fileText("../x/notes.txt.999999.0.zw.tmp"), "planted");
    EXPECT_EQ(fileText(".d/notes.txt.999999.0.zw.tmp"), "planted");
    EXPECT_FALSE(fs::exists(".zwi14game.dat.999999.1.zw.commit"));  // ours, and no commit
    EXPECT_EQ(fileText("zwi15game.dat"), "old!");
    EXPECT_TRUE(fs::exists(".zwi15game.dat.999999.5.zw.commit"));

    ::close(living);  // its writer is gone now: the save is finished
    plat::finishStagedWrites();
    EXPECT_EQ(fileText("zwi15game.dat"), "new!");
    EXPECT_FALSE(fs::exists(".zwi15game.dat.999999.5.zw.commit"));
    EXPECT_FALSE(fs::exists(".zwi15game.dat.999999.6.zw.tmp"));

    if (!root) GTEST_SKIP() << "another user's marker: only root can make one";
    EXPECT_EQ(fileText("hof14.dat") + fileText("hof15.dat"), "minemine");
    EXPECT_TRUE(fs::exists(".hof14.dat.999998.3.zw.tmp"));
    EXPECT_TRUE(fs::exists(".hof14.dat.999998.2.zw.commit"));
    EXPECT_TRUE(fs::exists(".hof15.dat.999997.3.zw.tmp"));
}

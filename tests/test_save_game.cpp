// Saving and loading a game through the window: every mode, damaged files, a failed save.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>

#include "game/savefiles.h"
#include "game/zwiunit1.h"
#include "platform/dialogs.h"
#include "platform/exception.h"
#include "platform/files.h"
#include "test_replay_support.h"
#include "test_save_support.h"

namespace fs = std::filesystem;
using savetest::fileText;

namespace {

struct StepClock : game::DealClock {
    std::uint32_t n = 0x1234567;
    std::uint32_t counter() override { return n += 0x9E3779B1u; }
};

// A window with no listening and no instance guard, whose timers tick only when fired.
struct Window {
    explicit Window(const game::Variant& v)
        : form(std::make_unique<game::TForm1>(v, game::FormOptions{false, 0, false})) {
        form->dealClock = &clock;
        for (plat::Timer* t : {form->Timer3, form->Timer4, form->Timer5}) t->setInterval(100000000);
        plat::DialogScript::clear();  // a picture library missing from the build shows a box
    }
    game::TForm1* operator->() { return form.get(); }
    game::TForm1& operator*() { return *form; }
    StepClock clock;
    std::unique_ptr<game::TForm1> form;
};

// Solo play without a miss: each pair turned up and cleared, in board order.
void playPairs(Window& w, int pairs) {
    std::map<int, std::vector<int>> at;
    for (int p = 0; p < w->N; ++p) at[w->startBoard[p]].push_back(p);
    for (auto& [picture, places] : at) {
        if (pairs-- == 0) return;
        for (int p : places) w->Image1Click(w->images[p]);
        w->Timer4->fire();
    }
}

std::vector<std::string> sentLines() {
    std::vector<std::string> out;
    while (ZwiUnit1::outbox.sendOne([&](const std::string& l) { out.push_back(l); },
                                    ZwiUnit1::sendPending)) {
    }
    return out;
}

class SaveGame : public ::testing::Test {
protected:
    void SetUp() override {
        savetest::emptyFolder();
        plat::DialogScript::clear();
        ZwiUnit1::connected = false;
        ZwiUnit1::outbox.clear(ZwiUnit1::sendPending);
    }
    void TearDown() override { ZwiUnit1::connected = false; }

    // A two-player table set up by hand: a board with some pairs taken, scores, names.
    static void twoPlayerTable(game::TForm1& f, int s1, int s2) {
        for (int p = 0; p < f.N; ++p) {
            f.startBoard[p] = p / 2 + 1;
            f.board[p] = p < 2 * (s1 + s2) ? 0 : p / 2 + 1;
        }
        f.SetLabelValue(f.Label2, s1);
        f.SetLabelValue(f.Label4, s2);
        f.logLength = f.logPos = 4;
        f.moveLog[0] = 100, f.moveLog[1] = 0, f.moveLog[2] = 200, f.moveLog[3] = 1;
        f.moveLog[4] = 555;  // the unused slot after the record
    }
};

TEST_F(SaveGame, FinishedSoloGameRoundTrip) {
    Window w(game::zwirlo60Variant());
    w->Solo1->click();
    w->Start1Click();
    playPairs(w, w->P);  // the top-10 dialog is cancelled: an entry with an empty name
    w->Label5->setCaption("41");
    const int length = w->logLength;
    const std::string clicks = w->Label4->caption();
    w->Save1Click();
    EXPECT_FALSE(w->Save1->enabled());
    EXPECT_EQ(fs::file_size("zwi14repl.dat"), (length + 1) * 4u);

    Window v(game::zwirlo60Variant());
    v->images[0]->setPicture(plat::Bitmap::load(v->pictureModule(), "pic7"));
    v->Load1Click();
    EXPECT_TRUE(v->Solo1->checked());
    EXPECT_EQ(v->Label2->caption() + v->Label3->caption() + v->Label4->caption() + "/" +
                  v->Label5->caption(),
              "30Klikken:" + clicks + "/41");
    EXPECT_TRUE(v->Label5->visible() && v->Label7->visible() && v->Label8->visible());
    EXPECT_EQ(v->logLength, length);
    EXPECT_EQ(v->logPos, length);
    EXPECT_TRUE(v->Replay1->enabled() && v->Save1->enabled() && v->Timer5->enabled());
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);
    EXPECT_EQ(v->Label1->fontColor(), plat::clWindowText);
    for (int p = 0; p < v->N; ++p) EXPECT_EQ(v->board[p], w->startBoard[p]);
    EXPECT_EQ(v->images[0]->pictureName(), "pic7");  // a finished solo game keeps its display
    EXPECT_TRUE(plat::DialogScript::messages().empty());
}

TEST_F(SaveGame, RunningSoloGameKeepsItsRecordUnread) {
    Window w(game::zwirlo3Variant());
    w->Solo1->click();
    w->Start1Click();
    playPairs(w, 10);
    w->Save1Click();
    EXPECT_EQ(fs::file_size("zwi16repl.dat"), (w->logLength + 1) * 4u);

    Window v(game::zwirlo3Variant());
    v->Load1Click();
    EXPECT_EQ(v->logLength, 0);
    EXPECT_FALSE(v->Replay1->enabled());
    EXPECT_TRUE(v->Timer5->enabled() && !ZwiUnit1::clicksBlocked);
    EXPECT_EQ(v->Label2->caption(), "10");
    for (int p = 0; p < v->N; ++p) {
        EXPECT_EQ(v->board[p], w->board[p]);
        EXPECT_EQ(v->images[p]->pictureName(), w->board[p] ? "card" : "void") << p;
        EXPECT_TRUE(v->faceDown[p]);
    }
}

TEST_F(SaveGame, HotSeatGameGoesOnWithNamesMoverAndColours) {
    Window w(game::zwirlo60Variant());
    twoPlayerTable(*w, 3, 4);
    w->Label1->setCaption("Annabel:");
    w->Label3->setCaption("Twintig tekens lang:");  // 20 characters: 15 are kept
    w->hotSeat = true;
    w->playerOneToMove = false;
    w->Save1Click();
    EXPECT_EQ(fs::file_size("zwi14repl.dat"), 0u);  // unfinished two-player: no record

    Window v(game::zwirlo60Variant());
    v->Solo1->setChecked(true);
    v->Load1Click();
    EXPECT_FALSE(v->Solo1->checked());
    EXPECT_EQ(plat::DialogScript::messages(),
              std::vector<std::string>{"Probeer eerst te verbinden & laad dan opnieuw als je "
                                       "het spel wilt verzenden!"});
    EXPECT_EQ(v->Label1->caption() + v->Label3->caption(), "Annabel:Twintig tekens ");
    EXPECT_TRUE(v->hotSeat && !v->playerOneToMove);
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);  // hot seat opens the table again
    EXPECT_EQ(v->Label3->fontColor(), plat::clLime);
    EXPECT_EQ(v->Label2->fontColor(), plat::clRed);
    EXPECT_FALSE(v->Send1->enabled() || v->Timer5->enabled());
    EXPECT_EQ(v->images[0]->pictureName() + v->images[59]->pictureName(), "voidcard");
}

TEST_F(SaveGame, NetworkedGames) {
    Window w(game::zwirlo60Variant());
    twoPlayerTable(*w, 18, 12);  // finished: the starting board is saved, with the record
    w->Save1Click();

    // Loaded while a peer is connected: sent before the players file is read.
    Window v(game::zwirlo60Variant());
    ZwiUnit1::connected = true;  // after start-up, which clears it
    v->hotSeat = true;
    v->Load1Click();
    EXPECT_FALSE(v->hotSeat);
    EXPECT_EQ(v->logLength, 4);  // the slot after the record is not part of it
    EXPECT_TRUE(v->Replay1->enabled());
    EXPECT_TRUE(v->Start1->enabled() && v->animals1->enabled() && v->Button1->enabled());
    for (int p = 0; p < v->N; ++p) EXPECT_EQ(v->images[p]->pictureName(), "card");
    const auto lines = sentLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 60u);
    EXPECT_EQ(lines[1], std::string("?\x0C\x12"));

    // Unfinished and saved with no peer: it stays blocked after the message.
    ZwiUnit1::connected = false;
    twoPlayerTable(*w, 5, 6);
    w->Save1Click();
    Window u(game::zwirlo60Variant());
    ZwiUnit1::clicksBlocked = false;
    u->Load1Click();
    EXPECT_EQ(plat::DialogScript::messages().size(), 1u);
    EXPECT_TRUE(ZwiUnit1::clicksBlocked);
    EXPECT_FALSE(u->Replay1->enabled());
    EXPECT_EQ(u->Label1->fontColor(), plat::clRed);  // not to move: player two's turn saved
}

TEST_F(SaveGame, EmptyGameFileAndLoadDuringReplay) {
    Window w(game::zwirlo60Variant());
    plat::writeFileReplacing("zwi14game.dat", "");
    plat::writeFileReplacing("zwi14play.dat", game::savefiles::encodePlayers({"X:", "Y:", 1, 1}));
    w->Label2->setCaption("7");
    w->replayRunning = true;
    w->Replay1->setCaption("Stop Terugspelen");
    w->Timer1->setEnabled(true);
    w->Load1Click();
    EXPECT_TRUE(plat::DialogScript::messages().empty());
    EXPECT_EQ(w->Label1->caption() + w->Label2->caption(), "Score:7");  // players file unread
    // The load ends the replay: the item is ready to start one of the loaded game.
    EXPECT_TRUE(w->Save1->enabled() && !w->Timer1->enabled() && !w->replayRunning);
    EXPECT_EQ(w->Replay1->caption(), "Terugspelen");
}

TEST_F(SaveGame, DamagedFilesLoadWithinTheirFields) {
    using namespace game::savefiles;
    GameFile g;
    g.board.assign(60, 5);
    g.board[0] = 61, g.board[1] = -4;
    g.score1 = 99, g.score2 = -3;
    plat::writeFileReplacing("zwi14game.dat", encodeGameFile(g));
    std::array<std::int32_t, 3000> big{};
    for (int i = 0; i < 3000; i += 2) big[i] = 100, big[i + 1] = 3;
    big[11] = 70;  // a position off the board is kept as it is
    plat::writeFileReplacing("zwi14repl.dat",
                             std::string(reinterpret_cast<const char*>(big.data()), 12000));
    std::string players = encodePlayers({"abc", "def", 0, 1});
    players[0] = static_cast<char>(255);
    plat::writeFileReplacing("zwi14play.dat", players);

    Window w(game::zwirlo60Variant());
    w->Load1Click();
    EXPECT_EQ(w->board[0] + w->board[1], 0);
    EXPECT_EQ(w->images[0]->pictureName(), "void");
    EXPECT_EQ(w->Label2->caption() + w->Label4->caption(), "300");  // 30 + 0: finished
    EXPECT_EQ(w->logLength, game::kLogSize);                        // as much as the record holds
    EXPECT_EQ(w->moveLog[11], 70);
    EXPECT_EQ(w->Label1->caption(), std::string("abc\0\0\0\0\0\0\0\0\0\0\0\0", 15));
}

// A loaded record is kept whole, whatever it holds: a position off the board is skipped
// by the replay, a code no writer stores holds it, and the next save writes the file back
// byte for byte. Stray bytes after the last whole value are left out and the load goes on
// to the players file.
TEST_F(SaveGame, LoadedRecordIsReplayedAndSavedBackWhole) {
    Window w(game::zwirlo60Variant());
    w->Solo1->click();
    w->Start1Click();
    playPairs(w, w->P);
    w->Save1Click();
    const std::string gameBytes = fileText("zwi14game.dat");
    const int a = w->moveLog[1], b = w->moveLog[3];
    ASSERT_EQ(w->moveLog[4], 300);
    std::vector<std::int32_t> record(w->moveLog.begin(), w->moveLog.begin() + 7);
    record.insert(record.end(), {100, 60, 200, -3, 400, 1, 99, 999, 100, 5, 555});
    std::string bytes;
    for (std::int32_t v : record) bytes.append(reinterpret_cast<const char*>(&v), 4);
    plat::writeFileReplacing("zwi14repl.dat", bytes);

    Window v(game::zwirlo60Variant());
    v->Load1Click();
    ASSERT_EQ(v->logLength, static_cast<int>(record.size()) - 1);
    v->Replay1Click();
    for (int k = 0; k < 3; ++k) v->Timer1->fire();
    EXPECT_EQ(v->images[a]->pictureName() + v->images[b]->pictureName(), "voidvoid");
    const replaytest::Table before = replaytest::Table::of(*v);
    v->Timer1->fire();  // 100, 60
    v->Timer1->fire();  // 200, -3
    EXPECT_TRUE(replaytest::sameBoard(before, replaytest::Table::of(*v)));
    v->Timer1->fire();  // 400, 1, 99: the place off the board is skipped
    for (int k = 0; k < 3; ++k) {
        v->Timer1->fire();
        EXPECT_EQ(v->logPos, 14) << "held at the unknown code";
        EXPECT_TRUE(v->replayRunning && v->Timer1->enabled());
    }
    v->Replay1Click();
    v->Save1Click();
    EXPECT_EQ(fileText("zwi14repl.dat"), bytes);

    plat::writeFileReplacing("zwi14game.dat", gameBytes);
    plat::writeFileReplacing("zwi14repl.dat", bytes + "\x07\x07");
    plat::writeFileReplacing("zwi14play.dat",
                             game::savefiles::encodePlayers({"Anna:", "Klikken:", 0, 1}));
    Window u(game::zwirlo60Variant());
    u->Load1Click();
    EXPECT_EQ(u->logLength, static_cast<int>(record.size()) - 1);
    EXPECT_EQ(u->Label1->caption(), "Anna:");
}

TEST_F(SaveGame, FifoOrDeviceInPlaceOfAFileReadsAsNothing) {
    Window w(game::zwirlo60Variant());
    twoPlayerTable(*w, 18, 12);
    w->Label1->setCaption("Annabel:");
    w->Save1Click();
    const std::vector<std::string> names{"zwi14game.dat", "zwi14repl.dat", "zwi14play.dat"};
    std::map<std::string, std::string> saved;
    for (const auto& n : names) saved[n] = fileText(n);

    ::alarm(30);  // a load that waits on a FIFO fails here instead of hanging
    for (bool fifo : {true, false}) {
        for (const auto& special : names) {
            for (const auto& n : names) plat::writeFileReplacing(n, saved[n]);
            // A link is not followed, not even to the very file it stands in for.
            fs::rename(special, "elsewhere.dat");
            if (fifo)
                ASSERT_EQ(::mkfifo(special.c_str(), 0600), 0);
            else
                fs::create_symlink("elsewhere.dat", special);
            Window v(game::zwirlo60Variant());
            v->Load1Click();
            // The reading ends at the special file, as at any file that cannot be read.
            const bool gameRead = special != names[0];
            EXPECT_EQ(v->Label2->caption(), gameRead ? "18" : "0") << special;
            EXPECT_EQ(plat::DialogScript::messages().size(), gameRead ? 1u : 0u) << special;
            EXPECT_EQ(v->logLength, special == names[2] ? 4 : 0) << special;
            EXPECT_EQ(v->Label1->caption(), "Score:") << special;
        }
    }
    ::alarm(0);
}

TEST_F(SaveGame, FailedSaveLeavesTheEarlierSaveWhole) {
    Window w(game::zwirlo60Variant());
    twoPlayerTable(*w, 18, 12);
    w->animals1->setChecked(false);  // the bird set's files
    w->Save1Click();
    const std::string game = fileText("zwi15game.dat"), log = fileText("zwi15repl.dat");
    ASSERT_EQ(game.size(), 264u);

    twoPlayerTable(*w, 1, 2);
    w->Save1->setEnabled(true);
    savetest::withFileSizeLimit(100, [&] {
        w->Save1->click();  // the error reaches the standard error box
    });
    EXPECT_EQ(plat::DialogScript::messages(), std::vector<std::string>{"Disk full"});
    EXPECT_EQ(fileText("zwi15game.dat"), game);
    EXPECT_EQ(fileText("zwi15repl.dat"), log);
    EXPECT_TRUE(w->Save1->enabled());  // can be tried again

    // A folder where the players file belongs: nothing is replaced.
    fs::remove("zwi15play.dat");
    fs::create_directory("zwi15play.dat");
    EXPECT_THROW(w->Save1Click(), plat::InOutError);
    EXPECT_EQ(fileText("zwi15game.dat"), game);
    for (const auto& e : fs::directory_iterator(fs::current_path()))
        EXPECT_EQ(e.path().string().find(".tmp"), std::string::npos);

    // A second move into place that fails leaves the rest of the save staged: the next
    // tidying finishes it, so the new game is there whole.
    fs::remove("zwi15play.dat");
    int renames = 0;
    plat::fileStepHook = [&](const char* step) {
        return std::string(step) == "rename" && ++renames == 2 ? EIO : 0;
    };
    EXPECT_THROW(w->Save1Click(), plat::InOutError);
    plat::fileStepHook = nullptr;
    EXPECT_NE(fileText("zwi15game.dat"), game);
    EXPECT_EQ(fileText("zwi15repl.dat"), log);
    plat::finishStagedWrites();
    EXPECT_EQ(fileText("zwi15repl.dat"), "");  // unfinished: no record
    EXPECT_EQ(fileText("zwi15play.dat").size(), 34u);
    for (const auto& e : fs::directory_iterator(fs::current_path()))
        EXPECT_EQ(e.path().string().find(".zw."), std::string::npos) << e.path();
}

TEST_F(SaveGame, KilledSaveLoadsAsTheOldOrTheNewGame) {
    const std::vector<std::string> names{"zwi14game.dat", "zwi14repl.dat", "zwi14play.dat"};
    auto files = [&] {
        std::vector<std::string> out;
        for (const auto& n : names) out.push_back(fileText(n));
        return out;
    };
    Window w(game::zwirlo60Variant());
    twoPlayerTable(*w, 15, 15);  // finished: the record is kept
    w->Label1->setCaption("Nieuw:");
    w->Save1Click();
    const auto fresh = files();
    twoPlayerTable(*w, 3, 4);  // unfinished: no record
    w->Label1->setCaption("Oud:");
    w->Save1Click();
    const auto old = files();
    twoPlayerTable(*w, 15, 15);
    w->Label1->setCaption("Nieuw:");

    // A save killed before each of its steps in turn, and once not at all.
    int steps = 0;
    for (bool done = false; !done; ++steps) {
        for (std::size_t i = 0; i < names.size(); ++i) plat::writeFileReplacing(names[i], old[i]);
        const pid_t child = ::fork();
        if (child == 0) {
            int left = steps;
            plat::fileStepHook = [&](const char*) {
                if (left-- == 0) ::_exit(0);
                return 0;
            };
            w->Save1Click();
            ::_exit(1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        done = WEXITSTATUS(status) == 1;

        Window v(game::zwirlo60Variant());
        v->Load1Click();
        const auto now = files();
        EXPECT_TRUE(now == old || now == fresh) << "killed before step " << steps;
        if (done) {
            EXPECT_EQ(now, fresh);
        }
        EXPECT_EQ(v->Label1->caption(), now == old ? "Oud:" : "Nieuw:");
        for (const auto& e : fs::directory_iterator(fs::current_path()))
            EXPECT_EQ(e.path().string().find(".zw."), std::string::npos) << steps << e.path();
    }
    EXPECT_GT(steps, 12);
}

}  // namespace

// Replaying recorded games: whole games played with the live click come back entry by
// entry as they were played; odd or damaged records never break the table.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "network/messages.h"
#include "test_replay_support.h"

using game::TForm1;
using replaytest::ModelPlayer;
using replaytest::sameBoard;
using replaytest::Table;
using replaytest::Window;

namespace {

std::vector<int> codesOf(const TForm1& f) {
    std::vector<int> out;
    for (int i = 0; i < f.logLength; i += std::max(game::entrySize(f.moveLog[i]), 1))
        out.push_back(f.moveLog[i]);
    return out;
}

int played(const std::string& sound) {
    const auto& v = plat::SoundRecorder::played();
    return static_cast<int>(std::count(v.begin(), v.end(), sound));
}

void setRecord(TForm1& f, const std::vector<std::int32_t>& ints) {
    std::copy(ints.begin(), ints.end(), f.moveLog.begin());
    f.logLength = f.logPos = static_cast<std::int32_t>(ints.size());
}

// Hot-seat names are cancelled.
void startGame(TForm1& f, bool solo, bool autoClear) {
    if (f.Solo1->checked() != solo) f.Solo1->click();
    f.AutomaticClear1->setChecked(autoClear);
    f.Start1Click();
}

int value(const plat::Label* l) { return TForm1::LabelValue(l); }

struct GameCase {
    const char* name;
    bool zwirlo3, solo, autoClear;
};
void PrintTo(const GameCase& c, std::ostream* os) { *os << c.name; }

class ReplayWholeGame : public ::testing::TestWithParam<GameCase> {};

// After each tick the table is the live table after the same entry; the scores end where
// the game ended; the replay queues, records and asks nothing, also with a peer connected.
TEST_P(ReplayWholeGame, EveryEntryComesBackAsPlayed) {
    const GameCase c = GetParam();
    Window w(c.zwirlo3 ? game::zwirlo3Variant() : game::zwirlo60Variant());
    TForm1& f = *w;
    startGame(f, c.solo, c.autoClear);
    ModelPlayer m(f);
    m.play(f.P);
    ASSERT_EQ(value(f.Label2) + (c.solo ? 0 : value(f.Label4)), f.P);
    const Table live = Table::of(f);
    const auto codes = codesOf(f);
    ASSERT_EQ(codes.size(), m.afterEntry.size());
    ASSERT_TRUE(f.Replay1->enabled());

    ZwiUnit1::connected = true;
    const std::size_t queued = ZwiUnit1::outbox.size();
    const auto record = f.moveLog;
    const int length = f.logLength;
    plat::SoundRecorder::clear();
    plat::DialogScript::clear();

    f.Replay1->click();
    EXPECT_EQ(f.Replay1->caption(), "Stop Terugspelen");
    EXPECT_TRUE(f.Timer1->enabled());
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);
    EXPECT_FALSE(f.Solo1->enabled());
    EXPECT_FALSE(f.ShowDemo1->enabled());
    EXPECT_EQ(f.Label2->caption() + f.Label4->caption(), "00");
    for (int p = 0; p < f.N; ++p) EXPECT_EQ(f.images[p]->pictureName(), "card") << p;

    plat::Color one = f.Label1->fontColor(), two = f.Label3->fontColor();
    for (std::size_t k = 0; k < codes.size(); ++k) {
        const int before = value(f.Label2) + value(f.Label4);
        f.Timer1->fire();
        const Table now = Table::of(f);
        ASSERT_TRUE(sameBoard(m.afterEntry[k], now)) << "entry " << k << ", code " << codes[k];
        EXPECT_EQ(now.label2, m.afterEntry[k].label2) << "entry " << k;
        if (!c.solo) {
            EXPECT_EQ(now.label4, m.afterEntry[k].label4) << "entry " << k;
        }
        if (f.hotSeat) {
            // The actor of a card action shows as the mover; the automatic entries keep
            // the colours; the step that ends the game resets them.
            if (codes[k] == 100) one = plat::clLime, two = plat::clRed;
            if (codes[k] == 200) one = plat::clRed, two = plat::clLime;
            if (before < f.P && value(f.Label2) + value(f.Label4) == f.P)
                one = two = plat::clWindowText;
            EXPECT_EQ(f.Label2->fontColor(), one) << "entry " << k;
            EXPECT_EQ(f.Label4->fontColor(), two) << "entry " << k;
        }
    }
    EXPECT_TRUE(f.Timer1->enabled());

    f.Timer1->fire();  // the end of the record
    EXPECT_FALSE(f.Timer1->enabled());
    EXPECT_FALSE(f.replayRunning);
    EXPECT_EQ(f.Replay1->caption(), "Terugspelen");
    for (plat::MenuItem* item : {f.Send1, f.Replay1, f.ShowDemo1, f.Solo1})
        EXPECT_TRUE(item->enabled()) << item->name();
    EXPECT_EQ(f.logPos, length);
    EXPECT_EQ(f.Label2->caption(), live.label2);
    EXPECT_EQ(f.Label4->caption(), live.label4) << "the click count ends where the game did";

    EXPECT_EQ(ZwiUnit1::outbox.size(), queued);
    EXPECT_EQ(f.logLength, length);
    EXPECT_TRUE(f.moveLog == record);
    EXPECT_EQ(played("myscore"), value(f.Label2));
    EXPECT_EQ(played("yourscore"), c.solo ? 0 : value(f.Label4));
    EXPECT_TRUE(plat::DialogScript::shown().empty());
}

INSTANTIATE_TEST_SUITE_P(Modes, ReplayWholeGame,
                         ::testing::Values(GameCase{"Solo60", false, true, true},
                                           GameCase{"Solo3", true, true, true},
                                           GameCase{"SoloClearByHand60", false, true, false},
                                           GameCase{"HotSeat60", false, false, true},
                                           GameCase{"HotSeatByHand60", false, false, false},
                                           GameCase{"HotSeatByHand3", true, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The second after a game ends its last pair's clear step is still due. A replay or a
// demonstration started then lets the step finish first, on the game's own table: the
// record keeps that entry, replays entry for entry, and a tick arriving late finds
// nothing of the new table to act on.
TEST(ReplayAfterAGame, StartedWhileTheLastClearIsDue) {
    for (const game::Variant* v : {&game::zwirlo60Variant(), &game::zwirlo3Variant()}) {
        for (bool solo : {true, false}) {
            for (bool demo : {false, true}) {
                SCOPED_TRACE(testing::Message() << v->formName << (solo ? " solo" : " hot-seat")
                                                << (demo ? ", demonstration" : ", replay"));
                plat::DialogScript::clear();
                Window w(*v);
                TForm1& f = *w;
                startGame(f, solo, true);
                std::map<int, std::vector<int>> at;
                for (int p = 0; p < f.N; ++p) at[f.startBoard[p]].push_back(p);
                std::vector<int> firsts;
                for (auto& [picture, places] : at) firsts.push_back(places.at(0));
                const int a = *std::max_element(firsts.begin(), firsts.end());
                const int b = at[f.startBoard[a]].at(1);
                ModelPlayer m(f);
                m.play(f.P - 1);  // the model's last pair is the one with the highest first card
                m.click(a);
                m.click(b);
                ASSERT_EQ(value(f.Label2) + (solo ? 0 : value(f.Label4)), f.P);
                ASSERT_TRUE(f.Timer4->enabled());
                std::vector<int> want(f.moveLog.begin(), f.moveLog.begin() + f.logLength);
                want.insert(want.end(), {300, a, b});
                const auto record = [&] {
                    return std::vector<int>(f.moveLog.begin(), f.moveLog.begin() + f.logLength);
                };
                const auto lateTick = [&] {
                    if (f.Timer4->enabled()) f.Timer4->fire();
                };

                if (demo) {
                    f.ShowDemo1Click();
                    EXPECT_EQ(record(), want);
                    for (int k = 0; k <= f.N; ++k) {
                        f.Timer2->fire();
                        lateTick();
                    }
                    // The sweep's own pairs stay on show.
                    for (int p = 0; p < f.N; ++p)
                        EXPECT_EQ(f.images[p]->pictureName().substr(0, 3), "pic") << p;
                    EXPECT_EQ(record(), want);
                    continue;
                }
                f.Replay1Click();
                ASSERT_EQ(record(), want);
                for (std::size_t k = 0; k < m.afterEntry.size(); ++k) {
                    f.Timer1->fire();
                    lateTick();
                    ASSERT_TRUE(sameBoard(m.afterEntry[k], Table::of(f))) << "entry " << k;
                }
                f.Timer1->fire();  // the clear of the last pair
                for (int p : {a, b}) EXPECT_EQ(f.images[p]->pictureName(), "void") << p;
                EXPECT_TRUE(f.Timer1->enabled());
                f.Timer1->fire();
                EXPECT_FALSE(f.replayRunning);
                EXPECT_EQ(record(), want);
            }
        }
    }
}

class ReplayTest : public ::testing::Test {
protected:
    Window w{game::zwirlo60Variant()};
    TForm1& f = *w;

    int runToEnd() {
        int ticks = 0;
        for (; f.Timer1->enabled() && ticks < 10000; ++ticks) f.Timer1->fire();
        return ticks;
    }
    // The first card, and another with a different picture.
    std::pair<int, int> pairAtZero() {
        int b = 1;
        while (f.board[b] != f.board[0]) ++b;
        return {0, b};
    }
    int otherThan(std::initializer_list<int> taken) {
        for (int p = 0;; ++p)
            if (std::none_of(taken.begin(), taken.end(),
                             [&](int t) { return f.board[p] == f.board[t]; }))
                return p;
    }
};

// Nothing to replay begins no table: a miss waiting to be covered stays up until its step
// ticks.
TEST_F(ReplayTest, EmptyRecordDisablesTheItemAndLeavesTheTable) {
    startGame(f, true, true);
    f.Replay1->setEnabled(true);
    f.Timer2->setEnabled(true);
    f.ListBox1->setVisible(true);
    const int b = otherThan({0});
    f.Image1Click(f.images[0]);
    f.Image1Click(f.images[b]);
    ASSERT_TRUE(f.Timer3->enabled());
    f.logLength = f.logPos = 0;
    const Table before = Table::of(f);

    f.Replay1->click();
    EXPECT_FALSE(f.Replay1->enabled());
    EXPECT_EQ(f.Replay1->caption(), "Terugspelen");
    EXPECT_FALSE(f.replayRunning);
    EXPECT_FALSE(f.Timer1->enabled() || f.Timer2->enabled() || f.Send1->enabled());
    EXPECT_FALSE(f.ListBox1->visible());
    EXPECT_TRUE(sameBoard(before, Table::of(f)));
    EXPECT_EQ(f.Label4->caption(), before.label4);
    EXPECT_TRUE(f.Timer3->enabled());

    // Enabled again later, the item starts a replay (of the cover, once it came).
    f.Timer3->fire();
    EXPECT_EQ(f.images[b]->pictureName(), "card");
    f.Replay1->setEnabled(true);
    f.Replay1->click();
    EXPECT_TRUE(f.replayRunning);
}

TEST_F(ReplayTest, StopKeepsTheTableAndRestartBeginsAtTheFirstEntry) {
    startGame(f, true, true);
    ModelPlayer m(f);
    m.play(3);
    f.startScoreMe = 7;
    f.startScoreOpp = 12;
    f.Replay1Click();
    EXPECT_EQ(f.Label2->caption() + "/" + f.Label4->caption(), "7/12");
    for (int k = 0; k < 4; ++k) f.Timer1->fire();
    const int cursor = f.logPos;

    f.Replay1Click();
    EXPECT_FALSE(f.replayRunning || f.Timer1->enabled());
    EXPECT_EQ(f.Replay1->caption(), "Terugspelen");
    EXPECT_TRUE(f.ShowDemo1->enabled());
    EXPECT_EQ(f.logPos, cursor);
    EXPECT_TRUE(sameBoard(m.afterEntry[3], Table::of(f)));

    f.Replay1Click();
    EXPECT_EQ(f.logPos, 0);
    EXPECT_EQ(f.Label2->caption() + "/" + f.Label4->caption(), "7/12");
    for (std::size_t k = 0; k < m.afterEntry.size(); ++k) {
        f.Timer1->fire();
        ASSERT_TRUE(sameBoard(m.afterEntry[k], Table::of(f))) << "entry " << k;
    }
    f.Timer1->fire();
    EXPECT_EQ(f.Label2->caption() + "/" + f.Label4->caption(), "10/24");  // 3 pairs, 12 clicks

    // A stopped replay, and a game begun during one, leave the next game's mode to the
    // player.
    f.Replay1Click();
    f.Timer1->fire();
    ASSERT_FALSE(f.Solo1->enabled());
    f.Replay1Click();
    EXPECT_TRUE(f.Solo1->enabled());
    f.Replay1Click();
    f.Timer1->fire();
    f.Start1Click();
    EXPECT_FALSE(f.replayRunning);
    EXPECT_EQ(f.Replay1->caption(), "Terugspelen");
    f.Solo1->click();
    EXPECT_FALSE(f.Solo1->checked()) << "Alleen is enabled";
}

// A whole solo game played with the live click, in each program, as played here and as
// loaded from its files.
void forEachWholeSoloGame(const std::function<void(TForm1&, const ModelPlayer&)>& body) {
    for (const game::Variant* v : {&game::zwirlo60Variant(), &game::zwirlo3Variant()}) {
        for (bool loaded : {false, true}) {
            SCOPED_TRACE(testing::Message() << v->formName << (loaded ? ", loaded" : ", played"));
            Window w(*v);
            TForm1& f = *w;
            startGame(f, true, true);
            ModelPlayer m(f);
            m.play(f.P);
            if (loaded) {
                f.Save1Click();
                f.Load1Click();
                ASSERT_TRUE(f.restartRecording);
            }
            body(f, m);
        }
    }
}

// A player who clicks a card during a replay takes over with the replayed game: the record
// keeps what was replayed and goes on at the cursor, with the start scores it had, so the
// next replay reaches the table the player left. Also for a game loaded from its files, whose
// record a card action would otherwise empty.
TEST(ReplayTakeOver, TheRecordGoesOnAtTheCursor) {
    forEachWholeSoloGame([](TForm1& f, const ModelPlayer& m) {
        const std::vector<int> whole(f.moveLog.begin(), f.moveLog.begin() + f.logLength);
        const int kept = 12;  // two pairs, each after a miss
        int at = 0;
        for (int k = 0; k < kept; ++k) at += game::entrySize(whole[at]);

        f.Replay1Click();
        for (int k = 0; k < kept; ++k) f.Timer1->fire();
        ASSERT_EQ(f.logPos, at);
        // The player makes the next try as it was made: a miss, covered by the step.
        ASSERT_EQ(whole[at], 100);
        f.Image1Click(f.images[whole[at + 1]]);
        EXPECT_FALSE(f.replayRunning);
        f.Image1Click(f.images[whole[at + 3]]);
        f.Timer3->fire();

        EXPECT_EQ(std::vector<int>(f.moveLog.begin(), f.moveLog.begin() + f.logLength),
                  std::vector<int>(whole.begin(), whole.begin() + at + 7));
        EXPECT_EQ(f.startScoreMe, 0);
        EXPECT_EQ(f.startScoreOpp, 0);
        const Table live = Table::of(f);
        EXPECT_TRUE(sameBoard(m.afterEntry[kept + 2], live));

        f.Replay1Click();
        for (int k = 0; k < 100 && f.Timer1->enabled(); ++k) f.Timer1->fire();
        const Table again = Table::of(f);
        EXPECT_TRUE(sameBoard(live, again));
        EXPECT_EQ(again.label2 + "/" + again.label4, live.label2 + "/" + live.label4);
    });
}

// The replay counts a try's clicks at its pair or at its cover, the live click at each card.
// A player who takes over with one card of a try up has made that card's click: the count
// goes on from it, so a game finished live ends with the clicks it took, and its next replay
// ends there too. Taken over by a click during the replay (a click on the open card is
// refused and changes nothing), at the end of a record that ends with a card up, and by a
// click after the replay was stopped; with two cards up their covers still to come count.
TEST(ReplayTakeOver, TheClickCountGoesOnFromTheCardUp) {
    forEachWholeSoloGame([](TForm1& f, const ModelPlayer& m) {
        const std::string clicks = m.afterEntry.back().label4;
        const std::vector<int> whole(f.moveLog.begin(), f.moveLog.begin() + f.logLength);
        std::vector<int> starts;
        for (std::size_t i = 0; i < whole.size(); i += game::entrySize(whole[i]))
            starts.push_back(static_cast<int>(i));
        // Entry k made by the player as it was made; the count the game had after it.
        const auto act = [&](std::size_t k) {
            const int code = whole[starts[k]];
            if (code == 400)
                f.Timer3->fire();
            else if (code == 300)
                f.Timer4->fire();
            else
                f.Image1Click(f.images[whole[starts[k] + 1]]);
        };
        const auto count = [&](std::size_t k) { return m.afterEntry[k].label4; };
        const std::size_t miss = 12;  // the third try: a miss, its cover, then the pair
        ASSERT_EQ(codesOf(f).size(), m.afterEntry.size());
        ASSERT_EQ(whole[starts[miss + 2]], 400);

        f.Replay1Click();
        for (std::size_t k = 0; k <= miss; ++k) f.Timer1->fire();
        const std::string replayed = f.Label4->caption();
        f.Image1Click(f.images[whole[starts[miss] + 1]]);
        EXPECT_TRUE(f.replayRunning);
        EXPECT_EQ(f.Label4->caption(), replayed);
        act(miss + 1);
        EXPECT_FALSE(f.replayRunning);
        EXPECT_EQ(f.Label4->caption(), count(miss + 1)) << "taken over during the replay";
        act(miss + 2);
        act(miss + 3);  // the record now ends with the pair's first card up
        ASSERT_EQ(f.logLength, starts[miss + 4]);
        ASSERT_EQ(f.Label4->caption(), count(miss + 3));

        f.Replay1Click();
        for (int k = 0; k < 100 && f.Timer1->enabled(); ++k) f.Timer1->fire();
        EXPECT_FALSE(f.replayRunning);
        EXPECT_TRUE(sameBoard(m.afterEntry[miss + 3], Table::of(f)));
        EXPECT_EQ(f.Label4->caption(), count(miss + 3)) << "at the end of the record";

        f.Replay1Click();
        for (std::size_t k = 0; k <= miss + 3; ++k) f.Timer1->fire();
        f.Replay1Click();
        EXPECT_EQ(f.Label4->caption(), count(miss + 3)) << "stopped";
        for (std::size_t k = miss + 4; k < starts.size(); ++k) act(k);
        EXPECT_EQ(std::vector<int>(f.moveLog.begin(), f.moveLog.begin() + f.logLength), whole);
        EXPECT_EQ(f.Label2->caption() + "/" + f.Label4->caption(),
                  std::to_string(f.P) + "/" + clicks)
            << "the game finished live";

        f.Replay1Click();
        for (int k = 0; k < 1000 && f.Timer1->enabled(); ++k) f.Timer1->fire();
        EXPECT_EQ(f.Label2->caption() + "/" + f.Label4->caption(),
                  std::to_string(f.P) + "/" + clicks)
            << "its next replay";

        // With both cards of the miss up, the player covers them by hand: those two
        // clicks stand for the two turn-ups, as the cover step's do in the replay.
        f.Replay1Click();
        for (std::size_t k = 0; k <= miss + 1; ++k) f.Timer1->fire();
        for (std::size_t k : {miss, miss + 1}) f.Image1Click(f.images[whole[starts[k] + 1]]);
        EXPECT_EQ(f.Label4->caption(), count(miss + 1)) << "covered by hand";
        f.Replay1Click();
        for (int k = 0; k < 100 && f.Timer1->enabled(); ++k) f.Timer1->fire();
        EXPECT_EQ(f.Label4->caption(), count(miss + 1)) << "its replay";
    });
}

// The opponent's lines that arrive during a replay (it clears its last pair after this
// side started the replay) touch neither the replayed table nor the record.
TEST_F(ReplayTest, PeerClickLinesDuringAReplayAreDropped) {
    startGame(f, false, true);
    ModelPlayer m(f);
    m.play(f.P);
    const auto record = f.moveLog;
    const int length = f.logLength;
    ZwiUnit1::connected = true;
    const auto [a, b] = pairAtZero();

    f.Replay1Click();
    for (std::size_t k = 0; k < m.afterEntry.size(); ++k) {
        if (k % 4 == 0) {  // before a player's step as well as after one
            f.ClientSocket1Read(network::ClickMessage(a, 'z'));
            f.ClientSocket1Read(network::ClickMessage(b, 'z'));
        }
        f.Timer1->fire();
        ASSERT_TRUE(sameBoard(m.afterEntry[k], Table::of(f))) << "entry " << k;
    }
    f.Timer1->fire();
    EXPECT_FALSE(f.replayRunning);
    EXPECT_EQ(f.logLength, length);
    EXPECT_TRUE(f.moveLog == record);
}

TEST_F(ReplayTest, PairOfPlayerTwoTakenAwayByTheClearEntry) {
    startGame(f, false, true);
    ASSERT_TRUE(f.hotSeat);
    const auto [a, b] = pairAtZero();
    setRecord(f, {200, a, 200, b, 300, a, b});
    plat::SoundRecorder::clear();
    f.Replay1Click();
    f.Timer1->fire();
    f.Timer1->fire();
    EXPECT_EQ(f.Label4->caption(), "1");
    EXPECT_TRUE(f.foundByOpponent[a] && f.foundByOpponent[b]);
    EXPECT_EQ(played("yourscore"), 1);

    f.Timer1->fire();
    for (int p : {a, b}) {
        EXPECT_EQ(f.images[p]->pictureName(), "void");
        EXPECT_TRUE(f.faceDown[p]);
        EXPECT_FALSE(f.foundByMe[p]);
    }
    EXPECT_EQ(f.Label2->caption() + "/" + f.Label4->caption(), "0/1");
    EXPECT_EQ(f.Label4->fontColor(), plat::clLime) << "the clear keeps player 2 as the mover";
    EXPECT_EQ(f.Label2->fontColor(), plat::clRed);
}

TEST_F(ReplayTest, UnknownCodeHoldsTheReplayUntilStopped) {
    startGame(f, true, true);
    setRecord(f, {100, 3, 0, 5, 100, 4});
    f.Replay1Click();
    f.Timer1->fire();
    const Table held = Table::of(f);
    for (int k = 0; k < 3; ++k) {
        f.Timer1->fire();
        EXPECT_EQ(f.logPos, 2);
        EXPECT_TRUE(sameBoard(held, Table::of(f)));
        EXPECT_TRUE(f.Timer1->enabled());
    }
    f.Replay1Click();
    EXPECT_FALSE(f.Timer1->enabled());
    EXPECT_EQ(f.Replay1->caption(), "Terugspelen");
}

TEST_F(ReplayTest, CloseRequestClosesOnTheNextTick) {
    int closes = 0;
    f.onClose = [&] { ++closes; };
    f.closeRequested = true;
    f.Timer1->setEnabled(true);
    f.Timer1->fire();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(f.Timer1->enabled());

    // In the middle of a replay the tick closes before applying anything.
    f.closeRequested = false;
    startGame(f, true, true);
    ModelPlayer(f).play(1);
    f.Replay1Click();
    f.Timer1->fire();
    const Table before = Table::of(f);
    f.closeRequested = true;
    f.Timer1->fire();
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(f.logPos, 2);
    EXPECT_TRUE(sameBoard(before, Table::of(f)));
    f.onClose = nullptr;
}

// Only a damaged record file holds these; the table must come through untouched.
TEST_F(ReplayTest, DamagedRecordNeverLeavesTheBoard) {
    startGame(f, true, true);
    const Table dealt = Table::of(f);
    setRecord(f, {100, -1, 200, f.N, 300, 5000, -7, 400, f.N, -2147483647 - 1});
    f.Replay1Click();
    EXPECT_EQ(runToEnd(), 5);
    EXPECT_TRUE(sameBoard(dealt, Table::of(f)));
    EXPECT_EQ(f.Label2->caption(), "0");
    EXPECT_EQ(f.logPos, f.logLength);

    // An entry cut short by the recorded length ends the replay rather than reading what
    // an earlier game left behind it.
    setRecord(f, {100, 2, 300, 2});
    f.moveLog[4] = 0;
    f.Replay1Click();
    EXPECT_EQ(runToEnd(), 2);
    EXPECT_EQ(f.images[2]->pictureName(), "pic" + std::to_string(f.board[2]));
    EXPECT_EQ(f.logPos, 4);

    // A length beyond the capacity: reading stops at the last whole entry inside it.
    std::fill(f.moveLog.begin(), f.moveLog.end(), 100);
    f.moveLog[game::kLogSize - 2] = 300;
    f.logLength = game::kLogSize + 40;
    f.Replay1Click();
    f.logPos = game::kLogSize - 2;
    f.Timer1->fire();
    EXPECT_FALSE(f.replayRunning);
    EXPECT_EQ(f.logPos, game::kLogSize);
}

// A tick, and a new game, run inside the message pump of a replay step.
TEST_F(ReplayTest, StepsPumpingMessagesKeepTheCursorSound) {
    startGame(f, true, true);
    ModelPlayer m(f);
    m.play(2);
    ASSERT_EQ(codesOf(f)[2], 400);

    int runs = 0;
    std::function<void()> inside;
    plat::Timer probe("probe");
    probe.onTimer = [&] {
        probe.setEnabled(false);
        ++runs;
        inside();
    };
    // Due before the tick starts, so the step's pump delivers it.
    auto arm = [&](std::function<void()> fn) {
        inside = std::move(fn);
        replaytest::armDue(probe);
    };

    f.Replay1Click();
    arm([&] { f.Timer1->fire(); });
    f.Timer1->fire();
    ASSERT_EQ(runs, 1) << "the probe must run inside the step's message pump";
    EXPECT_EQ(f.logPos, 2) << "the nested tick applied nothing";
    EXPECT_TRUE(sameBoard(m.afterEntry[0], Table::of(f)));

    // A click inside the first half of a miss entry, on the card still up there, takes over
    // on the table the whole entry leaves, the table the record describes: the next replay
    // reaches it.
    f.Timer1->fire();
    const int a = f.moveLog[1], c = f.moveLog[3];
    arm([&] { f.Image1Click(f.images[c]); });
    f.Timer1->fire();
    ASSERT_EQ(runs, 2);
    EXPECT_FALSE(f.replayRunning);
    EXPECT_EQ(std::vector<int>(f.moveLog.begin(), f.moveLog.begin() + f.logLength),
              (std::vector<int>{100, a, 100, c, 400, a, c, 100, c}));
    const Table live = Table::of(f);
    f.Replay1Click();
    for (int k = 0; k < 4; ++k) f.Timer1->fire();
    EXPECT_TRUE(sameBoard(live, Table::of(f)));

    // A new game inside the first half of a miss entry: the second half stays off the
    // new board and the new game's record starts clean.
    f.Replay1Click();
    f.Replay1Click();
    f.Timer1->fire();
    f.Timer1->fire();
    arm([&] { f.Start1Click(); });
    f.Timer1->fire();
    ASSERT_EQ(runs, 3);
    EXPECT_EQ(f.logPos, 0);
    EXPECT_EQ(f.logLength, 0);
    EXPECT_FALSE(f.replayRunning || f.Timer1->enabled());
    for (int p = 0; p < f.N; ++p) EXPECT_EQ(f.images[p]->pictureName(), "card") << p;
}

// The two replay steps where they differ: covering the only open card, the second card
// of a miss, a third turn-up, taking away the other player's found card.
TEST_F(ReplayTest, StepsOfTheTwoPlayers) {
    startGame(f, false, true);
    const int a = 0, c = otherThan({0});

    f.Demo2(a);
    EXPECT_EQ(f.cardsUp, 1);
    EXPECT_EQ(f.oppLastPicture, f.board[a]);
    EXPECT_EQ(f.oppLastPos, a);
    f.Demo2(a);
    EXPECT_TRUE(f.faceDown[a]) << "player 2 covers the only open card";
    EXPECT_EQ(f.oppTurnedBack, 1);
    f.cardsUp = f.oppTurnedBack = 0;

    f.Demo(a);
    f.Demo(a);
    EXPECT_FALSE(f.faceDown[a]) << "player 1 does not";
    f.Demo(c);
    EXPECT_TRUE(ZwiUnit1::twoCardsUp);
    EXPECT_EQ(f.cardsUp, 2);
    const int d = otherThan({a, c});
    f.Demo(d);
    EXPECT_TRUE(f.faceDown[d]) << "no third card for player 1";
    ZwiUnit1::twoCardsUp = false;
    f.Demo2(d);
    EXPECT_FALSE(f.faceDown[d]) << "a third turn-up of player 2 is allowed";
    EXPECT_FALSE(ZwiUnit1::twoCardsUp);
    EXPECT_EQ(f.cardsUp, 2);

    f.foundByMe[c] = true;
    f.Demo2(c);
    EXPECT_EQ(f.images[c]->pictureName(), "void");
    EXPECT_FALSE(f.foundByMe[c]);
    EXPECT_TRUE(f.faceDown[c]);
}

// The places a replay empties keep no found mark of either player. A hot-seat replay
// stopped part-way and played on (clearing switched on for one pair of player 2, then off)
// replays as it was played; after a replayed game, solo clicks on the places of player 2's
// pairs are recorded as those on player 1's.
TEST_F(ReplayTest, EmptiedPlacesKeepNoFoundMarks) {
    startGame(f, false, true);
    const auto [a, b] = pairAtZero();
    const int c = otherThan({a}), d = otherThan({a, c}), e = otherThan({a, c, d});
    int e2 = e + 1;
    while (f.board[e2] != f.board[e]) ++e2;
    ModelPlayer m(f);
    m.click(a);
    f.Replay1Click();
    f.Timer1->fire();
    f.Replay1Click();
    ASSERT_TRUE(f.AutomaticClear1->enabled());
    f.AutomaticClear1->setChecked(false);
    for (int p : {c, a, c}) m.click(p);  // player 1 misses and covers
    ASSERT_FALSE(f.playerOneToMove);
    f.AutomaticClear1->setChecked(true);
    m.click(a);
    m.click(b);
    m.fire(f.Timer4);  // player 2's pair, taken by the clear step
    f.AutomaticClear1->setChecked(false);
    for (int p : {c, d, c, d}) m.click(p);  // player 2 misses and covers
    ASSERT_TRUE(f.playerOneToMove);
    m.click(e);
    m.click(e2);
    ASSERT_EQ(f.Label2->caption() + "/" + f.Label4->caption(), "1/1");

    f.Replay1Click();
    for (std::size_t k = 0; k < m.afterEntry.size(); ++k) {
        f.Timer1->fire();
        const Table now = Table::of(f);
        ASSERT_TRUE(sameBoard(m.afterEntry[k], now)) << "entry " << k;
        EXPECT_EQ(now.label2 + "/" + now.label4,
                  m.afterEntry[k].label2 + "/" + m.afterEntry[k].label4)
            << "entry " << k;
    }

    startGame(f, false, true);
    std::map<int, int> firstOf;
    for (int p = f.N - 1; p >= 0; --p) firstOf[f.board[p]] = p;
    std::vector<int> firsts;
    for (auto [picture, p] : firstOf) firsts.push_back(p);
    std::sort(firsts.begin(), firsts.end());
    ModelPlayer(f).play(f.P);  // the first pair is player 2's, the second player 1's
    f.Replay1Click();
    runToEnd();
    f.Solo1->click();
    const int length = f.logLength;
    f.Save1->setEnabled(false);
    f.Image1Click(f.images[firsts[0]]);
    EXPECT_TRUE(f.Save1->enabled());
    f.Image1Click(f.images[firsts[1]]);
    const int code = f.playerOneToMove ? 100 : 200;
    EXPECT_EQ(std::vector<int>(f.moveLog.begin() + length, f.moveLog.begin() + f.logLength),
              (std::vector<int>{code, firsts[0], code, firsts[1]}));
}

// A miss covered by hand ends the turn with the last card that still showed (a covered
// card, or the last found card taken away); outside solo play that blocks the board.
TEST_F(ReplayTest, CoveringAndClearingEndTheTurn) {
    for (bool playerTwo : {true, false}) {
        auto step = [&](int p) { playerTwo ? f.Demo2(p) : f.Demo(p); };
        startGame(f, false, false);
        const auto [a, b] = pairAtZero();
        const int c = otherThan({a}), d = otherThan({a, c});
        for (int p : {a, b, c, d, c, d}) step(p);
        step(a);
        EXPECT_FALSE(ZwiUnit1::clicksBlocked) << "a found card still shows";
        step(b);
        EXPECT_TRUE(ZwiUnit1::clicksBlocked);
        EXPECT_FALSE(ZwiUnit1::clickBusy);
        EXPECT_EQ(f.cardsUp + f.myTurnedBack + f.oppTurnedBack, 0);

        ZwiUnit1::clicksBlocked = false;
        const int e = otherThan({a, c, d});
        for (int p : {c, e, c}) step(p);
        EXPECT_FALSE(ZwiUnit1::clicksBlocked) << "one card still shows";
        step(e);
        EXPECT_TRUE(ZwiUnit1::clicksBlocked);
    }

    // Solo: the board stays open, and found cards still up do not hold the turn.
    startGame(f, true, false);
    const auto [a, b] = pairAtZero();
    const int c = otherThan({a}), d = otherThan({a, c});
    for (int p : {a, b, c, d, c, d}) f.Demo(p);
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);
    EXPECT_EQ(f.cardsUp + f.myTurnedBack, 0);
}

}  // namespace

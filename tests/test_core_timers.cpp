// The cover and clear ticks under re-entry and failure, the drawing lock, the solo clock
// and the interval dialog.
#include <gtest/gtest.h>

#include <stdexcept>

#include "game/savefiles.h"
#include "game/timerstep.h"
#include "game/zwiunit1.h"
#include "network/messages.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/probe.h"
#include "test_replay_support.h"

using game::TForm1;

namespace {
game::FormOptions quiet() { return game::FormOptions{false, 0, false}; }
}  // namespace

// A tick arriving while the cover or the clear step pumps messages does nothing.
TEST(Timers, NestedTickOfEitherStepDoesNothing) {
    for (bool clear : {false, true}) {
        SCOPED_TRACE(clear ? "clear" : "cover");
        TForm1 f(game::zwirlo60Variant(), quiet());
        f.hotSeat = true;
        f.playerOneToMove = true;
        f.prevPos = 3;
        f.lastClickedPos = 4;
        f.faceDown[3] = f.faceDown[4] = false;
        for (int p : {3, 4, 7, 8}) f.foundByMe[p] = clear;  // two pairs: a second run takes 7, 8
        plat::Timer* timer = clear ? f.Timer4 : f.Timer3;
        const auto step = [&] { clear ? f.Timer4Timer() : f.Timer3Timer(); };
        int ticks = 0;
        timer->onTimer = [&] {
            ++ticks;
            step();
        };
        replaytest::armDue(*timer);
        step();
        ASSERT_EQ(ticks, 1) << "the tick must arrive inside the step's message pump";
        EXPECT_EQ(f.playerOneToMove, clear);  // the cover passed the turn once, not back again
        EXPECT_EQ(f.logLength, 3);
        EXPECT_TRUE(f.faceDown[3] && f.faceDown[4]);
        EXPECT_EQ(f.foundByMe[7], clear);
        EXPECT_FALSE(timer->enabled());
        EXPECT_FALSE(ZwiUnit1::timer3Busy || ZwiUnit1::timer4Busy);
    }
}

// A replay begun inside the clear step's own message pump: the step stops there, so the
// rest of its pair, its entry and its unblocking stay off the replay.
TEST(Timers, AStepStopsWhenATableBeginsInsideIt) {
    replaytest::Window w(game::zwirlo60Variant());
    TForm1& f = *w;
    f.startBoard = f.board = {};
    for (int p = 0; p < f.N; ++p) f.startBoard[p] = f.board[p] = p / 2 + 1;
    f.moveLog[0] = 100, f.moveLog[1] = 6;
    f.logLength = f.logPos = 2;
    f.Replay1->setEnabled(true);
    f.board[2] = f.board[3] = 0;
    f.foundByMe[2] = f.foundByMe[3] = true;
    ZwiUnit1::clicksBlocked = true;
    plat::Timer probe("probe");
    probe.onTimer = [&] {
        probe.setEnabled(false);
        f.Replay1Click();
        ZwiUnit1::clicksBlocked = true;  // as a step of the replay may leave it
    };
    replaytest::armDue(probe);
    f.Timer4->setEnabled(true);
    f.Timer4Timer();
    ASSERT_TRUE(f.replayRunning) << "the replay must begin inside the step's pump";
    EXPECT_EQ(f.images[3]->pictureName(), "card");
    EXPECT_EQ(f.logLength, 2);
    EXPECT_EQ(f.moveLog[2], 0);
    EXPECT_TRUE(ZwiUnit1::clicksBlocked);
}

// A demonstration begun inside the cover step's message pump, after the step drew its first
// card, its second, or recorded its entry: nothing more of the step (a drawing, its entry,
// the unblocking) reaches the sweep, which goes on with the board closed.
TEST(Timers, ACoverStepStopsWhenADemonstrationBeginsInsideIt) {
    enum Stage { FirstDrawn, SecondDrawn, Recorded };
    for (Stage stage : {FirstDrawn, SecondDrawn, Recorded}) {
        SCOPED_TRACE(testing::Message() << "stage " << stage);
        replaytest::Window w(game::zwirlo60Variant());
        TForm1& f = *w;
        f.Timer2->setInterval(1 << 30);  // the sweep moves only when fired
        f.Solo1->setChecked(true);
        f.Start1Click();
        const int a = 5;
        int b = 6;
        while (f.board[b] == f.board[a]) ++b;
        f.Image1Click(f.images[a]);
        f.Image1Click(f.images[b]);
        ASSERT_TRUE(f.Timer3->enabled());
        const auto record = [&] {
            return std::vector<int>(f.moveLog.begin(), f.moveLog.begin() + f.logLength);
        };
        std::vector<int> want = record();
        if (stage == Recorded) want.insert(want.end(), {400, a, b});

        bool begun = false;
        plat::Timer probe("probe");
        probe.onTimer = [&] {
            // Each of the step's pumps delivers one tick: wait for the stage's.
            const bool reached =
                stage == Recorded ? f.logLength > 4
                                  : f.images[stage == FirstDrawn ? a : b]->pictureName() == "card";
            if (!reached) {
                plat::probe::timerFallsDue(probe);
                return;
            }
            probe.setEnabled(false);
            f.ShowDemo1Click();
            f.Timer2->fire();  // the first visit turns card 0 up
            begun = true;
        };
        replaytest::armDue(probe);
        f.Timer3Timer();

        ASSERT_TRUE(begun) << "the demonstration must begin inside the step";
        EXPECT_TRUE(ZwiUnit1::clicksBlocked);
        EXPECT_TRUE(f.Timer2->enabled());
        EXPECT_FALSE(f.Timer3->enabled() || ZwiUnit1::timer3Busy);
        EXPECT_EQ(record(), want);
        EXPECT_EQ(f.images[0]->pictureName(), "pic" + std::to_string(f.board[0]));
        EXPECT_FALSE(f.faceDown[0]);
    }
}

// "Zend" without a peer sends nothing and begins no table: a cover still due comes at its
// time, on the cards it was started for.
TEST(Timers, ZendWithoutAPeerLeavesAPendingCoverToItsTime) {
    plat::DialogScript::clear();
    replaytest::Window w(game::zwirlo3Variant());
    TForm1& f = *w;
    f.Solo1->setChecked(true);
    f.Start1Click();
    int b = 1;
    while (f.board[b] == f.board[0]) ++b;
    f.Image1Click(f.images[0]);
    f.Image1Click(f.images[b]);
    f.Timer2->setEnabled(true);
    f.Send1Click();
    EXPECT_EQ(plat::DialogScript::messages(), std::vector<std::string>{"U bent niet verbonden!"});
    EXPECT_FALSE(f.Timer2->enabled());
    for (int p : {0, b}) {
        EXPECT_FALSE(f.faceDown[p]) << p;
        EXPECT_EQ(f.images[p]->pictureName(), "pic" + std::to_string(f.board[p])) << p;
    }
    EXPECT_TRUE(f.Timer3->enabled());
    EXPECT_TRUE(ZwiUnit1::clicksBlocked);

    f.Timer3->fire();
    for (int p : {0, b}) EXPECT_EQ(f.images[p]->pictureName(), "card") << p;
    EXPECT_EQ(std::vector<int>(f.moveLog.begin(), f.moveLog.begin() + f.logLength),
              (std::vector<int>{100, 0, 100, b, 400, 0, b}));
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);
}

TEST(Timers, ClosingStepsRunWhenAStepFails) {
    TForm1 f(game::zwirlo3Variant(), quiet());
    bool busy = true;
    ZwiUnit1::clicksBlocked = true;
    f.Timer4->setEnabled(true);
    EXPECT_THROW(game::runTick(*f.Timer4, busy, ZwiUnit1::clicksBlocked,
                               []() -> bool { throw std::runtime_error("disk full"); }),
                 std::runtime_error);
    EXPECT_FALSE(busy);
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);
    EXPECT_FALSE(f.Timer4->enabled());
}

// A place still held by a drawing further up the same call stack cannot be waited for.
TEST(Timers, DrawingAHeldPlaceNeitherHangsNorReleasesTheHolder) {
    TForm1 f(game::zwirlo3Variant(), quiet());
    f.images[5]->lockCanvas();
    f.DrawPlaceLocked(5, plat::Bitmap::load(f.pictureModule(), "void"));
    EXPECT_EQ(f.images[5]->pictureName(), "void");
    EXPECT_EQ(f.images[5]->canvasLocks(), 1);

    const replaytest::Table before = replaytest::Table::of(f);
    for (int p : {48, -1}) f.DrawPlaceLocked(p, plat::Bitmap::load(f.pictureModule(), "card"));
    EXPECT_TRUE(replaytest::sameBoard(before, replaytest::Table::of(f)))
        << "off the board: nothing";
    EXPECT_EQ(f.images[5]->canvasLocks(), 1);
}

// With fewer than two marks the step clears what is marked on the board and leaves the
// clicks as they are: a blocked table stays blocked.
TEST(Timers, ClearStepWithFewerThanTwoMarks) {
    TForm1 f(game::zwirlo3Variant(), quiet());
    ZwiUnit1::clicksBlocked = true;
    f.Timer4->setEnabled(true);
    f.Timer4Timer();  // nothing marked: nothing cleared or recorded
    EXPECT_EQ(f.logLength, 0);
    EXPECT_TRUE(ZwiUnit1::clicksBlocked);
    EXPECT_FALSE(f.Timer4->enabled());

    f.foundByMe[47] = true;  // the last place, its partner already taken by a click
    f.foundByMe[48] = true;  // past the 48 places: never searched
    f.Timer4Timer();
    EXPECT_TRUE(ZwiUnit1::clicksBlocked);
    EXPECT_TRUE(f.foundByMe[48]);
    f.foundByMe[48] = false;
    EXPECT_FALSE(f.foundByMe[47]);
    EXPECT_TRUE(f.faceDown[47]);
    EXPECT_EQ(f.images[47]->pictureName(), "void");
    EXPECT_EQ(std::vector<int>(f.moveLog.begin(), f.moveLog.begin() + 3),
              (std::vector<int>{300, 47, 47}));

    for (int p : {2, 9, 30, 41}) f.foundByMe[p] = true;  // two pairs: the lowest two go
    f.Timer4Timer();
    EXPECT_EQ(f.moveLog[4], 2);
    EXPECT_EQ(f.moveLog[5], 9);
    EXPECT_TRUE(f.foundByMe[30] && f.foundByMe[41]);
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);
}

// A game that begins (a new game in each mode, a load, a board from the peer, a game sent
// to it) first finishes the cover and clear steps that a solo game before it left pending:
// nothing of them reaches the new table, its record, its mover, its colours or its
// blocking.
TEST(Timers, AGameThatBeginsFinishesTheStepsLeftPending) {
    enum Begin { SoloStart, HotSeatStart, NetworkedStart, Load, BoardReceived, GameSent };
    for (const game::Variant* v : {&game::zwirlo60Variant(), &game::zwirlo3Variant()}) {
        for (Begin begin :
             {SoloStart, HotSeatStart, NetworkedStart, Load, BoardReceived, GameSent}) {
            for (bool pair : {false, true}) {
                SCOPED_TRACE(testing::Message() << v->formName << ", begin " << begin
                                                << (pair ? ", clear" : ", cover"));
                plat::DialogScript::clear();
                replaytest::Window w(*v);
                TForm1& f = *w;
                // A networked game saved unfinished, with no peer to send it to, its first
                // pair taken.
                game::savefiles::GameFile saved;
                for (int p = 0; p < f.N; ++p) saved.board.push_back(p < 2 ? 0 : p / 2 + 1);
                saved.score1 = 1;
                ASSERT_EQ(
                    plat::writeFileReplacing(game::savefiles::gameFileName(f.cardSet().fileNumber),
                                             game::savefiles::encodeGameFile(saved)),
                    0);

                f.Solo1->setChecked(true);
                f.AutomaticClear1->setChecked(true);
                f.Start1Click();
                int second = 1;
                while ((f.board[second] == f.board[0]) != pair) ++second;
                f.Image1Click(f.images[0]);
                f.Image1Click(f.images[second]);
                ASSERT_TRUE((pair ? f.Timer4 : f.Timer3)->enabled());

                f.Solo1->setChecked(begin == SoloStart);
                ZwiUnit1::connected = begin == NetworkedStart || begin == GameSent;
                for (const char* name : {"Anna", "Bert"}) plat::DialogScript::answer(true, name);
                switch (begin) {
                case Load: f.Load1Click(); break;
                case BoardReceived:
                    f.ClientSocket1Read(network::BoardMessage(saved.board.data(), f.N));
                    break;
                case GameSent: f.Send1Click(); break;
                default: f.Start1Click();
                }
                // Within the delay the new game's first card is turned up (a loaded game
                // waiting for a peer takes no click); then whatever is still due ticks.
                std::vector<int> record(f.moveLog.begin(), f.moveLog.begin() + f.logLength);
                const plat::Color one = f.Label1->fontColor(), two = f.Label3->fontColor();
                if (begin != Load) {
                    f.Image1Click(f.images[5]);
                    record.insert(record.end(), {100, 5});
                }
                for (plat::Timer* t : {f.Timer3, f.Timer4})
                    if (t->enabled()) t->fire();

                for (int p = 0; p < f.N; ++p) {
                    if (f.board[p] == 0) {
                        EXPECT_EQ(f.images[p]->pictureName(), "void") << p;
                    }
                }
                EXPECT_EQ(std::vector<int>(f.moveLog.begin(), f.moveLog.begin() + f.logLength),
                          record);
                EXPECT_TRUE(f.playerOneToMove);
                if (begin == Load) {
                    EXPECT_EQ(plat::DialogScript::messages().size(), 1u);
                    EXPECT_TRUE(ZwiUnit1::clicksBlocked) << "the loaded game waits for a peer";
                    continue;
                }
                EXPECT_FALSE(f.faceDown[5]);
                EXPECT_EQ(f.Label1->fontColor(), one);
                EXPECT_EQ(f.Label3->fontColor(), two);
                if (begin == HotSeatStart) {
                    EXPECT_EQ(one, plat::clLime);
                    EXPECT_EQ(two, plat::clRed);
                }
            }
        }
    }
}

TEST(Timers, SoloClockCountsThenStops) {
    TForm1 f(game::zwirlo60Variant(), quiet());
    f.Label5->setCaption("41");
    f.Label2->setCaption("29");
    f.Timer5->setEnabled(true);
    f.Timer5->fire();
    EXPECT_TRUE(f.Timer5->enabled());
    f.Label2->setCaption("30");
    f.Timer5->fire();
    EXPECT_EQ(f.Label5->caption(), "43");
    EXPECT_FALSE(f.Timer5->enabled());
}

TEST(Timers, IntervalDialog) {
    plat::DialogScript::clear();
    TForm1 f(game::zwirlo60Variant(), quiet());
    f.delayInterval = 1000;
    for (const char* a : {"0", "-5", "250"}) plat::DialogScript::answer(true, a);
    f.changeinterval1->click();
    EXPECT_EQ(f.delayInterval, 250);
    EXPECT_EQ(f.Timer1->interval(), 250);
    EXPECT_EQ(f.Timer3->interval(), 250);
    EXPECT_EQ(f.Timer4->interval(), 1000);
    EXPECT_EQ(f.Timer5->interval(), 1000);
    std::vector<std::string> initial;
    for (const auto& d : plat::DialogScript::shown()) {
        if (d.kind != plat::DialogRecord::Input) continue;
        EXPECT_EQ(d.caption, "Interval Veranderen");
        EXPECT_EQ(d.prompt, "Nieuw interval ?");
        initial.push_back(d.initial);
    }
    EXPECT_EQ(initial, (std::vector<std::string>{"1000", "0", "-5"}));

    plat::DialogScript::clear();
    plat::DialogScript::answer(false, "7");  // Cancel
    plat::DialogScript::answer(true, "abc");
    plat::DialogScript::answer(true, "99999999999");
    for (int i = 0; i < 3; ++i) f.changeinterval1->click();
    EXPECT_EQ(f.delayInterval, 250);
    EXPECT_EQ(plat::DialogScript::messages(),
              (std::vector<std::string>{"'abc' is not a valid integer value",
                                        "'99999999999' is not a valid integer value"}));
}

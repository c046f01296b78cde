// The deal and its generator, a new game in each mode, the name dialogs, the solo switch,
// and the limits of the move record.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "game/deal.h"
#include "game/zwiunit1.h"
#include "network/messages.h"
#include "platform/dialogs.h"

using game::TForm1;

namespace {

game::FormOptions quiet() { return game::FormOptions{false, 0, false}; }

// Every picture of the deal on exactly two places, all face down, the start board the same.
void expectDealt(const TForm1& f) {
    std::vector<int> copies(static_cast<std::size_t>(f.N) + 1);
    for (int p = 0; p < f.N; ++p) {
        ASSERT_GE(f.board[p], 1);
        ASSERT_LE(f.board[p], f.N);
        ++copies[static_cast<std::size_t>(f.board[p])];
        ASSERT_TRUE(f.faceDown[p]);
        ASSERT_EQ(f.startBoard[p], f.board[p]);
    }
    EXPECT_EQ(std::count(copies.begin(), copies.end(), 2), f.P);
    EXPECT_EQ(std::count(copies.begin(), copies.end(), 0), f.N - f.P + 1);
}

}  // namespace

TEST(Deal, GeneratorFromFedCounters) {
    struct Row {
        std::uint32_t counter;
        std::int32_t n, value;
    } rows[] = {
        {0, 60, 0}, {1, 60, 1}, {0xFFFFFFFFu, 60, 58}, {123456789, 48, 26}, {0x80000000u, 60, 30},
        {31, 2, 1}};
    for (const Row& r : rows)
        EXPECT_EQ(game::drawFromCounter(r.counter, r.n), r.value) << r.counter;
}

// Thousands of deals with the real counter, in both programs: always a proper board, no
// picture or place favoured beyond chance, and the two copies of each picture as far apart
// as two places taken at random. Counter readings a steady time apart, fed straight to the
// generator, tie the second copy to the first.
TEST(Deal, ManyDealsAreProperAndRoughlyUniform) {
    for (const game::Variant* v : {&game::zwirlo60Variant(), &game::zwirlo3Variant()}) {
        SCOPED_TRACE(v->formName);
        TForm1 f(*v, quiet());
        const int deals = 20000;
        std::vector<int> chosen(static_cast<std::size_t>(f.N) + 1),
            low(static_cast<std::size_t>(f.N));
        std::vector<double> gaps(static_cast<std::size_t>(f.N));  // by distance in places
        for (int d = 0; d < deals; ++d) {
            f.faceDown.fill(false);
            f.Deal(false);
            expectDealt(f);
            if (HasFatalFailure()) return;
            for (int k = 1; k <= f.P; ++k) ++chosen[static_cast<std::size_t>(f.dealChosen[k])];
            std::vector<int> first(static_cast<std::size_t>(f.N) + 1, -1);
            for (int p = 0; p < f.N; ++p) {
                low[p] += f.board[p] <= f.N / 2;
                int& at = first[static_cast<std::size_t>(f.board[p])];
                if (at < 0)
                    at = p;
                else
                    ++gaps[static_cast<std::size_t>(p - at)];
            }
        }
        // Each count is binomial with p = 1/2; 5.5 standard deviations either side.
        const double slack = 5.5 * std::sqrt(deals) / 2;
        for (int i = 1; i <= f.N; ++i) EXPECT_NEAR(chosen[i], deals / 2, slack) << "picture " << i;
        for (int p = 0; p < f.N; ++p) EXPECT_NEAR(low[p], deals / 2, slack) << "place " << p;

        // Two places taken at random lie d apart with chance 2 (N - d) / (N (N - 1)).
        double chiSquare = 0;
        const double n = f.N, pairs = static_cast<double>(deals) * f.P;
        for (int d = 1; d < f.N; ++d) {
            const double want = pairs * 2 * (n - d) / (n * (n - 1));
            chiSquare += (gaps[d] - want) * (gaps[d] - want) / want;
        }
        // N - 2 degrees of freedom; seven standard deviations above their mean.
        const double freedom = n - 2;
        EXPECT_LT(chiSquare, freedom + 7 * std::sqrt(2 * freedom));
    }
}

TEST(Deal, DemonstrationKeepsTheStartBoard) {
    TForm1 f(game::zwirlo3Variant(), quiet());
    f.startBoard.fill(7);
    f.Deal(true);
    EXPECT_TRUE(
        std::all_of(f.faceDown.begin(), f.faceDown.begin() + f.N, [](bool b) { return b; }));
    EXPECT_TRUE(
        std::all_of(f.startBoard.begin(), f.startBoard.end(), [](int x) { return x == 7; }));
}

TEST(NewGame, NamesAreAskedUntilValidOrCancelled) {
    plat::DialogScript::clear();
    TForm1 f(game::zwirlo60Variant(), quiet());
    const std::string fifteen(15, 'x'), fourteen(14, 'y');
    for (const char* a : {"A", fifteen.c_str(), "Jo"}) plat::DialogScript::answer(true, a);
    plat::DialogScript::answer(false, "");
    f.Start1Click();
    EXPECT_EQ(f.Label1->caption(), "Jo:");
    EXPECT_EQ(f.Label3->caption(), "Tegenspeler:");  // cancelled: the caption stays
    std::vector<std::string> seen;
    for (const auto& d : plat::DialogScript::shown())
        if (d.kind == plat::DialogRecord::Input) {
            EXPECT_EQ(d.caption, "Wat is je naam?");
            seen.push_back(d.prompt + "|" + d.initial);
        }
    const std::string one = "Naam speler 1 (max 14 tekens) :|";
    EXPECT_EQ(seen, (std::vector<std::string>{one, one + "A", one + fifteen,
                                              "Naam speler 2 (max 14 tekens) :|"}));

    // A cancelled first name still leads to the second dialog.
    plat::DialogScript::clear();
    plat::DialogScript::answer(false, "");
    plat::DialogScript::answer(true, fourteen);
    f.Start1Click();
    EXPECT_EQ(f.Label1->caption(), "Jo:");
    EXPECT_EQ(f.Label3->caption(), fourteen + ":");
}

TEST(NewGame, StartStateInEachMode) {
    struct Row {
        const game::Variant* v;
        bool solo, peer;
        const char* label3;
        plat::Color colour1;
    } rows[] = {
        {&game::zwirlo60Variant(), true, false, "Klikken:", plat::clWindowText},
        {&game::zwirlo60Variant(), false, true, "Tegenspeler:", plat::clWindowText},
        {&game::zwirlo60Variant(), false, false, "Anna:", plat::clLime},
        {&game::zwirlo3Variant(), true, true, "Klikken:", plat::clWindowText},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.v->formName) + (r.solo ? " solo" : "") +
                     (r.peer ? " peer" : ""));
        plat::DialogScript::clear();
        TForm1 f(*r.v, quiet());
        ZwiUnit1::connected = r.peer;
        f.Solo1->setChecked(r.solo);
        plat::DialogScript::answer(true, "Bob");
        plat::DialogScript::answer(true, "Anna");
        f.images[3]->lockCanvas();
        f.images[3]->lockCanvas();
        f.restartRecording = true;
        f.logLength = f.logPos = 9;
        f.Label2->setCaption("4");
        f.Label5->setCaption("37");  // the clock of a game before: the time top 10 reads it
        ZwiUnit1::outbox.clear(ZwiUnit1::sendPending);
        f.Start1Click();
        ZwiUnit1::connected = false;

        expectDealt(f);
        EXPECT_EQ(f.hotSeat, !r.solo && !r.peer);
        EXPECT_TRUE(f.playerOneToMove);
        EXPECT_EQ(f.Label1->caption(), f.hotSeat ? "Bob:" : "Score:");
        EXPECT_EQ(f.Label3->caption(), r.label3);
        EXPECT_EQ(f.Label2->fontColor(), r.colour1);
        EXPECT_EQ(f.Label2->caption(), "0");
        EXPECT_EQ(f.Label5->caption(), "0");
        EXPECT_EQ(f.images[3]->canvasLocks(), 0);
        EXPECT_EQ(f.images[3]->pictureName(), "card");
        EXPECT_EQ(f.logLength, 0);
        EXPECT_TRUE(f.restartRecording);
        EXPECT_EQ(f.AutomaticClear1->enabled(), r.solo);
        EXPECT_EQ(f.Timer5->enabled(), r.solo);
        EXPECT_FALSE(f.Start1->enabled());
        EXPECT_FALSE(f.Button1->enabled());
        EXPECT_FALSE(f.Replay1->enabled());
        EXPECT_TRUE(f.Send1->enabled());
        EXPECT_TRUE(f.Save1->enabled());
        EXPECT_EQ(f.Solo1->enabled(), !r.v->zwirlo3);
        if (f.animals1) {
            EXPECT_FALSE(f.animals1->enabled());
        }
        EXPECT_FALSE(ZwiUnit1::clicksBlocked);
        // The board goes out whether or not a peer listens.
        EXPECT_TRUE(ZwiUnit1::sendPending);
        EXPECT_EQ(ZwiUnit1::outbox.front(), network::BoardMessage(f.board.data(), f.N));
        EXPECT_EQ(ZwiUnit1::outbox.front().size(), static_cast<std::size_t>(f.N));
    }
}

TEST(NewGame, SoloSwitchKeepsTheOtherModesScores) {
    TForm1 f(game::zwirlo60Variant(), quiet());
    ZwiUnit1::connected = true;
    f.Start1Click();
    ZwiUnit1::connected = false;
    auto scores = [&] { return f.Label2->caption() + "/" + f.Label4->caption(); };
    f.Label2->setCaption("3");
    f.Label4->setCaption("4");
    f.Solo1->click();
    EXPECT_EQ(scores(), "0/0");
    EXPECT_EQ(f.Label3->caption(), "Klikken:");
    EXPECT_TRUE(f.Label5->visible() && f.Label7->visible() && f.Label8->visible());
    f.Label4->setCaption("9");
    f.Solo1->click();
    EXPECT_EQ(scores(), "3/4");
    EXPECT_EQ(f.Label3->caption(), "Tegenspeler:");
    EXPECT_FALSE(f.Label5->visible());
    f.Solo1->click();
    EXPECT_EQ(scores(), "0/9");
    EXPECT_FALSE(f.hotSeat);
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);
}

// The record never grows past its 2048 integers: once an entry does not fit whole,
// recording stops and the game goes on.
TEST(MoveRecord, StopsWhenFull) {
    TForm1 f(game::zwirlo60Variant(), quiet());
    f.logPos = f.logLength = 2046;
    f.LogMove(400, 1, 2);
    f.LogMove(100, 5);  // would fit, but recording has stopped
    EXPECT_EQ(f.logLength, 2046);
    EXPECT_EQ(f.moveLog[2046], 0);
    EXPECT_TRUE(f.Save1->enabled());

    f.logPos = f.logLength = 2046;
    f.LogMove(200, 5);
    f.LogMove(200, 6);
    EXPECT_EQ(f.logLength, 2048);
    EXPECT_EQ(f.moveLog[2047], 5);

    // Emptied by a new game, the record takes entries again.
    f.Start1Click();
    f.LogMove(300, 7, 41);
    EXPECT_EQ(f.logLength, 3);
}

// A card action after a replay stopped part-way continues the game from the replayed
// position: what followed in the old record is no longer part of it.
TEST(MoveRecord, WriteAfterStoppedReplayEndsTheRecordThere) {
    TForm1 f(game::zwirlo60Variant(), quiet());
    f.logPos = 4;
    f.logLength = 10;
    f.LogMove(100, 7);
    EXPECT_EQ(f.logPos, 6);
    EXPECT_EQ(f.logLength, 6);
    EXPECT_EQ(f.moveLog[5], 7);
}

TEST(MoveRecord, RestartTakesTheShownScores) {
    TForm1 f(game::zwirlo60Variant(), quiet());
    f.Solo1->setChecked(true);
    f.Start1Click();
    f.restartRecording = true;
    f.logPos = f.logLength = 20;
    f.Label2->setCaption("3");
    f.Label4->setCaption("5");
    f.Image1Click(f.images[10]);
    EXPECT_FALSE(f.restartRecording);
    EXPECT_EQ(f.logLength, 2);
    EXPECT_EQ(f.moveLog[1], 10);
    EXPECT_EQ(f.startScoreMe, 3);
    EXPECT_EQ(f.startScoreOpp, 5);
}

// The demonstration sweep: its snake order, what a sweep does to the table and what it
// leaves alone, when the board is open to clicks, and visits on changed tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "game/sweep.h"
#include "test_replay_support.h"

using game::TForm1;
using replaytest::ModelPlayer;
using replaytest::sameBoard;
using replaytest::Table;
using replaytest::Window;

namespace {

// Rows of `cols` positions starting at each of `starts`, alternately forwards and backwards.
std::vector<int> snake(std::initializer_list<int> starts, int cols) {
    std::vector<int> v;
    bool forward = true;
    for (int s : starts) {
        for (int k = 0; k < cols; ++k) v.push_back(forward ? s + k : s + cols - 1 - k);
        forward = !forward;
    }
    return v;
}

TEST(SweepOrder, SnakesThroughTheRowsOfBothBoards) {
    EXPECT_EQ(game::sweepOrder(60, 10), snake({0, 10, 20, 30, 40, 50}, 10));
    EXPECT_EQ(game::sweepOrder(48, 8), snake({0, 8, 16, 24, 32, 40}, 8));
    EXPECT_EQ(game::sweepOrder(60, 10)[10], 19);
    EXPECT_EQ(game::sweepOrder(48, 8).back(), 40);
}

// Puts the partner of the card at `first` on `second`, so the sweep meets a pair there.
void makeNeighbours(TForm1& f, int first, int second) {
    for (int p = 0; p < f.N; ++p)
        if (p != first && f.board[p] == f.board[first])
            return std::swap(f.board[p], f.board[second]);
}

class DemoSweep : public ::testing::TestWithParam<bool> {
protected:
    Window w{GetParam() ? game::zwirlo3Variant() : game::zwirlo60Variant()};
    TForm1& f = *w;
    std::vector<int> order = game::sweepOrder(f.N, f.variant.cols);

    // Every visit comes from fire(): on a loaded machine a real 108 ms tick would slip in
    // between two of them and visit one card more than the test counts.
    void SetUp() override { f.Timer2->setInterval(3600 * 1000); }

    void startSolo() {
        f.Solo1->click();
        f.Start1Click();
    }
    int sweepAll() {
        int ticks = 0;
        for (; f.Timer2->enabled() && ticks < 1000; ++ticks) f.Timer2->fire();
        return ticks;
    }
};

// Over a game in progress: every card comes up in snake order, only neighbours in that
// order pair up, and the game's record, scores and peer are left alone.
TEST_P(DemoSweep, TurnsTheBoardOverAndTouchesNothingElse) {
    startSolo();
    ModelPlayer(f).play(2);
    const auto record = f.moveLog;
    const auto startBoard = f.startBoard;
    const std::vector<int> kept = {f.logLength, f.logPos, f.startScoreMe, f.startScoreOpp};
    ZwiUnit1::connected = true;
    const std::size_t queued = ZwiUnit1::outbox.size();
    plat::SoundRecorder::clear();
    plat::DialogScript::clear();

    f.ShowDemo1Click();
    EXPECT_TRUE(ZwiUnit1::clicksBlocked);
    EXPECT_FALSE(ZwiUnit1::clickBusy);
    EXPECT_EQ(f.Label2->caption() + f.Label4->caption(), "00");
    std::multiset<int> pictures;
    std::vector<std::string> hints;
    for (int p = 0; p < f.N; ++p) {
        EXPECT_TRUE(f.faceDown[p]);
        EXPECT_EQ(f.images[p]->pictureName(), "card");
        EXPECT_EQ(f.images[p]->hint(), f.FHint(f.board[p])) << "a face-down card names itself";
        EXPECT_TRUE(f.images[p]->showHint());
        pictures.insert(f.board[p]);
        hints.push_back(f.images[p]->hint());
    }
    for (int pic : pictures) EXPECT_EQ(pictures.count(pic), 2u) << "a fresh deal of pairs";
    EXPECT_TRUE(f.startBoard == startBoard) << "the demonstration deal is not a game's start";

    // One pair across the turn of the first row, one inside the second row.
    const int cols = f.variant.cols;
    makeNeighbours(f, order[cols - 1], order[cols]);
    makeNeighbours(f, order[cols + 3], order[cols + 4]);
    const auto dealt = f.board;

    for (int n = 0; n < f.N; ++n) {
        f.Timer2->fire();
        for (int k = 0; k < f.N; ++k) {
            const int p = order[k];
            const std::string want = k <= n ? "pic" + std::to_string(dealt[p]) : "card";
            ASSERT_EQ(f.images[p]->pictureName(), want) << "visit " << n << ", position " << p;
        }
        EXPECT_EQ(f.Label2->caption() + f.Label4->caption(), "00");
        ASSERT_TRUE(f.Timer2->enabled());
    }
    f.Timer2->fire();
    EXPECT_FALSE(f.Timer2->enabled());

    // Found pairs are exactly the neighbours in visiting order.
    std::vector<bool> found(f.N, false);
    int last = 0;
    for (int k = 0; k < f.N; ++k) {
        const int p = order[k];
        if (dealt[p] == last) found[p] = found[order[k - 1]] = true;
        last = dealt[p] == last ? 0 : dealt[p];
    }
    EXPECT_GE(std::count(found.begin(), found.end(), true), 4);
    for (int p = 0; p < f.N; ++p) {
        EXPECT_FALSE(f.faceDown[p]) << p;
        EXPECT_EQ(f.foundByMe[p], found[p]) << p;
        EXPECT_EQ(f.board[p], found[p] ? 0 : dealt[p]) << p;
        EXPECT_EQ(f.images[p]->hint(), hints[p]);
    }

    EXPECT_TRUE(f.moveLog == record);
    EXPECT_TRUE(f.startBoard == startBoard);
    EXPECT_EQ(kept, (std::vector<int>{f.logLength, f.logPos, f.startScoreMe, f.startScoreOpp}));
    EXPECT_EQ(ZwiUnit1::outbox.size(), queued);
    EXPECT_TRUE(plat::SoundRecorder::played().empty());
    EXPECT_TRUE(plat::DialogScript::shown().empty());

    // Without a connection the board stays closed after the sweep.
    EXPECT_TRUE(ZwiUnit1::clicksBlocked);
    const Table before = Table::of(f);
    f.Image1Click(f.images[0]);
    EXPECT_TRUE(sameBoard(before, Table::of(f)));
}

TEST_P(DemoSweep, HintsFollowTheHintItem) {
    f.ShowHint1->setChecked(false);
    f.ShowDemo1Click();
    for (int p = 0; p < f.N; ++p) {
        EXPECT_FALSE(f.images[p]->showHint());
        EXPECT_EQ(f.images[p]->hint(), f.FHint(f.board[p]));
    }
}

// Clicks reach the board between ticks only while the indicator reads "Verbonden".
TEST_P(DemoSweep, OpenToClicksOnlyWhileConnected) {
    startSolo();
    f.ShowDemo1Click();
    f.Timer2->fire();
    EXPECT_TRUE(ZwiUnit1::clicksBlocked);
    const int late = order.back();
    f.Image1Click(f.images[late]);
    EXPECT_EQ(f.images[late]->pictureName(), "card");

    f.BitBtn1->setKind(plat::BitBtn::bkYes);
    f.BitBtn1->setCaption("Verbonden");
    f.Timer2->fire();
    EXPECT_FALSE(ZwiUnit1::clicksBlocked || ZwiUnit1::clickBusy);
    f.Image1Click(f.images[late]);
    EXPECT_EQ(f.images[late]->pictureName(), "pic" + std::to_string(f.board[late]));
    sweepAll();
    EXPECT_FALSE(ZwiUnit1::clicksBlocked) << "also after the sweep";

    f.BitBtn1->setCaption("Verbonden ");
    f.ShowDemo1Click();
    sweepAll();
    EXPECT_TRUE(ZwiUnit1::clicksBlocked) << "only the exact caption counts";
}

TEST_P(DemoSweep, ChosenAgainRestartsFromTheFirstCard) {
    f.ShowDemo1Click();
    for (int k = 0; k < 12; ++k) f.Timer2->fire();
    f.ShowDemo1Click();
    EXPECT_EQ(f.sweepStep, -1);
    for (int p = 0; p < f.N; ++p) {
        EXPECT_EQ(f.images[p]->pictureName(), "card");
        EXPECT_TRUE(f.faceDown[p] && !f.foundByMe[p]);
    }
    f.Timer2->fire();
    EXPECT_NE(f.images[order[0]]->pictureName(), "card");
    EXPECT_EQ(f.images[order[1]]->pictureName(), "card");
    EXPECT_EQ(sweepAll(), f.N);
}

// Labels adding up to one short of the pair count: a pair found by the sweep opens the
// game's items and the board, and still scores nothing.
TEST_P(DemoSweep, PairAtTheScoreLineEndOpensTheItems) {
    f.ShowDemo1Click();
    TForm1::SetLabelValue(f.Label2, f.P - 3);
    TForm1::SetLabelValue(f.Label4, 2);
    std::vector<plat::MenuItem*> items = {f.Start1, f.Solo1, f.AutomaticClear1};
    EXPECT_EQ(f.animals1 == nullptr, GetParam()) << "only zwirlo60 has card-set items";
    for (auto* item : {f.animals1, f.birds1})
        if (item) items.push_back(item);
    for (auto* item : items) item->setEnabled(false);
    f.Button1->setEnabled(false);
    makeNeighbours(f, order[0], order[1]);

    f.Timer2->fire();
    f.Timer2->fire();
    for (auto* item : items) EXPECT_TRUE(item->enabled()) << item->name();
    EXPECT_TRUE(f.Button1->enabled());
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);
    EXPECT_EQ(TForm1::LabelValue(f.Label2), f.P - 3);
    EXPECT_EQ(f.Label4->caption(), "2");
}

// A label without a number breaks one visit's end test; the pair still shows and the
// sweep goes on quietly.
TEST_P(DemoSweep, FailingVisitIsDroppedAndTheSweepGoesOn) {
    f.ShowDemo1Click();
    f.Label2->setCaption("veel");
    makeNeighbours(f, order[0], order[1]);
    const auto dealt = f.board;
    plat::DialogScript::clear();
    EXPECT_EQ(sweepAll(), f.N + 1);
    EXPECT_TRUE(plat::DialogScript::shown().empty());
    EXPECT_TRUE(f.foundByMe[order[0]] && f.foundByMe[order[1]]);
    EXPECT_EQ(f.board[order[1]], 0);
    for (int p = 0; p < f.N; ++p)
        EXPECT_EQ(f.images[p]->pictureName(), "pic" + std::to_string(dealt[p]));
}

// A replay after a demonstration plays the game recorded before it, from its own board.
TEST_P(DemoSweep, ReplayAfterwardsPlaysTheEarlierGame) {
    startSolo();
    ModelPlayer m(f);
    m.play(f.P);
    f.ShowDemo1Click();
    sweepAll();
    f.Replay1->click();
    ASSERT_TRUE(f.replayRunning);
    EXPECT_TRUE(f.board == f.startBoard);
    for (std::size_t k = 0; k < m.afterEntry.size(); ++k) {
        f.Timer1->fire();
        ASSERT_TRUE(sameBoard(m.afterEntry[k], Table::of(f))) << "entry " << k;
    }
    EXPECT_EQ(TForm1::LabelValue(f.Label2), f.P);
}

INSTANTIATE_TEST_SUITE_P(Programs, DemoSweep, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "zwirlo3" : "zwirlo60"; });

// Visits on tables a sweep only meets when clicks or peer lines changed the board.
TEST(DemoVisit, CasesOfAChangedTable) {
    Window w(game::zwirlo60Variant());
    TForm1& f = *w;
    f.ShowDemo1Click();
    const int a = 0;
    int b = 1;
    while (f.board[b] == f.board[a]) ++b;

    // A card found by the peer is taken away; both flags go, the hint stays.
    f.foundByOpponent[a] = true;
    f.faceDown[a] = false;
    const std::string hint = f.images[a]->hint();
    f.Demo3(a);
    EXPECT_EQ(f.images[a]->pictureName(), "void");
    EXPECT_FALSE(f.foundByOpponent[a] || f.foundByMe[a]);
    EXPECT_TRUE(f.faceDown[a]);
    EXPECT_EQ(f.images[a]->hint(), hint);
    EXPECT_TRUE(ZwiUnit1::clickBusy);

    f.board[a] = 0;
    const Table empty = Table::of(f);
    f.Demo3(a);
    EXPECT_TRUE(sameBoard(empty, Table::of(f))) << "an empty place changes nothing";

    // The only open card is not covered; with no card counted up it is.
    f.Demo3(b);
    f.Demo3(b);
    EXPECT_FALSE(f.faceDown[b]);
    f.cardsUp = 0;
    f.Demo3(b);
    EXPECT_EQ(f.images[b]->pictureName(), "card");
    EXPECT_EQ(f.myTurnedBack, 1);

    ZwiUnit1::twoCardsUp = true;
    const Table held = Table::of(f);
    f.Demo3(b);
    EXPECT_TRUE(sameBoard(held, Table::of(f))) << "nothing turns while two cards are up";

    // A second cover with nothing left showing ends the turn and closes the board.
    ZwiUnit1::twoCardsUp = false;
    ZwiUnit1::clicksBlocked = false;
    f.cardsUp = 2;
    f.faceDown[b] = false;
    f.Demo3(b);
    EXPECT_TRUE(ZwiUnit1::clicksBlocked);
    EXPECT_FALSE(ZwiUnit1::clickBusy);
    EXPECT_EQ(f.myTurnedBack + f.cardsUp, 0);

    const Table now = Table::of(f);
    f.Demo3(-1);
    f.Demo3(f.N);
    EXPECT_TRUE(sameBoard(now, Table::of(f))) << "positions off the board are ignored";
}

}  // namespace

// Whole games played click by click, with the table checked against a model after every
// click; refusals, networked turns and the move record.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <vector>

#include "game/zwiunit1.h"
#include "network/messages.h"
#include "platform/dialogs.h"
#include "platform/sound.h"

using game::TForm1;
using Log = std::vector<std::int32_t>;

namespace {

struct CountingClock : game::DealClock {
    std::uint32_t n = 12345;
    std::uint32_t counter() override { return n = n * 1103515245u + 12345u; }
};

struct Mode {
    const char* name;
    bool solo, autoClear;
};
void PrintTo(const Mode& m, std::ostream* os) { *os << m.name; }

class Play : public ::testing::TestWithParam<Mode> {
protected:
    void SetUp() override {
        plat::DialogScript::clear();
        plat::SoundRecorder::clear();
        f = std::make_unique<TForm1>(game::zwirlo60Variant(), game::FormOptions{false, 0, false});
        f->dealClock = &clock;
        // The lines posted are read from the outbox as a peer being served would get them.
        ZwiUnit1::outbox.attach();
    }
    void TearDown() override {
        ZwiUnit1::outbox.detach(ZwiUnit1::sendPending);
        ZwiUnit1::connected = false;
    }

    void start(bool solo, bool autoClear) {
        f->Solo1->setChecked(solo);
        f->AutomaticClear1->setChecked(autoClear);
        if (!solo && !ZwiUnit1::connected) {
            plat::DialogScript::answer(true, "Anna");
            plat::DialogScript::answer(true, "Bert");
        }
        f->Start1Click();
        pairOf.clear();
        for (int p = 0; p < f->N; ++p) pairOf[f->board[p]].push_back(p);
    }
    int partner(int p) {
        auto& v = pairOf[f->startBoard[p]];
        return v[0] == p ? v[1] : v[0];
    }
    std::string lastLine() { return ZwiUnit1::outbox.front(); }
    void tap(int p) {
        ZwiUnit1::outbox.clear(ZwiUnit1::sendPending);
        f->images[static_cast<std::size_t>(p)]->click();
    }
    int code() const { return f->playerOneToMove ? 100 : 200; }
    Log log() const { return Log(f->moveLog.begin(), f->moveLog.begin() + f->logLength); }

    // The model: what the table must show.
    struct Expect {
        int me = 0, other = 0;  // Label2, Label4
        bool one = true;        // player one to move
        bool blocked = false;
        std::set<int> up, found;
        Log log;
    } e;
    void check(const std::string& what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(TForm1::LabelValue(f->Label2), e.me);
        EXPECT_EQ(TForm1::LabelValue(f->Label4), e.other);
        EXPECT_EQ(f->playerOneToMove, e.one);
        EXPECT_EQ(ZwiUnit1::clicksBlocked.load(), e.blocked);
        EXPECT_EQ(f->OpenCount(), static_cast<int>(e.up.size() + e.found.size()));
        EXPECT_EQ(log(), e.log);
        EXPECT_EQ(f->logPos, f->logLength);
        for (int p : e.up)
            EXPECT_EQ(f->images[p]->pictureName(), "pic" + std::to_string(f->startBoard[p]));
        const bool coloured = f->hotSeat && !gameOver;
        const plat::Color mover = coloured ? plat::clLime : plat::clWindowText;
        const plat::Color waiter = coloured ? plat::clRed : plat::clWindowText;
        EXPECT_EQ(f->Label2->fontColor(), e.one ? mover : waiter);
        EXPECT_EQ(f->Label3->fontColor(), e.one ? waiter : mover);
    }
    // One card turned up or covered by the player to move.
    void act(int p, bool up, bool solo) {
        e.log.insert(e.log.end(), {code(), p});
        if (solo) ++e.other;
        if (up)
            e.up.insert(p);
        else
            e.up.erase(p);
        tap(p);
    }
    void passTurn() {
        e.one = !e.one;
        check("turn passed");
    }

    void miss(int a, int b, const Mode& m) {
        act(a, true, m.solo);
        check("first card");
        act(b, true, m.solo);
        if (m.solo || m.autoClear) {
            e.blocked = true;
            check("missed try waits for the cover");
            ASSERT_TRUE(f->Timer3->enabled());
            f->Save1->setEnabled(false);
            f->Timer3->fire();
            EXPECT_FALSE(f->Save1->enabled());  // only card actions enable saving
            e.up.clear();
            e.log.insert(e.log.end(), {400, a, b});
            e.blocked = false;
            if (!m.solo) e.one = !e.one;
            check("covered by the timer");
            EXPECT_EQ(f->images[a]->pictureName(), "card");
            EXPECT_FALSE(f->Timer3->enabled());
            return;
        }
        check("two up");
        act(a, false, false);
        check("one covered");
        act(b, false, false);
        EXPECT_EQ(lastLine(), network::ClickMessage(b, 'b'));
        passTurn();
    }

    void match(int a, const Mode& m, bool last) {
        const int b = partner(a);
        act(a, true, m.solo);
        plat::SoundRecorder::clear();
        e.log.insert(e.log.end(), {code(), b});
        if (m.solo) ++e.other;
        (m.solo || e.one ? e.me : e.other) += 1;
        e.up.erase(a);
        e.found = {a, b};
        tap(b);
        EXPECT_EQ(lastLine(), network::ClickMessage(b, 'd'));
        EXPECT_EQ(plat::SoundRecorder::played(), std::vector<std::string>{"myscore"});
        gameOver = last;
        e.blocked = m.autoClear && !last;
        check("pair found");
        if (last) {
            EXPECT_FALSE(ZwiUnit1::clickBusy);
        }
        if (m.autoClear) {
            ASSERT_TRUE(f->Timer4->enabled());
            f->Timer4->fire();
            e.log.insert(e.log.end(), {300, std::min(a, b), std::max(a, b)});
            e.blocked = false;
            e.found.clear();
            check("cleared by the timer");
            EXPECT_EQ(f->images[b]->pictureName(), "void");
            return;
        }
        for (int q : {b, a}) {
            e.log.insert(e.log.end(), {code(), q});
            e.found.erase(q);
            EXPECT_TRUE(f->images[q]->showHint());
            tap(q);
            EXPECT_EQ(lastLine(), network::ClickMessage(q, 'z'));
            EXPECT_FALSE(f->images[q]->showHint()) << "an empty place names no card";
            check("found card taken away");
        }
    }

    CountingClock clock;
    std::unique_ptr<TForm1> f;
    std::map<int, std::vector<int>> pairOf;
    bool gameOver = false;
};

}  // namespace

// A miss before every pair, so turns pass and covers run throughout the game.
TEST_P(Play, CompleteGame) {
    const Mode m = GetParam();
    start(m.solo, m.autoClear);
    EXPECT_EQ(f->hotSeat, !m.solo);
    check("dealt");
    std::vector<int> firsts;
    for (auto& [pic, places] : pairOf) firsts.push_back(places[0]);
    for (std::size_t k = 0; k < firsts.size(); ++k) {
        if (k + 1 < firsts.size()) miss(firsts[k], firsts[k + 1], m);
        match(firsts[k], m, k + 1 == firsts.size());
        if (HasFatalFailure() || HasFailure()) return;
    }
    EXPECT_TRUE(f->Start1->enabled());
    EXPECT_TRUE(f->Replay1->enabled());
    if (m.solo) {
        EXPECT_EQ(e.me, f->P);
        EXPECT_GE(e.other, 2 * f->P);
    } else {
        EXPECT_EQ(e.me + e.other, f->P);
    }
    // The top-10 step follows a solo finish only.
    EXPECT_EQ(f->ListBox1->count() > 0, m.solo);

    // After the end clicks stay open: an empty place is recorded in solo play only, and
    // never sent.
    e.log.insert(e.log.end(), {code(), firsts[0]});
    tap(firsts[0]);
    EXPECT_EQ(lastLine(), "");
    EXPECT_EQ(log(), m.solo ? e.log : Log(e.log.begin(), e.log.end() - 2));
}

INSTANTIATE_TEST_SUITE_P(Modes, Play,
                         ::testing::Values(Mode{"SoloAuto", true, true},
                                           Mode{"SoloManual", true, false},
                                           Mode{"HotSeatAuto", false, true},
                                           Mode{"HotSeatManual", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Play, Refusals) {
    start(false, false);  // hot-seat, cards covered by hand
    auto it = pairOf.begin();
    const int a = it->second[0], a2 = it->second[1];
    const int c = (++it)->second[0], d = (++it)->second[0];
    const int g = (++it)->second[0], g2 = it->second[1];

    ZwiUnit1::clicksBlocked = true;
    ZwiUnit1::clickBusy = false;
    f->restartRecording = true;
    tap(a);
    EXPECT_FALSE(ZwiUnit1::clickBusy);  // a blocked click changes nothing at all
    EXPECT_TRUE(f->restartRecording);
    EXPECT_TRUE(f->faceDown[a]);
    ZwiUnit1::clicksBlocked = false;

    tap(g);
    tap(g2);  // a pair: it stays on show
    tap(a);
    const Log before = log();
    tap(a);  // the only open card cannot be covered
    tap(c);
    tap(d);  // a third card while two are up
    EXPECT_EQ(log().size(), before.size() + 2);
    EXPECT_TRUE(f->faceDown[d]);
    EXPECT_EQ(lastLine(), "");
    tap(a);
    tap(a2);  // the partner of a card just covered, while the try is still open
    EXPECT_TRUE(f->faceDown[a2]);
    tap(c);  // both covered, but the found pair still shows: the turn stays
    EXPECT_TRUE(f->playerOneToMove);
    tap(a);   // refused while own found cards show ...
    tap(a2);  // ... and so is a pair whose first card was never turned up
    EXPECT_TRUE(f->faceDown[a]);
    EXPECT_TRUE(f->faceDown[a2]);
    EXPECT_EQ(TForm1::LabelValue(f->Label2), 1);
    tap(g);
    EXPECT_TRUE(f->playerOneToMove);
    tap(g2);  // the last own found card taken away passes the turn
    EXPECT_FALSE(f->playerOneToMove);
    EXPECT_EQ(f->Label3->fontColor(), plat::clLime);
    tap(g);  // an empty place outside solo play: nothing recorded or sent
    EXPECT_EQ(lastLine(), "");
    EXPECT_EQ(log().back(), g2);
    // Player 1's refused cards are no pair to player 2: a2 turns up.
    tap(a2);
    EXPECT_FALSE(f->faceDown[a2]);
    const Log now = log();
    EXPECT_EQ(Log(now.end() - 2, now.end()), (Log{200, a2}));
    EXPECT_EQ(lastLine(), network::ClickMessage(a2, 'o'));
}

TEST_F(Play, NetworkedTurnEndsBlocked) {
    ZwiUnit1::connected = true;
    start(false, true);
    EXPECT_FALSE(f->hotSeat);
    for (auto& d : plat::DialogScript::shown())  // no names asked
        EXPECT_NE(d.kind, plat::DialogRecord::Input) << d.prompt;
    auto it = pairOf.begin();
    const int a = it->second[0], a2 = it->second[1], c = (++it)->second[0];
    tap(a);
    EXPECT_EQ(lastLine(), network::ClickMessage(a, 'o'));
    tap(a2);
    EXPECT_EQ(TForm1::LabelValue(f->Label2), 1);
    EXPECT_FALSE(f->Timer4->enabled());
    tap(a);
    tap(a2);
    EXPECT_EQ(lastLine(), network::ClickMessage(a2, 'z'));
    tap(c);
    tap(a2);  // an empty place
    tap(a);
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);
    EXPECT_FALSE(f->Timer3->enabled());
    tap(c);
    tap(a);
    EXPECT_EQ(lastLine(), "");  // already empty
    tap(it->second[1]);         // partner of c: a pair completes instead of a miss
    EXPECT_EQ(TForm1::LabelValue(f->Label2), 2);
    const int d = (++it)->second[0], h = (++it)->second[0];
    tap(d);
    tap(h);
    tap(d);
    tap(h);
    EXPECT_FALSE(ZwiUnit1::clicksBlocked);  // found cards still show
    for (int q : {c, pairOf[f->startBoard[c]][1]}) tap(q);
    EXPECT_TRUE(ZwiUnit1::clicksBlocked);
    EXPECT_FALSE(ZwiUnit1::clickBusy);
    EXPECT_EQ(lastLine().substr(1), "z");

    // The peer gave the turn back; a miss covered by hand ends it again.
    ZwiUnit1::clicksBlocked = false;
    for (int q : {d, h, d, h}) tap(q);
    EXPECT_TRUE(ZwiUnit1::clicksBlocked);
    EXPECT_EQ(lastLine(), network::ClickMessage(h, 'b'));
}

// Clicks and pairs adding up to the pair count do not end a solo game; only the pairs do,
// live and in the replay.
TEST_F(Play, SoloEndsOnPairsOnly) {
    start(true, true);
    f->Label4->setCaption("27");
    const auto& places = pairOf.begin()->second;
    tap(places[0]);
    tap(places[1]);
    EXPECT_EQ(TForm1::LabelValue(f->Label2) + TForm1::LabelValue(f->Label4), f->P);
    EXPECT_FALSE(f->Start1->enabled());
    EXPECT_TRUE(ZwiUnit1::clicksBlocked);

    f->Timer4->fire();
    f->startScoreOpp = 27;
    f->Replay1Click();
    f->Timer1->fire();
    f->Timer1->fire();  // the pair: one pair and 29 clicks
    EXPECT_EQ(TForm1::LabelValue(f->Label2) + TForm1::LabelValue(f->Label4), f->P);
    EXPECT_FALSE(f->Solo1->enabled() || f->ShowDemo1->enabled()) << "the replayed game goes on";
}

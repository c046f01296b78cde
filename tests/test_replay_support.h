#pragma once
// Shared by the replay and demonstration tests: a window with a fed deal clock, a view of
// the table, and a model player that plays games with the live click and keeps the table
// as it stood after every recorded entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/zwiunit1.h"
#include "platform/dialogs.h"
#include "platform/probe.h"
#include "platform/sound.h"

namespace replaytest {

// A steady stride through the clock gives a varied, repeatable deal.
class StepClock : public game::DealClock {
public:
    std::uint32_t counter() override { return n_ += 0x9E3779B1u; }

private:
    std::uint32_t n_ = 0x1234567;
};

// No listening, no instance guard, and timers that tick only when a test fires them.
struct Window {
    explicit Window(const game::Variant& variant)
        : form(std::make_unique<game::TForm1>(variant, game::FormOptions{false, 0, false})) {
        form->dealClock = &clock;
        for (plat::Timer* t : {form->Timer3, form->Timer4, form->Timer5}) t->setInterval(1 << 30);
        form->delayInterval = 1 << 30;
    }
    ~Window() { ZwiUnit1::connected = false; }
    game::TForm1& operator*() { return *form; }

    StepClock clock;
    std::unique_ptr<game::TForm1> form;
};

// Starts `t` with its count run out at once: its tick waits in the queue, and the next
// message pump delivers it, however busy the machine (its clock never ticks by itself).
inline void armDue(plat::Timer& t) {
    t.setInterval(1 << 30);
    t.setEnabled(true);
    plat::probe::timerFallsDue(t);
}

// What a player sees of the table.
struct Table {
    std::vector<int> board;
    std::vector<bool> faceDown;
    std::vector<std::string> pictures;
    std::string label2, label4;

    static Table of(const game::TForm1& f) {
        Table t;
        for (int p = 0; p < f.N; ++p) {
            t.board.push_back(f.board[p]);
            t.faceDown.push_back(f.faceDown[p]);
            t.pictures.push_back(f.images[p]->pictureName());
        }
        t.label2 = f.Label2->caption();
        t.label4 = f.Label4->caption();
        return t;
    }
};

// Board and pictures equal; callers compare the labels where they must agree.
inline ::testing::AssertionResult sameBoard(const Table& want, const Table& got) {
    for (std::size_t i = 0; i < want.board.size(); ++i)
        if (want.board[i] != got.board[i] || want.faceDown[i] != got.faceDown[i] ||
            want.pictures[i] != got.pictures[i])
            return ::testing::AssertionFailure()
                   << "position " << i << ": want " << want.board[i] << "/" << want.faceDown[i]
                   << "/" << want.pictures[i] << ", got " << got.board[i] << "/" << got.faceDown[i]
                   << "/" << got.pictures[i];
    return ::testing::AssertionSuccess();
}

class ModelPlayer {
public:
    explicit ModelPlayer(game::TForm1& f) : f_(f) {}

    std::vector<Table> afterEntry;  // the table after entry k of the record

    void click(int p) {
        f_.Image1Click(f_.images[p]);
        note();
    }
    void fire(plat::Timer* t) {
        t->fire();
        note();
    }

    // Before each pair is found its finder misses once (the pair's first card with the
    // next pair's first card); covering and clearing go by timer or by hand as the mode
    // says.
    void play(int pairsToFind) {
        std::map<int, std::vector<int>> at;
        for (int p = 0; p < f_.N; ++p) at[f_.startBoard[p]].push_back(p);
        std::vector<std::pair<int, int>> pairs;
        for (auto& [pic, ps] : at) pairs.emplace_back(ps.at(0), ps.at(1));
        std::sort(pairs.begin(), pairs.end());

        const bool solo = f_.Solo1->checked(), autoClear = f_.AutomaticClear1->checked();
        for (std::size_t k = 0; k < static_cast<std::size_t>(pairsToFind); ++k) {
            const auto [a, b] = pairs[k];
            if (k + 1 < pairs.size()) {
                const int c = pairs[k + 1].first;
                click(a);
                click(c);
                if (solo || autoClear) {
                    fire(f_.Timer3);
                } else {
                    click(a);
                    click(c);
                }
            }
            click(a);
            click(b);
            if (autoClear) {
                fire(f_.Timer4);
            } else {
                click(a);
                click(b);
            }
        }
    }

private:
    void note() {
        int n = 0;
        for (int i = 0; i < f_.logLength; ++n) i += std::max(game::entrySize(f_.moveLog[i]), 1);
        EXPECT_LE(n - static_cast<int>(afterEntry.size()), 1) << "one action, one entry";
        while (static_cast<int>(afterEntry.size()) < n) afterEntry.push_back(Table::of(f_));
    }
    game::TForm1& f_;
};

}  // namespace replaytest

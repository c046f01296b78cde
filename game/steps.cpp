// Pieces the card steps share (see steps.h).
#include "game/steps.h"

namespace game {

using namespace ZwiUnit1;

namespace {

bool onBoard(const TForm1& f, std::int32_t q) { return q >= 0 && q < f.N; }

using plat::enable;

}  // namespace

std::string pictureName(std::int32_t picture) { return "pic" + std::to_string(picture); }

int showingCount(const TForm1& f, bool withMine, bool withOpponent) {
    int n = 0;
    for (int q = 0; q < f.N; ++q) {
        const auto i = static_cast<std::size_t>(q);
        if (f.board[i] > 0 && !f.faceDown[i]) ++n;
        if (withMine && f.foundByMe[i]) ++n;
        if (withOpponent && f.foundByOpponent[i]) ++n;
    }
    return n;
}

void markPairFound(TForm1& f, std::int32_t a, std::int32_t b, bool mine) {
    for (std::int32_t q : {a, b}) {
        if (!onBoard(f, q)) continue;
        const auto i = static_cast<std::size_t>(q);
        f.board[i] = 0;
        f.foundByMe[i] = mine;
        f.foundByOpponent[i] = !mine;
        f.faceDown[i] = false;
    }
}

void rememberCard(TForm1& f, std::int32_t position, bool mine) {
    std::int32_t& lastPos = mine ? f.myLastPos : f.oppLastPos;
    f.prevPos = lastPos;
    (mine ? f.myLastPicture : f.oppLastPicture) = f.board[static_cast<std::size_t>(position)];
    lastPos = position;
    f.lastClickedPos = position;
}

void forgetLastCard(TForm1& f, bool mine) {
    if (mine)
        f.myLastPicture = f.myLastPos = f.myTurnedBack = 0;
    else
        f.oppLastPicture = f.oppLastPos = f.oppTurnedBack = 0;
}

void countMyCover(TForm1& f) {
    if (++f.myTurnedBack < 2) return;
    twoCardsUp = false;
    f.myLastPicture = f.myLastPos = f.oppTurnedBack = 0;
    f.myTurnedBack = 2;
}

bool countTurnUp(TForm1& f, bool refuseMore) {
    if (++f.cardsUp < 2) return false;
    twoCardsUp = refuseMore;
    f.cardsUp = 2;
    f.oppTurnedBack = f.myTurnedBack = 0;
    return true;
}

void clearTurn(TForm1& f) {
    twoCardsUp = false;
    f.oppLastTurnedPicture = 0;
    clickBusy = false;
    f.cardsUp = f.myTurnedBack = f.oppTurnedBack = 0;
}

void enableNewGameItems(TForm1& f) {
    enable(f.Start1);
    enable(f.animals1);
    enable(f.birds1);
    enable(f.Solo1);
    enable(f.AutomaticClear1);
    f.Button1->setEnabled(true);
}

void endGame(TForm1& f) {
    f.oppLastTurnedPicture = 0;
    enableNewGameItems(f);
    clicksBlocked = false;
    clickBusy = false;
    f.cardsUp = 0;
    twoCardsUp = false;
}

}  // namespace game

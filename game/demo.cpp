// The demonstration: a fresh board dealt face down, then turned over card by card in
// snake order by Timer2, without touching the score, the record or the peer.
#include "game/steps.h"
#include "game/sweep.h"
#include "game/zwiunit1.h"
#include "platform/app.h"

namespace game {

using namespace ZwiUnit1;

void TForm1::ShowDemo1Click() {
    BeginTable();
    clicksBlocked = true;
    ListBox1->setVisible(false);
    ListBox2->setVisible(false);
    Label2->setCaption("0");
    Label4->setCaption("0");

    lastClickedPos = prevPos = myLastPos = myLastPicture = myTurnedBack = 0;
    oppLastPos = oppLastPicture = oppTurnedBack = 0;
    twoCardsUp = false;
    cardsUp = oppLastTurnedPicture = 0;

    const plat::Bitmap back = plat::Bitmap::load(pictureModule(), "card");
    for (int p = 0; p < N; ++p) {
        const auto i = static_cast<std::size_t>(p);
        faceDown[i] = false;
        foundByMe[i] = false;
        foundByOpponent[i] = false;
        PaintCard(p, back);
    }

    // The demonstration deal leaves startBoard alone, so a replay afterwards still
    // plays the game recorded before it.
    Deal(true);

    // Every card carries its name from the start, face down or not.
    for (int p = 0; p < N; ++p) SetCardHint(p);

    clickBusy = false;
    pump();

    sweepStep = -1;
    Timer2->setEnabled(true);
}

void TForm1::Timer2Timer() {
    if (sweepStep >= N - 1) {
        Timer2->setEnabled(false);
    } else {
        ++sweepStep;
        Demo3(sweepPosition(sweepStep, variant.cols));
    }
    // While a peer is connected the board stays open to clicks and peer lines.
    if (BitBtn1->caption() == "Verbonden") {
        clicksBlocked = false;
        clickBusy = false;
    }
}

// One visit of the sweep: the card click of player 1 reduced to the board. Nothing is
// recorded, posted, scored or sounded, and no hint changes.
void TForm1::Demo3(std::int32_t position) {
    if (position < 0 || position >= N) return;
    const auto i = static_cast<std::size_t>(position);

    auto turnReset = [&] {
        clicksBlocked = true;
        clearTurn(*this);
    };

    // A failing visit (say a score label without a number) must not stop the sweep or
    // bother the player: what it did so far stays, and the next tick goes on.
    try {
        clickBusy = true;

        if (foundByMe[i] || foundByOpponent[i]) {
            PaintCard(position, "void");
            foundByMe[i] = false;
            foundByOpponent[i] = false;
            faceDown[i] = true;
            if (OpenCount() == 0 && myTurnedBack >= 2) turnReset();
            pump();
            return;
        }
        if (board[i] <= 0) {
            pump();
            return;
        }
        if (board[i] == myLastPicture && position != myLastPos) {
            if (twoCardsUp) return;
            PaintCard(position, pictureName(board[i]));
            markPairFound(*this, position, myLastPos, true);
            twoCardsUp = false;
            cardsUp = 0;
            // The pair is shown, not scored: the labels are read for the end test only.
            const std::int32_t a = LabelValue(Label2) + 1;
            const std::int32_t b = LabelValue(Label4);
            if (a + b == P) endGame(*this);
            forgetLastCard(*this, true);
            pump();
            return;
        }

        rememberCard(*this, position, true);
        if (!faceDown[i]) {
            if (cardsUp == 1) return;
            PaintCard(position, "card");
            countMyCover(*this);
        } else {
            if (twoCardsUp || (cardsUp >= 2 && myTurnedBack >= 2)) return;
            PaintCard(position, pictureName(board[i]));
            // Unlike a live second card, this one leaves the board open for the next
            // card of the sweep.
            countTurnUp(*this, false);
        }
        faceDown[i] = !faceDown[i];
        if (faceDown[i] && OpenCount() == 0 && myTurnedBack >= 2) turnReset();
        Button2->setEnabled(true);
        pump();
    } catch (...) {
    }
}

}  // namespace game

// A click on a card: turning up, covering, pairs, scores, the end of a turn and of the game.
#include "game/steps.h"
#include "game/zwiunit1.h"
#include "network/messages.h"
#include "platform/app.h"
#include "platform/sound.h"

namespace game {

namespace {

using ZwiUnit1::clickBusy;
using ZwiUnit1::clicksBlocked;
using ZwiUnit1::twoCardsUp;

void addOne(plat::Label* label) { TForm1::SetLabelValue(label, TForm1::LabelValue(label) + 1); }

}  // namespace

int TForm1::OpenCount() const { return showingCount(*this, true, false); }

void TForm1::ApplyMoverColours() {
    if (Solo1->checked()) return;
    if (playerOneToMove)
        ColourPlayers(plat::clLime, plat::clRed);
    else
        ColourPlayers(plat::clRed, plat::clLime);
}

void TForm1::Image1Click(plat::Image* sender) {
    // A click between the two halves of a replayed cover or clear meets the table the record
    // describes, so that a take-over records after the whole entry.
    FinishReplayEntry();
    if (clicksBlocked) return;
    const int p = sender ? sender->tag : 0;
    if (p < 0 || p >= N) return;  // not a card of this board

    clickBusy = true;
    RestartRecordingStep();

    const auto code = [this] { return playerOneToMove ? kMovePlayerOne : kMovePlayerTwo; };
    const auto solo = [this] { return Solo1->checked(); };
    const auto autoClear = [this] { return AutomaticClear1->checked(); };
    plat::Image* image = images[static_cast<std::size_t>(p)];
    // Every action records before it changes the try, so a take-over from a running replay
    // meets the table the replay left.
    const auto record = [&] {
        if (replayRunning) HandOverReplay();
        LogMove(code(), p);
    };

    // An own found card is taken off the table.
    if (foundByMe[p]) {
        PaintCard(p, "void");
        foundByMe[p] = false;
        image->setShowHint(false);
        faceDown[p] = true;
        record();
        ZwiUnit1::PostToPeer(network::ClickMessage(p, 'z'));
        if (OpenCount() == 0 && myTurnedBack >= 2) {
            if (hotSeat && !autoClear()) {
                playerOneToMove = !playerOneToMove;
                ApplyMoverColours();
                clicksBlocked = false;
            }
            if (!solo() && !hotSeat) clicksBlocked = true;  // the peer moves next
            clearTurn(*this);
            Send1->setEnabled(true);
        }
        pump();
        return;
    }

    if (foundByOpponent[p]) {
        pump();
        return;
    }

    if (board[p] <= 0) {
        pump();
        if (solo()) {
            PaintCard(p, "void");
            foundByMe[p] = false;
            faceDown[p] = true;
            record();
            image->setShowHint(false);
            pump();
        }
        return;
    }

    // A pair needs its first card on show: a card whose turn-up was refused is still
    // remembered as the last one, but it was never seen, so its partner is turned up (or
    // refused) as any other card.
    const bool lastShows = myLastPos >= 0 && myLastPos < N && !faceDown[myLastPos];
    if (board[p] == myLastPicture && p != myLastPos && lastShows) {
        if (twoCardsUp) return;
        PaintCard(p, pictureName(board[p]));
        SetCardHint(p);
        record();
        markPairFound(*this, p, myLastPos, true);
        twoCardsUp = false;
        cardsUp = 0;
        ZwiUnit1::PostToPeer(network::ClickMessage(p, 'd'));
        plat::playSound("myscore");

        if (solo()) {
            addOne(Label4);
            if (autoClear()) {
                clicksBlocked = true;
                Timer4->setEnabled(true);
            }
        }
        if (hotSeat) {
            addOne(playerOneToMove ? Label2 : Label4);
            if (autoClear()) {
                clicksBlocked = true;
                Timer4->setEnabled(true);
            }
        } else {
            addOne(Label2);
        }

        const std::int32_t a = LabelValue(Label2);
        const std::int32_t b = LabelValue(Label4);
        if ((a + b == P && !solo()) || a == P) {
            ColourPlayers(plat::clWindowText, plat::clWindowText);
            endGame(*this);
            for (plat::MenuItem* item : {Replay1, ShowDemo1, Send1}) item->setEnabled(true);
        }
        if (a == P && b >= P) TopTenEntry();
        hofVisible = true;
        if (!solo()) forgetLastCard(*this, true);
        pump();
        return;
    }

    // Turn a card up or cover it. The last-card fields follow every click, refused or not.
    rememberCard(*this, p, true);

    if (!faceDown[p]) {
        if (cardsUp == 1) return;  // the only open card of the turn stays open
        PaintCard(p, "card");
        image->setShowHint(false);
        record();
        if (solo()) addOne(Label4);
        countMyCover(*this);
    } else {
        if (twoCardsUp) return;
        if (cardsUp >= 2 && myTurnedBack >= 2) {
            // After a missed try the own found cards must go first.
            cardsUp = 2;
            myTurnedBack = 2;
            return;
        }
        PaintCard(p, pictureName(board[p]));
        SetCardHint(p);
        if (solo()) addOne(Label4);
        record();
        // The second card up: alone, or at one machine with clearing on, the cover step
        // takes over.
        if (countTurnUp(*this, true) && (solo() || (hotSeat && autoClear()))) {
            clicksBlocked = true;
            Timer3->setEnabled(true);
        }
    }

    faceDown[p] = !faceDown[p];
    const char letter = faceDown[p] ? 'b' : 'o';

    if (faceDown[p] && !solo() && OpenCount() == 0 && myTurnedBack >= 2) {
        clicksBlocked = true;  // the turn is over
        clearTurn(*this);
        Send1->setEnabled(true);
    }

    Button2->setEnabled(true);
    ZwiUnit1::PostToPeer(network::ClickMessage(p, letter));
    pump();

    // At one machine the other player takes over; over the network the peer does.
    if (clicksBlocked && hotSeat && !autoClear()) {
        playerOneToMove = !playerOneToMove;
        ApplyMoverColours();
        clicksBlocked = false;
        twoCardsUp = false;
        oppLastTurnedPicture = myTurnedBack = oppTurnedBack = cardsUp = 0;
        myLastPicture = myLastPos = oppLastPicture = oppLastPos = 0;
    }
}

}  // namespace game

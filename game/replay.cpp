// Playing the move record back on the table, one entry per tick of Timer1, and the
// delayed close that the same timer serves.
#include <algorithm>

#include "game/steps.h"
#include "game/zwiunit1.h"
#include "platform/app.h"
#include "platform/sound.h"

namespace game {

using namespace ZwiUnit1;

namespace {

// A tick that arrives while a step pumps messages must not apply the next entry inside
// the current one: the cursor would move under the outer tick.
bool timer1Busy = false;

class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

using plat::enable;

}  // namespace

void TForm1::Replay1Click() {
    ListBox1->setVisible(false);
    ListBox2->setVisible(false);
    if (replayRunning) {
        // Stopped: the table and the cursor stay where the replay left them, after the whole
        // entry being replayed.
        FinishReplayEntry();
        Timer2->setEnabled(false);
        HandOverReplay();
        return;
    }
    Send1->setEnabled(false);
    if (logLength <= 0) {
        // Nothing to replay: no table begins, and steps still due come at their time.
        StopReplayAndSweep();
        logPos = 0;
        twoCardsUp = false;
        Replay1->setEnabled(false);
        Replay1->setCaption("Terugspelen");
        return;
    }
    BeginTable();

    replayRunning = true;
    Replay1->setCaption("Stop Terugspelen");
    logPos = 0;
    twoCardsUp = false;
    // The table now follows the record from its start: a card action or an accepted line
    // from the peer takes over at the replay's cursor and goes on with the record, instead
    // of emptying it as the first one after a load does.
    restartRecording = false;

    SetLabelValue(Label2, startScoreMe);
    SetLabelValue(Label4, startScoreOpp);

    lastClickedPos = prevPos = myLastPos = myLastPicture = myTurnedBack = 0;
    oppLastPos = oppLastPicture = oppTurnedBack = cardsUp = oppLastTurnedPicture = 0;
    twoCardsUp = false;

    Start1->setEnabled(true);
    enable(animals1, true);
    enable(birds1, true);
    AutomaticClear1->setEnabled(true);
    Button1->setEnabled(true);
    Solo1->setEnabled(false);
    ShowDemo1->setEnabled(false);

    const plat::Bitmap back = plat::Bitmap::load(pictureModule(), "card");
    const plat::Bitmap empty = plat::Bitmap::load(pictureModule(), "void");
    for (int p = 0; p < N; ++p) {
        const auto i = static_cast<std::size_t>(p);
        faceDown[i] = true;
        foundByMe[i] = false;
        foundByOpponent[i] = false;
        board[i] = startBoard[i];
        PaintCard(p, board[i] > 0 ? back : empty);
    }

    clicksBlocked = false;
    Send1->setEnabled(false);
    clickBusy = false;
    pump();

    Timer1->setInterval(delayInterval);
    Timer1->setEnabled(true);
}

void TForm1::Timer1Timer() {
    if (timer1Busy) return;
    BusyScope busy(timer1Busy);

    replayingPairStep = false;
    if (closeRequested) {
        Timer1->setEnabled(false);
        close();
        return;
    }

    // Entries are read only inside the 2048 integers and inside the recorded length: an
    // entry cut off by the end (only a damaged record file holds one) ends the replay,
    // since its missing operands would be whatever an earlier game left there.
    const int end = std::min(logLength, kLogSize);
    const std::int32_t code = (logPos >= 0 && logPos < end) ? moveLog[logPos] : 0;
    const int size = entrySize(code);
    if (logPos < 0 || logPos >= end || logPos + size > end) {
        logPos = std::clamp(logLength, 0, kLogSize);
        HandOverReplay();
        return;
    }
    if (size == 0) return;  // an unknown code holds the replay until it is stopped

    // The cursor moves past the entry before it is applied: a step pumps messages, and
    // whatever runs there (a new game, a load, a restarted replay, a card action that
    // records at the cursor) then finds the cursor where the replay really is, and the
    // tick leaves whatever that event set.
    const int at = logPos;
    const std::int32_t first = moveLog[at + 1];
    logPos = at + size;
    switch (code) {
    case kMovePlayerOne: Demo(first); break;
    case kMovePlayerTwo: Demo2(first); break;
    default:
        // A card click or a new table inside the first half's message pump finishes the
        // entry first; else it is finished here.
        replayHalfPending = moveLog[at + 2];
        replayingPairStep = true;
        try {
            Demo(first);
        } catch (...) {
            replayHalfPending.reset();  // never left for a later action to apply
            throw;
        }
        FinishReplayEntry();
        break;
    }
}

void TForm1::FinishReplayEntry() {
    if (!replayHalfPending) return;
    const std::int32_t second = *replayHalfPending;
    replayHalfPending.reset();
    replayingPairStep = true;
    Demo(second);
}

void TForm1::HandOverReplay() {
    // The replay counts a try's clicks late: both at its pair, or at the covers of a miss.
    // With one card up the player has made that card's click, and no later step counts it.
    // Two cards up are paid by their covers, which count the same live and replayed.
    const bool owed = Solo1->checked() && cardsUp == 1;
    EndReplay();
    if (owed) SetLabelValue(Label4, LabelValue(Label4) + 1);
}

void TForm1::EndReplay() {
    Timer1->setEnabled(false);
    replayRunning = false;
    Replay1->setCaption("Terugspelen");
    for (plat::MenuItem* item : {Send1, Replay1, ShowDemo1, Solo1}) item->setEnabled(true);
}

// The replay step of player 1: the card click's logic without its effects on the outside
// world (no line to the peer, no record, no hints, no timers, no top-10 entry).
void TForm1::Demo(std::int32_t position) {
    // Only a damaged record file can hold a position off the board; such an entry is
    // skipped rather than used as an index.
    if (position < 0 || position >= N) return;
    const auto i = static_cast<std::size_t>(position);
    const bool solo = Solo1->checked();

    if (hotSeat && !replayingPairStep) ColourPlayers(plat::clLime, plat::clRed);
    clickBusy = true;

    auto endTurn = [&] {
        if (!solo) clicksBlocked = true;
        clearTurn(*this);
        Send1->setEnabled(true);
    };

    if (foundByMe[i] || foundByOpponent[i]) {
        // A 300 entry also takes player 2's pair: no mark of either side may outlive it.
        PaintCard(position, "void");
        foundByMe[i] = false;
        foundByOpponent[i] = false;
        faceDown[i] = true;
        if (showingCount(*this, true, false) == 0 && myTurnedBack >= 2) endTurn();
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
        // The live game counted one click per card turned; here both come at the pair.
        if (solo) SetLabelValue(Label4, LabelValue(Label4) + 2);
        const std::int32_t s = LabelValue(Label2) + 1;
        plat::playSound("myscore");
        SetLabelValue(Label2, s);
        const std::int32_t b = solo ? 0 : LabelValue(Label4);
        if (s + b == P || s == P) {
            ColourPlayers(plat::clWindowText, plat::clWindowText);
            endGame(*this);
            Replay1->setEnabled(true);
            ShowDemo1->setEnabled(true);
            Send1->setEnabled(true);
        }
        forgetLastCard(*this, true);
        pump();
        return;
    }

    rememberCard(*this, position, true);
    if (!faceDown[i]) {
        if (cardsUp == 1) return;  // the only open card of the turn stays open
        PaintCard(position, "card");
        if (solo) SetLabelValue(Label4, LabelValue(Label4) + 1);
        countMyCover(*this);
    } else {
        if (twoCardsUp || (cardsUp >= 2 && myTurnedBack >= 2)) return;
        PaintCard(position, pictureName(board[i]));
        if (solo && cardsUp == 2) SetLabelValue(Label4, LabelValue(Label4) + 1);
        countTurnUp(*this, true);
    }
    faceDown[i] = !faceDown[i];
    if (faceDown[i] && showingCount(*this, !solo, false) == 0 && myTurnedBack >= 2) endTurn();
    pump();
}

// The replay step of player 2 (or the network opponent): works out from the table what
// the recorded action did, and repeats it with player 2's score, sound and turn fields.
void TForm1::Demo2(std::int32_t position) {
    if (position < 0 || position >= N) return;  // as in Demo: never an index off the board
    const auto i = static_cast<std::size_t>(position);

    if (hotSeat) ColourPlayers(plat::clRed, plat::clLime);

    auto endTurn = [&] {
        clicksBlocked = true;
        clearTurn(*this);
    };

    if (foundByMe[i] || foundByOpponent[i]) {
        PaintCard(position, "void");
        foundByOpponent[i] = false;
        foundByMe[i] = false;
        faceDown[i] = true;
        if (showingCount(*this, false, true) == 0 && oppTurnedBack >= 2) endTurn();
    } else if (board[i] <= 0) {
        // an empty place: nothing
    } else if (board[i] == oppLastPicture && position != oppLastPos) {
        if (twoCardsUp) return;
        PaintCard(position, pictureName(board[i]));
        markPairFound(*this, position, oppLastPos, false);
        twoCardsUp = false;
        cardsUp = 0;
        const std::int32_t s = LabelValue(Label4) + 1;
        plat::playSound("yourscore");
        SetLabelValue(Label4, s);
        if (s + LabelValue(Label2) == P) {
            ColourPlayers(plat::clWindowText, plat::clWindowText);
            endGame(*this);
        }
        forgetLastCard(*this, false);
    } else {
        rememberCard(*this, position, false);
        if (!faceDown[i]) {
            // Player 2's covers all count, even of the only open card.
            PaintCard(position, "card");
            ++oppTurnedBack;
            if (oppTurnedBack >= 2) {
                twoCardsUp = false;
                oppLastPicture = 0;
                oppLastPos = 0;
                oppTurnedBack = 2;
                myTurnedBack = 0;
            }
        } else {
            if (twoCardsUp || (cardsUp >= 2 && oppTurnedBack >= 2)) return;
            PaintCard(position, pictureName(board[i]));
            countTurnUp(*this, false);
        }
        faceDown[i] = !faceDown[i];
        if (faceDown[i] && showingCount(*this, false, true) == 0 && oppTurnedBack >= 2) endTurn();
        Button2->setEnabled(true);
    }
    pump();
}

}  // namespace game

// The steps that finish a try on their own: covering a missed pair, clearing a found one;
// the solo clock and the delay they share with the replay.
#include <string>

#include "game/steps.h"
#include "game/timerstep.h"
#include "game/zwiunit1.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/text.h"

namespace game {

namespace {

using ZwiUnit1::clicksBlocked;

// After a pair is covered or cleared the next try starts from nothing.
void resetTurnAfterPair(TForm1& f) {
    ZwiUnit1::twoCardsUp = false;
    f.oppLastTurnedPicture = f.prevPos = f.lastClickedPos = f.cardsUp = 0;
    f.myTurnedBack = f.oppTurnedBack = f.myLastPos = f.myLastPicture = 0;
    f.oppLastPos = f.oppLastPicture = 0;
}

}  // namespace

void TForm1::DrawPlaceLocked(int position, const plat::Bitmap& bmp) {
    if (position < 0 || position >= N) return;
    plat::Image* image = images[static_cast<std::size_t>(position)];
    // Only the cover and clear steps take the lock, all on this thread. A holder is either a
    // tick run by the pump, done by the time the pump returns, or a frame further up this
    // very call stack, which can only go on after we return. So pump once, then draw even
    // if the place is still held: waiting longer could only hang.
    if (image->canvasLocks() > 0) pump();
    image->lockCanvas();
    struct Release {
        plat::Image* image;
        ~Release() { image->unlockCanvas(); }
    } release{image};
    PaintCard(position, bmp);
    image->setShowHint(false);
    image->repaint();
    pump();
}

void TForm1::Timer3Timer() {
    if (ZwiUnit1::timer3Busy) return;
    ZwiUnit1::timer3Busy = true;
    // A table that begins inside one of this step's pumps is not the one the pair lay on:
    // the step then stops where it is.
    const unsigned table = tableGeneration;
    const auto ours = [this, table] { return tableGeneration == table; };
    runTick(
        *Timer3, ZwiUnit1::timer3Busy, clicksBlocked,
        [&] {
            if (hotSeat) playerOneToMove = !playerOneToMove;
            ApplyMoverColours();
            const plat::Bitmap back = plat::Bitmap::load(pictureModule(), "card");
            DrawPlaceLocked(prevPos, back);
            if (!ours()) return false;
            DrawPlaceLocked(lastClickedPos, back);
            if (!ours()) return false;
            for (int q : {prevPos, lastClickedPos})
                if (q >= 0 && q < N) faceDown[q] = true;
            LogMove(kMovePairCovered, prevPos, lastClickedPos);
            resetTurnAfterPair(*this);
            pump();
            return true;
        },
        ours);
}

void TForm1::Timer4Timer() {
    if (ZwiUnit1::timer4Busy) return;
    ZwiUnit1::timer4Busy = true;
    const unsigned table = tableGeneration;  // as in the cover step
    const auto ours = [this, table] { return tableGeneration == table; };
    runTick(
        *Timer4, ZwiUnit1::timer4Busy, clicksBlocked,
        [&] {
            // The two lowest marked places, searched on the board only.
            int found[2] = {-1, -1};
            int count = 0;
            for (int p = 0; p < N && count < 2; ++p)
                if (foundByMe[p]) found[count++] = p;
            // Fewer than two marks: at the end of a game a click took one card already.
            // Whatever is marked is cleared, a lone card recorded twice so the replay clears it
            // too. The clicks are left as they are: whatever blocks them then is not this step's
            // doing.
            if (count == 0) return false;
            if (count == 1) found[1] = found[0];
            for (int q : found) {
                foundByMe[q] = false;
                faceDown[q] = true;
            }
            const plat::Bitmap empty = plat::Bitmap::load(pictureModule(), "void");
            DrawPlaceLocked(found[0], empty);
            if (!ours()) return false;
            if (found[1] != found[0]) DrawPlaceLocked(found[1], empty);
            if (!ours()) return false;
            LogMove(kMovePairCleared, found[0], found[1]);
            resetTurnAfterPair(*this);
            pump();
            return count == 2;
        },
        ours);
}

void TForm1::CompletePendingSteps() {
    // Each step still due ticks now, on the table it was started for, as it would have a
    // moment later. One already running further up this call stack cannot run again; it
    // stops by itself once it sees the new table.
    if (Timer3->enabled()) Timer3Timer();
    if (Timer4->enabled()) Timer4Timer();
    Timer3->setEnabled(false);
    Timer4->setEnabled(false);
}

void TForm1::Timer5Timer() {
    SetLabelValue(Label5, LabelValue(Label5) + 1);
    if (LabelValue(Label2) >= P) Timer5->setEnabled(false);
}

void TForm1::changeinterval1Click() {
    std::string text = std::to_string(delayInterval);
    while (plat::inputQuery("Interval Veranderen", "Nieuw interval ?", text)) {
        // Text that is no number ends the command through the standard error box.
        const std::int32_t v = plat::strToInt(text);
        if (v > 0) {
            delayInterval = v;
            Timer1->setInterval(v);
            Timer3->setInterval(v);
            return;
        }
    }
}

}  // namespace game

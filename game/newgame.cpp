// The move record, a new game with its deal, and the switch between solo and two-player
// scores.
#include <string>

#include "game/deal.h"
#include "game/zwiunit1.h"
#include "network/messages.h"
#include "platform/app.h"
#include "platform/dialogs.h"

namespace ZwiUnit1 {

void SwapPair(std::int32_t& a, std::int32_t& b) {
    const std::int32_t t = a;
    a = b;
    b = t;
}

}  // namespace ZwiUnit1

namespace game {

namespace {

using ZwiUnit1::clickBusy;
using ZwiUnit1::clicksBlocked;

// Hot-seat names: 2 to 14 characters, taken as typed. A rejected name comes back in the
// edit field; Cancel keeps whatever the label showed.
void askName(const std::string& prompt, plat::Label* label) {
    std::string text;
    while (plat::inputQuery("Wat is je naam?", prompt, text)) {
        if (text.size() >= 2 && text.size() <= 14) {
            label->setCaption(text + ":");
            return;
        }
    }
}

// The deal reseeds before every draw, so successive seeds differ only by the time one draw
// takes. Taken straight from a fast counter that step is nearly constant, and through the
// generator's multiplier it walks the board in a regular stride: some pictures and places
// then come up far more often than others. Scrambling the reading first (a bijection, so no
// reading is lost) leaves each draw one seeded step of the same generator while spreading
// the draws evenly.
std::uint32_t dealCounter() {
    std::uint32_t h = plat::performanceCounter();
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
}

using plat::enable;

// Whether an entry of `size` integers fits at the cursor. When it does not, recording stops
// and the game goes on: the cursor is parked at the end, so no later entry fits either until
// the record is emptied, and the record keeps the beginning of the game in whole entries.
bool makeRoom(std::int32_t& logPos, std::int32_t size) {
    if (logPos >= 0 && logPos + size <= kLogSize) return true;
    logPos = kLogSize;
    return false;
}

}  // namespace

void TForm1::LogMove(std::int32_t code, std::int32_t position) {
    if (makeRoom(logPos, kCardEntrySize)) {
        moveLog[logPos++] = code;
        moveLog[logPos++] = position;
        // An entry written during a replay, or after one stopped part-way, continues the
        // game from the replayed position: the old entries beyond it no longer belong to
        // the record.
        logLength = logPos;
    }
    // During a replay only the player's own card action gets here (the peer's lines and
    // the timer steps are kept off the record): the player takes over from the replay.
    if (replayRunning) EndReplay();
    Save1->setEnabled(true);
}

void TForm1::LogMove(std::int32_t code, std::int32_t first, std::int32_t second) {
    if (!makeRoom(logPos, kPairEntrySize)) return;
    moveLog[logPos++] = code;
    moveLog[logPos++] = first;
    moveLog[logPos++] = second;
    logLength = logPos;
}

void TForm1::RestartRecordingStep() {
    if (!restartRecording) return;
    restartRecording = false;
    logPos = 0;
    logLength = 0;
    startScoreMe = LabelValue(Label2);
    startScoreOpp = LabelValue(Label4);
}

std::int32_t TForm1::Draw(std::int32_t n) {
    return drawFromCounter(dealClock ? dealClock->counter() : dealCounter(), n);
}

void TForm1::Deal(bool demonstration) {
    DealTarget target{
        std::span<std::int32_t>(dealPool.data(), static_cast<std::size_t>(N) + 1),
        std::span<std::int32_t>(dealChosen.data(), static_cast<std::size_t>(P) + 1),
        std::span<std::int32_t>(board.data(), static_cast<std::size_t>(N)),
        std::span<bool>(faceDown.data(), static_cast<std::size_t>(N)),
        demonstration ? std::span<std::int32_t>()
                      : std::span<std::int32_t>(startBoard.data(), static_cast<std::size_t>(N)),
    };
    dealCards(N, P, target, [this](std::int32_t n) { return Draw(n); });
}

void TForm1::BeginTable() {
    // A pending step belongs to the table before: carried out now, it changes nothing that
    // waiting a moment would not have changed, and the record of a game just ended keeps
    // its last entry. Dropped, it would leave a found pair marked and missing from the
    // record; left to tick, it would act on the new table.
    FinishReplayEntry();
    CompletePendingSteps();
    ++tableGeneration;
    StopReplayAndSweep();
}

void TForm1::StopReplayAndSweep() {
    Timer2->setEnabled(false);
    Timer1->setEnabled(false);
    if (replayRunning) EndReplay();
}

void TForm1::Start1Click() {
    const bool solo = Solo1->checked();

    // Before the name dialogs, whose loop would deliver a pending tick.
    BeginTable();

    playerOneToMove = true;
    hotSeat = false;

    if (!solo && !ZwiUnit1::connected) {
        ColourPlayers(plat::clLime, plat::clRed);
        playerOneToMove = true;
        hotSeat = true;
        askName("Naam speler 1 (max 14 tekens) :", Label1);
        askName("Naam speler 2 (max 14 tekens) :", Label3);
    }

    if (!hotSeat) {
        ColourPlayers(plat::clWindowText, plat::clWindowText);
        Label1->setCaption("Score:");
        Label3->setCaption(solo ? "Klikken:" : "Tegenspeler:");
    }

    savedScores = {0, 0, 0, 0};

    if (solo) {
        AutomaticClear1->setEnabled(true);
        Timer5->setEnabled(true);
    } else {
        // Fixed for the whole two-player game.
        AutomaticClear1->setEnabled(false);
    }

    elapsedSeconds = 0;
    Label5->setCaption("0");
    ListBox1->setVisible(false);
    ListBox2->setVisible(false);
    logPos = 0;
    logLength = 0;
    startScoreMe = 0;
    startScoreOpp = 0;
    Label2->setCaption("0");
    Label4->setCaption("0");
    lastClickedPos = prevPos = myLastPos = myLastPicture = myTurnedBack = 0;
    oppLastPos = oppLastPicture = oppTurnedBack = cardsUp = oppLastTurnedPicture = 0;
    ZwiUnit1::twoCardsUp = false;

    Start1->setEnabled(false);
    enable(animals1, false);
    enable(birds1, false);
    Button1->setEnabled(false);
    ShowDemo1->setEnabled(false);
    Replay1->setEnabled(false);
    Send1->setEnabled(true);
    // zwirlo3 keeps the mode fixed for the game.
    if (variant.zwirlo3) Solo1->setEnabled(false);

    const plat::Bitmap back = plat::Bitmap::load(pictureModule(), "card");
    for (int p = 0; p < N; ++p) {
        faceDown[p] = false;
        foundByMe[p] = false;
        foundByOpponent[p] = false;
        plat::Image* image = images[static_cast<std::size_t>(p)];
        while (image->canvasLocks() > 0) image->unlockCanvas();
        PaintCard(p, back);
        image->setShowHint(false);
        image->repaint();
    }

    Deal(false);

    ZwiUnit1::PostToPeer(network::BoardMessage(board.data(), N));

    clicksBlocked = false;
    Send1->setEnabled(true);
    clickBusy = false;

    plat::Application::processMessages();
    Save1->setEnabled(true);
}

void TForm1::Button1Click() { Start1Click(); }

void TForm1::Solo1Click() {
    const bool on = Solo1->checked();
    Label3->setCaption(on ? "Klikken:" : "Tegenspeler:");
    for (plat::Label* l : {Label5, Label7, Label8}) l->setVisible(on);

    // Show the scores kept for the mode now chosen and keep those of the mode just left.
    savedScores[2] = LabelValue(Label2);
    savedScores[3] = LabelValue(Label4);
    SetLabelValue(Label2, savedScores[0]);
    SetLabelValue(Label4, savedScores[1]);
    savedScores[0] = LabelValue(Label2);
    savedScores[1] = LabelValue(Label4);
    ZwiUnit1::SwapPair(savedScores[0], savedScores[2]);
    ZwiUnit1::SwapPair(savedScores[1], savedScores[3]);
}

}  // namespace game

// The peer's lines applied to the local table: a new board, the scores of a sent game,
// or one card action of the opponent, with the turn coming back when its cards are gone.
#include "game/steps.h"
#include "game/zwiunit1.h"
#include "network/messages.h"
#include "network/netform.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/sound.h"

namespace game {
namespace {

using network::enable;
using namespace ZwiUnit1;

std::size_t at(std::int32_t p) { return static_cast<std::size_t>(p); }

void hintOff(TForm1& f, int p) { f.images[at(p)]->setShowHint(false); }

// Cards showing a picture, plus the opponent's found cards not yet removed.
int showingCount(const TForm1& f) { return game::showingCount(f, false, true); }

// The opponent's turned cards are counted once per distinct picture.
void countDistinct(TForm1& f, std::int32_t picture) {
    if (picture != f.oppLastTurnedPicture) ++f.oppTurnedBack;
    f.oppLastTurnedPicture = picture;
}

void turnComesBack(TForm1& f) {
    clickBusy = true;
    f.oppLastTurnedPicture = 0;
    f.cardsUp = f.myTurnedBack = f.oppTurnedBack = 0;
    twoCardsUp = false;
    clicksBlocked = false;
    enable(f.Send1);
}

void applyGame(TForm1& f, const network::Scores& s) {
    plat::messageBeep();
    plat::showMessage("Een spel is ontvangen..");
    f.restartRecording = true;
    // The sender put its opponent's score first: that is ours.
    TForm1::SetLabelValue(f.Label2, s.mine);
    TForm1::SetLabelValue(f.Label4, s.theirs);
    if (!f.variant.zwirlo3) {
        f.startScoreMe = s.mine;
        f.startScoreOpp = s.theirs;
    }
    if (s.mine + s.theirs == f.P) {
        // The game is over: its places are empty for clicks too, not only to the eye. The
        // start board stays for the replay.
        for (int p = 0; p < f.N; ++p) {
            f.board[at(p)] = 0;
            f.PaintCard(p, "void");
            hintOff(f, p);
        }
        enable(f.Replay1);
        enableNewGameItems(f);
        clickBusy = false;
    }
    clicksBlocked = false;
    enable(f.ShowDemo1);
    enable(f.Send1, false);
    f.cardsUp = 0;
    twoCardsUp = false;
    f.oppLastTurnedPicture = 0;
    plat::Application::processMessages();
    enable(f.Save1);
}

void applyBoard(TForm1& f, const std::string& line) {
    f.BeginTable();
    f.savedScores = {};
    f.logPos = f.logLength = 0;
    f.startScoreMe = f.startScoreOpp = 0;
    enable(f.Replay1, false);
    f.Label2->setCaption("0");
    f.Label4->setCaption("0");
    f.lastClickedPos = f.prevPos = f.oppLastPos = f.oppLastPicture = f.oppTurnedBack = 0;
    f.myLastPos = f.myLastPicture = f.myTurnedBack = 0;
    twoCardsUp = false;
    f.cardsUp = 0;
    clicksBlocked = false;
    enable(f.Send1);
    clickBusy = false;
    // This side's own card actions are the local player's (100 in the record), as on the
    // dealing side; left as it was, a hot-seat game's last mover would decide it.
    f.playerOneToMove = true;
    enable(f.Start1, false);
    enable(f.animals1, false);
    enable(f.birds1, false);
    enable(f.Solo1, false);
    f.Solo1->setChecked(false);
    f.Label5->setVisible(false);
    f.Label7->setVisible(false);
    f.Label8->setVisible(false);
    enable(f.Button1, false);
    enable(f.AutomaticClear1, false);
    enable(f.ShowDemo1, false);
    for (int p = 0; p < f.N; ++p) {
        const std::int32_t v = static_cast<unsigned char>(line[at(p)]) - 32;
        f.board[at(p)] = f.startBoard[at(p)] = v;
        f.PaintCard(p, v == 0 ? "void" : "card");
        hintOff(f, p);
        f.faceDown[at(p)] = true;
        f.foundByOpponent[at(p)] = false;
        f.foundByMe[at(p)] = false;
    }
    clicksBlocked = false;
    f.cardsUp = f.myTurnedBack = f.oppTurnedBack = 0;
    twoCardsUp = false;
    f.Label5->setCaption("0");
    enable(f.Save1);
}

void applyClick(TForm1& f, int pos, char letter) {
    f.Button2->setEnabled(false);
    f.LogMove(game::kMovePlayerTwo, pos);  // every click line that gets this far, before its effect
    enable(f.Save1);
    const std::size_t p = at(pos);

    if (f.foundByOpponent[p] && letter == 'z') {  // the opponent clears its found card
        f.foundByOpponent[p] = false;
        f.faceDown[p] = true;
        if (showingCount(f) == 0 && f.oppTurnedBack >= 2) turnComesBack(f);
        f.PaintCard(pos, "void");
        hintOff(f, pos);
    } else if (f.foundByMe[p]) {
        clicksBlocked = false;
        enable(f.Send1);
        f.cardsUp = 0;
        twoCardsUp = false;
        f.oppLastTurnedPicture = 0;
    } else if (f.board[p] <= 0) {
        // An empty place: nothing to show.
    } else if (f.board[p] == f.oppLastPicture && pos != f.oppLastPos && letter == 'd' &&
               !f.foundByOpponent[p]) {  // the opponent completes a pair
        f.PaintCard(pos, pictureName(f.board[p]));
        f.SetCardHint(pos);
        const std::size_t first = at(f.oppLastPos);
        f.board[p] = 0;
        f.foundByOpponent[p] = true;
        f.faceDown[p] = false;
        twoCardsUp = false;
        f.cardsUp = 0;
        f.board[first] = 0;
        f.foundByOpponent[first] = true;
        f.faceDown[first] = false;
        std::int32_t s = TForm1::LabelValue(f.Label4) + 1;
        plat::playSoundMemory(yourScoreWave);
        TForm1::SetLabelValue(f.Label4, s);
        if (s + TForm1::LabelValue(f.Label2) == f.P) {  // the last pair: the game is over
            f.oppLastTurnedPicture = 0;
            enable(f.Replay1);
            enableNewGameItems(f);
            enable(f.ShowDemo1);
            enable(f.Send1, false);
            f.cardsUp = 0;
            twoCardsUp = false;
        }
        // The finder keeps the turn: clicksBlocked stays set.
        forgetLastCard(f, false);
    } else {
        const std::int32_t picture = f.board[p];
        f.oppLastPicture = picture;
        f.oppLastPos = pos;
        if (letter == 'b') {
            f.PaintCard(pos, "card");
            hintOff(f, pos);
            countDistinct(f, picture);
            if (f.oppTurnedBack >= 2) {
                twoCardsUp = false;
                f.cardsUp = f.myTurnedBack = 0;
                f.oppTurnedBack = 2;
            }
            f.faceDown[p] = true;
            if (showingCount(f) == 0) turnComesBack(f);
        } else if (letter == 'o') {
            f.PaintCard(pos, pictureName(picture));
            f.SetCardHint(pos);
            countDistinct(f, picture);
            if (f.oppTurnedBack >= 2) {
                twoCardsUp = false;
                f.cardsUp = f.myTurnedBack = f.oppTurnedBack = 0;
                f.oppLastTurnedPicture = 0;
            }
            f.faceDown[p] = false;
        }
    }
    plat::Application::processMessages();
}

}  // namespace

void TForm1::ClientSocket1Read(const std::string& line) {
    const bool afterBoard = lastLineWasBoard;
    lastLineWasBoard = false;
    // Lines no copy of the game sends (empty, a board of another length or with pictures
    // off the set or not in pairs, a position off the board, an unknown letter) change
    // nothing at all. A copy sends a game line only right after its board, with scores
    // that board can hold; any other would only pin the window with boxes or show a game
    // that cannot end.
    std::optional<network::Scores> scores;
    std::optional<network::Click> click;
    switch (network::classify(line)) {
    case network::LineKind::Game:
        scores = network::parseGame(line);
        if (!afterBoard || !scores || scores->mine + scores->theirs > P) return;
        break;
    case network::LineKind::Board:
        if (!network::validBoard(line, N)) return;
        lastLineWasBoard = true;
        break;
    case network::LineKind::Click:
        click = network::parseClick(line, N);
        if (!click) return;
        break;
    }

    // A replay shows a game already played, not the peer's table: its card actions have
    // nothing to act on there, and recording them would cut the record being replayed.
    // They are dropped before they touch anything.
    if (replayRunning && line.size() < network::kBoardMinLength) return;
    twoCardsUp = false;
    // While this side holds the turn the peer's card actions are dropped; boards never are.
    if (clickBusy && line.size() < network::kBoardMinLength) return;
    clicksBlocked = true;
    enable(Send1);
    RestartRecordingStep();

    if (scores)
        applyGame(*this, *scores);
    else if (click)
        applyClick(*this, click->position, click->letter);
    else
        applyBoard(*this, line);
}

}  // namespace game

// Sending the game on the table to the peer: its board, then both scores.
#include "game/steps.h"
#include "game/zwiunit1.h"
#include "network/messages.h"
#include "network/netform.h"
#include "platform/app.h"
#include "platform/dialogs.h"

namespace game {

using network::enable;
using namespace ZwiUnit1;

void TForm1::Zend() {
    const std::int32_t s1 = LabelValue(Label2), s2 = LabelValue(Label4);
    if (s1 + s2 == P) enableNewGameItems(*this);
    // Both lines queue behind each other, so the peer gets the board before its scores.
    PostToPeer(network::BoardMessage(board.data(), N));
    plat::showMessage("Spel verzonden..");
    PostToPeer(network::GameMessage(s2, s1));
    clicksBlocked = false;
    enable(Send1);
    clickBusy = false;
    plat::Application::processMessages();
}

void TForm1::Send1Click() {
    // Without a peer nothing is sent and the table stays: steps still due come at their time.
    // (The check comes again since the steps completed for a beginning pump messages.)
    if (connected) BeginTable();
    if (!connected) {
        StopReplayAndSweep();
        plat::messageBeep();
        plat::showMessage("U bent niet verbonden!");
        return;
    }
    plat::messageBeep();
    for (int p = 0; p < N; ++p) {
        const std::int32_t v = board[static_cast<std::size_t>(p)];
        if (v == 0)
            PaintCard(p, "void");
        else if (v > 0)
            PaintCard(p, "card");
        faceDown[static_cast<std::size_t>(p)] = true;
    }
    Zend();
    twoCardsUp = false;
    cardsUp = oppLastTurnedPicture = myTurnedBack = oppTurnedBack = 0;
    myLastPos = myLastPicture = oppLastPos = oppLastPicture = lastClickedPos = prevPos = 0;
}

}  // namespace game

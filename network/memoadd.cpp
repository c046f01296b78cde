// Handing received lines to the main thread.
#include "network/memoadd.h"

#include "game/zwiunit1.h"
#include "platform/tcp.h"

namespace network {

void LineNotify::Notify() const {
    plat::notify([item = *this] { item.DoNotify(); });
}

void LineNotify::DoNotify() const {
    // The window is reached through Form1; a line that outlives its window goes nowhere.
    if (game::TForm1* form = ZwiUnit1::Form1) form->ClientSocket1Read(receivedLine);
}

}  // namespace network

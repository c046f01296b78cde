#pragma once
// Small helpers the network handlers share: switching controls that one of the two
// programs lacks (plat::enable), and the indicator's two states.
#include "game/zwiunit1.h"

namespace network {

using plat::enable;

// The kind first, then the caption, as every caller of the indicator does it.
inline void showConnected(game::TForm1& f, bool on) {
    f.BitBtn1->setKind(on ? plat::BitBtn::bkYes : plat::BitBtn::bkNo);
    f.BitBtn1->setCaption(on ? "Verbonden" : "Geen Verbinding");
}

// Posted lines leave at once: a post wakes the wait of whichever side is connected.
void wakeOnPost();

}  // namespace network

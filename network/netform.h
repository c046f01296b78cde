#pragma once
// Small helpers the network handlers share: switching controls that one of the two
// programs lacks, and the indicator's two states.
#include "game/zwiunit1.h"

namespace network {

// The 48-card program has no card-set items: those pointers are null there.
inline void enable(plat::MenuItem* item, bool on = true) {
    if (item) item->setEnabled(on);
}
inline void enable(plat::Control* control, bool on = true) {
    if (control) control->setEnabled(on);
}

// The kind first, then the caption, as every caller of the indicator does it.
inline void showConnected(game::TForm1& f, bool on) {
    f.BitBtn1->setKind(on ? plat::BitBtn::bkYes : plat::BitBtn::bkNo);
    f.BitBtn1->setCaption(on ? "Verbonden" : "Geen Verbinding");
}

// Posted lines leave at once: a post wakes the wait of whichever side is connected.
void wakeOnPost();

}  // namespace network

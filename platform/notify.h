#pragma once
// How far the notify queue (notify() in tcp.h) is behind: for the connections' flow
// control and for tests.
#include <cstddef>

#include "platform/tcp.h"

namespace plat {

// True while no notify item waits or runs (tests pump the loop until it holds).
bool notifyIdle();

// Items queued from other threads and not yet run to their end. A connection takes no more
// of its peer's bytes while this is at kMaxHandOver.
std::size_t notifyBacklog();
// The eventfd `fd` is written to each time the backlog falls to half of kMaxHandOver.
// Switched off before the descriptor is closed.
void watchNotifyRoom(int fd, bool on);

// Connections whose thread is waiting now because the hand-over is full: until it has room
// they take nothing from their socket and hand nothing over (tests wait for one).
int connectionsHeldBack();

}  // namespace plat

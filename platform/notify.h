#pragma once
// Additions to tcp.h used by the network code and its tests.
#include <cstddef>
#include <functional>

#include "platform/tcp.h"

namespace plat {

// Runs fn on a thread of its own that serves the client's present connection. When fn
// returns, that connection is closed and gives back its descriptors, and the thread ends
// without being waited for; the client's destructor still waits for every such thread.
void startClientThread(TcpClient& client, std::function<void()> fn);

// True while no notify item waits or runs (tests pump the loop until it holds).
bool notifyIdle();

// Items queued from other threads and not yet run to their end. A connection takes no more
// of its peer's bytes while this is at kMaxHandOver.
std::size_t notifyBacklog();
// The eventfd `fd` is written to each time the backlog falls to half of kMaxHandOver.
// Switched off before the descriptor is closed.
void watchNotifyRoom(int fd, bool on);

}  // namespace plat

#pragma once
// Additions to tcp.h used by the network code and its tests.
#include <functional>

#include "platform/tcp.h"

namespace plat {

// Runs fn on a thread of its own tied to the client: the client's destructor closes its
// connection and then waits for every such thread, so none outlives the connection it uses.
void startClientThread(TcpClient& client, std::function<void()> fn);

// True while no notify item waits or runs (tests pump the loop until it holds).
bool notifyIdle();

}  // namespace plat

#pragma once
// The receive thread of the connecting side: reads the peer's lines, hands them to the
// main thread and sends the waiting ones, until the connection ends.
#include "platform/tcp.h"

namespace game {
class TForm1;
}

namespace OntvangUnit {

class TOntvangThread {
public:
    // Starts at once; frees itself when its work ends.
    explicit TOntvangThread(plat::TcpClient& client);
    plat::TcpClient* connection;  // not owned
    bool FreeOnTerminate = false;

protected:
    void Execute();

private:
    game::TForm1* form_;  // the window whose connection this is
    // The connection this thread serves, taken when it starts: a later connect makes a new
    // one.
    plat::TcpConnection* conn_;
};

}  // namespace OntvangUnit

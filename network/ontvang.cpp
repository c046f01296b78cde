// The connecting side's receive thread.
#include "network/ontvang.h"

#include "game/zwiunit1.h"
#include "network/memoadd.h"
#include "network/netform.h"
#include "platform/sound.h"
#include "platform/tcp_extra.h"

namespace OntvangUnit {

TOntvangThread::TOntvangThread(bool createSuspended, plat::TcpClient& client)
    : connection(&client), form_(ZwiUnit1::Form1) {
    FreeOnTerminate = true;
    if (createSuspended) return;
    // The client waits for this thread before it dies, so the connection outlives it.
    plat::startClientThread(client, [this] {
        Execute();
        if (FreeOnTerminate) delete this;
    });
}

void TOntvangThread::Execute() {
    using namespace ZwiUnit1;
    // The connection this thread serves; a later connect makes a new one.
    plat::TcpConnection* conn = connection->connection();
    try {
        while (conn && conn->connected()) {
            conn->checkForData(outbox.size() > 0 ? 0 : 10);
            if (!conn->inputBufferEmpty()) {
                TTCPMemoAddNotify item;
                item.receivedLine = conn->readLine();
                item.Notify();
            }
            outbox.sendOne([&](const std::string& line) { conn->writeLine(line); }, sendPending);
        }
    } catch (const std::exception&) {
        // A reset or a line cut short ends the thread without a message.
    }
    // A peer that ended the connection: our side follows, so a later disconnect is quiet.
    if (conn) conn->close();
    plat::notify([form = form_] {
        if (Form1 != form) return;  // the window is gone: nothing left to show it on
        connected = false;
        plat::playSound("conlost");
        network::showConnected(*form, false);
    });
}

}  // namespace OntvangUnit

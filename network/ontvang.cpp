// The connecting side's receive thread.
#include "network/ontvang.h"

#include "game/zwiunit1.h"
#include "network/memoadd.h"
#include "network/netform.h"
#include "platform/sound.h"

namespace OntvangUnit {

TOntvangThread::TOntvangThread(plat::TcpClient& client)
    : connection(&client), form_(ZwiUnit1::Form1), conn_(client.connection()) {
    FreeOnTerminate = true;
    // Before the thread runs: a line posted as soon as the connect returns is this peer's.
    ZwiUnit1::outbox.attach();
    // The thread keeps this connection alive until it ends; the client waits for it.
    try {
        plat::startClientThread(client, [this] {
            Execute();
            if (FreeOnTerminate) delete this;
        });
    } catch (...) {
        ZwiUnit1::outbox.detach(ZwiUnit1::sendPending);
        throw;
    }
}

void TOntvangThread::Execute() {
    using namespace ZwiUnit1;
    plat::TcpConnection* conn = conn_;
    try {
        while (conn && conn->connected()) {
            // Sleeps until the peer sends, a line is posted or the connection ends.
            conn->checkForData(outbox.size() > 0 ? 0 : -1);
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
    outbox.detach(sendPending);
    plat::notify([form = form_] {
        if (Form1 != form) return;  // the window is gone: nothing left to show it on
        connected = false;
        plat::playSound("conlost");
        network::showConnected(*form, false);
    });
}

}  // namespace OntvangUnit

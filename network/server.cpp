// The listening side: every copy listens for one peer; the connection's thread sends the
// waiting lines and hands received ones to the main thread. Its effects on the window are
// queued to the main thread, in order, and the thread never waits for them.
#include <atomic>

#include "game/steps.h"
#include "game/zwiunit1.h"
#include "network/memoadd.h"
#include "network/netform.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/exception.h"
#include "platform/sound.h"

namespace network {

void wakeOnPost() {
    ZwiUnit1::outbox.onPosted = [] {
        game::TForm1* f = ZwiUnit1::Form1;
        if (!f) return;
        if (f->IdTCPServer1) f->IdTCPServer1->wake();
        if (f->Client && f->Client->connection()) f->Client->connection()->wake();
    };
}

}  // namespace network

namespace game {
namespace {

using network::enable;
using namespace ZwiUnit1;

// Runs fn on the main thread with the window, unless that window is gone by then.
void onWindow(TForm1* form, std::function<void(TForm1&)> fn) {
    plat::notify([form, fn = std::move(fn)] {
        if (Form1 == form) fn(*form);
    });
}

std::string oneLine(std::string text) {
    for (std::size_t i; (i = text.find("\r\n")) != std::string::npos;) text.replace(i, 2, " ");
    return text;
}

// Set while a pair of error boxes is on screen or on its way there. A peer that breaks one
// connection after another would otherwise queue a pair for each; the first one says it.
std::atomic<bool> errorShown{false};

void showConnectionError(TForm1* form, std::string reason) {
    if (errorShown.exchange(true)) return;
    plat::notify([form, reason = std::move(reason)] {
        struct Done {
            ~Done() { errorShown = false; }
        } done;
        if (Form1 != form) return;
        plat::showMessage("500-Onbekende Interne Fout");
        plat::showMessage(reason);
    });
}

}  // namespace

void TForm1::FileListenItemClick() {
    network::wakeOnPost();
    IdTCPServer1->setActive(true);
    FileListenItem->setChecked(true);
}

void TForm1::IdTCPServer1Connect(plat::TcpConnection& connection) {
    // From here on what is posted is this peer's; what waits already is its first line.
    outbox.attach();
    // Two copies on one machine would play against themselves.
    const bool sameAddress = connection.localAddress() == connection.peerAddress();
    onWindow(this, [sameAddress](TForm1& f) {
        f.FileListenItem->setChecked(false);
        plat::playSound("robot");
        network::showConnected(f, true);
        connected = true;
        enableNewGameItems(f);
        enable(f.Load1);
        if (sameAddress) {
            plat::showMessage("Niet vals spelen..programma gaat sluiten");
            f.closeRequested = true;
            f.Timer1->setEnabled(true);
        }
    });
}

void TForm1::IdTCPServer1Execute(plat::TcpConnection& connection) {
    try {
        outbox.sendOne([&](const std::string& line) { connection.writeLine(line); }, sendPending);
        // More lines waiting: no pause before the next pass. Otherwise sleep until the peer
        // sends, a line is posted (a post wakes this wait) or the connection ends.
        connection.checkForData(outbox.size() > 0 ? 0 : -1);
        if (!connection.inputBufferEmpty()) {
            TTCPMemoAddNotify item;
            item.receivedLine = connection.readLine();
            item.Notify();
        }
    } catch (const plat::Exception& e) {
        // Switching the server off closes the connection on purpose: no error to show.
        if (IdTCPServer1->active()) showConnectionError(this, "500 " + oneLine(e.what()));
        throw;
    }
}

void TForm1::IdTCPServer1Disconnect(plat::TcpConnection&) {
    outbox.detach(sendPending);
    onWindow(this, [](TForm1& f) {
        plat::playSound("conlost");
        network::showConnected(f, false);
        enable(f.Start1);
        enable(f.Button1);
        connected = false;
        clicksBlocked = false;
        clickBusy = false;
    });
}

}  // namespace game

// The connecting side: ask for the peer's address (kept in host.txt), connect, and
// disconnect again.
#include <cerrno>

#include "game/datafiles.h"
#include "game/zwiunit1.h"
#include "network/netform.h"
#include "network/ontvang.h"
#include "platform/dialogs.h"
#include "platform/exception.h"
#include "platform/files.h"
#include "platform/sound.h"

namespace game {
namespace {

using network::enable;
using namespace ZwiUnit1;

// Only the first line counts, read from at most 4 KB; a missing or unreadable file leaves
// the address alone.
void readHostFile(std::string& address) {
    std::string content;
    const int err = plat::readFile(kHostFileName, content, 4096);
    if ((err != 0 && err != EFBIG) || content.empty()) return;
    address = content.substr(0, content.find_first_of("\r\n"));
}

// Replaced whole, so a FIFO or a device in its place can never hold up the connect.
void writeHostFile(const std::string& address) { plat::writeFileReplacing(kHostFileName, address); }

}  // namespace

void TForm1::FileConnectItemClick() {
    IdTCPServer1->setActive(false);
    FileListenItem->setChecked(false);
    outbox.clear(sendPending);
    if (!variant.zwirlo3) enable(Load1);
    readHostFile(hostAddress);
    std::string text = hostAddress;
    if (!plat::inputQuery("IP-adres", "Server adres om naar te verbinden: ", text)) return;
    text = plat::oneLine(text);  // host.txt holds one line
    hostAddress = text;
    if (!text.empty()) {
        Client->host = text;
        Client->port = options.port;  // the program's own port, 1200
    }
    writeHostFile(text);
    try {
        Client->connect();
    } catch (const plat::Exception& e) {
        plat::showMessage(std::string(variant.zwirlo3 ? ">>>Kon niet verbinden: "
                                                      : ">>>Kon geen verbinding maken: ") +
                          e.what());
    }
}

void TForm1::ClientConnected() {
    connected = true;
    enable(Start1);
    enable(animals1);
    enable(birds1);
    enable(Button1);
    FileListenItem->setChecked(false);
    if (variant.zwirlo3) enable(Load1);
    plat::playSound("robot");
    network::showConnected(*this, true);
    outbox.clear(sendPending);
    network::wakeOnPost();
    new OntvangUnit::TOntvangThread(*Client);
}

void TForm1::ClientDisconnected() {
    plat::playSound("conlost");
    network::showConnected(*this, false);
    enable(Start1);
    enable(Button1);
    connected = false;
    clicksBlocked = false;
    clickBusy = false;
}

void TForm1::Disconnect1Click() {
    Client->disconnect();
    IdTCPServer1->setActive(false);
    outbox.clear(sendPending);
}

}  // namespace game

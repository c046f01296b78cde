// Handing received lines to the main thread.
#include "network/memoadd.h"

#include <atomic>

#include "game/zwiunit1.h"
#include "platform/tcp.h"

namespace network {
namespace {

// Every connection is served by a thread of its own, so the thread tells them apart.
std::uint64_t connectionOfThisThread() {
    static std::atomic<std::uint64_t> last{0};
    thread_local const std::uint64_t mine = ++last;
    return mine;
}

}  // namespace

void LineNotify::Notify() const {
    LineNotify item = *this;
    item.connection_ = connectionOfThisThread();
    plat::notify([item] { item.DoNotify(); });
}

void LineNotify::DoNotify() const {
    // The window is reached through Form1; a line that outlives its window goes nowhere.
    if (game::TForm1* form = ZwiUnit1::Form1) form->ClientSocket1Read(receivedLine, connection_);
}

}  // namespace network

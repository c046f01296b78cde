#pragma once
// The test as the other copy of the game: a raw loopback socket speaking peer lines, and
// a window built without the instance guard on an ephemeral port.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "game/zwiunit1.h"
#include "loopback.h"
#include "network/messages.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/notify.h"
#include "platform/sound.h"

namespace nettest {

// Runs the main loop until pred holds (false after 20 s: the caller's assertion fails).
template <class Pred>
bool pumpUntil(Pred pred) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        plat::Application::processMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Descriptors the process has open (the count is all that is compared, so the one the
// listing itself opens does not matter).
inline long openDescriptors() {
    long n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

// Waits without running the main loop until a connection is held back by the full hand-over;
// returns what the hand-over holds then. A connection that read on past the bound is never
// held back there (after 20 s the caller sees what it handed over).
inline std::size_t handOverAfterFilling() {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (plat::connectionsHeldBack() == 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return plat::notifyBacklog();
}

// Lets every handed-over item run.
inline void settle() {
    pumpUntil([] { return plat::notifyIdle(); });
    plat::Application::processMessages();
}

class Peer {
public:
    Peer() = default;
    explicit Peer(int fd) : fd_(fd) {}
    ~Peer() { close(); }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    // Connects from `from` (another loopback address keeps the same-address rule quiet).
    static std::unique_ptr<Peer> connectTo(int port, const char* from = "127.0.0.3") {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in src = loopback(from, 0);
        sockaddr_in dst = loopback("127.0.0.1", port);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&src), sizeof src) != 0 ||
            ::connect(fd, reinterpret_cast<sockaddr*>(&dst), sizeof dst) != 0) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<Peer>(fd);
    }

    bool open() const { return fd_ >= 0; }
    void sendRaw(const std::string& bytes) {
        ASSERT_EQ(::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    void send(const std::string& line) { sendRaw(network::frame(line)); }

    // The next line from the game, pumping the main loop while it waits; "<none>" on
    // time-out, "<closed>" when the game ended the connection.
    std::string readLine(std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        std::string line;
        auto end = std::chrono::steady_clock::now() + limit;
        while (!in_.next(line)) {
            if (std::chrono::steady_clock::now() > end) return "<none>";
            pollfd p = {fd_, POLLIN, 0};
            if (::poll(&p, 1, 2) > 0) {
                char buf[4096];
                ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
                if (n <= 0) return "<closed>";
                in_.feed(std::string_view(buf, static_cast<std::size_t>(n)));
            }
            plat::Application::processMessages();
        }
        return line;
    }
    // True when the game closed the connection (pumping while it waits).
    bool closedByGame() { return readLine() == "<closed>"; }

    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    void reset() {
        linger l{1, 0};
        setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l);
        close();
    }

private:
    int fd_ = -1;
    network::LineSplitter in_;
};

// A fresh window per test, scripted dialogs and recorded sounds emptied.
class NetWindow : public ::testing::Test {
protected:
    std::unique_ptr<game::TForm1> form;

    void build(const game::Variant& variant, int port = 0) {
        settle();
        plat::DialogScript::clear();
        plat::SoundRecorder::clear();
        form = std::make_unique<game::TForm1>(
            variant, game::FormOptions{.listen = false, .port = port, .instanceGuard = false});
    }
    void SetUp() override { build(game::zwirlo60Variant()); }
    void TearDown() override {
        form.reset();
        settle();
    }
    // Starts listening on an ephemeral port and returns it.
    int listen() {
        form->FileListenItemClick();
        return form->IdTCPServer1->boundPort();
    }
    std::vector<std::string> messages() { return plat::DialogScript::messages(); }
    std::vector<std::string>& sounds() { return plat::SoundRecorder::played(); }
};

// A board as a peer deals it, pairs side by side: places 2k and 2k+1 hold picture k+1.
inline std::string pairBoard(int cards) {
    std::vector<std::int32_t> b(static_cast<std::size_t>(cards));
    for (int p = 0; p < cards; ++p) b[static_cast<std::size_t>(p)] = p / 2 + 1;
    return network::BoardMessage(b.data(), cards);
}

}  // namespace nettest

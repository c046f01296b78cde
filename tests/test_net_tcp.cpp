// The socket layer on ephemeral ports, with raw sockets as the far end; and the notify queue.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/exception.h"
#include "platform/tcp.h"
#include "platform/tcp_extra.h"

namespace {

// A log written by the connection thread and read by the test.
struct Events {
    std::mutex m;
    std::condition_variable cv;
    std::vector<std::string> items;
    void add(const std::string& e) {
        std::lock_guard<std::mutex> g(m);
        items.push_back(e);
        cv.notify_all();
    }
    bool waitFor(std::size_t n, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        std::unique_lock<std::mutex> g(m);
        return cv.wait_for(g, limit, [&] { return items.size() >= n; });
    }
    std::vector<std::string> snapshot() {
        std::lock_guard<std::mutex> g(m);
        return items;
    }
};

int rawConnect(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void rawSend(int fd, const std::string& bytes) {
    ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
}

// Reads until `n` bytes or the end of the stream.
std::string rawRead(int fd, std::size_t n) {
    std::string out;
    char buf[4096];
    while (out.size() < n) {
        ssize_t got = ::recv(fd, buf, std::min(sizeof buf, n - out.size()), 0);
        if (got <= 0) break;
        out.append(buf, static_cast<std::size_t>(got));
    }
    return out;
}

// Closing with a zero linger sends a reset instead of an orderly end.
void rawReset(int fd) {
    linger l{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    ::close(fd);
}

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

// A server whose execute pass reads one line per pass, as the game's does.
struct LineServer {
    Events ev;  // outlives the server's thread
    plat::TcpServer server;
    LineServer() {
        server.port = 0;
        server.onConnect = [this](plat::TcpConnection& c) {
            ev.add("connect " + c.localAddress() + " " + c.peerAddress());
        };
        server.onExecute = [this](plat::TcpConnection& c) {
            try {
                c.checkForData(10);
                if (!c.inputBufferEmpty()) ev.add("line " + c.readLine());
            } catch (const plat::SocketError& e) {
                ev.add(std::string("error ") + e.what());
                throw;
            }
        };
        server.onDisconnect = [this](plat::TcpConnection&) { ev.add("disconnect"); };
        server.setActive(true);
    }
};

}  // namespace

TEST(NetTcp, ServerServesOnePeerAndDropsTheNext) {
    LineServer s;
    ASSERT_TRUE(s.server.active());
    int port = s.server.boundPort();
    ASSERT_GT(port, 0);
    int a = rawConnect(port);
    ASSERT_TRUE(s.ev.waitFor(1));
    // Several lines in one packet, split anywhere; a 0 byte belongs to the line.
    rawSend(a, "one\r\ntw");
    rawSend(a, std::string("o\n\0x\r\n", 6));
    ASSERT_TRUE(s.ev.waitFor(4));

    int b = rawConnect(port);  // a third party: accepted and closed, no handler
    ASSERT_GE(b, 0);
    EXPECT_EQ(rawRead(b, 1), "");
    ::close(b);

    ::close(a);  // orderly: no error, the disconnect handler runs
    ASSERT_TRUE(s.ev.waitFor(5));
    EXPECT_EQ(s.ev.snapshot(),
              (std::vector<std::string>{"connect 127.0.0.1 127.0.0.1", "line one", "line two",
                                        std::string("line \0x", 7), "disconnect"}));

    // The next peer is served again (once the old thread has let go of its slot).
    int c = -1;
    for (int tries = 0; tries < 100 && s.ev.snapshot().size() < 6; ++tries) {
        if (c >= 0) ::close(c);
        c = rawConnect(port);
        s.ev.waitFor(6, std::chrono::milliseconds(100));
    }
    ASSERT_EQ(s.ev.snapshot().size(), 6u);
    ::close(c);
    ASSERT_TRUE(s.ev.waitFor(7));
}

TEST(NetTcp, BrokenConnectionsRaiseAndEndTheRepetition) {
    {
        LineServer s;
        int a = rawConnect(s.server.boundPort());
        ASSERT_TRUE(s.ev.waitFor(1));
        rawSend(a, "half a li");
        ::close(a);  // ended in the middle of a line
        ASSERT_TRUE(s.ev.waitFor(3));
        auto ev = s.ev.snapshot();
        EXPECT_EQ(ev[1], "error Connection Closed Gracefully.");
        EXPECT_EQ(ev[2], "disconnect");
    }
    {
        LineServer s;
        int a = rawConnect(s.server.boundPort());
        ASSERT_TRUE(s.ev.waitFor(1));
        rawReset(a);
        ASSERT_TRUE(s.ev.waitFor(3));
        auto ev = s.ev.snapshot();
        EXPECT_EQ(ev[1], "error Socket Error # 104\r\nConnection reset by peer.");
        EXPECT_EQ(ev[2], "disconnect");
    }
    {
        LineServer s;
        int a = rawConnect(s.server.boundPort());
        ASSERT_TRUE(s.ev.waitFor(1));
        rawSend(a, std::string(plat::kMaxLineBytes + 1, 'x') + "\r\n");
        ASSERT_TRUE(s.ev.waitFor(3));
        EXPECT_EQ(s.ev.snapshot()[1], "error Max line length exceeded.");
        ::close(a);
    }
}

TEST(NetTcp, LongestLineStillPasses) {
    LineServer s;
    int a = rawConnect(s.server.boundPort());
    ASSERT_TRUE(s.ev.waitFor(1));
    std::string longest(plat::kMaxLineBytes - 1, 'y');  // with its CR: the limit exactly
    rawSend(a, longest + "\r\n");
    ASSERT_TRUE(s.ev.waitFor(2));
    EXPECT_EQ(s.ev.snapshot()[1], "line " + longest);
    ::close(a);
}

TEST(NetTcp, SwitchingOffClosesThePeerAndWaitsForItsThread) {
    LineServer s;
    int port = s.server.boundPort();
    int a = rawConnect(port);
    ASSERT_TRUE(s.ev.waitFor(1));
    s.server.setActive(false);
    EXPECT_FALSE(s.server.active());
    EXPECT_EQ(s.ev.snapshot().back(), "disconnect");  // ran before setActive returned
    EXPECT_EQ(rawRead(a, 1), "");
    ::close(a);
    EXPECT_EQ(rawConnect(port), -1);  // no longer listening
    s.server.setActive(true);          // address reuse lets it come back at once
    EXPECT_TRUE(s.server.active());
}

TEST(NetTcp, PortInUseIsASocketError) {
    LineServer s;
    plat::TcpServer other;
    other.port = s.server.boundPort();
    try {
        other.setActive(true);
        FAIL() << "bound twice";
    } catch (const plat::SocketError& e) {
        EXPECT_EQ(std::string(e.what()), "Socket Error # 98\r\nAddress already in use.");
    }
    EXPECT_FALSE(other.active());
}

TEST(NetTcp, WriteFramesAndWakeEndsAWait) {
    plat::TcpServer server;
    server.port = 0;
    std::mutex m;
    std::condition_variable cv;
    int passes = 0;
    server.onConnect = [](plat::TcpConnection& c) { c.writeLine(std::string("a\0b", 3)); };
    server.onExecute = [&](plat::TcpConnection& c) {
        c.checkForData(60000);  // only a wake (or input) ends it early
        std::lock_guard<std::mutex> g(m);
        ++passes;
        cv.notify_all();
    };
    server.setActive(true);
    int a = rawConnect(server.boundPort());
    EXPECT_EQ(rawRead(a, 5), std::string("a\0b\r\n", 5));
    for (int i = 1; i <= 3; ++i) {
        server.wake();
        std::unique_lock<std::mutex> g(m);
        ASSERT_TRUE(cv.wait_for(g, std::chrono::seconds(20), [&] { return passes >= i; }));
    }
    ::close(a);
    server.setActive(false);
}

TEST(NetTcp, ThrowingHandlerStillGetsItsDisconnect) {
    Events ev;
    plat::TcpServer server;
    server.port = 0;
    server.onExecute = [&](plat::TcpConnection&) {
        ev.add("execute");
        throw std::runtime_error("boom");
    };
    server.onDisconnect = [&](plat::TcpConnection&) { ev.add("disconnect"); };
    server.setActive(true);
    int a = rawConnect(server.boundPort());
    ASSERT_TRUE(ev.waitFor(2));
    EXPECT_EQ(ev.snapshot(), (std::vector<std::string>{"execute", "disconnect"}));
    EXPECT_EQ(rawRead(a, 1), "");
    ::close(a);
}

TEST(NetTcp, ClientConnectsDisconnectsAndReportsFailures) {
    Events ev;
    plat::TcpServer server;
    server.port = 0;
    server.onExecute = [&](plat::TcpConnection& c) {
        c.checkForData(10);
        if (!c.inputBufferEmpty()) ev.add(c.readLine());
    };
    server.onConnect = [&](plat::TcpConnection&) { ev.add("accepted"); };
    server.onDisconnect = [&](plat::TcpConnection&) { ev.add("gone"); };
    server.setActive(true);

    plat::TcpClient client;
    client.port = server.boundPort();
    client.host = "localhost";  // a name, looked up
    int connectedCalls = 0, disconnectedCalls = 0;
    client.onConnected = [&] {
        ++connectedCalls;
        client.connection()->writeLine("hello");
    };
    client.onDisconnected = [&] { ++disconnectedCalls; };
    EXPECT_EQ(client.connection(), nullptr);
    client.connect();
    EXPECT_EQ(connectedCalls, 1);
    ASSERT_TRUE(ev.waitFor(2));
    EXPECT_EQ(ev.snapshot()[1], "hello");
    EXPECT_TRUE(client.connected());
    try {
        client.connect();
        FAIL();
    } catch (const plat::SocketError& e) {
        EXPECT_STREQ(e.what(), "Already connected.");
    }
    client.disconnect();
    EXPECT_EQ(disconnectedCalls, 1);
    client.disconnect();  // no longer open: nothing
    EXPECT_EQ(disconnectedCalls, 1);
    ASSERT_TRUE(ev.waitFor(3));
    EXPECT_EQ(ev.snapshot()[2], "gone");

    // The peer ends it: the client notices, and a later disconnect calls nothing. (Nothing
    // is written this time: unread bytes would make the server's close a reset.)
    client.onConnected = [&] { ++connectedCalls; };
    client.connect();
    ASSERT_TRUE(ev.waitFor(4));  // accepted: closing the listener now cannot reset it
    server.setActive(false);
    ASSERT_TRUE(pumpUntil([&] {
        client.connection()->checkForData(10);
        return !client.connected();
    }));
    client.disconnect();
    EXPECT_EQ(disconnectedCalls, 1);

    // Nobody listens there now.
    try {
        client.connect();
        FAIL();
    } catch (const plat::SocketError& e) {
        EXPECT_STREQ(e.what(), "Socket Error # 111\r\nConnection refused.");
    }
    client.host = "no-such-host.invalid";
    EXPECT_THROW(client.connect(), plat::SocketError);
}

TEST(NetTcp, FailingConnectedHandlerClosesWhatWasOpened) {
    Events ev;
    plat::TcpServer server;
    server.port = 0;
    server.onDisconnect = [&](plat::TcpConnection&) { ev.add("gone"); };
    server.setActive(true);
    plat::TcpClient client;
    client.port = server.boundPort();
    client.onConnected = [] { throw plat::Exception("no"); };
    EXPECT_THROW(client.connect(), plat::Exception);
    EXPECT_FALSE(client.connected());
    ASSERT_TRUE(ev.waitFor(1));
}

TEST(NetNotify, RunsItemsInOrderOnTheMainThreadOneAtATime) {
    plat::DialogScript::clear();
    std::vector<int> order;
    bool onMain = true;
    int depth = 0, maxDepth = 0;
    std::thread producer([&] {
        for (int i = 0; i < 50; ++i) {
            plat::notify([&, i] {
                onMain = onMain && plat::Application::isMainThread();
                maxDepth = std::max(maxDepth, ++depth);
                order.push_back(i);
                // Pumping inside an item must not start the next one.
                plat::Application::processMessages();
                if (i == 10) throw plat::Exception("item failed");
                --depth;
            });
        }
    });
    producer.join();
    ASSERT_TRUE(pumpUntil([] { return plat::notifyIdle(); }));
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(order[i], i);
    EXPECT_TRUE(onMain);
    EXPECT_EQ(maxDepth, 1 + 1);  // the failed item never reached its --depth
    EXPECT_EQ(plat::DialogScript::messages(), std::vector<std::string>{"item failed"});

    int ranAtOnce = 0;
    plat::notify([&] { ++ranAtOnce; });  // on the main thread: at once
    EXPECT_EQ(ranAtOnce, 1);
}

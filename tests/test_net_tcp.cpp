// The socket layer on ephemeral ports with a raw socket as the far end; and the notify
// queue. (Port-in-use and a third peer during a game are covered with the window.)
#include <condition_variable>
#include <mutex>

#include "platform/exception.h"
#include "test_net_peer.h"

using namespace nettest;

namespace {

// What the connection thread saw, in order.
struct Events {
    std::mutex m;
    std::condition_variable cv;
    std::vector<std::string> items;
    void add(const std::string& e) {
        std::lock_guard<std::mutex> g(m);
        items.push_back(e);
        cv.notify_all();
    }
    bool waitFor(std::size_t n) {
        std::unique_lock<std::mutex> g(m);
        return cv.wait_for(g, std::chrono::seconds(20), [&] { return items.size() >= n; });
    }
    std::string at(std::size_t i) {
        std::lock_guard<std::mutex> g(m);
        return i < items.size() ? items[i] : "<none>";
    }
};

// A server whose pass reads one line, as the game's does.
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
    std::unique_ptr<Peer> peer() {
        auto p = Peer::connectTo(server.boundPort());
        EXPECT_TRUE(p && ev.waitFor(1));
        return p;
    }
};

}  // namespace

TEST(NetTcp, LinesArriveWhateverTheirPacketsAndEndsAreOrderly) {
    LineServer s;
    auto a = s.peer();
    EXPECT_EQ(s.ev.at(0), "connect 127.0.0.1 127.0.0.3");
    // Split anywhere; a 0 byte belongs to the line; the longest line passes.
    std::string longest(plat::kMaxLineBytes - 1, 'y');  // its CR makes the limit exactly
    a->sendRaw("one\r\ntw");
    a->sendRaw(std::string("o\n\0x\r\n", 6) + longest + "\r\n");
    a->close();  // orderly: no error
    ASSERT_TRUE(s.ev.waitFor(6));
    EXPECT_EQ(s.ev.at(1), "line one");
    EXPECT_EQ(s.ev.at(2), "line two");
    EXPECT_EQ(s.ev.at(3), std::string("line \0x", 7));
    EXPECT_EQ(s.ev.at(4), "line " + longest);
    EXPECT_EQ(s.ev.at(5), "disconnect");
}

// Each way a connection breaks raises the library's text and still ends in disconnect.
TEST(NetTcp, BrokenConnectionsRaiseAndEndTheRepetition) {
    struct Case {
        const char* name;
        std::function<void(Peer&)> breakIt;
        std::string error;
    };
    const Case cases[] = {
        {"cut mid-line",
         [](Peer& p) {
             p.sendRaw("half a li");
             p.close();
         },
         "error Connection Closed Gracefully."},
        {"reset", [](Peer& p) { p.reset(); },
         "error Socket Error # 104\r\nConnection reset by peer."},
        {"too long", [](Peer& p) { p.sendRaw(std::string(plat::kMaxLineBytes + 1, 'x') + "\r\n"); },
         "error Max line length exceeded."},
    };
    for (const Case& c : cases) {
        LineServer s;
        auto a = s.peer();
        c.breakIt(*a);
        ASSERT_TRUE(s.ev.waitFor(3)) << c.name;
        EXPECT_EQ(s.ev.at(1), c.error) << c.name;
        EXPECT_EQ(s.ev.at(2), "disconnect") << c.name;
    }
}

// A peer that sends faster than the main thread takes lines in is no longer read from once
// the hand-over holds its bound; every line still arrives, once and in order.
TEST(NetTcp, AFloodingPeerWaitsAtTheHandOverBoundAndLosesNoLine) {
    settle();
    std::vector<std::string> got;  // main thread only
    std::size_t most = 0;
    plat::TcpServer server;
    server.port = 0;
    server.onExecute = [&](plat::TcpConnection& c) {
        c.checkForData(-1);
        if (c.inputBufferEmpty()) return;
        plat::notify([&, line = c.readLine()] {
            got.push_back(line);
            most = std::max(most, plat::notifyBacklog());
        });
    };
    server.setActive(true);
    auto a = Peer::connectTo(server.boundPort());
    ASSERT_TRUE(a);
    std::vector<std::string> sent;
    std::string flood;
    for (std::size_t i = 0; i < 10 * plat::kMaxHandOver; ++i) {
        sent.push_back(std::to_string(i));
        flood += network::frame(sent.back());
    }
    a->sendRaw(flood);
    EXPECT_EQ(handOverAfterFilling(), plat::kMaxHandOver);
    ASSERT_TRUE(pumpUntil([&] { return got.size() >= sent.size(); }));
    EXPECT_EQ(got, sent);
    EXPECT_LE(most, plat::kMaxHandOver);
}

// Peers that leave, and peers closed by switching the server off, leave no descriptor open.
TEST(NetTcp, EndedConnectionsGiveBackTheirDescriptors) {
    LineServer s;
    const long before = openDescriptors();
    for (std::size_t i = 0; i < 20; ++i) {
        auto a = Peer::connectTo(s.server.boundPort());
        ASSERT_TRUE(a && s.ev.waitFor(2 * i + 1));
        if (i % 2) {
            s.server.setActive(false);
            s.server.setActive(true);
        }
        a.reset();
        ASSERT_TRUE(s.ev.waitFor(2 * i + 2));
        EXPECT_EQ(s.ev.at(2 * i + 1), "disconnect");
        // Back to the count of before, by the time the server is free for the next peer.
        ASSERT_TRUE(pumpUntil([&] { return openDescriptors() <= before; }))
            << "cycle " << i << ": " << openDescriptors() - before << " more open";
    }
}

TEST(NetTcp, SwitchingOffClosesThePeerAndWaitsForItsThread) {
    LineServer s;
    int port = s.server.boundPort();
    auto a = s.peer();
    s.server.setActive(false);
    EXPECT_FALSE(s.server.active());
    EXPECT_EQ(s.ev.at(1), "disconnect");  // ran before setActive returned
    EXPECT_TRUE(a->closedByGame());
    EXPECT_EQ(Peer::connectTo(port), nullptr);  // no longer listening
    s.server.setActive(true);                   // address reuse: back at once
    EXPECT_TRUE(s.server.active());
}

TEST(NetTcp, WriteFramesAThrowEndsTheRepetitionAndWakeEndsAWait) {
    Events ev;
    plat::TcpServer server;
    server.port = 0;
    server.onConnect = [](plat::TcpConnection& c) { c.writeLine(std::string("a\0b", 3)); };
    server.onExecute = [&](plat::TcpConnection& c) {
        c.checkForData(60000);  // only a wake (or input) ends it early
        ev.add("pass");
        if (ev.items.size() == 3) throw std::runtime_error("enough");
    };
    server.onDisconnect = [&](plat::TcpConnection&) { ev.add("disconnect"); };
    server.setActive(true);
    auto a = Peer::connectTo(server.boundPort());
    EXPECT_EQ(a->readLine(), std::string("a\0b", 3));
    for (std::size_t i = 1; i <= 3; ++i) {
        server.wake();
        ASSERT_TRUE(ev.waitFor(i));
    }
    ASSERT_TRUE(ev.waitFor(4));
    EXPECT_EQ(ev.at(3), "disconnect");
    EXPECT_TRUE(a->closedByGame());
}

TEST(NetTcp, ClientConnectsDisconnectsAndReportsFailures) {
    LineServer s;
    plat::TcpClient client;
    client.port = s.server.boundPort();
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
    ASSERT_TRUE(s.ev.waitFor(2));
    EXPECT_EQ(s.ev.at(1), "line hello");
    try {
        client.connect();
        FAIL();
    } catch (const plat::SocketError& e) {
        EXPECT_STREQ(e.what(), "Already connected.");
    }
    client.disconnect();
    client.disconnect();  // no longer open: nothing
    EXPECT_EQ(disconnectedCalls, 1);
    ASSERT_TRUE(s.ev.waitFor(3));

    // The peer ends it: the client notices, and a later disconnect calls nothing. (Nothing
    // is written this time: unread bytes would make the server's close a reset.)
    client.onConnected = [&] { ++connectedCalls; };
    client.connect();
    ASSERT_TRUE(s.ev.waitFor(4));  // accepted: closing the listener now cannot reset it
    s.server.setActive(false);
    ASSERT_TRUE(pumpUntil([&] {
        client.connection()->checkForData(10);
        return !client.connected();
    }));
    client.disconnect();
    EXPECT_EQ(disconnectedCalls, 1);

    try {
        client.connect();
        FAIL();
    } catch (const plat::SocketError& e) {
        EXPECT_STREQ(e.what(), "Socket Error # 111\r\nConnection refused.");
    }
    // A name the resolver refuses without asking a server: same form, positive code.
    client.host = "no such host";
    try {
        client.connect();
        FAIL();
    } catch (const plat::SocketError& e) {
        EXPECT_STREQ(e.what(), "Socket Error # 2\r\nName or service not known.");
    }

    // A failing connected handler closes what was opened and reaches the caller.
    s.server.setActive(true);
    client.host = "127.0.0.1";
    client.port = s.server.boundPort();
    client.onConnected = [] { throw plat::Exception("no"); };
    EXPECT_THROW(client.connect(), plat::Exception);
    EXPECT_FALSE(client.connected());
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
    EXPECT_EQ(maxDepth, 2);  // the failed item never reached its --depth
    EXPECT_EQ(plat::DialogScript::messages(), std::vector<std::string>{"item failed"});

    int ranAtOnce = 0;
    plat::notify([&] { ++ranAtOnce; });  // on the main thread: at once
    EXPECT_EQ(ranAtOnce, 1);
}

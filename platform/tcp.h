#pragma once
// TCP on POSIX sockets and threads, with the blocking, thread-per-connection model the
// game is written for; and the notify queue that hands work to the main thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace plat {

constexpr std::size_t kMaxLineBytes = 16384;
// What network threads may have handed to the main thread and it has not yet run: a peer
// that sends faster is no longer read from, and TCP's flow control slows it down. With
// lines of at most kMaxLineBytes that is also at most about 1 MB.
constexpr std::size_t kMaxHandOver = 64;

// One open connection. Used by one network thread at a time; close() may come from
// another thread and makes a pending wait or read fail or find the connection closed.
// While the hand-over to the main thread is full (kMaxHandOver), neither checkForData nor
// readLine takes bytes from the socket or hands out a line; the buffer holds at most one
// line of kMaxLineBytes plus one read.
class TcpConnection {
public:
    explicit TcpConnection(int fd);
    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // Sends text + CR LF. Throws SocketError when broken or closed.
    void writeLine(const std::string& text);
    // Waits at most ms (ms < 0: without limit) for input, ending early on wake() or close();
    // moves what arrived into the input buffer. Returns at once when a whole line is waiting
    // already. An orderly close by the peer is noted, not raised; a socket error raises.
    void checkForData(int ms);
    bool inputBufferEmpty() const;
    // The next line, cut at LF with one CR before it dropped; waits for the whole line (and
    // for room in the hand-over). Throws SocketError when the connection ends first or the
    // line passes kMaxLineBytes.
    std::string readLine();
    // Open, or received bytes still waiting.
    bool connected() const;
    std::string localAddress() const;  // dotted IPv4 text
    std::string peerAddress() const;
    void close();
    // Closes and gives back the socket and the wake-up descriptor. Only for the thread that
    // served the connection, once it is done with it; other threads then find it closed.
    void release();
    // Ends a checkForData wait early (a line was posted). Any thread.
    void wake();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The listening server: at most one peer; a further peer is accepted and closed at once.
// Handlers run on the connection's own thread: onConnect once, onExecute while connected
// (an exception ends the repetition), onDisconnect once.
class TcpServer {
public:
    TcpServer();
    ~TcpServer();
    int port = 1200;
    bool reuseAddress = true;
    std::function<void(TcpConnection&)> onConnect, onExecute, onDisconnect;
    // On: listen on every IPv4 address (no-op when listening; throws SocketError when the
    // port cannot be opened). Off: stop listening, close the connection, wait for its thread.
    void setActive(bool on);
    bool active() const;
    int boundPort() const;  // the port actually bound (port 0 picks one; for tests)
    // Wakes the connection thread's wait (a line was posted).
    void wake();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The connecting side. connect() keeps the main loop alive while it waits (at most
// 2 minutes) and calls onConnected before returning; failures throw SocketError with the
// library's text ("Already connected." when connected).
class TcpClient {
public:
    TcpClient();
    ~TcpClient();
    std::string host = "127.0.0.1";
    int port = 1200;
    std::function<void()> onConnected, onDisconnected;
    void connect();
    // Open, or bytes waiting; notices an orderly close by the peer and closes its own side.
    bool connected();
    // Closes a connection that is still open, then calls onDisconnected on this thread.
    void disconnect();
    TcpConnection* connection();  // null when never connected

private:
    friend void startClientThread(TcpClient& client, std::function<void()> fn);
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Runs fn on a thread of its own that serves the client's present connection. When fn
// returns, that connection is closed and gives back its descriptors, and the thread ends
// without being waited for; the client's destructor still waits for every such thread.
void startClientThread(TcpClient& client, std::function<void()> fn);

// The notify queue: one process-wide FIFO. From another thread, appends and returns at
// once; one notify thread runs each item on the main thread and waits for it before the
// next. On the main thread, runs the item at once. An item that throws is shown in the
// standard error box and never stops later items.
void notify(std::function<void()> item);

}  // namespace plat

// TCP on POSIX sockets: blocking connections served by a thread each, a poll-based wait
// that a posted line, room in the hand-over or the end cuts short (an eventfd per
// connection), and a connect that keeps the main loop running while it waits.
#include "platform/tcp.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/app.h"
#include "platform/exception.h"
#include "platform/notify.h"
#include "platform/tcp_lines.h"

namespace plat {
namespace {

std::string errorText(int err) {
    return "Socket Error # " + std::to_string(err) + "\r\n" + std::strerror(err) + ".";
}

[[noreturn]] void raise(int err) { throw SocketError(errorText(err)); }

std::string dotted(const sockaddr_in& a) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
    return text;
}

std::string sockName(int fd, bool peer) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    int rc = peer ? getpeername(fd, reinterpret_cast<sockaddr*>(&a), &len)
                  : getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    return rc == 0 && a.sin_family == AF_INET ? dotted(a) : std::string();
}

void signalFd(int fd) {
    std::uint64_t one = 1;
    ssize_t n = ::write(fd, &one, sizeof one);
    (void)n;  // a full counter already wakes the reader
}

void drainFd(int fd) {
    std::uint64_t count;
    ssize_t n = ::read(fd, &count, sizeof count);
    (void)n;
}

bool handOverRoom() { return notifyBacklog() < kMaxHandOver; }

std::atomic<int> heldBack{0};  // see connectionsHeldBack()

// Threads that end on their own: each gives back its stack the moment it is done, and the
// owner can still wait until none is running.
class ThreadGroup {
public:
    void start(std::function<void()> fn) {
        {
            std::lock_guard<std::mutex> g(s_->m);
            ++s_->running;
        }
        try {
            std::thread([s = s_, fn = std::move(fn)]() mutable {
                fn();
                fn = nullptr;  // its captures die before the owner hears of the end
                std::lock_guard<std::mutex> g(s->m);
                if (--s->running == 0) s->cv.notify_all();
            }).detach();
        } catch (...) {
            std::lock_guard<std::mutex> g(s_->m);
            --s_->running;
            throw;
        }
    }
    void wait() {
        std::unique_lock<std::mutex> g(s_->m);
        s_->cv.wait(g, [&] { return s_->running == 0; });
    }

private:
    struct State {
        std::mutex m;
        std::condition_variable cv;
        int running = 0;
    };
    std::shared_ptr<State> s_ = std::make_shared<State>();
};

}  // namespace

// ---------------------------------------------------------------- connection

struct TcpConnection::Impl {
    int fd = -1;
    int wakeFd = -1;
    std::string local, peer;
    mutable std::mutex m;  // guards everything below
    LineSplitter in;
    bool peerClosed = false;  // the peer ended the stream in order
    bool broken = false;      // a socket error was raised
    bool closed = false;      // closed on this side

    // Moves what has arrived into the buffer, without waiting, until it holds a whole line:
    // the rest stays in the socket, where it holds the peer back. Caller holds m.
    void takeIn() {
        char chunk[65536];
        while (!peerClosed && !closed && !in.hasLine() && !in.overflowed()) {
            ssize_t n = ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
            if (n > 0) {
                in.feed(std::string_view(chunk, static_cast<std::size_t>(n)));
            } else if (n == 0) {
                peerClosed = true;
            } else if (errno == EINTR) {
                continue;
            } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
                break;
            } else {
                broken = true;
                raise(errno);
            }
        }
    }

    // Waits at most ms (< 0: no limit) for the wake-up descriptor and, when `data`, for the
    // socket too; a wake-up is used up. Called without m, by the serving thread only.
    void wait(bool data, int ms) {
        pollfd fds[2] = {{wakeFd, POLLIN, 0}, {fd, POLLIN, 0}};
        if (!data) ++heldBack;
        const int ready = ::poll(fds, data ? 2 : 1, ms);
        if (!data) --heldBack;
        if (ready > 0 && (fds[0].revents & POLLIN)) drainFd(wakeFd);
    }

    void closeDescriptors() {
        if (wakeFd >= 0) {
            watchNotifyRoom(wakeFd, false);
            ::close(wakeFd);
        }
        if (fd >= 0) ::close(fd);
        fd = wakeFd = -1;
    }
};

TcpConnection::TcpConnection(int fd) : d(new Impl) {
    d->fd = fd;
    d->wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (d->wakeFd < 0) {
        int err = errno;
        ::close(fd);
        raise(err);
    }
    watchNotifyRoom(d->wakeFd, true);
    int one = 1;
    // Lines are a few bytes each and must leave at once.
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    d->local = sockName(fd, false);
    d->peer = sockName(fd, true);
}

TcpConnection::~TcpConnection() { d->closeDescriptors(); }

void TcpConnection::writeLine(const std::string& text) {
    {
        std::lock_guard<std::mutex> g(d->m);
        if (d->closed) throw SocketError("Not Connected");
    }
    std::string data = text + "\r\n";
    std::size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = ::send(d->fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            std::lock_guard<std::mutex> g(d->m);
            if (d->closed) throw SocketError("Not Connected");
            d->broken = true;
            raise(err);
        }
        sent += static_cast<std::size_t>(n);
    }
}

void TcpConnection::checkForData(int ms) {
    bool room;
    {
        std::lock_guard<std::mutex> g(d->m);
        if (d->closed || d->broken) return;
        room = handOverRoom();
        // A whole line is there to take, or nothing more can arrive.
        if (room && (d->in.hasLine() || d->peerClosed)) return;
    }
    // With the hand-over full only room, a posted line or the end stops the wait.
    d->wait(room, ms);
    std::lock_guard<std::mutex> g(d->m);
    if (d->closed || !handOverRoom()) return;
    d->takeIn();
}

bool TcpConnection::inputBufferEmpty() const {
    std::lock_guard<std::mutex> g(d->m);
    return d->in.empty();
}

std::string TcpConnection::readLine() {
    std::string line;
    for (;;) {
        bool room;
        {
            std::lock_guard<std::mutex> g(d->m);
            room = handOverRoom();
            if (room && d->in.next(line)) return line;
            if (d->in.overflowed()) {
                d->broken = true;
                throw SocketError("Max line length exceeded.");
            }
            if (d->closed) throw SocketError("Not Connected");
            if (d->broken) throw SocketError("Not Connected");
            if (room && d->peerClosed) throw SocketError("Connection Closed Gracefully.");
        }
        // close() signals the wake-up descriptor, which ends this wait too.
        d->wait(room, -1);
        std::lock_guard<std::mutex> g(d->m);
        if (!d->closed && handOverRoom()) d->takeIn();
    }
}

bool TcpConnection::connected() const {
    std::lock_guard<std::mutex> g(d->m);
    if (d->closed || d->broken) return false;
    return !d->peerClosed || !d->in.empty();
}

std::string TcpConnection::localAddress() const { return d->local; }
std::string TcpConnection::peerAddress() const { return d->peer; }

void TcpConnection::close() {
    std::lock_guard<std::mutex> g(d->m);
    if (d->closed) return;
    d->closed = true;
    // The descriptors stay open until the serving thread releases them, so a thread still
    // using them never meets a reused number; shutting down ends its waits.
    if (d->fd >= 0) ::shutdown(d->fd, SHUT_RDWR);
    if (d->wakeFd >= 0) signalFd(d->wakeFd);
}

void TcpConnection::release() {
    std::lock_guard<std::mutex> g(d->m);
    d->closed = true;
    d->closeDescriptors();
}

void TcpConnection::wake() {
    std::lock_guard<std::mutex> g(d->m);
    if (d->wakeFd >= 0) signalFd(d->wakeFd);
}

// ---------------------------------------------------------------- server

struct TcpServer::Impl {
    std::mutex m;  // guards current
    std::atomic<bool> active{false};
    int listenFd = -1;
    int stopFd = -1;
    int bound = 0;
    std::thread acceptThread;
    ThreadGroup connThreads;
    std::shared_ptr<TcpConnection> current;  // the one peer, while its thread runs

    void serve(TcpServer& s, const std::shared_ptr<TcpConnection>& conn) {
        try {
            if (s.onConnect) s.onConnect(*conn);
            while (conn->connected()) {
                if (s.onExecute)
                    s.onExecute(*conn);
                else
                    conn->checkForData(-1);
            }
        } catch (...) {
            // The repetition ends; the disconnect handler still runs.
        }
        try {
            if (s.onDisconnect) s.onDisconnect(*conn);
        } catch (...) {
        }
        {
            std::lock_guard<std::mutex> g(m);
            current.reset();
        }
        conn->release();
    }

    void acceptLoop(TcpServer& s) {
        for (;;) {
            pollfd fds[2] = {{listenFd, POLLIN, 0}, {stopFd, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 && errno != EINTR) return;
            if (fds[1].revents & POLLIN) return;
            if (!(fds[0].revents & POLLIN)) continue;
            int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            std::lock_guard<std::mutex> g(m);
            if (current) {  // one peer at a time: the newcomer is closed unseen
                ::close(fd);
                continue;
            }
            try {
                current = std::make_shared<TcpConnection>(fd);
                connThreads.start([this, &s, conn = current] { serve(s, conn); });
            } catch (const std::exception&) {
                current.reset();  // out of descriptors or threads: this peer is dropped
            }
        }
    }
};

TcpServer::TcpServer() : d(new Impl) {}

TcpServer::~TcpServer() { setActive(false); }

void TcpServer::setActive(bool on) {
    if (on) {
        if (d->active) return;
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) raise(errno);
        int one = 1;
        if (reuseAddress) setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_ANY);
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) < 0 || ::listen(fd, 4) < 0) {
            int err = errno;
            ::close(fd);
            raise(err);
        }
        sockaddr_in b{};
        socklen_t len = sizeof b;
        getsockname(fd, reinterpret_cast<sockaddr*>(&b), &len);
        d->bound = ntohs(b.sin_port);
        d->listenFd = fd;
        d->stopFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        d->active = true;
        d->acceptThread = std::thread([this] { d->acceptLoop(*this); });
        return;
    }
    if (!d->active) return;
    d->active = false;
    signalFd(d->stopFd);
    d->acceptThread.join();
    ::close(d->listenFd);
    ::close(d->stopFd);
    d->listenFd = d->stopFd = -1;
    {
        std::lock_guard<std::mutex> g(d->m);
        if (d->current) d->current->close();
    }
    // Its disconnect handler runs meanwhile, on its own thread.
    d->connThreads.wait();
}

bool TcpServer::active() const { return d->active; }

int TcpServer::boundPort() const { return d->active ? d->bound : port; }

void TcpServer::wake() {
    std::lock_guard<std::mutex> g(d->m);
    if (d->current) d->current->wake();
}

// ---------------------------------------------------------------- client

namespace {

// getaddrinfo may take long for a name: it runs aside while the main loop goes on.
struct Lookup {
    std::mutex m;
    bool done = false;
    int rc = 0;
    std::vector<sockaddr_in> addresses;
};

}  // namespace

struct TcpClient::Impl {
    // An earlier connection lives on while a thread still serves it (that thread holds it).
    std::shared_ptr<TcpConnection> conn;
    ThreadGroup threads;
    bool connecting = false;
};

TcpClient::TcpClient() : d(new Impl) {}

TcpClient::~TcpClient() {
    if (d->conn) d->conn->close();
    d->threads.wait();
}

void TcpClient::connect() {
    if (d->connecting || (d->conn && d->conn->connected())) throw SocketError("Already connected.");
    d->connecting = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{d->connecting};

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::minutes(2);
    const bool pump = Application::initialized() && Application::isMainThread();

    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host = host, port = port] {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* res = nullptr;
        std::string service = std::to_string(port);
        int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &res);
        std::vector<sockaddr_in> found;
        for (addrinfo* p = res; rc == 0 && p; p = p->ai_next)
            if (p->ai_family == AF_INET)
                found.push_back(*reinterpret_cast<const sockaddr_in*>(p->ai_addr));
        if (res) ::freeaddrinfo(res);
        std::lock_guard<std::mutex> g(lookup->m);
        lookup->rc = rc;
        lookup->addresses = std::move(found);
        lookup->done = true;
    }).detach();
    for (;;) {
        {
            std::lock_guard<std::mutex> g(lookup->m);
            if (lookup->done) break;
        }
        if (Clock::now() >= deadline) raise(ETIMEDOUT);
        if (pump) Application::processMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // The lookup's codes are negative here; the text carries a positive number, as for
    // every other socket error.
    if (lookup->rc != 0)
        throw SocketError("Socket Error # " + std::to_string(std::abs(lookup->rc)) + "\r\n" +
                          ::gai_strerror(lookup->rc) + ".");
    if (lookup->addresses.empty()) raise(EADDRNOTAVAIL);

    int lastError = ECONNREFUSED;
    int fd = -1;
    for (const sockaddr_in& a : lookup->addresses) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) raise(errno);
        int rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a);
        int err = rc == 0 ? 0 : errno;
        // Wait in short slices so the window keeps answering.
        while (err == EINPROGRESS || err == EINTR) {
            if (Clock::now() >= deadline) {
                ::close(fd);
                raise(ETIMEDOUT);
            }
            pollfd p = {fd, POLLOUT, 0};
            if (::poll(&p, 1, pump ? 10 : 100) > 0) {
                socklen_t len = sizeof err;
                getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
                break;
            }
            if (pump) Application::processMessages();
        }
        if (err == 0) break;
        lastError = err;
        ::close(fd);
        fd = -1;
    }
    if (fd < 0) raise(lastError);
    int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    d->conn = std::make_shared<TcpConnection>(fd);
    try {
        if (onConnected) onConnected();
    } catch (...) {
        d->conn->close();
        throw;
    }
}

bool TcpClient::connected() {
    if (!d->conn) return false;
    if (d->conn->connected()) return true;
    d->conn->close();  // the peer ended it: our side follows at once
    return false;
}

void TcpClient::disconnect() {
    if (!d->conn) return;
    bool open = d->conn->connected();
    d->conn->close();
    if (open && onDisconnected) onDisconnected();
}

TcpConnection* TcpClient::connection() { return d->conn.get(); }

void startClientThread(TcpClient& client, std::function<void()> fn) {
    client.d->threads.start([conn = client.d->conn, fn = std::move(fn)] {
        fn();
        if (conn) conn->release();
    });
}

int connectionsHeldBack() { return heldBack; }

}  // namespace plat

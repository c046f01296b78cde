// A card click as a player makes it: the real zwirlo60 window in a networked game with this
// program as the peer, clicked through X (XTest), beside a plain Qt board of 60 image labels
// (bench_plain_board), each on an Xvfb display of its own, the two clicked in turns. For each
// click: the time from the click to the first drawing on the clicked card (the display's
// damage report) and to its line at the peer. Prints the medians of both boards and their
// ratio, for clicks on pictures shown before and for the first showing of each picture; the
// target is 1.1x.
//   bench_click [clicks]      (clicks per board after the first showings, default 80; needs
//                              port 1200 free: run it inside `unshare -n` with lo up where
//                              another copy may listen)
// BENCH_CLICK_WRAP="valgrind --tool=callgrind" runs both boards under that command (the
// waits grow to match), for a profile of each.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/loopback.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCards = 60, kCols = 10, kCard = 105, kStep = 111, kMargin = 8;
constexpr int kMenuBar = 19;  // the game's menu bar; the plain board has none

std::vector<pid_t> children;
std::chrono::milliseconds patience(2000);

void endChildren() {
    for (auto it = children.rbegin(); it != children.rend(); ++it) kill(*it, SIGTERM);
    for (pid_t p : children) waitpid(p, nullptr, 0);
    children.clear();
}

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "bench_click: %s\n", why.c_str());
    endChildren();
    std::exit(1);
}

std::vector<std::string> words(const char* text) {
    std::vector<std::string> out;
    std::istringstream in(text ? text : "");
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

// Starts argv in dir with the extra environment, output to log.
void start(std::vector<std::string> argv, const std::string& dir,
           const std::vector<std::string>& env, const std::string& log) {
    pid_t pid = fork();
    if (pid < 0) fail("fork");
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(127);
        for (const std::string& e : env) putenv(strdup(e.c_str()));
        unsetenv("QT_QPA_PLATFORM");
        FILE* out = std::fopen(log.c_str(), "a");
        if (out) {
            dup2(fileno(out), 1);
            dup2(fileno(out), 2);
        }
        std::vector<char*> args;
        for (std::string& a : argv) args.push_back(a.data());
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    children.push_back(pid);
}

std::string startDisplay() {
    int fds[2];
    if (pipe(fds) != 0) fail("pipe");
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        dup2(devnull, 2);
        std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-screen", "0", "1280x800x24",
               "-nolisten", "tcp", nullptr);
        _exit(127);
    }
    children.push_back(pid);
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) fail("Xvfb did not start");
    return ":" + number;
}

bool portFree(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a = loopback("0.0.0.0", port);
    bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

struct Desk {
    Display* dpy = nullptr;
    int damageEvent = 0;
    Window root = 0;

    // Every drawing on the screen is reported, as a rectangle.
    void open(const std::string& display) {
        dpy = XOpenDisplay(display.c_str());
        if (!dpy) fail("cannot open " + display);
        root = DefaultRootWindow(dpy);
        int err, major, minor;
        if (!XTestQueryExtension(dpy, &err, &err, &major, &minor) ||
            !XDamageQueryExtension(dpy, &damageEvent, &err))
            fail("the display lacks XTest or Damage");
        XDamageCreate(dpy, root, XDamageReportRawRectangles);
    }

    // Handles what has arrived; returns whether a drawing touched `target` (if given).
    bool drain(const XRectangle* target) {
        bool hit = false;
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type != damageEvent + XDamageNotify) continue;
            const XRectangle& r = reinterpret_cast<XDamageNotifyEvent*>(&ev)->area;
            if (target && r.x < target->x + target->width && target->x < r.x + r.width &&
                r.y < target->y + target->height && target->y < r.y + r.height)
                hit = true;
        }
        return hit;
    }

    // Waits until nothing is drawn for `quiet`.
    void settle(std::chrono::milliseconds quiet) {
        XSync(dpy, False);
        auto last = Clock::now();
        while (Clock::now() - last < quiet) {
            pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
            poll(&p, 1, 2);
            if (XPending(dpy)) {
                drain(nullptr);
                last = Clock::now();
            }
        }
    }

    std::string name(Window w) {
        Atom type;
        int format;
        unsigned long n, after;
        unsigned char* data = nullptr;
        std::string out;
        if (XGetWindowProperty(dpy, w, XA_WM_NAME, 0, 256, False, AnyPropertyType, &type, &format,
                               &n, &after, &data) == Success &&
            data)
            out.assign(reinterpret_cast<char*>(data), n);
        if (data) XFree(data);
        return out;
    }

    // A shown top-level window whose title holds `text`.
    Window find(const std::string& text) {
        for (int i = 0; i < 400; ++i) {
            Window r, parent, *kids = nullptr;
            unsigned int n = 0;
            XQueryTree(dpy, root, &r, &parent, &kids, &n);
            Window found = 0;
            for (unsigned int k = 0; k < n && !found; ++k) {
                XWindowAttributes a;
                if (XGetWindowAttributes(dpy, kids[k], &a) && a.map_state == IsViewable &&
                    name(kids[k]).find(text) != std::string::npos)
                    found = kids[k];
            }
            if (kids) XFree(kids);
            if (found) return found;
            usleep(50000);
        }
        fail("no window named " + text);
    }

    void origin(Window w, int& x, int& y) {
        Window child;
        XTranslateCoordinates(dpy, w, root, 0, 0, &x, &y, &child);
    }
};

struct Board {
    explicit Board(const char* n) : name(n) {}
    const char* name;
    Desk desk;  // a display of its own: the two never take the focus from each other
    Window window = 0;
    int x = 0, y = 0;  // of card 0's top left, on the screen
    int peer = -1;     // the socket its lines arrive on
    std::string pending;
    struct Times {
        std::vector<double> toPicture, toLine;
    } shownBefore, firstShowing;
    XRectangle card(int p) const {
        return {static_cast<short>(x + kStep * (p % kCols)),
                static_cast<short>(y + kStep * (p / kCols)), kCard, kCard};
    }
};

// Reads what has arrived on fd into pending; returns whether `line` (with its CR LF) is there.
bool lineArrived(Board& b, const std::string& line) {
    char buf[4096];
    for (;;) {
        ssize_t n = ::recv(b.peer, buf, sizeof buf, MSG_DONTWAIT);
        if (n > 0) {
            b.pending.append(buf, static_cast<std::size_t>(n));
            continue;
        }
        if (n == 0) fail(std::string(b.name) + ": the connection ended");
        break;
    }
    auto at = b.pending.find(line + "\r\n");
    if (at == std::string::npos) return false;
    b.pending.erase(0, at + line.size() + 2);
    return true;
}

std::string clickLine(int p, char letter) { return {static_cast<char>(p + 32), letter}; }

// One click on card p of the board, which answers with `line`; records both times.
void click(Board& b, int p, const std::string& line, Board::Times* record) {
    Desk& s = b.desk;
    const XRectangle r = b.card(p);
    XTestFakeMotionEvent(s.dpy, -1, r.x + kCard / 2, r.y + kCard / 2, CurrentTime);
    s.settle(std::chrono::milliseconds(15));
    lineArrived(b, "");  // anything earlier is not this click's
    b.pending.clear();

    const auto t0 = Clock::now();
    XTestFakeButtonEvent(s.dpy, 1, True, CurrentTime);
    XTestFakeButtonEvent(s.dpy, 1, False, CurrentTime);
    XFlush(s.dpy);
    double picture = -1, sent = -1;
    const auto deadline = t0 + patience;
    while (picture < 0 || sent < 0) {
        if (Clock::now() > deadline)
            fail(std::string(b.name) + ": no " + (picture < 0 ? "picture" : "line") + " for card " +
                 std::to_string(p));
        pollfd fds[2] = {{ConnectionNumber(s.dpy), POLLIN, 0}, {b.peer, POLLIN, 0}};
        poll(fds, 2, 50);
        const auto now = Clock::now();
        const double ms = std::chrono::duration<double, std::milli>(now - t0).count();
        if (picture < 0 && s.drain(&r)) picture = ms;
        if (sent < 0 && lineArrived(b, line)) sent = ms;
    }
    if (record) {
        record->toPicture.push_back(picture);
        record->toLine.push_back(sent);
    }
}

void sendLine(int fd, const std::string& line) {
    std::string data = line + "\r\n";
    if (::send(fd, data.data(), data.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(data.size()))
        fail("the game's connection ended");
}

int connectFrom(const char* from, const char* to, int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in src = loopback(from, 0), dst = loopback(to, port);
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&src), sizeof src) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&dst), sizeof dst) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int clicks = argc > 1 ? std::max(4, std::atoi(argv[1])) : 80;
    const auto wrap = words(std::getenv("BENCH_CLICK_WRAP"));
    if (!wrap.empty()) patience = std::chrono::milliseconds(60000);
    signal(SIGPIPE, SIG_IGN);
    if (!portFree(1200)) fail("port 1200 is taken: run inside `unshare -n` (with lo up)");

    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    const std::string bin = self.parent_path().string() + "/";
    char tmpl[] = "/tmp/zwclick.XXXXXX";
    const std::string work = mkdtemp(tmpl);
    std::filesystem::create_directories(work + "/run");
    std::filesystem::permissions(work + "/run", std::filesystem::perms::owner_all);

    Board g("zwirlo60"), plain("plain board");
    auto environment = [&](Board& b) {
        const std::string display = startDisplay();
        b.desk.open(display);
        return std::vector<std::string>{"DISPLAY=" + display, "SDL_AUDIODRIVER=dummy",
                                        "XDG_RUNTIME_DIR=" + work + "/run"};
    };

    // The game listens on 1200 from start-up; we connect from another address, as a peer.
    auto game = wrap;
    game.push_back(bin + "zwirlo60");
    start(game, work, environment(g), work + "/game.log");
    for (int i = 0; i < 600 && g.peer < 0; ++i) {
        g.peer = connectFrom("127.0.0.2", "127.0.0.1", 1200);
        if (g.peer < 0) usleep(50000);
    }
    if (g.peer < 0) fail("the game does not listen on 1200");

    int port = 0;
    const int lfd = listenOnLoopback(port);
    auto board = wrap;
    for (const std::string& w :
         {bin + "bench_plain_board", std::to_string(port), std::string("0"), std::string("0")})
        board.push_back(w);
    start(board, work, environment(plain), work + "/plain.log");
    pollfd pa = {lfd, POLLIN, 0};
    if (poll(&pa, 1, wrap.empty() ? 20000 : 120000) != 1) fail("the plain board did not connect");
    plain.peer = ::accept(lfd, nullptr, nullptr);
    ::close(lfd);

    g.window = g.desk.find("Zwirlo-60");
    plain.window = plain.desk.find("plain board");
    g.desk.origin(g.window, g.x, g.y);
    g.x += kMargin;
    g.y += kMenuBar + kMargin;
    plain.desk.origin(plain.window, plain.x, plain.y);
    plain.x += kMargin;
    plain.y += kMargin;

    // We deal: picture p / 2 + 1 at place p, so places 4k and 4k + 2 never match.
    std::string deal;
    for (int p = 0; p < kCards; ++p) deal += static_cast<char>(p / 2 + 1 + 32);
    sendLine(g.peer, deal);
    // The connect sound plays out and the board is drawn before the first click.
    g.desk.settle(std::chrono::milliseconds(wrap.empty() ? 3000 : 10000));
    plain.desk.settle(std::chrono::milliseconds(100));

    // The first 15 rounds show each picture for the first time (on the game, a picture not
    // yet decoded would be decoded then); the rounds after them show pictures shown before.
    constexpr int kFirstRounds = kCards / 4;
    const int rounds = kFirstRounds + (clicks + 3) / 4;
    for (int r = 0; r < rounds; ++r) {
        const int k = r % kFirstRounds, first = 4 * k, second = 4 * k + 2;
        const bool firstTime = r < kFirstRounds;
        // The game's turn: two cards up that miss, both covered; the turn passes.
        for (Board* b : {&g, &plain}) {
            Board::Times* up = firstTime ? &b->firstShowing : &b->shownBefore;
            Board::Times* down = firstTime ? nullptr : &b->shownBefore;
            click(*b, first, clickLine(first, 'o'), up);
            click(*b, second, clickLine(second, 'o'), up);
            click(*b, first, clickLine(first, 'b'), down);
            click(*b, second, clickLine(second, 'b'), down);
        }
        // The peer's turn gives it back: two other cards up and covered again.
        for (const auto& [p, letter] :
             {std::pair{first + 1, 'o'}, {second + 1, 'o'}, {first + 1, 'b'}, {second + 1, 'b'}})
            sendLine(g.peer, clickLine(p, letter));
        g.desk.settle(std::chrono::milliseconds(wrap.empty() ? 60 : 2000));
    }

    std::printf("%-32s %18s %18s\n", "median", "click-to-picture", "click-to-line");
    for (auto which : {&Board::shownBefore, &Board::firstShowing}) {
        const Board::Times &a = g.*which, &b = plain.*which;
        const double ap = median(a.toPicture), bp = median(b.toPicture);
        const double al = median(a.toLine), bl = median(b.toLine);
        const bool before = which == &Board::shownBefore;
        std::printf("%s (%zu clicks each):\n",
                    before ? "any click, picture shown before" : "turn-up, picture never shown",
                    a.toPicture.size());
        std::printf("  %-30s %15.3f ms %15.3f ms\n", "zwirlo60", ap, al);
        std::printf("  %-30s %15.3f ms %15.3f ms\n", "plain board", bp, bl);
        std::printf("  %-30s %16.2f x %16.2f x\n", "ratio", ap / bp, al / bl);
    }
    std::printf("target: 1.1x the plain board\n");
    endChildren();
    std::filesystem::remove_all(work);
    return 0;
}

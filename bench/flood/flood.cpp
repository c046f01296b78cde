// A flooding peer on loopback: a raw socket sends lines as fast as loopback takes them for
// 10 s, to the listening and to the connecting side of a real window, first short card
// lines, then 16 000-byte lines. Each run is a child process of its own, so its memory
// figures are its own. Printed: peak resident memory above the idle figure, lines per second
// handed to the main thread, the window's slowest answer to a posted event during the flood,
// and the memory left once the backlog is done. Targets: peak <= idle + 50 MB, answer
// within 100 ms.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "game/zwiunit1.h"
#include "network/messages.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "tests/loopback.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kFlood = 10s;
constexpr auto kDrainLimit = 60s;
// A run stops flooding past this much above idle, so an unbounded backlog cannot take the
// machine down with it.
constexpr long kSafetyKb = 1536L * 1024;

long statusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::size_t n = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, n, field) == 0) return std::atol(line.c_str() + n);
    return 0;
}

void pumpFor(std::chrono::milliseconds ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Every handed-over item reaches the main thread as one custom event: counting those counts
// the lines the window took in.
class ItemCounter : public QObject {
public:
    std::atomic<long> items{0};
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() >= QEvent::User && e->type() <= QEvent::MaxUser) ++items;
        return QObject::eventFilter(o, e);
    }
};

// 64 KB of card lines (every position, turned up and back) or four 16 000-byte lines.
std::string floodBlock(bool longLines, long& linesInBlock) {
    std::string block;
    linesInBlock = 0;
    if (longLines) {
        for (int i = 0; i < 4; ++i, ++linesInBlock)
            block += network::frame(std::string(16000, 'x'));
        return block;
    }
    for (int i = 0; block.size() < 65536; ++i, ++linesInBlock)
        block += network::frame(network::ClickMessage(i % 60, (i / 60) % 2 ? 'b' : 'o'));
    return block;
}

struct Flood {
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    std::atomic<bool> tooBig{false};
    long linesSent = 0;  // whole blocks only
    std::mutex m;
    std::vector<double> answersMs;
};

// Sends whole blocks until the time is up or told to stop; a peer that is not read from
// simply waits (TCP's flow control), so the sending never blocks past the end.
void flooder(int fd, bool longLines, Flood& f) {
    long perBlock = 0;
    const std::string block = floodBlock(longLines, perBlock);
    const auto end = Clock::now() + kFlood;
    while (Clock::now() < end && !f.stop) {
        std::size_t sent = 0;
        while (sent < block.size() && Clock::now() < end + 5s) {
            pollfd p = {fd, POLLOUT, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            ssize_t n =
                ::send(fd, block.data() + sent, block.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                f.done = true;
                return;
            }
            if (n > 0) sent += static_cast<std::size_t>(n);
        }
        if (sent < block.size()) break;  // never completed: the count stays whole blocks
        f.linesSent += perBlock;
    }
    f.done = true;
}

// Posts an event to the main thread every 10 ms and times its answer; watches memory.
void prober(Flood& f, long idleKb) {
    while (!f.done) {
        auto answered = std::make_shared<std::atomic<bool>>(false);
        const auto t0 = Clock::now();
        QMetaObject::invokeMethod(
            qApp,
            [&f, t0, answered] {
                std::lock_guard<std::mutex> g(f.m);
                f.answersMs.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
                *answered = true;
            },
            Qt::QueuedConnection);
        do {
            if (statusKb("VmRSS:") - idleKb > kSafetyKb) {
                f.tooBig = true;
                f.stop = true;
            }
            std::this_thread::sleep_for(1ms);
        } while (!*answered && !f.done);
        std::this_thread::sleep_for(10ms);
    }
}

int runOne(bool listening, bool longLines, int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    plat::Application::initialize(argc, argv);
    plat::DialogScript::enable(true);
    ItemCounter counter;
    qApp->installEventFilter(&counter);

    int lfd = -1, fd = -1;
    std::unique_ptr<game::TForm1> form;
    if (listening) {  // the window serves, this program is the peer
        form = std::make_unique<game::TForm1>(
            game::zwirlo60Variant(),
            game::FormOptions{.listen = false, .port = 0, .instanceGuard = false});
        form->FileListenItemClick();
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in src = loopback("127.0.0.3", 0);
        sockaddr_in dst = loopback("127.0.0.1", form->IdTCPServer1->boundPort());
        if (::bind(fd, reinterpret_cast<sockaddr*>(&src), sizeof src) != 0 ||
            ::connect(fd, reinterpret_cast<sockaddr*>(&dst), sizeof dst) != 0) {
            std::perror("connect");
            return 1;
        }
    } else {  // this program listens, the window connects to it
        int port = 0;
        lfd = listenOnLoopback(port);
        form = std::make_unique<game::TForm1>(
            game::zwirlo60Variant(),
            game::FormOptions{.listen = false, .port = port, .instanceGuard = false});
        plat::DialogScript::answer(true, "127.0.0.1");
        form->FileConnectItemClick();
        fd = ::accept(lfd, nullptr, nullptr);
        if (fd < 0 || !ZwiUnit1::connected) {
            std::printf("connecting side did not connect\n");
            return 1;
        }
    }
    pumpFor(300ms);
    const long idleKb = statusKb("VmRSS:");
    long peakKb = idleKb;
    // Resets the kernel's peak figure to the present one (VmHWM), where allowed.
    { std::ofstream("/proc/self/clear_refs") << "5"; }
    const long itemsBefore = counter.items;

    Flood f;
    const auto t0 = Clock::now();
    std::thread send(flooder, fd, longLines, std::ref(f));
    std::thread probe(prober, std::ref(f), idleKb);
    while (!f.done) {
        pumpFor(50ms);
        peakKb = std::max(peakKb, statusKb("VmRSS:"));
    }
    send.join();
    probe.join();
    const double floodSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
    const long itemsInFlood = counter.items - itemsBefore;

    // The backlog: every line sent is still to be handed over.
    const auto drainEnd = Clock::now() + kDrainLimit;
    while (counter.items - itemsBefore < f.linesSent && Clock::now() < drainEnd) {
        pumpFor(20ms);
        peakKb = std::max(peakKb, statusKb("VmRSS:"));
    }
    const bool drained = counter.items - itemsBefore >= f.linesSent;
    const double drainSeconds =
        std::chrono::duration<double>(Clock::now() - t0).count() - floodSeconds;
    pumpFor(200ms);
    const long afterKb = statusKb("VmRSS:");
    peakKb = std::max(peakKb, statusKb("VmHWM:"));

    std::vector<double> ms = f.answersMs;
    std::sort(ms.begin(), ms.end());
    const double answerMax = ms.empty() ? 0 : ms.back();
    const double answerMedian = ms.empty() ? 0 : ms[ms.size() / 2];
    const double peakMb = static_cast<double>(peakKb - idleKb) / 1024.0;
    const bool ok = !f.tooBig && drained && peakMb <= 50.0 && answerMax <= 100.0;
    std::printf(
        "%-10s %-5s idle %5.1f MB  peak +%7.1f MB  handed over %8.0f lines/s  sent %9ld  "
        "answer median %6.2f ms max %7.2f ms  backlog %s  after +%6.1f MB  %s\n",
        listening ? "listening" : "connecting", longLines ? "long" : "short",
        static_cast<double>(idleKb) / 1024.0, peakMb,
        static_cast<double>(itemsInFlood) / floodSeconds, f.linesSent, answerMedian, answerMax,
        drained ? (std::to_string(static_cast<int>(drainSeconds * 1000)) + " ms").c_str()
                : "not done in 60 s",
        static_cast<double>(afterKb - idleKb) / 1024.0, ok ? "OK" : "MISSED");
    if (f.tooBig) std::printf("           flood stopped early: memory passed idle + 1.5 GB\n");
    std::fflush(stdout);

    ::close(fd);
    if (lfd >= 0) ::close(lfd);
    if (drained) {
        pumpFor(200ms);
        form.reset();
    } else {
        // A backlog that never ends would keep the process busy for minutes: leave at once.
        std::_Exit(0);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3) {
        // The connect command keeps host.txt in the current folder: use a scratch one.
        char dir[] = "/tmp/zwflood-XXXXXX";
        if (!mkdtemp(dir) || chdir(dir) != 0) return 1;
        int rc = runOne(std::strcmp(argv[1], "listening") == 0, std::strcmp(argv[2], "long") == 0,
                        argc, argv);
        std::remove("host.txt");
        rmdir(dir);
        return rc;
    }
    int failed = 0;
    for (const char* side : {"listening", "connecting"}) {
        for (const char* size : {"short", "long"}) {
            pid_t pid = fork();
            if (pid == 0) {
                execl("/proc/self/exe", argv[0], side, size, static_cast<char*>(nullptr));
                _exit(127);
            }
            int status = 0;
            waitpid(pid, &status, 0);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}

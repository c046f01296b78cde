// Relay timing on loopback: from posting a card action's line to its arrival at the peer
// (median and 99th percentile over 1000 actions), for the listening and the connecting
// side; and what an open, idle connection costs over 10 s with the main loop waiting as the
// program's own does: CPU, and wake-ups (context switches of the whole process) per second.
// Targets: median under 1 ms, idle under 1% of a core and at most 1 wake-up a second, the
// sound player's included (SDL's audio thread, shown apart, must be gone once a sound ended).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "game/zwiunit1.h"
#include "network/messages.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/sound.h"
#include "tests/loopback.h"

namespace {

using Clock = std::chrono::steady_clock;

void pumpFor(std::chrono::milliseconds ms) {
    auto end = Clock::now() + ms;
    while (Clock::now() < end) {
        plat::Application::processMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Reads one line (blocking) from the peer socket.
bool readLine(int fd, network::LineSplitter& in, std::string& line) {
    while (!in.next(line)) {
        char buf[512];
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) return false;
        in.feed(std::string_view(buf, static_cast<std::size_t>(n)));
    }
    return true;
}

struct Usage {
    double cpu;     // seconds, every thread
    long switches;  // context switches, every thread
    long sound;     // of those, the sound player's (SDL's audio thread, once a sound played)
};

long taskSwitches(const std::filesystem::path& task) {
    std::ifstream in(task / "status");
    long n = 0;
    for (std::string line; std::getline(in, line);)
        if (line.find("ctxt_switches:") != std::string::npos)
            n += std::atol(line.c_str() + line.find(':') + 1);
    return n;
}

Usage usage() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    long sound = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        if (name.rfind("SDLAudio", 0) == 0) sound += taskSwitches(task.path());
    }
    return {static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
                static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6,
            u.ru_nvcsw + u.ru_nivcsw, sound};
}

void measure(const char* side, int peerFd) {
    network::LineSplitter in;
    std::string line;
    // Whatever the connection sent first (a waiting board) is not part of the timing.
    pumpFor(std::chrono::milliseconds(100));
    pollfd p = {peerFd, POLLIN, 0};
    while (::poll(&p, 1, 0) > 0) {
        char buf[4096];
        if (::recv(peerFd, buf, sizeof buf, 0) <= 0) break;
    }

    std::vector<double> us;
    for (int i = 0; i < 1000; ++i) {
        std::string click = network::ClickMessage(i % 60, "obdz"[i % 4]);
        auto t0 = Clock::now();
        ZwiUnit1::PostToPeer(click);
        if (!readLine(peerFd, in, line) || line != click) {
            std::printf("%s: line %d lost or garbled\n", side, i);
            std::exit(1);
        }
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    std::sort(us.begin(), us.end());
    double median = us[us.size() / 2], p99 = us[us.size() * 99 / 100];

    // Idle: the connection stays open, nothing travels, the main loop waits for events. The
    // sound of the connect (under 3 s) plays out first: an idle program has nothing playing.
    pumpFor(std::chrono::milliseconds(4000));
    Usage u0 = usage();
    auto w0 = Clock::now();
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    double wall = std::chrono::duration<double>(Clock::now() - w0).count();
    Usage u1 = usage();
    double idle = (u1.cpu - u0.cpu) / wall * 100.0;
    double wakeups = static_cast<double>(u1.switches - u0.switches) / wall;
    double soundWakeups = static_cast<double>(u1.sound - u0.sound) / wall;

    bool ok = median < 1000.0 && idle < 1.0 && wakeups <= 1.0;
    std::printf(
        "%-10s relay median %7.1f us   p99 %7.1f us   idle CPU %5.2f %% of a core   "
        "idle wake-ups %5.1f /s, %4.1f /s of them the sound player's   %s\n",
        side, median, p99, idle, wakeups, soundWakeups, ok ? "OK" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // The connect command keeps host.txt in the current folder: use a scratch one.
    char dir[] = "/tmp/zwrelay-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) return 1;
    plat::Application::initialize(argc, argv);
    plat::DialogScript::enable(true);

    {  // Listening side: the window serves, this program is the peer.
        game::TForm1 form(game::zwirlo60Variant(),
                          {.listen = false, .port = 0, .instanceGuard = false});
        form.FileListenItemClick();
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in src = loopback("127.0.0.3", 0),
                    dst = loopback("127.0.0.1", form.IdTCPServer1->boundPort());
        if (::bind(fd, reinterpret_cast<sockaddr*>(&src), sizeof src) != 0 ||
            ::connect(fd, reinterpret_cast<sockaddr*>(&dst), sizeof dst) != 0) {
            std::perror("connect");
            return 1;
        }
        measure("listening", fd);
        ::close(fd);
        pumpFor(std::chrono::milliseconds(100));
    }
    {  // Connecting side: this program listens, the window connects to it.
        int port = 0;
        int lfd = listenOnLoopback(port);
        game::TForm1 form(game::zwirlo60Variant(),
                          {.listen = false, .port = port, .instanceGuard = false});
        plat::DialogScript::answer(true, "127.0.0.1");
        form.FileConnectItemClick();
        int fd = ::accept(lfd, nullptr, nullptr);
        if (fd < 0 || !ZwiUnit1::connected) {
            std::printf("connecting side did not connect\n");
            return 1;
        }
        measure("connecting", fd);
        ::close(fd);
        ::close(lfd);
        pumpFor(std::chrono::milliseconds(100));
    }
    std::remove("host.txt");
    rmdir(dir);
    return 0;
}

// The yardstick: a bare Qt window that reports like the game does when its first frame
// is up (ZW_STARTUP_PROBE holds the launcher's CLOCK_MONOTONIC time in ns).
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget w;
    w.resize(1121, 731);
    w.show();
    QTimer::singleShot(0, [] {
        timespec ts;
        clock_gettime(CLOCK_MONOTONIC, &ts);
        long long now = ts.tv_sec * 1000000000LL + ts.tv_nsec;
        const char* start = std::getenv("ZW_STARTUP_PROBE");
        rusage ru;
        getrusage(RUSAGE_SELF, &ru);
        std::fprintf(stderr, "zw-startup shown_us=%lld rss_kb=%ld\n",
                     (now - (start ? std::atoll(start) : now)) / 1000, ru.ru_maxrss);
        std::fflush(stderr);
        _exit(0);
    });
    return app.exec();
}

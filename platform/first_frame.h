#pragma once
// The start-up benchmark's probe, shared by the programs and the bare window they are
// compared with, so that both are timed the same way. Header-only: the bare window links
// nothing of ours.
#include <QGuiApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <sys/resource.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace plat {

namespace firstframe {

class Probe : public QObject {
public:
    Probe(QWidget* window, long long startNs) : QObject(window), window_(window), start_(startNs) {}

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        // Every widget of a frame is painted within one event, and the frame is flushed to
        // the window system before that event returns: report once it has.
        if (!painted_ && e->type() == QEvent::Paint && o->isWidgetType() &&
            static_cast<QWidget*>(o)->window() == window_ && window_->windowHandle() &&
            window_->windowHandle()->isExposed()) {
            painted_ = true;
            QTimer::singleShot(0, this, [this] { report(); });
        }
        return false;
    }

private:
    void report() {
        // A round trip: the server has drawn the flushed frame before it answers.
        QGuiApplication::sync();
        timespec ts;
        clock_gettime(CLOCK_MONOTONIC, &ts);
        const long long now = ts.tv_sec * 1000000000LL + ts.tv_nsec;
        rusage ru;
        getrusage(RUSAGE_SELF, &ru);
        std::fprintf(stderr, "zw-startup painted_us=%lld rss_kb=%ld size=%dx%d\n",
                     (now - start_) / 1000, ru.ru_maxrss, window_->width(), window_->height());
        std::fflush(stderr);
        _exit(0);
    }

    QWidget* window_;
    long long start_;
    bool painted_ = false;
};

}  // namespace firstframe

// When ZW_STARTUP_PROBE holds the launcher's CLOCK_MONOTONIC time in ns: once the first
// frame of `window` is on the screen, writes the time since then, the peak memory and the
// window's size to standard error and ends the process. Call before the window is shown.
inline void probeFirstFrame(QWidget* window) {
    const char* start = std::getenv("ZW_STARTUP_PROBE");
    if (!start || !window) return;
    auto* probe = new firstframe::Probe(window, std::atoll(start));
    qApp->installEventFilter(probe);
    // A window that never paints must not leave the benchmark waiting.
    QTimer::singleShot(30000, probe, [] {
        std::fprintf(stderr, "zw-startup: no frame painted within 30 s\n");
        std::fflush(stderr);
        _exit(1);
    });
}

}  // namespace plat

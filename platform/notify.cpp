// The notify queue: work from network threads, run on the main thread in arrival order,
// one item at a time, without the network thread ever waiting for it. It also keeps count
// of what is queued and not yet run, which the connections use to stop reading a peer
// that sends faster than the window takes its lines in.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/app.h"
#include "platform/notify.h"

namespace plat {
namespace {

struct NotifyQueue {
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::function<void()>> items;
    std::function<void()> handOver;  // the item passing to the main thread
    bool handedOver = false;         // set by the notify thread, cleared when it has run
    bool running = false;            // an item is on its way or running
    bool started = false;
    std::size_t backlog = 0;   // queued from other threads and not yet run to its end
    std::vector<int> roomFds;  // eventfds told when the backlog has fallen to half the bound
};

// Never destroyed: the notify thread may still be waiting on it when the process ends.
NotifyQueue& queue() {
    static auto* q = new NotifyQueue;
    return *q;
}

// One item has run (or was dropped). Caller holds q.m, so a watcher's descriptor cannot be
// closed meanwhile. A connection held at the bound is told when half of it is free, so it
// wakes once for a batch of lines rather than once for every line.
void finished(NotifyQueue& q) {
    if (--q.backlog != kMaxHandOver / 2) return;
    std::uint64_t one = 1;
    for (int fd : q.roomFds) {
        ssize_t n = ::write(fd, &one, sizeof one);
        (void)n;  // a full counter already wakes the reader
    }
}

void runOnMainThread() {
    NotifyQueue& q = queue();
    std::function<void()> item;
    {
        std::lock_guard<std::mutex> g(q.m);
        item.swap(q.handOver);
    }
    // guarded(): an item that throws is shown in the error box and goes no further.
    if (item) Application::guarded(item);
    item = nullptr;  // the item's captures die on this thread, before the next one runs
    std::lock_guard<std::mutex> g(q.m);
    q.handedOver = false;
    finished(q);
    q.cv.notify_all();
}

// Lives on the main thread; a plain event posted to it runs the handed-over item there.
// Everything the two threads share goes through the queue's own lock, never through the
// event, so the hand-over is visible to thread checkers too.
class MainThreadRunner : public QObject {
public:
    static QEvent::Type type() {
        static const auto t = static_cast<QEvent::Type>(QEvent::registerEventType());
        return t;
    }
    bool event(QEvent* e) override {
        // The event was made under the queue's lock: take it before reading the event.
        { std::lock_guard<std::mutex> g(queue().m); }
        if (e->type() != type()) return QObject::event(e);
        runOnMainThread();
        return true;
    }
};

void notifyThread() {
    NotifyQueue& q = queue();
    MainThreadRunner* runner = nullptr;
    for (;;) {
        {
            std::unique_lock<std::mutex> g(q.m);
            q.running = false;
            q.cv.wait(g, [&] { return !q.items.empty(); });
            q.handOver = std::move(q.items.front());
            q.items.pop_front();
            q.running = true;
        }
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) {                         // the application is gone: nothing left to run on
            std::function<void()> dropped;  // dies after the lock is let go
            std::lock_guard<std::mutex> g(q.m);
            dropped.swap(q.handOver);
            finished(q);
            continue;
        }
        if (!runner) {
            runner = new MainThreadRunner;  // kept for the life of the process
            runner->moveToThread(app->thread());
        }
        std::unique_lock<std::mutex> g(q.m);
        q.handedOver = true;
        QCoreApplication::postEvent(runner, new QEvent(MainThreadRunner::type()));
        // Waits until the item has run on the main thread (also inside a modal loop).
        q.cv.wait(g, [&] { return !q.handedOver; });
    }
}

}  // namespace

void notify(std::function<void()> item) {
    if (!item) return;
    if (Application::isMainThread()) {
        Application::guarded(item);
        return;
    }
    NotifyQueue& q = queue();
    std::lock_guard<std::mutex> g(q.m);
    q.items.push_back(std::move(item));
    ++q.backlog;
    if (!q.started) {
        q.started = true;
        std::thread(notifyThread).detach();
    }
    q.cv.notify_all();
}

bool notifyIdle() {
    NotifyQueue& q = queue();
    std::lock_guard<std::mutex> g(q.m);
    return q.items.empty() && !q.running;
}

std::size_t notifyBacklog() {
    NotifyQueue& q = queue();
    std::lock_guard<std::mutex> g(q.m);
    return q.backlog;
}

void watchNotifyRoom(int fd, bool on) {
    NotifyQueue& q = queue();
    std::lock_guard<std::mutex> g(q.m);
    if (on)
        q.roomFds.push_back(fd);
    else
        std::erase(q.roomFds, fd);
}

}  // namespace plat

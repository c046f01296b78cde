// The notify queue: work from network threads, run on the main thread in arrival order,
// one item at a time, without the network thread ever waiting for it.
#include <QCoreApplication>
#include <QMetaObject>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/app.h"
#include "platform/tcp_extra.h"

namespace plat {
namespace {

struct NotifyQueue {
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::function<void()>> items;
    std::function<void()> handOver;  // the item passing to the main thread
    bool running = false;            // an item is on its way or running
    bool started = false;
};

// Never destroyed: the notify thread may still be waiting on it when the process ends.
NotifyQueue& queue() {
    static auto* q = new NotifyQueue;
    return *q;
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
    std::lock_guard<std::mutex> g(q.m);  // orders the item's effects before the next item
}

void notifyThread() {
    NotifyQueue& q = queue();
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
        if (!app) continue;  // the application is gone: nothing left to run on
        // Blocks until the item has run on the main thread (also inside a modal loop).
        QMetaObject::invokeMethod(app, &runOnMainThread, Qt::BlockingQueuedConnection);
        std::lock_guard<std::mutex> g(q.m);
        q.handOver = nullptr;
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
    if (!q.started) {
        q.started = true;
        std::thread(notifyThread).detach();
    }
    q.cv.notify_one();
}

bool notifyIdle() {
    NotifyQueue& q = queue();
    std::lock_guard<std::mutex> g(q.m);
    return q.items.empty() && !q.running;
}

}  // namespace plat

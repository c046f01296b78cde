// Timers on QTimer, with the semantics the game expects: setting Enabled to the value it
// has changes nothing, a new interval restarts a running count, and ticks run inside the
// handler guard.
#include <QCoreApplication>
#include <QObject>
#include <QTimer>

#include <map>

#include "platform/app.h"
#include "platform/controls.h"
#include "platform/probe.h"

namespace plat {

struct Timer::Impl {
    QTimer qtimer;
    QObject context;         // drops a pending tick when the timer goes away
    unsigned run = 0;        // bumped at every start and stop
    unsigned pending = ~0u;  // the run whose tick waits in the queue
};

namespace {
// For the test drivers, which see no more of a timer than its public face.
std::map<const Timer*, const unsigned*> timerRunCounts;
std::map<const Timer*, QTimer*> timerClocks;
}  // namespace

unsigned probe::timerRuns(const Timer& timer) {
    auto it = timerRunCounts.find(&timer);
    return it == timerRunCounts.end() ? 0 : *it->second;
}

void probe::timerFallsDue(Timer& timer) {
    auto it = timerClocks.find(&timer);
    if (it == timerClocks.end() || !it->second->isActive()) return;
    // What the event loop sends when the count runs out.
    QTimerEvent due(it->second->timerId());
    QCoreApplication::sendEvent(it->second, &due);
}

Timer::Timer(const std::string& name) : name_(name), impl_(std::make_unique<Impl>()) {
    timerRunCounts[this] = &impl_->run;
    timerClocks[this] = &impl_->qtimer;
    impl_->qtimer.setTimerType(Qt::PreciseTimer);
    // The tick is handed on as a posted call, so a handler that pumps messages can meet
    // its own next tick nested inside it; at most one tick waits at a time, and a tick
    // of a run that has since been stopped or restarted is dropped.
    QObject::connect(&impl_->qtimer, &QTimer::timeout, &impl_->context, [this] {
        unsigned run = impl_->run;
        if (impl_->pending == run) return;
        impl_->pending = run;
        QMetaObject::invokeMethod(
            &impl_->context,
            [this, run] {
                if (impl_->pending == run) impl_->pending = ~0u;
                if (run == impl_->run && enabled_) fire();
            },
            Qt::QueuedConnection);
    });
}

Timer::~Timer() {
    timerRunCounts.erase(this);
    timerClocks.erase(this);
}

namespace {
void restart(QTimer& t, unsigned& run, bool on, int ms) {
    ++run;
    if (on && ms > 0)
        t.start(ms);
    else
        t.stop();
}
}  // namespace

void Timer::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    restart(impl_->qtimer, impl_->run, on, interval_);
}

void Timer::setInterval(int ms) {
    if (ms == interval_) return;
    interval_ = ms;
    if (enabled_) restart(impl_->qtimer, impl_->run, true, ms);
}

void Timer::fire() { Application::guarded(onTimer); }

}  // namespace plat

#pragma once
// The frame of the cover and clear ticks: the steps, then closing steps that always run,
// also when a step throws; the error then goes on to the handler guard, which shows it.
#include <atomic>

#include "platform/app.h"
#include "platform/controls.h"

namespace game {

// The closing steps: pump once, unblock the clicks (unless the step leaves them as they
// are), stop the timer, drop the busy flag. The flags are set by a destructor, so they are
// set even if the pump throws. `ours` is asked after the pump: once a new table has begun
// (inside this tick's pumps), its clicks and its own start of the timer are left to it.
template <typename Ours>
void finishTick(plat::Timer& timer, bool& busy, std::atomic<bool>& clicksBlocked, bool unblock,
                Ours ours) {
    struct Reset {
        plat::Timer& timer;
        bool& busy;
        std::atomic<bool>& clicksBlocked;
        bool unblock;
        Ours& ours;
        ~Reset() {
            if (ours()) {
                if (unblock) clicksBlocked = false;
                timer.setEnabled(false);
            }
            busy = false;
        }
    } reset{timer, busy, clicksBlocked, unblock, ours};
    plat::Application::processMessages();
}

// `steps` returns whether the tick unblocks the clicks; a failing step always does.
template <typename Steps, typename Ours>
void runTick(plat::Timer& timer, bool& busy, std::atomic<bool>& clicksBlocked, Steps steps,
             Ours ours) {
    bool unblock = true;
    try {
        unblock = steps();
    } catch (...) {
        finishTick(timer, busy, clicksBlocked, true, ours);
        throw;
    }
    finishTick(timer, busy, clicksBlocked, unblock, ours);
}

template <typename Steps>
void runTick(plat::Timer& timer, bool& busy, std::atomic<bool>& clicksBlocked, Steps steps) {
    runTick(timer, busy, clicksBlocked, steps, [] { return true; });
}

}  // namespace game

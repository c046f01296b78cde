#pragma once
// The frame of the cover and clear ticks: the steps, then closing steps that always run,
// also when a step throws; the error then goes on to the handler guard, which shows it.
#include <atomic>

#include "platform/app.h"
#include "platform/controls.h"

namespace game {

// The closing steps: pump once, unblock the clicks, stop the timer, drop the busy flag. The
// flags are set by a destructor, so they are set even if the pump throws.
inline void finishTick(plat::Timer& timer, bool& busy, std::atomic<bool>& clicksBlocked) {
    struct Reset {
        plat::Timer& timer;
        bool& busy;
        std::atomic<bool>& clicksBlocked;
        ~Reset() {
            clicksBlocked = false;
            timer.setEnabled(false);
            busy = false;
        }
    } reset{timer, busy, clicksBlocked};
    plat::Application::processMessages();
}

template <typename Steps>
void runTick(plat::Timer& timer, bool& busy, std::atomic<bool>& clicksBlocked, Steps steps) {
    try {
        steps();
    } catch (...) {
        finishTick(timer, busy, clicksBlocked);
        throw;
    }
    finishTick(timer, busy, clicksBlocked);
}

}  // namespace game

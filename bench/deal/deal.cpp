// How long a deal takes with the real clock: median and worst of 10 000 deals per program.
// Target: under 1 ms each.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "game/zwiunit1.h"
#include "platform/app.h"
#include "platform/dialogs.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!getenv("XDG_RUNTIME_DIR")) setenv("XDG_RUNTIME_DIR", "/tmp", 1);
    plat::Application::initialize(argc, argv);
    plat::DialogScript::enable(true);
    constexpr int kDeals = 10000;
    bool ok = true;
    for (const game::Variant* v : {&game::zwirlo60Variant(), &game::zwirlo3Variant()}) {
        game::TForm1 f(*v, game::FormOptions{false, 0, false});
        std::vector<double> us;
        us.reserve(kDeals);
        for (int i = 0; i < kDeals; ++i) {
            f.faceDown.fill(false);
            const auto t0 = std::chrono::steady_clock::now();
            f.Deal(false);
            const auto t1 = std::chrono::steady_clock::now();
            us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
        }
        std::sort(us.begin(), us.end());
        const double median = us[us.size() / 2], worst = us.back();
        std::printf("%-14s deal: median %.1f us, worst %.1f us\n", v->formName, median, worst);
        ok = ok && worst < 1000.0;
    }
    std::printf("%s\n", ok ? "within 1 ms" : "OVER 1 ms");
    return ok ? 0 : 1;
}

// Times drawing all 60 cards of zwirlo60 with the game's PaintCard, each bitmap loaded
// once, and the repaint that follows. Prints the median and worst of many runs; the
// target is well under one frame (16 ms).
//   bench_paint [runs]
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/scratch.h"
#include "game/zwiunit1.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/resources.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void report(const char* what, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::printf("%-34s median %7.3f ms   worst %7.3f ms   (%zu runs)\n", what, v[v.size() / 2],
                v.back(), v.size());
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const auto dir = bench::startInScratch("paint", argc, argv);
    {
        game::FormOptions options;
        options.listen = false;
        options.instanceGuard = false;
        game::TForm1 form(game::zwirlo60Variant(), options);
        form.show();
        plat::Application::processMessages();
        if (form.pictureModule() == 0) {
            std::fprintf(stderr, "bench_paint: the animal picture library did not load\n");
            return 1;
        }
        std::vector<plat::Bitmap> pics;
        for (int n = 1; n <= 60; ++n)
            pics.push_back(plat::Bitmap::load(form.pictureModule(), "pic" + std::to_string(n)));

        std::vector<double> paintOnly, withRepaint;
        for (int r = 0; r < runs; ++r) {
            // A different picture on every card each run, so nothing is skipped as unchanged.
            auto t0 = Clock::now();
            for (int p = 0; p < 60; ++p)
                form.PaintCard(p, pics[static_cast<std::size_t>((p + r) % 60)]);
            auto t1 = Clock::now();
            plat::Application::processMessages();
            auto t2 = Clock::now();
            paintOnly.push_back(ms(t1 - t0));
            withRepaint.push_back(ms(t2 - t0));
        }
        report("PaintCard x 60", paintOnly);
        report("PaintCard x 60 + repaint", withRepaint);

        std::vector<double> loadEach;
        for (int r = 0; r < std::min(runs, 50); ++r) {
            auto t0 = Clock::now();
            for (int p = 0; p < 60; ++p)
                form.PaintCard(p, "pic" + std::to_string((p + r) % 60 + 1));
            loadEach.push_back(ms(Clock::now() - t0));
        }
        report("PaintCard by name x 60", loadEach);
    }
    std::filesystem::current_path("/");
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}

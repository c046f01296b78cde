// A stand-in program for the guard's process tests: builds the component on a bare form
// and reports one line on stdout, "running <handle> <count>", "refused <handle> <count>"
// or "error <text>". Modes: hold (serve raise requests until killed), once (end through
// the destructor), leak (end through the unit finalization only), exit (end at once, as
// "&Afsluiten" does), twice (a second component), stall (take the start-up lock, report
// "stalled" and hang there, as a copy stuck in its load step), block PATH (print the
// file of PATH's block). Options: --max N, --disabled, --gate (start the
// load step only when standard input closes, so many copies can start at one instant),
// --linger (a refused copy stays until killed, as one that is slow to end).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <unistd.h>

#include "instance/sngInstanceControl.h"
#include "platform/app.h"
#include "platform/controls.h"
#include "platform/sharedblock.h"

// Kept reachable (and so not reported as a leak) by its external name.
instance::TsngInstanceControl* probeLeakedGuard = nullptr;

namespace {

std::string blockCount() {
    std::string name = instance::TsngInstanceControl::MappingName(plat::exePath());
    plat::SharedBlockHandle h = plat::openSharedBlock(name);
    if (h == plat::noSharedBlock) return "none";
    auto* v = static_cast<unsigned char*>(plat::mapSharedBlock(h, 8));
    std::string out = v ? std::to_string(v[4] | v[5] << 8 | v[6] << 16 | v[7] << 24) : "none";
    plat::unmapSharedBlock(v, 8);
    plat::closeSharedBlock(h);
    return out;
}

void report(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string mode = argc > 1 ? argv[1] : "hold";
    if (mode == "block" && argc > 2) {
        std::string name = instance::TsngInstanceControl::MappingName(argv[2]);
        report(plat::sharedBlockPath(name));
        return 0;
    }
    unsigned max = 1;
    bool enabled = true, gate = false, linger = false;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--max") && i + 1 < argc)
            max = std::strtoul(argv[++i], nullptr, 10);
        if (!std::strcmp(argv[i], "--disabled")) enabled = false;
        if (!std::strcmp(argv[i], "--gate")) gate = true;
        if (!std::strcmp(argv[i], "--linger")) linger = true;
    }
    plat::Application::initialize(argc, argv);
    auto form = std::make_unique<plat::Form>("probe");
    auto guard = std::make_unique<instance::TsngInstanceControl>(form.get());
    guard->Enabled = enabled;
    guard->MaxInstances = max;
    std::uint32_t lastHandle = 0;
    guard->OnMaxInstancesReached = [&](instance::TsngInstanceControl*, std::uint32_t h) {
        lastHandle = h;
    };
    if (mode == "stall") {
        plat::SharedBlockLock startup(instance::TsngInstanceControl::MappingName(plat::exePath()));
        report("stalled");
        for (;;) pause();
    }
    if (gate) {
        report("ready");
        char c;
        while (read(0, &c, 1) > 0) {
        }
    }
    try {
        if (mode == "twice") instance::TsngInstanceControl second;
        guard->Loaded();
    } catch (const std::exception& e) {
        report(std::string("error ") + e.what());
        return 1;
    }
    if (plat::Application::terminated()) {
        report("refused " + std::to_string(lastHandle) + " " + blockCount());
        while (linger) pause();
        return 0;
    }
    report("running " + std::to_string(getpid()) + " " + blockCount());
    if (mode == "exit") plat::Application::exitProcess(0);
    if (mode == "leak") {
        probeLeakedGuard = guard.release();
        return 0;
    }
    if (mode == "hold") plat::Application::run(*form);
    return 0;
}

// The yardstick: a bare Qt window, timed to its first painted frame like the programs are
// (ZW_STARTUP_PROBE holds the launcher's CLOCK_MONOTONIC time in ns).
//   bench_bare_window [width height]     (the size of the program it is compared with)
#include <QApplication>
#include <QWidget>

#include <cstdlib>

#include "platform/first_frame.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget w;
    w.resize(argc > 2 ? std::atoi(argv[1]) : 1121, argc > 2 ? std::atoi(argv[2]) : 731);
    plat::probeFirstFrame(&w);
    w.show();
    return app.exec();
}

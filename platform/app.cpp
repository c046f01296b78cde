// The application object: the Qt application, the message pump, the run loop, and the
// handler guard that turns an escaping exception into the standard error box.
#include "platform/app.h"

#include <fcntl.h>
#include <QApplication>
#include <QSocketNotifier>
#include <QThread>

#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <iostream>
#include <thread>
#ifdef ZW_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/first_frame.h"
#include "platform/qt_internal.h"
#include "platform/sharedblock.h"

namespace plat {
namespace {

// Never destroyed: tearing Qt down during static destruction crashes, and the process
// ends right after anyway.
QApplication* app = nullptr;
std::string appTitle;
bool isTerminated = false;
bool mainFormShown = true;
// Recorded before anything else can start a thread.
const std::thread::id mainThreadId = std::this_thread::get_id();
// argc must outlive the QApplication, which keeps a reference to it.
int storedArgc = 0;
Form* firstForm = nullptr;

void routeEndSignals();

}  // namespace

void formCreated(Form* form) {
    if (!firstForm) firstForm = form;
}

void formDestroyed(Form* form) {
    if (firstForm == form) firstForm = nullptr;
}

Form* Application::mainForm() { return firstForm; }

void Application::initialize(int& argc, char** argv) {
    if (app || QCoreApplication::instance()) return;
    storedArgc = argc;
    app = new QApplication(storedArgc, argv);
    // The program decides when it ends (FormClose ends the process itself).
    QApplication::setQuitOnLastWindowClosed(false);
    startDialogHost();
    routeEndSignals();
}

bool Application::initialized() { return QCoreApplication::instance() != nullptr; }

void Application::setTitle(const std::string& title) {
    appTitle = title;
    if (QCoreApplication::instance()) QCoreApplication::setApplicationName(toQt(title));
}

const std::string& Application::title() { return appTitle; }

void Application::processMessages() {
    if (!QCoreApplication::instance()) return;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Timer ticks and handed-over work posted during that pass belong to it as well.
    QCoreApplication::sendPostedEvents();
}

void Application::terminate() {
    isTerminated = true;
    if (QCoreApplication::instance()) QCoreApplication::exit(0);
}

bool Application::terminated() { return isTerminated; }

void Application::setShowMainForm(bool on) { mainFormShown = on; }

namespace {

// SIGTERM and SIGINT end the program the way closing its window does. The handler only
// writes a byte; the close itself runs on the main thread when the event loop sees it,
// like a click on the window's close button.
int signalPipe[2] = {-1, -1};

void onEndSignal(int) {
    const int saved = errno;
    const char byte = 1;
    ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    (void)ignored;
    errno = saved;
}

void closeOnSignal() {
    char drain[64];
    while (::read(signalPipe[0], drain, sizeof drain) > 0) {
    }
    if (Form* form = Application::mainForm()) form->close();
    // The main form's close handler ends the process; without one the signal still must.
    Application::terminate();
    Application::exitProcess(0);
}

void routeEndSignals() {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, app);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { closeOnSignal(); });
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT}) {
        struct sigaction old {};
        // A signal the starter chose to ignore (a shell's background job: SIGINT) stays so.
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        ::sigaction(sig, &action, nullptr);
    }
}

}  // namespace

int Application::run(Form& mainForm) {
    if (!mainFormShown || isTerminated || !QCoreApplication::instance()) return 0;
    // For the start-up benchmark (ZW_STARTUP_PROBE): the time to the first painted frame.
    if (mainForm.impl()) probeFirstFrame(mainForm.impl()->widget);
    mainForm.show();
    return QCoreApplication::exec();
}

void Application::guarded(const std::function<void()>& fn) {
    if (!fn) return;
    try {
        fn();
    } catch (const std::exception& e) {
        showException(e.what());
    } catch (...) {
        showException("Unknown error");
    }
}

void Application::showException(const std::string& text) {
    // The box itself must not let anything escape into Qt's event dispatch.
    try {
        showErrorMessage(text);
    } catch (...) {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

void Application::exitProcess(int code) {
    // The system would drop our handles as the process goes; the last copy's go with them.
    closeAllSharedBlocks();
    std::cout.flush();
    std::cerr.flush();
    std::fflush(stdout);
    std::fflush(stderr);
#ifdef ZW_LEAK_CHECK
    // _exit skips the sanitizer's check at exit, so a leak would end the run unseen: check
    // here and end with the sanitizer's own failure code when it found one.
    if (__lsan_do_recoverable_leak_check() != 0) code = 23;
#endif
    _exit(code);
}

bool Application::isMainThread() {
    if (auto* core = QCoreApplication::instance())
        return QThread::currentThread() == core->thread();
    return std::this_thread::get_id() == mainThreadId;
}

std::string exePath() {
    // A link's text that fills the buffer may have been cut: try again with more room.
    for (std::size_t size = 4096; size <= (1u << 20); size *= 2) {
        std::string buf(size, '\0');
        ssize_t n = readlink("/proc/self/exe", buf.data(), size);
        if (n <= 0 || buf[0] != '/') return {};
        if (static_cast<std::size_t>(n) < size) return buf.substr(0, static_cast<std::size_t>(n));
    }
    return {};
}

std::string exeDir() {
    std::string p = exePath();
    return p.substr(0, p.rfind('/') + 1);  // empty without a path
}

std::uint32_t performanceCounter() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    auto ns = static_cast<std::uint64_t>(ts.tv_sec) * 1000000000ull +
              static_cast<std::uint64_t>(ts.tv_nsec);
    return static_cast<std::uint32_t>(ns);
}

}  // namespace plat

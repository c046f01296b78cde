#pragma once
// The application object: title, message pump, termination, the main-form-shown switch,
// and the guard that turns an exception escaping a handler into the standard error box.
#include <cstdint>
#include <functional>
#include <string>

namespace plat {

class Form;

class Application {
public:
    // Creates the toolkit application. Call once, before any control exists.
    static void initialize(int& argc, char** argv);
    static bool initialized();

    static void setTitle(const std::string& title);  // 8-bit text
    static const std::string& title();

    // The message pump: handles every message waiting in the main thread's queue
    // (clicks, menu commands, timer ticks, repaints, handed-over work) and returns.
    static void processMessages();

    static void terminate();
    static bool terminated();

    // Off: run() never shows the main form and ends at once.
    static void setShowMainForm(bool on);

    // Shows the main form (unless switched off or terminated) and runs the message loop
    // until terminate(). Returns the exit code.
    static int run(Form& mainForm);

    // Runs fn inside the handler guard: an escaping exception is shown in a message box
    // with its text, and control returns to the caller. Every event the loop delivers to
    // the game already runs inside it.
    static void guarded(const std::function<void()>& fn);

    // Shows the standard error box for an exception's text.
    static void showException(const std::string& text);

    // Ends the process at once with the exit code, without destructors. Builds with
    // LeakSanitizer first check for leaks and end with 23 when they find one.
    [[noreturn]] static void exitProcess(int code);

    static bool isMainThread();

    // The first form made, while it lives (the main window). Every dialog opens over it,
    // and a terminate or interrupt signal closes it as its close button would.
    static Form* mainForm();
};

// Full path of the running executable, and its folder (with a trailing '/'); both empty
// when the system cannot tell it.
std::string exePath();
std::string exeDir();

// Low 32 bits of a high-resolution monotonic counter.
std::uint32_t performanceCounter();

}  // namespace plat

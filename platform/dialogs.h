#pragma once
// Modal dialogs: the one-line input dialog, the message box, the default beep. Behind
// them stands a host that tests can script, so that no test ever blocks.
#include <deque>
#include <string>
#include <vector>

namespace plat {

// The one-line input dialog: caption, prompt and an edit field starting with `value`.
// OK: returns true with the edited text in `value`. Cancel: returns false, value unchanged.
bool inputQuery(const std::string& caption, const std::string& prompt, std::string& value);

// A modal message box with the application title and an OK button.
void showMessage(const std::string& text);
// The same with the error icon: the standard error box.
void showErrorMessage(const std::string& text);

// The platform's default beep.
void messageBeep();

class Form;

// Test host. While scripted, no dialog is shown: each input dialog takes the next queued
// answer (none queued: Cancel), each message box returns at once, and all is recorded.
struct DialogRecord {
    enum Kind { Input, Message, Beep, Modal } kind;  // Modal: a form's showModal
    std::string caption;  // input: its caption; message: the application title; modal: the form's
    std::string prompt;   // input: the prompt; message: the text
    std::string initial;  // input: the edit field's text when it opened
    const Form* owner = nullptr;  // input, message: the form it opens centred over
};

class DialogScript {
public:
    static void enable(bool on);
    static bool enabled();
    static void answer(bool ok, const std::string& text);  // queue an input answer
    static std::vector<DialogRecord>& shown();
    static std::vector<std::string> messages();  // texts of the message boxes shown
    static void clear();                         // answers and records
};

}  // namespace plat

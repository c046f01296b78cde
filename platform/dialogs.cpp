// The modal dialogs and the test host that scripts and records them.
#include "platform/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>

#include "platform/app.h"
#include "platform/controls.h"
#include "platform/qt_internal.h"
#include "platform/sound.h"

namespace plat {
namespace {

bool scripted = false;
std::deque<std::pair<bool, std::string>> answers;
std::vector<DialogRecord> records;

// Dialogs live on the main thread; a call from another thread waits there for its answer.
// The work itself passes through our own queue, so its hand-over is plainly synchronised.
struct Job {
    std::function<void()> fn;
    bool done = false;
};
std::mutex jobsMutex;
std::condition_variable jobsDone;
std::deque<Job*> jobs;

void runJobs() {
    for (;;) {
        Job* job;
        {
            std::lock_guard<std::mutex> g(jobsMutex);
            if (jobs.empty()) return;
            job = jobs.front();
            jobs.pop_front();
        }
        job->fn();
        std::lock_guard<std::mutex> g(jobsMutex);
        job->done = true;
        jobsDone.notify_all();
    }
}

// Wakes the main thread for queued jobs. It looks at no event: whatever arrives, it just
// drains the queue, so nothing another thread wrote is read outside the lock.
class JobReceiver : public QObject {
public:
    bool event(QEvent* e) override {
        runJobs();
        return QObject::event(e);
    }
};
JobReceiver* receiver = nullptr;

void onMainThread(std::function<void()> fn) {
    if (Application::isMainThread() || !receiver) {
        fn();
        return;
    }
    Job job{std::move(fn)};
    {
        std::lock_guard<std::mutex> g(jobsMutex);
        jobs.push_back(&job);
    }
    QCoreApplication::postEvent(receiver, new QEvent(QEvent::User));
    std::unique_lock<std::mutex> lock(jobsMutex);
    jobsDone.wait(lock, [&] { return job.done; });
}

bool runInputQuery(const std::string& caption, const std::string& prompt, std::string& value);
void runShowMessage(const std::string& text, QMessageBox::Icon icon);

}  // namespace

void startDialogHost() {
    if (!receiver) receiver = new JobReceiver;
}

bool inputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    bool ok = false;
    onMainThread([&] { ok = runInputQuery(caption, prompt, value); });
    return ok;
}

void showMessage(const std::string& text) {
    onMainThread([&] { runShowMessage(text, QMessageBox::NoIcon); });
}

void showErrorMessage(const std::string& text) {
    onMainThread([&] { runShowMessage(text, QMessageBox::Critical); });
}

void messageBeep() {
    onMainThread([] {
        if (scripted) records.push_back({DialogRecord::Beep, {}, {}, {}});
    });
    playDefaultSound();
}

namespace {

// Dialogs belong to the main window and open centred over it. The active window would not
// do: once one dialog closes there is none, and the next one would open mid-screen.
QWidget* ownerWidget(const Form* owner) { return owner ? owner->impl()->widget.data() : nullptr; }

// Before the main window shows it has no place yet, and a box centred over it would open
// near the screen's corner: such a box is centred on the screen the window will open on.
// Nor is it the box's parent then: a parent gets its native window made with the box, and
// the position set for the main window's frame would then place its client area, pushing
// the title bar off the top of the screen.
QWidget* shownOwner(const Form* owner) {
    QWidget* w = ownerWidget(owner);
    return w && w->isVisible() ? w : nullptr;
}

template <class Dialog>
class Placed : public Dialog {
public:
    explicit Placed(const Form* owner) : Dialog(shownOwner(owner)) {
        QWidget* w = ownerWidget(owner);
        if (w && !w->isVisible()) screen_ = w->screen();
        makeDialog(this);
    }

protected:
    void showEvent(QShowEvent* e) override {
        Dialog::showEvent(e);
        if (screen_ && !e->spontaneous()) {
            const QPoint c = screen_->availableGeometry().center();
            this->move(c.x() - this->width() / 2, c.y() - this->height() / 2);
        }
    }

private:
    QScreen* screen_ = nullptr;
};

bool runInputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    const Form* owner = Application::mainForm();
    if (scripted) {
        records.push_back({DialogRecord::Input, caption, prompt, value, owner});
        if (answers.empty()) return false;
        auto [ok, text] = answers.front();
        answers.pop_front();
        if (ok) value = text;
        return ok;
    }
    if (!Application::initialized()) return false;

    Placed<QDialog> dlg(owner);
    dlg.setWindowTitle(toQt(caption));
    auto* layout = new QVBoxLayout(&dlg);
    auto* label = new QLabel(toQt(prompt), &dlg);
    auto* edit = new QLineEdit(toQt(value), &dlg);
    edit->selectAll();
    label->setBuddy(edit);
    auto* buttons = new QDialogButtonBox(&dlg);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Annuleren"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    dlg.setMinimumWidth(260);
    edit->setFocus();
    if (dlg.exec() != QDialog::Accepted) return false;
    value = fromQt(edit->text());
    return true;
}

void runShowMessage(const std::string& text, QMessageBox::Icon icon) {
    const Form* owner = Application::mainForm();
    if (scripted) {
        records.push_back({DialogRecord::Message, Application::title(), text, {}, owner});
        return;
    }
    if (!Application::initialized()) {
        std::fprintf(stderr, "%s\n", text.c_str());
        return;
    }
    Placed<QMessageBox> box(owner);
    box.setWindowTitle(toQt(Application::title()));
    box.setText(toQt(text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(icon);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

}  // namespace

void DialogScript::enable(bool on) { scripted = on; }
bool DialogScript::enabled() { return scripted; }

void DialogScript::answer(bool ok, const std::string& text) { answers.emplace_back(ok, text); }

std::vector<DialogRecord>& DialogScript::shown() { return records; }

std::vector<std::string> DialogScript::messages() {
    std::vector<std::string> out;
    for (const auto& r : records)
        if (r.kind == DialogRecord::Message) out.push_back(r.prompt);
    return out;
}

void DialogScript::clear() {
    answers.clear();
    records.clear();
}

}  // namespace plat

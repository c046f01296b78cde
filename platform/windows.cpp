// Window states as a player meets them under a window manager: bringing a window back and
// forward, and modal dialogs that stay put while they block the rest of the program.
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include "platform/qt_internal.h"

namespace plat {

// The headless platform of the tests knows no stacking and says so at every raise.
void raiseAndActivate(QWidget* w) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->raise();
    w->activateWindow();
}

void restoreAndRaise(QWidget* w) {
    // Only the minimised state goes: a window minimised from maximised comes back so.
    if (w->windowState() & Qt::WindowMinimized)
        w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    w->show();
    raiseAndActivate(w);
}

namespace {

constexpr Qt::WindowStates kNotForDialogs =
    Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

// Some window managers offer minimise and maximise whatever a window asks for. A modal box
// minimised would leave the program locked with nothing to click, so it comes straight back.
class KeepDialogUp : public QObject {
protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::WindowStateChange && o->isWidgetType()) {
            auto* w = static_cast<QWidget*>(o);
            if (w->windowState() & kNotForDialogs)
                QTimer::singleShot(0, w, [w] {
                    w->setWindowState(w->windowState() & ~kNotForDialogs);
                    if (w->isVisible()) raiseAndActivate(w);
                });
        }
        return false;
    }
};

}  // namespace

void makeDialog(QWidget* w) {
    w->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::WindowCloseButtonHint);
    static KeepDialogUp* keeper = new KeepDialogUp;  // one for all, never freed
    w->installEventFilter(keeper);
}

}  // namespace plat

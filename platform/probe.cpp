// Test drivers: real toolkit events for the controls, and a look at what they show.
#include "platform/probe.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QListWidget>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPushButton>

#include "platform/qt_internal.h"

namespace plat::probe {
namespace {

void sendClick(QWidget* w, QPoint at) {
    if (!w) return;
    QPointF global = w->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

}  // namespace

void triggerMenu(MenuItem& item) {
    if (item.impl() && item.impl()->action) item.impl()->action->trigger();
}

void mouseClick(Control& control) {
    QWidget* w = control.impl() ? control.impl()->widget.data() : nullptr;
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        QRect first = list->count() > 0 ? list->visualItemRect(list->item(0)) : QRect();
        sendClick(list->viewport(), first.isValid() ? first.center() : QPoint(2, 2));
        return;
    }
    if (w) sendClick(w, w->rect().center());
}

void mouseClickForm(Form& form, int x, int y) {
    auto* window = form.impl() ? qobject_cast<QMainWindow*>(form.impl()->widget.data()) : nullptr;
    if (!window) return;
    QWidget* central = window->centralWidget();
    QWidget* target = central->childAt(x, y);
    QPoint at(x, y);
    if (target)
        at = target->mapFrom(central, at);
    else
        target = central;
    if (auto* list = qobject_cast<QListWidget*>(target->parentWidget())) {
        target = list->viewport();
        at = target->mapFrom(central, QPoint(x, y));
    }
    sendClick(target, at);
}

void pressEnter(Form& form) {
    QWidget* window = form.impl() ? form.impl()->widget.data() : nullptr;
    if (!window) return;
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

void pressKey(Form& form, const std::string& key) {
    QWidget* window = form.impl() ? form.impl()->widget.data() : nullptr;
    if (!window) return;
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QKeyCombination k = QKeySequence(QString::fromStdString(key))[0];
    QString text = k.key() == Qt::Key_Space ? QStringLiteral(" ") : QString();
    QKeyEvent press(QEvent::KeyPress, k.key(), Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, k.key(), Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

void activate(Form& form) {
    QWidget* window = form.impl() ? form.impl()->widget.data() : nullptr;
    if (!window) return;
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QApplication::processEvents();
}

Control* focusedControl(Form& form) {
    QWidget* window = form.impl() ? form.impl()->widget.data() : nullptr;
    QWidget* w = window ? window->focusWidget() : nullptr;
    WidgetImpl* d = implOf(w);
    return d ? d->control : nullptr;
}

int modalDialogState() {
    QWidget* box = QApplication::activeModalWidget();
    if (!box) return 0;
    return QApplication::activeWindow() == box ? 2 : 1;
}

void answerModalDialog() {
    QWidget* box = QApplication::activeModalWidget();
    if (!box) return;
    for (auto* button : box->findChildren<QPushButton*>()) {
        if (button->isDefault()) {
            button->click();
            return;
        }
    }
}

std::string toolTip(const Control& control) {
    QWidget* w = control.impl() ? control.impl()->widget.data() : nullptr;
    return w ? fromQt(w->toolTip()) : std::string();
}

std::string shownRow(const ListBox& list, int row) {
    auto* l = list.impl() ? qobject_cast<QListWidget*>(list.impl()->widget.data()) : nullptr;
    QListWidgetItem* it = l ? l->item(row) : nullptr;
    return it ? fromQt(it->text()) : std::string();
}

int shownRows(const ListBox& list) {
    auto* l = list.impl() ? qobject_cast<QListWidget*>(list.impl()->widget.data()) : nullptr;
    return l ? l->count() : 0;
}

std::string shownCaption(const MenuItem& item) {
    QAction* a = item.impl() ? item.impl()->action.data() : nullptr;
    return a ? fromQt(a->text()) : std::string();
}

bool shownChecked(const MenuItem& item) {
    QAction* a = item.impl() ? item.impl()->action.data() : nullptr;
    return a && a->isCheckable() && a->isChecked();
}

}  // namespace plat::probe

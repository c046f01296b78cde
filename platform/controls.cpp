// Controls, menus, timers and forms on Qt Widgets. Every event that reaches game code
// passes through Application::guarded, so an escaping exception becomes the error box.
#include "platform/controls.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVariant>

#include <algorithm>
#include <map>

#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/probe.h"
#include "platform/qt_internal.h"
#include "platform/resources.h"
#include "platform/text.h"

namespace plat {

WidgetImpl::~WidgetImpl() { delete widget.data(); }

namespace {
constexpr const char* kImplProperty = "zwImpl";
}  // namespace

WidgetImpl* implOf(QWidget* w) {
    return w ? reinterpret_cast<WidgetImpl*>(w->property(kImplProperty).value<quintptr>())
             : nullptr;
}

namespace {

void tagWithImpl(QWidget* w, WidgetImpl* impl) {
    w->setProperty(kImplProperty, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(impl)));
}

bool isLeftRelease(QMouseEvent* e, QWidget* w) {
    return e->button() == Qt::LeftButton && w->rect().contains(e->position().toPoint());
}

QColor toQColor(Color c, QPalette::ColorRole systemDefault) {
    if (c == clWindowText) return QApplication::palette().color(QPalette::WindowText);
    if (c == clBtnFace) return QApplication::palette().color(QPalette::Button);
    if (c & 0xFF000000u) return QApplication::palette().color(systemDefault);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// The installed families are listed once and each wanted family resolved once: asking
// the database family by family runs the font configuration's alias matching every
// time, which made up a good part of the start-up.
QString resolveFamily(const std::string& family) {
    static std::map<std::string, QString> resolved;
    auto it = resolved.find(family);
    if (it != resolved.end()) return it->second;
    static const QStringList installed = QFontDatabase::families();
    QString result = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    QString wanted = QString::fromStdString(family);
    if (installed.contains(wanted, Qt::CaseInsensitive)) {
        result = wanted;
    } else {
        // Closest in width to the window's designed font first: the score lists are
        // laid out for it and a wider face cuts their texts off.
        for (const char* f : {"Tahoma", "Liberation Sans", "Arimo", "DejaVu Sans Condensed",
                              "DejaVu Sans", "Noto Sans"})
            if (installed.contains(QString::fromLatin1(f), Qt::CaseInsensitive)) {
                result = QString::fromLatin1(f);
                break;
            }
    }
    resolved.emplace(family, result);
    return result;
}

// Labels size to their text, except word-wrapped ones, which keep their bounds.
void fitLabel(QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w); l && !l->wordWrap()) l->adjustSize();
}

// An unanchored control takes its centre as it stands now, in the client area as it is
// now: a control moved or resized while the window is resized keeps its new place.
void takeCentre(WidgetImpl* d) {
    QWidget* w = d ? d->widget.data() : nullptr;
    if (!w || !d->centred || !w->parentWidget()) return;
    d->centre = QPoint(w->x() + w->width() / 2, w->y() + w->height() / 2);
    d->centreBase = w->parentWidget()->size();
}

int scaled(int v, int to, int from) {
    return static_cast<int>((2LL * v * to + from) / (2LL * from));  // rounded
}

void placeCentred(WidgetImpl* d, QSize client) {
    QWidget* w = d ? d->widget.data() : nullptr;
    if (!w || !d->centred || d->centreBase.width() <= 0 || d->centreBase.height() <= 0) return;
    w->move(scaled(d->centre.x(), client.width(), d->centreBase.width()) - w->width() / 2,
            scaled(d->centre.y(), client.height(), d->centreBase.height()) - w->height() / 2);
}

}  // namespace

// ---------------------------------------------------------------- form internals

struct FormImpl : WidgetImpl {
    Form* form = nullptr;
    QMainWindow* window = nullptr;
    QWidget* central = nullptr;
    QEventLoop* modalLoop = nullptr;
    int modalResult = 0;
    QSize clientSize;         // as designed, or as last set
    bool fitPending = false;  // the window is sized around it when first shown

    void endModal(int result) {
        modalResult = result;
        if (modalLoop) modalLoop->quit();
    }
    // What the close button does: a modal form ends with "cancel"; any form runs onClose.
    void handleClose() {
        if (modalLoop) endModal(2);
        if (form->onClose) {
            Application::guarded(form->onClose);
        } else if (!modalLoop && window) {
            window->hide();
        }
    }
    // Enter answers the form's default button, as a dialog box would.
    bool pressDefault() {
        if (!central) return false;
        for (QPushButton* b : central->findChildren<QPushButton*>()) {
            if (b->isDefault() && b->isEnabled() && !b->isHidden()) {
                if (WidgetImpl* w = implOf(b); w && w->control) {
                    w->control->click();
                    return true;
                }
            }
        }
        return false;
    }
};

namespace {

FormImpl* formImpl(Form& f) { return static_cast<FormImpl*>(f.impl()); }

class FormWindow : public QMainWindow {
public:
    explicit FormWindow(FormImpl* d) : d_(d) {}

protected:
    void closeEvent(QCloseEvent* e) override {
        e->ignore();
        d_->handleClose();
    }
    void keyPressEvent(QKeyEvent* e) override {
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && d_->pressDefault()) return;
        QMainWindow::keyPressEvent(e);
    }
    void changeEvent(QEvent* e) override {
        QMainWindow::changeEvent(e);
        if (e->type() == QEvent::ActivationChange && isActiveWindow() && d_->form->onActivate)
            Application::guarded(d_->form->onActivate);
    }

private:
    FormImpl* d_;
};

class CentralWidget : public QWidget {
public:
    explicit CentralWidget(FormImpl* d) : d_(d) {}
    QSize sizeHint() const override { return d_->clientSize; }

protected:
    void resizeEvent(QResizeEvent*) override {
        for (QObject* o : children())
            if (auto* w = qobject_cast<QWidget*>(o)) placeCentred(implOf(w), size());
    }
    void mousePressEvent(QMouseEvent* e) override { e->accept(); }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (isLeftRelease(e, this) && d_->form->onClick) Application::guarded(d_->form->onClick);
    }

private:
    FormImpl* d_;
};

// Mouse handling shared by the controls: a left release inside is a click.
template <class Base>
class Clickable : public Base {
public:
    using Base::Base;

protected:
    void mousePressEvent(QMouseEvent* e) override { e->accept(); }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (!isLeftRelease(e, this)) return;
        if (WidgetImpl* d = implOf(this); d && d->control) d->control->click();
    }
};

class ImageWidget : public Clickable<QWidget> {
public:
    using Clickable::Clickable;
    QImage image;
    bool stretch = false;

protected:
    void paintEvent(QPaintEvent*) override {
        if (image.isNull()) return;
        QPainter p(this);
        if (stretch) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(rect(), image);
        } else {
            p.drawImage(0, 0, image);
        }
    }
};

class PanelWidget : public Clickable<QFrame> {
public:
    using Clickable::Clickable;

protected:
    // Raised inside, lowered outside.
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QPalette& pal = palette();
        QRect r = rect();
        auto bevel = [&](QRect box, const QColor& topLeft, const QColor& bottomRight) {
            p.setPen(topLeft);
            p.drawLine(box.topLeft(), box.topRight());
            p.drawLine(box.topLeft(), box.bottomLeft());
            p.setPen(bottomRight);
            p.drawLine(box.bottomLeft(), box.bottomRight());
            p.drawLine(box.topRight(), box.bottomRight());
        };
        bevel(r, pal.color(QPalette::Dark), pal.color(QPalette::Light));
        bevel(r.adjusted(1, 1, -1, -1), pal.color(QPalette::Light), pal.color(QPalette::Dark));
    }
};

class ListWidget : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        QListWidget::mouseReleaseEvent(e);
        if (e->button() != Qt::LeftButton) return;
        if (WidgetImpl* d = implOf(this); d && d->control) d->control->click();
    }
};

std::unique_ptr<WidgetImpl> makeImpl(Form& owner, QWidget* w) {
    auto impl = std::make_unique<WidgetImpl>();
    FormImpl* f = formImpl(owner);
    w->setParent(f->central);
    tagWithImpl(w, impl.get());
    w->show();  // a child is visible unless hidden on purpose, as in the window description
    impl->widget = w;
    return impl;
}

template <class W>
W* widgetAs(const Control& c) {
    return c.impl() ? static_cast<W*>(c.impl()->widget.data()) : nullptr;
}

}  // namespace

QFont toQtFont(const Font& font) {
    QFont f(resolveFamily(font.family));
    if (font.pixelHeight > 0) f.setPixelSize(font.pixelHeight);
    return f;
}

// ---------------------------------------------------------------- Control

Control::Control(Form&, const std::string& name, std::unique_ptr<WidgetImpl> impl)
    : name_(name), impl_(std::move(impl)) {
    if (impl_) impl_->control = this;
    if (QWidget* w = impl_ ? impl_->widget.data() : nullptr)
        w->setObjectName(QString::fromStdString(name));
}

Control::~Control() = default;

void Control::setBounds(int left, int top, int width, int height) {
    if (QWidget* w = impl_->widget) {
        w->setGeometry(left, top, std::max(0, width), std::max(0, height));
        fitLabel(w);
        takeCentre(impl_.get());
    }
}

int Control::left() const { return impl_->widget ? impl_->widget->x() : 0; }
int Control::top() const { return impl_->widget ? impl_->widget->y() : 0; }
int Control::width() const { return impl_->widget ? impl_->widget->width() : 0; }
int Control::height() const { return impl_->widget ? impl_->widget->height() : 0; }

void Control::setVisible(bool on) {
    if (impl_->widget) impl_->widget->setVisible(on);
}

bool Control::visible() const { return impl_->widget && !impl_->widget->isHidden(); }

void Control::setEnabled(bool on) {
    if (impl_->widget) impl_->widget->setEnabled(on);
}

bool Control::enabled() const {
    return impl_->widget && impl_->widget->isEnabledTo(impl_->widget->parentWidget());
}

void Control::setFont(const Font& font) {
    if (QWidget* w = impl_->widget) {
        w->setFont(toQtFont(font));
        fitLabel(w);
        takeCentre(impl_.get());
    }
}

void Control::setAnchors(Anchors a) {
    impl_->centred = a == Anchors::None;
    takeCentre(impl_.get());
}

void Control::click() {
    if (!enabled()) return;
    Application::guarded(onClick);
    // A button with a modal result closes its modal form with it.
    auto* b = dynamic_cast<Button*>(this);
    if (b && b->modalResult != 0 && impl_->widget) {
        QWidget* top = impl_->widget->window();
        if (dynamic_cast<FormWindow*>(top))
            if (auto* f = static_cast<FormImpl*>(implOf(top))) f->endModal(b->modalResult);
    }
}

// ---------------------------------------------------------------- Label

Label::Label(Form& owner, const std::string& name)
    : Control(owner, name, makeImpl(owner, new Clickable<QLabel>())) {
    auto* l = widgetAs<QLabel>(*this);
    l->setTextFormat(Qt::PlainText);
    l->setAutoFillBackground(false);
}

void Label::setWordWrap(bool on) {
    if (auto* l = widgetAs<QLabel>(*this)) {
        l->setWordWrap(on);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
}

void Label::setCaption(const std::string& text) {
    caption_ = text;
    if (auto* l = widgetAs<QLabel>(*this)) {
        l->setText(toQt(text));
        fitLabel(l);
        takeCentre(impl_.get());
    }
}

void Label::setFontColor(Color c) {
    fontColor_ = c;
    if (auto* l = widgetAs<QLabel>(*this)) {
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, toQColor(c, QPalette::WindowText));
        l->setPalette(pal);
    }
}

// ---------------------------------------------------------------- Image

Image::Image(Form& owner, const std::string& name)
    : Control(owner, name, makeImpl(owner, new ImageWidget())) {}

void Image::setPicture(const Bitmap& bmp) {
    pictureName_ = bmp.name();
    auto* w = widgetAs<ImageWidget>(*this);
    if (!w) return;
    const QImage* img = bitmapImage(bmp);
    w->image = img ? *img : QImage();
    if (!w->stretch) w->resize(w->image.width(), w->image.height());
    w->update();
}

void Image::setStretch(bool on) {
    if (auto* w = widgetAs<ImageWidget>(*this)) {
        w->stretch = on;
        w->update();
    }
}

void Image::setHint(const std::string& text) {
    hint_ = text;
    setShowHint(showHint_);
}

void Image::setShowHint(bool on) {
    showHint_ = on;
    if (auto* w = widgetAs<QWidget>(*this)) w->setToolTip(on ? toQt(hint_) : QString());
}

void Image::repaint() {
    if (auto* w = widgetAs<QWidget>(*this)) w->repaint();
}

// ---------------------------------------------------------------- buttons

namespace {

QPushButton* newPushButton() {
    // Enter on a focused button presses it, as on the platform the game was made for.
    auto* b = new QPushButton();
    b->setAutoDefault(true);
    return b;
}

void connectClicked(QAbstractButton* b) {
    QObject::connect(b, &QAbstractButton::clicked, b, [b] {
        if (WidgetImpl* d = implOf(b); d && d->control) d->control->click();
    });
}

}  // namespace

Button::Button(Form& owner, const std::string& name)
    : Button(owner, name, makeImpl(owner, newPushButton())) {}

Button::Button(Form& owner, const std::string& name, std::unique_ptr<WidgetImpl> impl)
    : Control(owner, name, std::move(impl)) {
    if (auto* b = widgetAs<QPushButton>(*this)) connectClicked(b);
}

void Button::setCaption(const std::string& text) {
    caption_ = text;
    if (auto* b = widgetAs<QPushButton>(*this)) b->setText(toQt(text));
}

void Button::setDefault(bool on) {
    if (auto* b = widgetAs<QPushButton>(*this)) b->setDefault(on);
}

BitBtn::BitBtn(Form& owner, const std::string& name) : Button(owner, name) { setKind(kind_); }

void BitBtn::setKind(Kind k) {
    kind_ = k;
    if (auto* b = widgetAs<QPushButton>(*this)) {
        b->setIcon(kindGlyph(k));
        b->setIconSize(QSize(16, 16));
    }
}

SpeedButton::SpeedButton(Form& owner, const std::string& name)
    : Control(owner, name, makeImpl(owner, new QToolButton())) {
    auto* b = widgetAs<QToolButton>(*this);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIcon(connectGlyph());
    b->setIconSize(QSize(24, 24));
    b->resize(27, 28);
    connectClicked(b);
}

Panel::Panel(Form& owner, const std::string& name)
    : Control(owner, name, makeImpl(owner, new PanelWidget())) {}

// ---------------------------------------------------------------- ListBox

ListBox::ListBox(Form& owner, const std::string& name)
    : Control(owner, name, makeImpl(owner, new ListWidget())) {
    auto* l = widgetAs<QListWidget>(*this);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    l->setTextElideMode(Qt::ElideNone);  // a list row shows what fits, with no "..."
    l->setProperty("zwItemHeight", 0);
}

void ListBox::setItemHeight(int px) {
    if (auto* l = widgetAs<QListWidget>(*this)) {
        l->setProperty("zwItemHeight", px);
        sync();
    }
}

void ListBox::setBorder(bool on) {
    if (auto* l = widgetAs<QListWidget>(*this))
        l->setFrameShape(on ? QFrame::StyledPanel : QFrame::NoFrame);
}

void ListBox::clear() {
    items_.clear();
    if (auto* l = widgetAs<QListWidget>(*this)) l->clear();
}

namespace {
QListWidgetItem* newRow(QListWidget* l, const std::string& text) {
    auto* it = new QListWidgetItem(toQt(text));
    if (int h = l->property("zwItemHeight").toInt(); h > 0) it->setSizeHint(QSize(0, h));
    return it;
}
}  // namespace

int ListBox::add(const std::string& line) {
    auto pos = items_.end();
    if (sorted)
        pos = std::upper_bound(items_.begin(), items_.end(), line,
                               [](const std::string& a, const std::string& b) {
                                   return compareTextIgnoreCase(a, b) < 0;
                               });
    int row = static_cast<int>(pos - items_.begin());
    items_.insert(pos, line);
    if (auto* l = widgetAs<QListWidget>(*this)) l->insertItem(row, newRow(l, line));
    return row;
}

void ListBox::setItem(int row, const std::string& line) {
    items_.at(static_cast<std::size_t>(row)) = line;
    if (auto* l = widgetAs<QListWidget>(*this))
        if (QListWidgetItem* it = l->item(row)) it->setText(toQt(line));
}

void ListBox::sync() {
    auto* l = widgetAs<QListWidget>(*this);
    if (!l) return;
    l->clear();
    for (const auto& s : items_) l->addItem(newRow(l, s));
}

// ---------------------------------------------------------------- MenuItem

MenuItem::MenuItem(Form& owner, MenuItem* parent, const std::string& name,
                   const std::string& caption, bool separator)
    : owner_(owner), parent_(parent), name_(name), caption_(caption), separator_(separator),
      impl_(std::make_unique<Impl>()) {}

MenuItem::~MenuItem() {
    children_.clear();
    delete impl_->menu.data();
    delete impl_->action.data();
}

MenuItem& MenuItem::add(const std::string& name, const std::string& caption) {
    bool sep = caption == "-";
    if (!impl_->menu) {
        FormImpl* f = formImpl(owner_);
        impl_->menu = new QMenu(f->window);
        if (impl_->action) impl_->action->setMenu(impl_->menu.data());
    }
    auto item =
        std::unique_ptr<MenuItem>(new MenuItem(owner_, this, name, sep ? "" : caption, sep));
    MenuItem* raw = item.get();
    if (sep) {
        raw->impl_->action = impl_->menu->addSeparator();
    } else {
        QAction* a = impl_->menu->addAction(toQt(caption));
        raw->impl_->action = a;
        QObject::connect(a, &QAction::triggered, a, [raw, a] {
            a->setChecked(raw->checked_);  // our state, not Qt's toggle, decides
            raw->click();
        });
    }
    children_.push_back(std::move(item));
    return *raw;
}

void MenuItem::addSeparator() { add({}, "-"); }

MenuItem* MenuItem::find(const std::string& name) {
    if (name_ == name) return this;
    for (auto& c : children_)
        if (MenuItem* m = c->find(name)) return m;
    return nullptr;
}

void MenuItem::setCaption(const std::string& text) {
    caption_ = text;
    if (impl_->action && !separator_) impl_->action->setText(toQt(text));
}

void MenuItem::setShortcut(const std::string& keys) {
    shortcut_ = keys;
    if (impl_->action) impl_->action->setShortcut(QKeySequence(QString::fromStdString(keys)));
}

void MenuItem::setChecked(bool on) {
    checked_ = on;
    if (QAction* a = impl_->action) {
        a->setCheckable(on);
        a->setChecked(on);
    }
}

void MenuItem::setEnabled(bool on) {
    enabled_ = on;
    if (impl_->action) impl_->action->setEnabled(on);
}

void MenuItem::setVisible(bool on) {
    visible_ = on;
    if (impl_->action) impl_->action->setVisible(on);
}

void MenuItem::click() {
    if (!enabled_ || separator_) return;
    if (autoCheck) setChecked(!checked_);
    Application::guarded(onClick);
}

// ---------------------------------------------------------------- Form

Form::Form(const std::string& name) : name_(name) {
    auto d = std::make_unique<FormImpl>();
    d->form = this;
    d->window = new FormWindow(d.get());
    d->window->setObjectName(QString::fromStdString(name));
    tagWithImpl(d->window, d.get());
    d->central = new CentralWidget(d.get());
    d->central->setAutoFillBackground(true);
    d->window->setCentralWidget(d->central);
    d->widget = d->window;
    impl_ = std::move(d);
    setColor(color_);
    formCreated(this);
}

Form::~Form() {
    formDestroyed(this);
    // Menu actions first, while the window that owns them still exists.
    menus_.clear();
    if (auto* d = formImpl(*this); d && d->modalLoop) d->modalLoop->quit();
}

void Form::setCaption(const std::string& text) {
    caption_ = text;
    formImpl(*this)->window->setWindowTitle(toQt(text));
}

namespace {
// The window's size for its client area, menu bar included; adjustSize would cap it at
// two thirds of the screen.
void fitToClient(FormImpl* d) {
    d->central->updateGeometry();
    d->window->layout()->invalidate();
    d->window->resize(d->window->sizeHint());
    d->fitPending = false;
}
}  // namespace

void Form::setClientSize(int width, int height) {
    FormImpl* d = formImpl(*this);
    d->clientSize = QSize(std::max(0, width), std::max(0, height));
    if (d->window->isVisible()) {
        fitToClient(d);
    } else {
        // The menu bar may still come; the window is fitted when it is first shown.
        d->central->resize(d->clientSize);
        d->fitPending = true;
    }
}

int Form::clientWidth() const { return static_cast<FormImpl*>(impl_.get())->central->width(); }
int Form::clientHeight() const { return static_cast<FormImpl*>(impl_.get())->central->height(); }

void Form::setPosition(int left, int top) { formImpl(*this)->window->move(left, top); }

void Form::setColor(Color c) {
    color_ = c;
    QWidget* central = formImpl(*this)->central;
    QPalette pal = central->palette();
    pal.setColor(QPalette::Window, toQColor(c, QPalette::Window));
    central->setPalette(pal);
}

void Form::setFont(const Font& font) { formImpl(*this)->window->setFont(toQtFont(font)); }

void Form::setTabOrder(const std::vector<Control*>& order) {
    QWidget* last = nullptr;
    for (Control* c : order) {
        QWidget* w = c && c->impl() ? c->impl()->widget.data() : nullptr;
        if (!w) continue;
        if (last) QWidget::setTabOrder(last, w);
        last = w;
    }
    if (!last) return;
    // Whatever else takes the focus by Tab comes after them, so the first listed is first.
    QWidget* window = formImpl(*this)->window;
    std::vector<QWidget*> rest;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        bool listed = std::any_of(order.begin(), order.end(), [w](Control* c) {
            return c && c->impl() && c->impl()->widget.data() == w;
        });
        if (!listed && (w->focusPolicy() & Qt::TabFocus)) rest.push_back(w);
    }
    for (QWidget* w : rest) {
        QWidget::setTabOrder(last, w);
        last = w;
    }
}

MenuItem& Form::addMenu(const std::string& name, const std::string& caption) {
    FormImpl* d = formImpl(*this);
    auto item = std::unique_ptr<MenuItem>(new MenuItem(*this, nullptr, name, caption, false));
    // The menu bar keeps the system's menu font, whatever font the form's controls use.
    if (menus_.empty()) d->window->menuBar()->setFont(QApplication::font());
    item->impl_->menu = new QMenu(toQt(caption), d->window);
    item->impl_->action = d->window->menuBar()->addMenu(item->impl_->menu.data());
    menus_.push_back(std::move(item));
    return *menus_.back();
}

MenuItem* Form::findMenuItem(const std::string& name) {
    for (auto& m : menus_)
        if (MenuItem* found = m->find(name)) return found;
    return nullptr;
}

void Form::show() {
    FormImpl* d = formImpl(*this);
    if (d->fitPending) fitToClient(d);
    d->window->show();
}
void Form::hide() { formImpl(*this)->window->hide(); }
bool Form::showing() const { return static_cast<FormImpl*>(impl_.get())->window->isVisible(); }

void Form::close() { formImpl(*this)->handleClose(); }

void Form::bringToFront() { restoreAndRaise(formImpl(*this)->window); }

int Form::showModal() {
    FormImpl* d = formImpl(*this);
    QMainWindow* w = d->window;
    if (d->modalLoop) return 2;  // already up
    w->hide();                   // modality only changes on a hidden window
    makeDialog(w);
    w->setWindowModality(Qt::ApplicationModal);
    // A dialog's border does not resize.
    fitToClient(d);
    w->setFixedSize(w->size());
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        QRect area = s->availableGeometry();
        w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
    }
    d->modalResult = 0;
    QEventLoop loop;
    d->modalLoop = &loop;
    w->show();
    raiseAndActivate(w);
    if (DialogScript::enabled()) {
        // Tests never wait for a person: the box is answered as Enter would answer it.
        DialogScript::shown().push_back({DialogRecord::Modal, caption_, {}, {}});
        Application::processMessages();
        if (d->modalResult == 0 && !d->pressDefault()) d->modalResult = 2;
        if (d->modalResult == 0) d->modalResult = 2;
    } else {
        loop.exec();
    }
    d->modalLoop = nullptr;
    w->hide();
    w->setWindowModality(Qt::NonModal);
    return d->modalResult == 0 ? 2 : d->modalResult;
}

bool Form::saveScreenshot(const std::string& path) {
    QMainWindow* w = formImpl(*this)->window;
    return w->grab().save(QString::fromLocal8Bit(path.c_str()), "PNG");
}

}  // namespace plat

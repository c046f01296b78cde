#pragma once
// Window, controls, menus and timers with the semantics the game expects of them.
// Captions, hints and list items are 8-bit Windows-1252 text. Colours are 0x00BBGGRR;
// clWindowText (0xFF000008) is the system's window text colour.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plat {

using Color = std::uint32_t;
constexpr Color clWindowText = 0xFF000008;
constexpr Color clBtnFace = 0xFF00000F;
constexpr Color clLime = 0x0000FF00;
constexpr Color clRed = 0x000000FF;

class Bitmap;
class Form;
struct WidgetImpl;  // toolkit side, private to the platform

using Handler = std::function<void()>;

struct Font {
    std::string family = "Tahoma";  // falls back to the closest sans-serif
    int pixelHeight = 11;
};

class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    void setBounds(int left, int top, int width, int height);
    int left() const;
    int top() const;
    int width() const;
    int height() const;
    void setVisible(bool on);
    bool visible() const;  // the control's own Visible property
    void setEnabled(bool on);
    bool enabled() const;
    void setFont(const Font& font);
    // Where the control stays when the form's client area is resized: at its place (the
    // default, anchored top left), or with its centre at the same relative place.
    enum class Anchors { TopLeft, None };
    void setAnchors(Anchors a);
    Handler onClick;
    // Simulates a user click: runs onClick (inside the handler guard) if enabled.
    void click();

    WidgetImpl* impl() const { return impl_.get(); }

protected:
    Control(Form& owner, const std::string& name, std::unique_ptr<WidgetImpl> impl);
    std::string name_;
    std::unique_ptr<WidgetImpl> impl_;
};

class Label : public Control {
public:
    Label(Form& owner, const std::string& name);
    // A word-wrapped label keeps the bounds it was given; any other sizes to its text.
    void setWordWrap(bool on);
    void setCaption(const std::string& text);
    const std::string& caption() const { return caption_; }
    void setFontColor(Color c);
    Color fontColor() const { return fontColor_; }

private:
    std::string caption_;
    Color fontColor_ = clWindowText;
};

// A picture control that sizes itself to its bitmap, with a tag, a hint and a drawing
// lock (a hold count; releasing an unheld lock does nothing).
class Image : public Control {
public:
    Image(Form& owner, const std::string& name);
    int tag = 0;
    // Sizes the control to the bitmap and shows it (an empty bitmap makes it 0 x 0); a
    // stretching image keeps its bounds and scales the bitmap to fill them.
    void setPicture(const Bitmap& bmp);
    void setStretch(bool on);
    // Name the picture was last drawn from, for tests and screenshots ("card", "pic7").
    const std::string& pictureName() const { return pictureName_; }
    void setHint(const std::string& text);
    const std::string& hint() const { return hint_; }
    void setShowHint(bool on);
    bool showHint() const { return showHint_; }
    void repaint();  // paint now, not at the next pass of the loop

    void lockCanvas() { ++locks_; }
    void unlockCanvas() {
        if (locks_ > 0) --locks_;
    }
    int canvasLocks() const { return locks_; }

private:
    std::string pictureName_;
    std::string hint_;
    bool showHint_ = false;
    int locks_ = 0;
};

class Button : public Control {
public:
    Button(Form& owner, const std::string& name);
    void setCaption(const std::string& text);
    const std::string& caption() const { return caption_; }
    // A default button answers Enter; a non-zero modal result closes a modal form with it.
    void setDefault(bool on);
    int modalResult = 0;

protected:
    Button(Form& owner, const std::string& name, std::unique_ptr<WidgetImpl> impl);
    std::string caption_;
};

// The indicator button: a glyph of its kind (green tick / red cross) beside the caption.
class BitBtn : public Button {
public:
    enum Kind { bkYes, bkNo };
    BitBtn(Form& owner, const std::string& name);
    void setKind(Kind k);
    Kind kind() const { return kind_; }

private:
    Kind kind_ = bkNo;
};

// A glyph button (the connect button): framed like the buttons beside it, and it never
// takes the keyboard focus.
class SpeedButton : public Control {
public:
    SpeedButton(Form& owner, const std::string& name);
};

// A bevelled panel (the About box's frame); controls are placed on the form, above it.
class Panel : public Control {
public:
    Panel(Form& owner, const std::string& name);
};

// A sorted list box: add() puts a line in case-insensitive text order; setItem keeps
// the row. Unsorted boxes append.
class ListBox : public Control {
public:
    ListBox(Form& owner, const std::string& name);
    bool sorted = true;
    void setItemHeight(int px);
    void setBorder(bool on);
    void clear();
    int add(const std::string& line);  // returns the row
    int count() const { return static_cast<int>(items_.size()); }
    const std::string& item(int row) const { return items_.at(static_cast<std::size_t>(row)); }
    void setItem(int row, const std::string& line);
    const std::vector<std::string>& items() const { return items_; }

private:
    void sync();
    std::vector<std::string> items_;
};

class MenuItem {
public:
    ~MenuItem();
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& name() const { return name_; }
    // Adds a child item (a submenu entry); an empty caption "-" makes a separator.
    MenuItem& add(const std::string& name, const std::string& caption);
    void addSeparator();
    MenuItem* find(const std::string& name);
    const std::vector<std::unique_ptr<MenuItem>>& items() const { return children_; }

    void setCaption(const std::string& text);
    const std::string& caption() const { return caption_; }
    // "Ctrl+S", "F1", ... ; empty for none.
    void setShortcut(const std::string& keys);
    const std::string& shortcut() const { return shortcut_; }
    void setChecked(bool on);
    bool checked() const { return checked_; }
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }
    void setVisible(bool on);
    bool visible() const { return visible_; }
    bool autoCheck = false;
    bool isSeparator() const { return separator_; }
    Handler onClick;
    // What a choice from the menu does: nothing when disabled; otherwise flips the check
    // of an AutoCheck item, then runs onClick inside the handler guard.
    void click();

    struct Impl;
    Impl* impl() const { return impl_.get(); }

private:
    friend class Form;
    MenuItem(Form& owner, MenuItem* parent, const std::string& name, const std::string& caption,
             bool separator);
    Form& owner_;
    MenuItem* parent_;
    std::string name_, caption_, shortcut_;
    bool checked_ = false, enabled_ = true, visible_ = true, separator_ = false;
    std::vector<std::unique_ptr<MenuItem>> children_;
    std::unique_ptr<Impl> impl_;
};

// For the items and controls one of the two programs lacks (the card-set items, for one):
// their pointers are null there.
inline void enable(MenuItem* item, bool on = true) {
    if (item) item->setEnabled(on);
}
inline void enable(Control* control, bool on = true) {
    if (control) control->setEnabled(on);
}

class Timer {
public:
    Timer(const std::string& name);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    const std::string& name() const { return name_; }
    // Setting the value it already has changes nothing (a running count goes on).
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }
    // A new interval on a running timer restarts its count.
    void setInterval(int ms);
    int interval() const { return interval_; }
    Handler onTimer;
    // Delivers one tick now, as the loop would (inside the handler guard).
    void fire();

private:
    struct Impl;
    std::string name_;
    bool enabled_ = false;
    int interval_ = 1000;
    std::unique_ptr<Impl> impl_;
};

// The main window (and the About box): client area, caption, colour, menu bar, events.
class Form {
public:
    explicit Form(const std::string& name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return name_; }
    void setCaption(const std::string& text);
    const std::string& caption() const { return caption_; }
    // The client area's size; the window around it stays resizable (a modal form, shown as
    // a dialog, is not).
    void setClientSize(int width, int height);
    int clientWidth() const;
    int clientHeight() const;
    void setPosition(int left, int top);
    void setColor(Color c);
    Color color() const { return color_; }
    void setFont(const Font& font);
    // The order in which Tab visits the controls; the first takes the focus when the form
    // is activated. Focusable controls not listed follow them.
    void setTabOrder(const std::vector<Control*>& order);

    // Top-level menus of the menu bar, in order.
    MenuItem& addMenu(const std::string& name, const std::string& caption);
    MenuItem* findMenuItem(const std::string& name);
    const std::vector<std::unique_ptr<MenuItem>>& menus() const { return menus_; }

    void show();
    void hide();
    // Shows the form as a modal dialog centred on the screen, until a button with a
    // modal result closes it; returns that result (2 = cancelled by the close button).
    int showModal();
    bool showing() const;
    void close();         // as the close button does: runs onClose
    void bringToFront();  // restore when minimised, raise and activate

    Handler onClose;  // the close handler; the window itself stays up
    Handler onClick;  // a click on an empty part of the client area
    Handler onActivate;
    Handler onDeactivate;  // focus passed to another non-modal window of the program

    // A PNG of the window as it looks now (menu bar included).
    bool saveScreenshot(const std::string& path);

    WidgetImpl* impl() const { return impl_.get(); }

protected:
    std::string name_, caption_;
    Color color_ = clBtnFace;
    std::vector<std::unique_ptr<MenuItem>> menus_;
    std::unique_ptr<WidgetImpl> impl_;
};

}  // namespace plat

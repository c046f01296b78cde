#pragma once
// Toolkit side of the platform controls. Private to platform/: game code never sees it.
#include <QPointer>
#include <QString>
#include <QWidget>

#include <string>

#include "platform/controls.h"

class QAction;
class QIcon;
class QMenu;
class QMainWindow;

namespace plat {

QString toQt(const std::string& cp1252);
std::string fromQt(const QString& text);
QFont toQtFont(const Font& font);
// Made by Application::initialize, on the main thread: lets other threads open dialogs.
void startDialogHost();
// Called by every Form as it is made and as it goes; see Application::mainForm().
void formCreated(Form* form);
void formDestroyed(Form* form);

// The widget behind a control or form. The widget normally belongs to Qt's parent chain;
// the QPointer notices when the parent already deleted it.
struct WidgetImpl {
    virtual ~WidgetImpl();
    QPointer<QWidget> widget;
    Control* control = nullptr;  // back pointer for event delivery (null for forms)
    // An unanchored control: its centre, and the client size that centre was taken at.
    bool centred = false;
    QPoint centre;
    QSize centreBase;
};

// Pictures of the indicator (a green tick or a red cross) and of the connect button.
QIcon kindGlyph(BitBtn::Kind kind);
QIcon connectGlyph();

// Raises (where the platform stacks windows) and activates a window.
void raiseAndActivate(QWidget* w);
// Shows a window again if it was minimised, in the state it had before, and raises it.
void restoreAndRaise(QWidget* w);
// Makes a window a dialog with a title and a close button only, that stays neither
// minimised nor maximised. Call while it is hidden.
void makeDialog(QWidget* w);

// The impl behind a widget made for a control or form; null for any other widget.
WidgetImpl* implOf(QWidget* w);

struct MenuItem::Impl {
    QPointer<QAction> action;
    QPointer<QMenu> menu;  // created when the item gets children
};

}  // namespace plat

class QImage;
namespace plat {
class Bitmap;
// The decoded image of a bitmap, or null when it is empty.
const QImage* bitmapImage(const Bitmap& bmp);
}  // namespace plat

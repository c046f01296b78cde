#pragma once
// Drivers for window tests: what a player's mouse and menu choices would do, delivered
// through the toolkit's own event path, and a look at what the toolkit shows.
#include <string>

#include "platform/controls.h"

namespace plat::probe {

// A choice from the menu, as the toolkit delivers it (its own check toggling included).
void triggerMenu(MenuItem& item);
// A left press and release in the middle of the control (a list box: on its first row).
void mouseClick(Control& control);
// The same at a point of the form's client area (an empty part: the form's onClick).
void mouseClickForm(Form& form, int x, int y);
// Enter pressed in the form: answers its default button, or presses the focused one.
void pressEnter(Form& form);
// A key ("Space", "Tab") pressed and released on the form's focused control.
void pressKey(Form& form, const std::string& key);
// Makes the form the active window, as a click on it would; the control it then gives the
// keyboard focus (null: none).
void activate(Form& form);
Control* focusedControl(Form& form);
// How often the timer has been started or stopped since it was made.
unsigned timerRuns(const Timer& timer);
// A running timer's count runs out now: its tick is queued, not yet delivered.
void timerFallsDue(Timer& timer);
// The modal dialog on top: 0 none, 1 up, 2 up and holding the focus.
int modalDialogState();
// Answers the modal dialog on top as Enter would: its default button.
void answerModalDialog();
// The tool tip the control shows now; the rows the list box shows.
std::string toolTip(const Control& control);
std::string shownRow(const ListBox& list, int row);
int shownRows(const ListBox& list);
// The text and the check mark a menu item shows.
std::string shownCaption(const MenuItem& item);
bool shownChecked(const MenuItem& item);

}  // namespace plat::probe

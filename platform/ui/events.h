// User input: how Qt's input reaches the callbacks, and the user actions that both the widgets and the
// test driver perform. Internal to platform/ui.
#pragma once

#include "platform/ui/userint.h"

#include <optional>
#include <string>

class QKeyEvent;

namespace ui {

// Routes key presses, clicks and focus changes of every panel to the callbacks (done once, with the
// application object).
void InstallInputRouting();
// The key code with modifier bits of a Qt key press; 0 for a key the layer does not report.
int KeyCodeOf(const QKeyEvent& e);
// The press of a key code with modifier bits as the display sends it.
QKeyEvent KeyPressOf(int key);
// Whether a key code without its modifier bits is one of F1..F12.
constexpr bool IsFunctionKey(int code) {
    return code >= VAL_F1_VKEY && code <= VAL_F1_VKEY + 11 * 0x100;
}

// User actions. Each updates the record and the widget first, then calls back as the real input would.
// EVENT_LEFT_CLICK at the control's centre, then the control's press (see UserPress); the result is the
// click callback's (1: consumed, no press).
int UserClick(int panel, int control);
// Command button and picture: EVENT_COMMIT; toggle button: flips, then EVENT_VAL_CHANGED, EVENT_COMMIT.
void UserPress(int panel, int control);
// A number chosen by the user (numeric, slide, ring, radio, toggle): clamped to the control's range,
// then EVENT_VAL_CHANGED and EVENT_COMMIT.
void UserSetNumber(int panel, int control, double value);
// Text typed into a string, password or text box: EVENT_VAL_CHANGED; UserFinishEdit commits it.
void UserTypeText(int panel, int control, const std::string& text);
void UserFinishEdit(int panel, int control);
// The user lets go of a control whose values from the program waited meanwhile (a slide's handle held, a
// number being typed): the value moved to (none: left where it was) goes out as the user's while the control
// is live; else the control shows the program's last value.
void UserLetGo(int panel, int control, std::optional<double> moved);
// The user's entry into a numeric box ends (Enter, leaving it): the number typed commits, also when the
// program set another while it was typed.
void UserFinishNumber(int panel, int control);
void UserSelectTab(int panel, int control, int index);
void UserSelectCell(int panel, int control, Point cell);
// A cell edited by the user; false when the text is no number for a numeric cell.
bool UserEditCell(int panel, int control, Point cell, const std::string& text);
// EVENT_KEYPRESS to the control (0: none), then to its panel unless consumed; 1 when consumed. A function
// key (F1..F12) goes the other way: to the pages shown inside the panel (the innermost first) and the panel
// first, then to the control unless consumed. Enter first ends what is being typed into the control: a
// numeric reads its text and commits the number, a string commits its text, before any callback hears the
// key. Enter that a command button's callback leaves presses the button (see UserPress), as Space does, and
// is consumed: its panel does not hear it.
int UserKey(int panel, int control, int key);
// A key pressed while the control has the keyboard focus: UserKey, and a key it leaves is the widget's
// own (a slide steps, a numeric counts). 1 when a callback consumed it.
int UserFocusKey(int panel, int control, int key);
// The window system made the panel's window the active one: EVENT_GOT_FOCUS to its panel callback,
// then to those of the pages shown inside it.
void WindowActivated(int panel);
// The system asks the program to end: EVENT_END_TASK to the main callback; unless it returns 1, the event
// loop ends with 0.
void EndTask();
// A mouse event at panel pixel (x, y) to the control (0: the panel); the callback's result.
int UserMouse(int panel, int control, int event, int x, int y);

} // namespace ui

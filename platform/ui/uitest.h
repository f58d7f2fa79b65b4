// Test driver: acts on panels as a user would, without real input. Every action goes through the same
// path as the real input (record first, then the callbacks), and refuses what a user could not do:
// a control that is hidden, dimmed or an indicator, a panel not on screen, or one under a modal popup.
#pragma once

#include "platform/ui/userint.h"

#include <functional>
#include <string>
#include <vector>

namespace uitest {

inline constexpr int kUnreachable = -20; // the user could not reach that control or panel now

// EVENT_LEFT_CLICK, then the press: a command button or picture commits, a toggle button flips and
// commits. Returns 0, kUnreachable, or a UIE_* code.
int Click(int panel, int control);
// The value typed or chosen, then EVENT_VAL_CHANGED and EVENT_COMMIT (numbers: numeric, slide, ring,
// radio, toggle; texts: string, password, text box). A numeric clamps to its range like the widget.
int SetValueAsUser(int panel, int control, double value);
// A numeric given text is typed into key by key, then Enter: the box reads the entry as it does the
// user's, and one it cannot read leaves the value (and sends no event).
int SetValueAsUser(int panel, int control, const char* text);
// EVENT_KEYPRESS (key code | modifiers) to the control (0: the panel alone), then to the panel unless
// consumed (a function key: to the pages shown inside the panel and the panel first, then to the
// control). Returns 1 when consumed, 0 when not, or an error.
int SendKey(int panel, int control, int key);
// A key pressed while the control has the keyboard focus: the callbacks hear it as with SendKey, and a key
// they leave is the widget's own (a slide steps by its increment, by ten increments with Page Up or Page
// Down). Returns 1 when a callback consumed it, 0 when the widget had it, or an error.
int PressKey(int panel, int control, int key);
// A mouse event at panel pixel (x, y) to the control (0: the panel); returns the callback's result.
int SendMouse(int panel, int control, int event, int x, int y);
// A slide's handle dragged with the mouse, in three steps delivered the way the display delivers them, so
// that the program runs on between them (its timer ticking) while the user holds the handle: the left
// button pressed on the handle; the mouse moved, the button held, to where value lies on the track (the
// handle takes the value nearest to that pixel), as often as the user moves it; the button let go.
int GrabSlide(int panel, int control);
int MoveSlide(int panel, int control, double value);
int ReleaseSlide(int panel, int control);
// One timer tick now; 1 when the callback ran, 0 when the tick was dropped (suspended, disabled, running).
int FireTimer(int panel, int control);
// The close box: EVENT_CLOSE to the panel callback; returns its result.
int ClosePanel(int panel);
// A tab clicked: EVENT_ACTIVE_TAB_CHANGE (old, new).
int SelectTab(int panel, int control, int index);
// A table cell clicked: EVENT_ACTIVE_CELL_CHANGE (row, column) when it changes the active cell; the cell
// is then the only one selected.
int SelectTableCell(int panel, int control, Point cell);
// The mouse dragged over a table from one cell to another: the first is clicked, the active cell follows
// the mouse to the last, and the block between them is selected.
int DragTableSelection(int panel, int control, Point from, Point to);
// A table cell typed into: EVENT_VAL_CHANGED and EVENT_COMMIT (row, column). UIE_BadValue when the text
// is no number for a numeric cell (the cell keeps its value).
int EditTableCell(int panel, int control, Point cell, const char* text);
// The user starts typing into a table cell (the edit key): its editor opens and has the keyboard focus
// (the table is in its edit state until CloseTableCellEditor).
int OpenTableCellEditor(int panel, int control, Point cell);
void CloseTableCellEditor(int panel, int control);
// A table cell double-clicked with the mouse, delivered the way the display delivers it (scrolled into
// view first).
int DoubleClickTableCell(int panel, int control, Point cell);
// The panel pixel at the centre of a cell (the panel must be on screen).
int GetTableCellPoint(int panel, int control, Point cell, Point* pixel);
// The system asks the program to end (as SIGTERM does while the event loop runs).
void EndTask();
// Runs action from the event loop the next time events are processed: a user acting while the program
// waits in a loop of its own (a modal popup pumping events).
void Later(std::function<void()> action);

// The 3-D graph's own window (present once its panel was shown where OpenGL works; else UIE_BadControl):
// a key pressed in it (an ASCII character or an arrow key, with modifier bits), delivered the way the
// display delivers it; or a grid point picked in it with the mouse.
int PressKeyInView(int panel, int control, int key);
int PickSurfacePoint(int panel, int control, int row, int column);
// Draws one frame of the 3-D view now, at its size on screen, as the display would on its next frame.
int DrawViewNow(int panel, int control);
// The 3-D view's axis labels as it draws them at its size on screen, with nothing else drawn (no surface,
// cursor label, grid, walls or axis titles), in its own label font or, given a point size, in that: the
// boxes the labels' ink makes, in the view's pixels, grown by margin pixels every way, so that two labels
// with no more than 2 x margin blank pixels between them make one. The view is left as it was.
int GetSurfaceLabelBoxes(int panel, int control, int pointSize, int margin, std::vector<Rect>* boxes);
// The labels the 3-D view shows on an axis (1: x, 2: y, 3: the values), from its start to its end.
int GetSurfaceAxisLabels(int panel, int control, int axis, std::vector<std::string>* labels);

// The keyboard as the display delivers it: a key typed (an ASCII character or an arrow key, with modifier
// bits) goes to what has the keyboard focus now. kUnreachable when nothing has it.
int TypeKey(int key);
// The user presses Tab, as often as it takes, until the control has the keyboard focus (its window must be
// the active one). kUnreachable when Tab never gets there.
int TabTo(int panel, int control);
// The display makes the panel's window the active one (the user clicks into it or switches to it, or the
// window has just opened), and this waits for that, up to a few seconds; kUnreachable when it does not
// happen. The callbacks hear of it as the display reports it.
int FocusWindow(int panel);
// Once the program shows a popup (a message, a question, a file dialog or a panel shown as a popup) and
// the display has given it the keyboard, the key is typed into it (as with TypeKey), as the user answers
// it. Called before the action that opens the popup; a popup up already is not the one. A dialog of the
// run-time's own that never gets the keyboard is closed as cancelled after a few seconds.
void TypeKeyInPopup(int key);
// The control that has the keyboard focus (control 0: its panel itself), once the display has delivered
// its news of windows closing and opening: this waits, up to a few seconds, for a window of the program to
// have the keyboard; kUnreachable when none gets it.
int GetFocusedControl(int* panel, int* control);
// The control has the keyboard focus and shows it: its window draws the focus frame (as after a Tab).
bool ShowsFocus(int panel, int control);
// The mouse clicks the control as the display delivers it: the left button pressed and let go at its
// centre; the keyboard focus goes where such a click takes it. kUnreachable as for Click.
int MouseClick(int panel, int control);

// The user sizes a window on screen (drags its border, maximises it): it takes w x h within its limits (a
// fixed window keeps its size, a resizable one never gets smaller than its design). kUnreachable when the
// panel is not a window on screen or a popup lies over it.
int ResizeWindow(int panel, int w, int h);

// The user drags a window to another place on screen: its frame's top left corner to (left, top).
// kUnreachable as for ResizeWindow.
int MoveWindow(int panel, int left, int top);
// Where the panel's window stands on screen, its frame included, as the display reports it.
int GetWindowFrame(int panel, Rect* frame);

// The user maximises the window (VAL_MAXIMIZE) or puts it back (VAL_NO_ZOOM), as with its title bar's
// button. kUnreachable as for ResizeWindow.
int ZoomWindow(int panel, int zoom);

// The user brings the panel's window to the front (clicks into it, switches to it): it becomes the active
// window and it and the pages shown in it get EVENT_GOT_FOCUS. kUnreachable as for ResizeWindow.
int ActivateWindow(int panel);

// The text a numeric box shows now, as the user reads it; empty for any other control.
std::string ShownText(int panel, int control);

// The panel and all its parents are displayed.
bool IsPanelVisible(int panel);
bool IsPopupInstalled(int panel);
// The panel as it would show, written as a PNG file.
int GrabPanelToPng(int panel, const char* path);

} // namespace uitest

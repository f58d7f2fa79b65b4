// The user-interface run-time: panels and controls loaded from a text resource, addressed by
// panel handle and control id, driven by callbacks. Application code includes only this header;
// the Qt widgets behind it never leak out.
//
// Conventions shared by every function here:
// - status results are 0 (or a non-negative count/handle) on success, a negative UIE_* code on failure;
// - char* texts are byte strings; a text that is not valid UTF-8 is shown as Latin-1, and text typed by
//   the user comes back as Latin-1 when every character fits, so single-byte ECU texts round-trip;
// - text outputs take a std::span<char> (or a char array, through the templates) and are always
//   terminated and cut to fit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// ---- errors -------------------------------------------------------------------------------------------
enum UiError : int {
    UIE_NoError = 0,
    UIE_BadPanel = -1,     // no panel with that handle
    UIE_BadControl = -2,   // no control with that id on the panel
    UIE_BadAttribute = -3, // attribute not supported by that control kind
    UIE_BadValue = -4,     // value of the wrong type or out of the control's sense
    UIE_BadIndex = -5,     // list, tab or table index out of range
    UIE_Resource = -6,     // resource missing, malformed, or lacking the asked panel
    UIE_File = -7,         // file could not be opened, read or written
    UIE_NotPopup = -8,     // RemovePopup with no popup installed
};

// ---- events -------------------------------------------------------------------------------------------
// Mouse events carry eventData1 = vertical and eventData2 = horizontal position, in pixels relative to the
// panel's top-left corner. EVENT_KEYPRESS carries the key code (an ASCII character or a *_VKEY value)
// OR-ed with the modifier bits in eventData1; a callback that returns 1 consumes the key.
enum UiEvent : int {
    EVENT_NONE = 0,
    EVENT_COMMIT = 1,
    EVENT_VAL_CHANGED = 2,
    EVENT_LEFT_CLICK = 3,
    EVENT_LEFT_DOUBLE_CLICK = 4,
    EVENT_RIGHT_CLICK = 5,
    EVENT_RIGHT_DOUBLE_CLICK = 6,
    EVENT_KEYPRESS = 7,
    EVENT_GOT_FOCUS = 8, // panel callback: the page came on screen, or its window became the active one
    EVENT_LOST_FOCUS = 9,
    EVENT_CLOSE = 10,              // panel callback: the window's close box
    EVENT_END_TASK = 11,           // main callback: the system asks the program to end (SIGTERM)
    EVENT_TIMER_TICK = 12,         // timer control; eventData are 0
    EVENT_ACTIVE_TAB_CHANGE = 13,  // tab control; eventData1 = old index, eventData2 = new index
    EVENT_ACTIVE_CELL_CHANGE = 14, // table; eventData1 = row, eventData2 = column of the new active cell
    // Extended mouse events (EnableExtendedMouseEvents): position as for the other mouse events.
    EVENT_MOUSE_POINTER_MOVE = 15,
    EVENT_LEFT_CLICK_UP = 16,
    EVENT_RIGHT_CLICK_UP = 17,
    EVENT_CURSOR_CHANGE = 18, // 3-D graph: the user moved its cursor; eventData1 = row, eventData2 = column
};

// Key codes and modifier bits of EVENT_KEYPRESS.
enum UiKey : int {
    VAL_ASCII_KEY_MASK = 0x00FF,
    VAL_VKEY_MASK = 0xFF00,
    VAL_BACKSPACE_VKEY = 0x0100,
    VAL_TAB_VKEY = 0x0200,
    VAL_ENTER_VKEY = 0x0300,
    VAL_ESC_VKEY = 0x0400,
    VAL_UP_ARROW_VKEY = 0x0500,
    VAL_DOWN_ARROW_VKEY = 0x0600,
    VAL_LEFT_ARROW_VKEY = 0x0700,
    VAL_RIGHT_ARROW_VKEY = 0x0800,
    VAL_PAGE_UP_VKEY = 0x0900,
    VAL_PAGE_DOWN_VKEY = 0x0A00,
    VAL_HOME_VKEY = 0x0B00,
    VAL_END_VKEY = 0x0C00,
    VAL_DELETE_VKEY = 0x0D00,
    VAL_INSERT_VKEY = 0x0E00,
    VAL_F1_VKEY = 0x1000, // F1..F12 follow at steps of 0x100
    VAL_MODIFIER_MASK = 0x70000,
    VAL_SHIFT_MODIFIER = 0x10000,
    VAL_MENUKEY_MODIFIER = 0x20000, // Ctrl
    VAL_ALT_MODIFIER = 0x40000,
};

// ---- callbacks ----------------------------------------------------------------------------------------
using CtrlCallbackPtr = int (*)(int panel, int control, int event, void* callbackData, int eventData1,
                                int eventData2);
using PanelCallbackPtr = int (*)(int panel, int event, void* callbackData, int eventData1, int eventData2);
// The main callback gets panel 0 and control 0.
using MainCallbackPtr = CtrlCallbackPtr;

// The resource names callbacks; each name must be registered before a panel that uses it is loaded
// (an unknown name fails the load). The program's generated table registers all of its callbacks.
void RegisterCtrlCallback(std::string_view name, CtrlCallbackPtr fn);
void RegisterPanelCallback(std::string_view name, PanelCallbackPtr fn);

// ---- resources and panels -----------------------------------------------------------------------------
// A resource registered under a file name is used in place of reading that file; otherwise LoadPanel
// reads the file (a relative name is taken from the program's directory). Registering again replaces.
void RegisterResource(std::string_view fileName, std::string_view text);
// Checks a whole resource; on failure writes "file:line: message" into err and returns UIE_Resource.
int ValidateResource(std::string_view fileName, std::span<char> err);
// Loads panel resourceId as a child of parentPanel (0 = a top-level window). Returns the handle (> 0)
// or a negative UIE_* code; the reason is kept for GetLastLoadError.
int LoadPanel(int parentPanel, const char* fileName, int resourceId);
const char* GetLastLoadError();
int DiscardPanel(int panel);
int DisplayPanel(int panel);
int HidePanel(int panel);
int InstallPanelCallback(int panel, PanelCallbackPtr fn, void* callbackData);
int InstallCtrlCallback(int panel, int control, CtrlCallbackPtr fn, void* callbackData);

enum UiAttribute : int {
    // panels and controls
    ATTR_VISIBLE = 1,
    ATTR_DIMMED,
    ATTR_TOP,
    ATTR_LEFT,
    ATTR_WIDTH,
    ATTR_HEIGHT,
    ATTR_LABEL_TEXT,     // control caption; text
    ATTR_TITLE,          // panel title; text
    ATTR_VSCROLL_OFFSET, // panel vertical scroll offset in pixels
    ATTR_TEXT_COLOR,     // 24-bit RGB
    ATTR_TEXT_BGCOLOR,
    ATTR_TEXT_BOLD,
    ATTR_ON_COLOR,  // toggle button / LED colour when on
    ATTR_OFF_COLOR, // toggle button / LED colour when off
    ATTR_MIN_VALUE, // numeric controls and table cells
    ATTR_MAX_VALUE,
    ATTR_INCR_VALUE,
    ATTR_PRECISION,        // digits after the point shown by a numeric control or cell
    ATTR_CTRL_MODE,        // VAL_HOT, VAL_INDICATOR, VAL_NORMAL
    ATTR_MAX_ENTRY_LENGTH, // string controls
    ATTR_INTERVAL,         // timer controls, seconds
    ATTR_ENABLED,          // timer controls
    ATTR_CTRL_TYPE,        // read only: the control's kind (UiCtrlKind)
    // tables
    ATTR_NUM_ROWS, // read only: use Insert/DeleteTableRows to change
    ATTR_NUM_COLUMNS,
    ATTR_CELL_DIMMED,
    ATTR_CELL_MODE,
    ATTR_CELL_TYPE, // VAL_CELL_NUMERIC or VAL_CELL_STRING
    ATTR_COLUMN_WIDTH,
    ATTR_ROW_HEIGHT,
    ATTR_USE_LABEL_TEXT,     // row/column: show ATTR_LABEL_TEXT instead of the number
    ATTR_ROW_LABELS_VISIBLE, // table
    ATTR_COLUMN_LABELS_VISIBLE,
    ATTR_TABLE_RUN_STATE, // read only: VAL_EDIT_STATE while a cell is being typed into, else VAL_SELECT_STATE
    ATTR_HSCROLL_OFFSET,  // table: horizontal scroll offset in pixels, held within what the view can scroll
    // password fields (PasswordCtrl_*)
    ATTR_PASSWORD_VAL,
    ATTR_PASSWORD_MAX_LENGTH,
    // numeric controls
    ATTR_HEX_FORMAT, // 1 shows the value in hexadecimal ("0x2A0")
    // graphs (2-D and 3-D)
    ATTR_XNAME, // axis captions; text
    ATTR_YNAME,
    ATTR_ZNAME,         // 3-D graphs: the value axis
    ATTR_NUM_CURSORS,   // 2-D graphs
    ATTR_PLOT_AREA_TOP, // read only: the plot area inside the control, pixels
    ATTR_PLOT_AREA_LEFT,
    ATTR_PLOT_AREA_WIDTH,
    ATTR_PLOT_AREA_HEIGHT,
    // graph cursors (SetCursorAttribute)
    ATTR_CURSOR_COLOR,
    ATTR_CURSOR_POINT_STYLE,
    // panels: VAL_NO_ZOOM or VAL_MAXIMIZE, the window as the user left it; set while the panel is hidden
    // or no window yet (a child panel before it shows as a popup), it holds when the window shows
    ATTR_WINDOW_ZOOM,
};

enum UiConst : int {
    VAL_HOT = 0,
    VAL_INDICATOR = 1,
    VAL_NORMAL = 2,
    VAL_CELL_NUMERIC = 0,
    VAL_CELL_STRING = 1,
    VAL_ROW_MAJOR = 0,
    VAL_COLUMN_MAJOR = 1,
    VAL_DEFAULT_CURSOR = 0,
    VAL_HOUR_GLASS_CURSOR = 1,
    VAL_SELECT_STATE = 0,
    VAL_EDIT_STATE = 1,
    VAL_NO_ZOOM = 0,
    VAL_MAXIMIZE = 1,
};

enum UiCtrlKind : int {
    CTRL_COMMAND_BUTTON = 1,
    CTRL_TOGGLE_BUTTON,
    CTRL_NUMERIC,
    CTRL_NUMERIC_SLIDE,
    CTRL_RING,
    CTRL_STRING,
    CTRL_PASSWORD,
    CTRL_TEXT_BOX,
    CTRL_TEXT_MSG,
    CTRL_LED,
    CTRL_PICTURE,
    CTRL_TIMER,
    CTRL_TAB,
    CTRL_TABLE,
    CTRL_RADIO_GROUP,
    CTRL_DECORATION,
    CTRL_GRAPH,
    CTRL_GRAPH_3D,
};

inline constexpr int VAL_BLACK = 0x000000;
inline constexpr int VAL_RED = 0xFF0000;
inline constexpr int VAL_GREEN = 0x00FF00;
inline constexpr int VAL_WHITE = 0xFFFFFF;
inline constexpr int VAL_YELLOW = 0xFFFF00;
inline constexpr int VAL_CYAN = 0x00FFFF;
inline constexpr int VAL_TRANSPARENT = 0x1000000; // a fill colour: none

// ATTR_WIDTH / ATTR_HEIGHT of a panel are its size now (a resizable window: as the user sized it); set, the
// panel's controls follow by their anchors, and a resizable panel never gets below its design size.
int SetPanelAttribute(int panel, int attribute, int value);
int SetPanelAttribute(int panel, int attribute, const char* value);
int GetPanelAttribute(int panel, int attribute, int* value);
int GetPanelAttribute(int panel, int attribute, std::span<char> value);
int SetActivePanel(int panel);
int GetActivePanel();

// ---- controls -----------------------------------------------------------------------------------------
// A control keeps its value in the layer's own record: a numeric keeps the exact double it was given
// (the display rounds, the value does not); a ring keeps a value that none of its items carries (shown
// blank, read back unchanged). Reading converts to the asked type (integers: rounded to nearest).
int SetCtrlVal(int panel, int control, double value);
int SetCtrlVal(int panel, int control, int value);
int SetCtrlVal(int panel, int control, const char* value);
int GetCtrlVal(int panel, int control, double* value);
int GetCtrlVal(int panel, int control, float* value);
int GetCtrlVal(int panel, int control, int* value);
int GetCtrlVal(int panel, int control, unsigned* value);
int GetCtrlVal(int panel, int control, short* value);
int GetCtrlVal(int panel, int control, unsigned short* value);
int GetCtrlVal(int panel, int control, unsigned char* value);
int GetCtrlVal(int panel, int control, std::span<char> value);
template <std::size_t N> int GetCtrlVal(int panel, int control, char (&value)[N]) {
    return GetCtrlVal(panel, control, std::span<char>(value, N));
}

int SetCtrlAttribute(int panel, int control, int attribute, int value);
int SetCtrlAttribute(int panel, int control, int attribute, double value);
int SetCtrlAttribute(int panel, int control, int attribute, const char* value);
int GetCtrlAttribute(int panel, int control, int attribute, int* value);
int GetCtrlAttribute(int panel, int control, int attribute, double* value);
int GetCtrlAttribute(int panel, int control, int attribute, std::span<char> value);
template <std::size_t N> int GetCtrlAttribute(int panel, int control, int attribute, char (&value)[N]) {
    return GetCtrlAttribute(panel, control, attribute, std::span<char>(value, N));
}
int SetActiveCtrl(int panel, int control);
int GetActiveCtrl(int panel);

// Lists (rings and radio groups). index -1 appends; values are numbers.
int InsertListItem(int panel, int control, int index, const char* label, double value);
int DeleteListItem(int panel, int control, int index, int count); // count -1: to the end
int ClearListCtrl(int panel, int control);
int GetNumListItems(int panel, int control, int* count);
int GetCtrlIndex(int panel, int control, int* index); // -1 when the value matches no item
int SetCtrlIndex(int panel, int control, int index);
int GetValueFromIndex(int panel, int control, int index, double* value);
int GetValueFromIndex(int panel, int control, int index, int* value);
int GetValueFromIndex(int panel, int control, int index, short* value);
int GetLabelFromIndex(int panel, int control, int index, std::span<char> label);
int GetIndexFromValue(int panel, int control, int* index, double value);
int ReplaceListItem(int panel, int control, int index, const char* label, double value);

// Tab controls: the value is the selected tab index.
int SetActiveTabPage(int panel, int control, int index);
int GetActiveTabPage(int panel, int control, int* index);

// Radio groups and password fields.
int Radio_SetMarkedOption(int panel, int control, int option);
int Radio_GetMarkedOption(int panel, int control, int* option);
int PasswordCtrl_ConvertFromString(int panel, int control);
int PasswordCtrl_SetAttribute(int panel, int control, int attribute, int value);
int PasswordCtrl_SetAttribute(int panel, int control, int attribute, const char* value);
int PasswordCtrl_GetAttribute(int panel, int control, int attribute, int* value);
int PasswordCtrl_GetAttribute(int panel, int control, int attribute, std::span<char> value);
template <std::size_t N>
int PasswordCtrl_GetAttribute(int panel, int control, int attribute, char (&value)[N]) {
    return PasswordCtrl_GetAttribute(panel, control, attribute, std::span<char>(value, N));
}

// ---- tables -------------------------------------------------------------------------------------------
// Cells are addressed 1-based: Point{x = column, y = row}. A Rect is top, left, height, width in cells;
// height or width 0 mean "to the last row/column".
struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};
struct Rect {
    int top = 0;
    int left = 0;
    int height = 0;
    int width = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};
inline Point MakePoint(int x, int y) {
    return {x, y};
}
inline Rect MakeRect(int top, int left, int height, int width) {
    return {top, left, height, width};
}

int InsertTableRows(int panel, int control, int index, int count, int cellType); // index -1: append
int DeleteTableRows(int panel, int control, int index, int count);               // count -1: to the end
int InsertTableColumns(int panel, int control, int index, int count, int cellType);
int DeleteTableColumns(int panel, int control, int index, int count);
int GetNumTableRows(int panel, int control, int* rows);
int GetNumTableColumns(int panel, int control, int* columns);

int SetTableCellVal(int panel, int control, Point cell, double value);
int SetTableCellVal(int panel, int control, Point cell, const char* value);
int GetTableCellVal(int panel, int control, Point cell, double* value);
int GetTableCellVal(int panel, int control, Point cell, int* value);
int GetTableCellVal(int panel, int control, Point cell, std::span<char> value);
// Values of a range, row by row (VAL_ROW_MAJOR) or column by column; the span must hold the range.
int SetTableCellRangeVals(int panel, int control, Rect range, std::span<const double> values, int order);
int GetTableCellRangeVals(int panel, int control, Rect range, std::span<double> values, int order);
int SetTableCellAttribute(int panel, int control, Point cell, int attribute, int value);
int SetTableCellAttribute(int panel, int control, Point cell, int attribute, double value);
int GetTableCellAttribute(int panel, int control, Point cell, int attribute, int* value);
int GetTableCellAttribute(int panel, int control, Point cell, int attribute, double* value);
int SetTableCellRangeAttribute(int panel, int control, Rect range, int attribute, int value);
int SetTableCellRangeAttribute(int panel, int control, Rect range, int attribute, double value);
// Row and column attributes: ATTR_LABEL_TEXT, ATTR_USE_LABEL_TEXT, ATTR_COLUMN_WIDTH / ATTR_ROW_HEIGHT,
// ATTR_VISIBLE, ATTR_CELL_DIMMED.
int SetTableRowAttribute(int panel, int control, int row, int attribute, int value);
int SetTableRowAttribute(int panel, int control, int row, int attribute, const char* value);
int SetTableColumnAttribute(int panel, int control, int column, int attribute, int value);
int SetTableColumnAttribute(int panel, int control, int column, int attribute, const char* value);
// The text a column's header shows (ATTR_LABEL_TEXT only): its label when it uses one, else its number.
int GetTableColumnAttribute(int panel, int control, int column, int attribute, std::span<char> value);
// The active cell is the cell the keys act on. Moved by the program, it takes a selection of the old active
// cell alone along (a block stays selected); while nothing is selected the view shows it selected.
// A double click on a cell reaches the table's callback (EVENT_LEFT_DOUBLE_CLICK) first; it opens the
// cell's editor only when the callback leaves it (returns 0).
int SetActiveTableCell(int panel, int control, Point cell);
int GetActiveTableCell(int panel, int control, Point* cell);
int SetTableSelection(int panel, int control, Rect range); // an empty Rect{} clears the selection
int GetTableSelection(int panel, int control, Rect* range);
// pixel is relative to the panel; cell gets {0, 0} when the point lies on no cell
int GetTableCellFromPoint(int panel, int control, Point pixel, Point* cell);

// ---- graphs -------------------------------------------------------------------------------------------
// A 2-D graph keeps its plots, cursors and axis ranges in the layer's record; the widget only draws them.
// Plot handles are positive; DeleteGraphPlot with -1 deletes every plot (and detaches the cursors).
enum UiGraphConst : int {
    VAL_CONNECTED_POINTS = 0, // plot styles
    VAL_THIN_LINE = 1,
    VAL_NO_POINT = 0, // point styles
    VAL_SOLID_CIRCLE = 1,
    VAL_SOLID_SQUARE = 2,
    VAL_XAXIS = 0, // axes
    VAL_LEFT_YAXIS = 1,
    VAL_MANUAL = 0, // axis scaling
    VAL_AUTOSCALE = 1,
    VAL_ALL_PLOTS = -1,
};
int PlotXY(int panel, int control, std::span<const double> x, std::span<const double> y, int plotStyle,
           int pointStyle, int color);
// A rectangle between two corners in graph coordinates; fillColor VAL_TRANSPARENT leaves it open.
int PlotRectangle(int panel, int control, double x1, double y1, double x2, double y2, int color,
                  int fillColor);
int DeleteGraphPlot(int panel, int control, int plotHandle);
// Cursors are numbered from 1 (ATTR_NUM_CURSORS of them); each sits on one point of one plot.
int SetGraphCursorIndex(int panel, int control, int cursor, int plotHandle, int pointIndex);
int GetGraphCursorIndex(int panel, int control, int cursor, int* plotHandle, int* pointIndex);
int SetCursorAttribute(int panel, int control, int cursor, int attribute, int value);
int GetCursorAttribute(int panel, int control, int cursor, int attribute, int* value);
// VAL_MANUAL takes [min, max] (min < max); VAL_AUTOSCALE spans the data of every plot.
int SetAxisScalingMode(int panel, int control, int axis, int mode, double min, double max);
// The mode and the range in force.
int GetAxisScalingMode(int panel, int control, int axis, int* mode, double* min, double* max);
// The graph coordinates of a panel pixel; 1 when it lies in the plot area (edges included), 0 when not.
int GetGraphCoordsFromPoint(int panel, int control, Point pixel, double* x, double* y);
// The panel pixel of graph coordinates (the inverse of GetGraphCoordsFromPoint).
int GetGraphPointFromCoords(int panel, int control, double x, double y, Point* pixel);
// Turns on EVENT_MOUSE_POINTER_MOVE (at most one every minPeriod seconds), EVENT_LEFT_CLICK_UP and
// EVENT_RIGHT_CLICK_UP for the control; clicks keep arriving as EVENT_LEFT_CLICK / EVENT_RIGHT_CLICK.
int EnableExtendedMouseEvents(int panel, int control, double minPeriod);
// Where the mouse was at the last mouse event the layer delivered, relative to the panel (control 0) or
// to the control.
int GetRelativeMouseState(int panel, int control, int* x, int* y);

// A 3-D graph shows one surface over a grid: x (nx values) by y (ny values), z[i * ny + j] the height
// over (x[i], y[j]). Its one cursor sits on grid point (row i, column j); the setter clamps into the
// grid. The user moving the cursor sends EVENT_CURSOR_CHANGE to the control callback; key presses in the
// 3-D window arrive as EVENT_KEYPRESS like any other window's: the view has the keyboard whenever its
// window is the active one, from the time it opens. The view is made when its panel is first shown; where
// OpenGL is missing it shows a notice instead.
int PlotSurface3D(int panel, int control, std::span<const double> x, std::span<const double> y,
                  std::span<const double> z);
// Its axes, numbered from 1 (X, Y, the values; the resource gives how many and each one's number of value
// pairs): a value pair is a value the axis labels, numbered from 1; the range runs from min to max as the
// program gives it, a falling or empty one included. The X and Y axes show both with the next surface
// plotted; the values' axis shows the values' extremes. The view
// draws an axis whose range or grid does not rise by point number, each point labelled with its value pair.
int GetGraph3DAxisCount(int panel, int control, int* count);
int GetGraph3DValuePairCount(int panel, int control, int axis, int* count);
int SetGraph3DValuePair(int panel, int control, int axis, int pair, double value);
int GetGraph3DValuePair(int panel, int control, int axis, int pair, double* value);
int SetGraph3DAxisRange(int panel, int control, int axis, double min, double max);
int GetGraph3DAxisRange(int panel, int control, int axis, double* min, double* max);
// Grid point (i, j) of the surface: x[i], y[j] and the height over them.
int GetGraph3DPoint(int panel, int control, int i, int j, double* x, double* y, double* z);
int SetGraph3DCursor(int panel, int control, int row, int column);
int GetGraph3DCursor(int panel, int control, int* row, int* column);
// 1 when this display can draw the 3-D view, 0 when not.
int Graph3DViewAvailable();

// ---- popups -------------------------------------------------------------------------------------------
// InstallPopup shows a loaded panel as a modal dialog and returns at once; the program keeps running its
// event loop and the dialog's callbacks remove it with RemovePopup.
int InstallPopup(int panel);
int RemovePopup(int removeAll); // 0: the topmost popup, nonzero: all

// Message, confirmation and file dialogs go through one hook (see popup.h), so tests can answer them.
int MessagePopup(const char* title, const char* message);
// Which button Enter presses in a confirmation. A question whose Yes throws data away, erases or
// overwrites asks with No as its default; Escape and the close box answer No whatever the default.
enum class ConfirmDefault { Yes, No };
int ConfirmPopup(const char* title, const char* message,
                 ConfirmDefault enter = ConfirmDefault::Yes); // 1 yes, 0 no
enum UiFileSelect : int {
    VAL_NO_FILE_SELECTED = 0,
    VAL_EXISTING_FILE_SELECTED = 1,
    VAL_NEW_FILE_SELECTED = 2,
    VAL_OK_BUTTON = 0,
    VAL_LOAD_BUTTON = 1,
    VAL_SAVE_BUTTON = 2,
};
int FileSelectPopup(const char* defaultDirectory, const char* defaultFileSpec, const char* fileTypeList,
                    const char* title, int buttonLabel, int restrictDirectory, int restrictExtension,
                    int allowCancel, int allowMakeDirectory, std::span<char> pathName);

// ---- event loop ---------------------------------------------------------------------------------------
// The program's name as the desktop knows it, given before its first panel is loaded: the desktop groups and
// names the program's windows by it (their X11 window class: the name in lower case, then the name) and
// finds it in the desktop file of the lower-case name. A program that gives none has windows of no class.
void SetProgramName(const char* name);
int InstallMainCallback(MainCallbackPtr fn, void* callbackData, int invokeThreadSafe);
int RunUserInterface(); // returns the code given to QuitUserInterface
int QuitUserInterface(int code);
// Every pending event, callbacks and timer ticks included. Called from inside a callback it is an
// operation's pump: the panels take no user input then (a key, a click, a move is dropped whole), and a
// mouse button's release is delivered once the callback has returned.
int ProcessSystemEvents();
// The same, but first sleeps until an event arrives: for a loop that waits for the user's answer.
int WaitSystemEvents();
int ProcessDrawEvents();     // repaints only: no user input and no timer callback runs inside it
int SuspendTimerCallbacks(); // timer controls stop calling back until ResumeTimerCallbacks
int ResumeTimerCallbacks();
int SetMouseCursor(int cursor);
int GetMouseCursor(int* cursor);
int Beep(); // the system's alert sound

// Shows a cursor for the life of the scope; the cursor found before comes back at its end.
class MouseCursorScope {
  public:
    explicit MouseCursorScope(int cursor) {
        GetMouseCursor(&previous_);
        SetMouseCursor(cursor);
    }
    ~MouseCursorScope() { SetMouseCursor(previous_); }
    MouseCursorScope(const MouseCursorScope&) = delete;
    MouseCursorScope& operator=(const MouseCursorScope&) = delete;

  private:
    int previous_ = VAL_DEFAULT_CURSOR;
};

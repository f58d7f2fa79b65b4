// Records of the run-time layer: every panel and control keeps its state here; the Qt widgets only show
// it. Internal to platform/ui.
#pragma once

#include "platform/ui/resource.h"
#include "platform/ui/userint.h"

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QString>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QPixmap;
class QRegularExpression;
class QScrollArea;
class QTimer;
class QWidget;

namespace ui {

class TableModel;

inline constexpr double kNoLimit = std::numeric_limits<double>::infinity();
inline constexpr int kDefaultColor = -1; // colour attribute left to the style

struct ListItem {
    std::string label;
    double value = 0;
};

struct Cell {
    double number = 0;
    std::string text;
    int type = VAL_CELL_NUMERIC;
    int textColor = VAL_BLACK;
    int bgColor = VAL_WHITE;
    bool bold = false;
    bool dimmed = false;
    int mode = VAL_HOT;
    int precision = 0;
    double min = -kNoLimit;
    double max = kNoLimit;
};

// A table row or column.
struct Line {
    std::string label;
    bool useLabel = false;
    int size = 0; // pixels; 0: the view's default
    bool visible = true;
};

struct Table {
    int rows = 0;
    int cols = 0;
    std::vector<Cell> cells; // row-major
    std::vector<Line> rowLines, colLines;
    Cell defaults; // attributes of cells added later
    Point active{1, 1};
    Rect selection{};
    bool rowLabels = true;
    int rowLabelWidth = 0; // pixels; 0: as wide as its labels
    bool colLabels = true;
    Cell& At(int row, int col) { return cells[static_cast<std::size_t>(row * cols + col)]; } // 0-based
};

struct GraphPlot {
    int handle = 0;
    bool rectangle = false; // x and y hold the two corners
    std::vector<double> x, y;
    int plotStyle = VAL_CONNECTED_POINTS;
    int pointStyle = VAL_NO_POINT;
    int color = VAL_RED;
    int fillColor = VAL_TRANSPARENT;
};

struct GraphCursor {
    int plot = 0; // 0: not attached
    int index = 0;
    int color = VAL_YELLOW;
    int pointStyle = VAL_SOLID_SQUARE;
};

struct GraphAxis {
    int mode = VAL_AUTOSCALE;
    double min = 0, max = 10; // the manual range
    std::string name;
};

struct Graph {
    std::vector<GraphPlot> plots;
    int nextHandle = 1;
    std::vector<GraphCursor> cursors;
    GraphAxis x, y;
    double mousePeriod = -1; // extended mouse events: off while negative
    double lastMove = -kNoLimit;
};

// The plot area inside a graph control: fixed margins for the tick labels and the axis captions.
inline constexpr int kPlotLeft = 64, kPlotTop = 12, kPlotRight = 28, kPlotBottom = 44;

// An axis of a 3-D graph: its range as the program gave it (from min to max, which may fall) and its value
// pairs, the values it labels.
struct SurfaceAxis {
    bool ranged = false; // a range was given; until then 0, 0, and the view shows the grid's extremes
    double min = 0, max = 0;
    std::vector<double> pairs;
};

struct Surface {
    std::vector<double> x, y, z;   // z[i * y.size() + j]
    std::vector<SurfaceAxis> axes; // X, Y, the values (as many as the resource gives)
    int row = 0, column = 0;       // the cursor
    std::string xName, yName, zName;
    QPointer<QObject> view; // the 3-D window, once made
};

struct Control {
    int panel = 0;
    int id = 0;
    std::string name;
    UiCtrlKind kind = CTRL_COMMAND_BUTTON;
    CtrlCallbackPtr callback = nullptr;
    void* callbackData = nullptr;
    int x = 0, y = 0, w = 0, h = 0;
    uir::Anchor anchor;   // how it follows its panel's size
    bool scrolls = false; // a table laid out to scroll sideways at its panel's design size
    bool visible = true;
    bool dimmed = false;
    int mode = VAL_HOT;
    std::string caption;
    double number = 0; // value of the kinds that hold a number
    std::string text;  // value of the kinds that hold a text
    double min = -kNoLimit, max = kNoLimit, inc = 1;
    int precision = 0;
    bool hex = false;  // a numeric shown in hexadecimal
    int maxLength = 0; // the longest text typed, or a text message is laid out for; 0: no limit
    int textColor = kDefaultColor, bgColor = kDefaultColor;
    int onColor = VAL_GREEN, offColor = kDefaultColor;
    bool bold = false;
    int fontSize = 0; // 0: the default
    uir::Align align = uir::Align::Left;
    std::vector<ListItem> items;
    std::vector<std::string> tabs;
    std::vector<std::string> states; // a toggle's off and on texts (empty: it shows its caption)
    double interval = 0;
    bool enabled = true;
    bool ticking = false;   // the timer callback runs
    bool editDirty = false; // typed text not yet committed
    std::unique_ptr<Table> table;
    std::unique_ptr<Graph> graph;
    std::unique_ptr<Surface> surface;

    QPointer<QWidget> widget;
    QPointer<QLabel> label; // caption beside the widget
    QPointer<QTimer> timer;
    TableModel* model = nullptr; // owned by the table view

    bool HoldsNumber() const;
    bool HoldsText() const;
    bool IsHot() const { return mode != VAL_INDICATOR; }
};

struct Panel {
    int handle = 0;
    int parent = 0;
    std::string name;
    std::string title;
    PanelCallbackPtr callback = nullptr;
    void* callbackData = nullptr;
    int x = 0, y = 0, w = 0, h = 0;
    int designW = 0, designH = 0; // the size in the resource: a resizable panel never gets smaller
    bool resizable = false;
    bool visible = false;
    bool dimmed = false;
    // A window of its own: a top-level panel, or a child panel once it was installed as a popup (from
    // then on it shows as a dialog over its parent's window, not inside it).
    bool window = false;
    // The program gave the window its place (ATTR_TOP, ATTR_LEFT): as a popup it opens there, else centred
    // on the window it belongs to at every opening.
    bool placed = false;
    // The window has shown: from then on it opens where it stood last, where the user left it.
    bool opened = false;
    int activeCtrl = 0;
    int scroll = 0;         // vertical scroll offset asked for, applied whenever the panel shows
    int zoom = VAL_NO_ZOOM; // maximised or not, as a window
    std::vector<std::unique_ptr<Control>> controls; // resource order
    QPointer<QScrollArea> frame;                    // the window, or the area inside the parent
    QPointer<QWidget> canvas;                       // controls are placed on it

    Control* Find(int id) const;
};

// ---- records (panels.cpp) ----
// The record of a control's kind (part: &Control::graph, &Control::surface, ...); null with status set
// when there is no such control or it is of another kind.
template <typename T> T* PartOf(int panel, int control, std::unique_ptr<T> Control::*part, int* status);
Panel* FindPanel(int handle);
// Sets status to UIE_BadPanel / UIE_BadControl when the lookup fails.
Control* FindControl(int panel, int control, int* status);
std::vector<int> PanelHandles();
// The panel's displayed flag and every ancestor's.
bool PanelShown(int handle);
// The panel and the pages shown inside it (its child panels on display, theirs, ...), the panel first.
std::vector<int> ShownWithin(int handle);
// Keeps the canvas large enough for every control (the area scrolls over it).
void FitCanvas(Panel& p);
// Puts the panel's frame at its place: on the screen for a window, inside the parent for a child.
void PlaceFrame(Panel& p);
// Takes a new size into the record (a resizable panel: never below its design size): its controls move
// and stretch by their anchors, its resizable child panels grow with it. The frame is left to the caller.
void ResizePanel(Panel& p, int w, int h);
// Gives the window the record's zoom state (a child panel keeps it for when it becomes a popup).
void ApplyZoom(Panel& p);
// The panel the user or the program made active last.
void SetActivePanelRecord(int panel);
void SetActiveCtrlRecord(int panel, int control);

template <typename T> T* PartOf(int panel, int control, std::unique_ptr<T> Control::*part, int* status) {
    Control* c = FindControl(panel, control, status);
    if (c == nullptr) return nullptr;
    if (!(c->*part)) {
        *status = UIE_BadControl;
        return nullptr;
    }
    return (c->*part).get();
}

// ---- application object (app.cpp) ----
void EnsureApp();

// ---- programmatic changes (events.cpp) ----
// While a Quiet lives, widget signals caused by the layer itself are not taken as user input.
class Quiet {
  public:
    Quiet();
    ~Quiet();
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;
};
bool IsQuiet();

// Writes a number into an integer output when it fits after rounding; else UIE_BadValue, output untouched.
template <typename T> int StoreInteger(double v, T* out) {
    if (out == nullptr || !std::isfinite(v)) return UIE_BadValue;
    const double r = std::round(v);
    if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
        r > static_cast<double>(std::numeric_limits<T>::max()))
        return UIE_BadValue;
    *out = static_cast<T>(r);
    return UIE_NoError;
}

inline QColor RgbColor(int rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// ---- text (text.cpp): byte strings to and from Qt ----
QString ToQt(std::string_view bytes);
std::string FromQt(const QString& s);
QString FormatNumber(double v, int precision);
// A number as typed into a numeric box or cell: a point before the decimals, an optional sign and
// exponent, blanks around it. A group separator makes it no number: "3,5" is refused whole, never read
// as 35 by dropping the comma.
std::optional<double> TypedNumber(const QString& text);
// What a numeric box or cell lets the user type: any beginning of such a number (sign, digits, one point,
// an exponent). A comma may be typed: TypedNumber then refuses the entry whole when it is committed.
const QRegularExpression& TypedNumberPattern();
// A number the user enters into a numeric box, slide or cell, held to the range the program gave that
// control or cell, whatever value it shows now (a box shows a value beyond its range as it is; an entry
// never goes there).
double HeldToRange(double entered, double min, double max);

// ---- widgets (widgets.cpp, look.cpp) ----
void CreateWidget(Panel& p, Control& c);
void SyncValue(Control& c);   // shows the value
void SyncLook(Control& c);    // shows everything but the value
void PlaceWidget(Control& c); // puts the widget and its caption at the record's place
void SyncItems(Control& c);   // rebuilds list entries and tabs
// The ground colour a control shows while the program gave it none (an indicator's box: its panel's).
int DefaultGround(const Control& c);
// The label showing a control's caption above or beside it, made once it has one; null while it has none
// and for the kinds that show their caption themselves.
QLabel* CaptionLabel(Control& c);

// ---- events (events.cpp) ----
// Calls the control's or panel's callback; 0 when it has none. Records may be gone afterwards.
int SendCtrlEvent(int panel, int control, int event, int data1, int data2);
int SendPanelEvent(int panel, int event, int data1, int data2);

// ---- input during an operation (heldinput.cpp) ----
// Lives while a callback runs; when the outermost ends, the input held meanwhile is delivered.
class CallbackScope {
  public:
    CallbackScope();
    ~CallbackScope();
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;
};
// Lives while ProcessSystemEvents (an operation's pump when a callback runs) or WaitSystemEvents (a wait
// for the user) runs.
class PumpScope {
  public:
    enum class Kind { Operation, Wait };
    explicit PumpScope(Kind kind);
    ~PumpScope();
    PumpScope(const PumpScope&) = delete;
    PumpScope& operator=(const PumpScope&) = delete;

  private:
    bool outer_;
};
// An operation pumps events from inside a callback: user input to the panels is not taken now.
bool InOperationPump();
// Runs deliver once no callback runs any more (the end of a drag held during an operation).
void HoldUntilDone(std::function<void()> deliver);

// ---- timers (eventloop.cpp) ----
void StartTimer(Control& c);
// Runs one tick unless suspended, disabled or already running; true when the callback ran.
bool TimerTick(int panel, int control);

// ---- popups (modal.cpp) ----
int TopPopup();
bool IsPopup(int panel);
void ForgetPopup(int panel);
// Where the keyboard was as a popup opened: the control that had the focus and the window that was active.
struct FocusPlace {
    QPointer<QWidget> control;
    QPointer<QWidget> window;
};
FocusPlace NoteFocus();
// A popup closed: the control that had the focus has it again, in its window made the active one; where it
// can take the focus no more (hidden, dimmed), the window that was active is again.
void GiveFocusBack(const FocusPlace& place);
// A popup opens with the focus on its first choice (the first control Tab reaches), drawn as focused: as
// the program installs it, and again once the program waits for the user (it may show or dim choices in
// between), unless the program chose the control itself meanwhile (SetActiveCtrl).
void SettleOpeningFocus();
void KeepChosenFocus(int panel);
// The focus frames show in the window (as after the user moved the focus with Tab).
void ShowFocusFrames(QWidget& window);
// The window a popup opened now belongs to: the popup on top, else the window of the panel at work.
QWidget* PopupOwner();
// The place of a window moved inside the available area of the screen the widget is on, where nothing of
// the desktop's own (panels, docks) covers it.
QRect KeptOnScreen(QRect place, const QWidget& on);
// Puts a popup window's centre on its owner's, wherever the owner stands now, kept on the owner's screen
// (no owner: left alone).
void CentreOnOwner(QWidget& popup, const QWidget* owner);
// Puts a window beside its owner, top to top, kept on the owner's screen: to its right, or to its left
// where it hides less of the owner there, as where the screen has no room on the right (no owner: left
// alone).
void PlaceBesideOwner(QWidget& window, const QWidget* owner);

// ---- graphs (graph.cpp, graph3d.cpp) ----
QWidget* MakeGraphWidget(Control& c, QWidget* canvas);
QWidget* MakeSurfaceHolder(Control& c, QWidget* canvas);
// Makes the 3-D views of a panel being shown (once each).
void ShowSurfaceViews(Panel& p);
// Shows the record's surface, captions and cursor in the 3-D view (when it is made).
void SyncSurface(Control& c);
void SyncSurfaceLook(Control& c); // captions and ranges only
// The mouse position of the last mouse event delivered to a panel.
void NoteMouse(int panel, int x, int y);
// Whether an extended mouse event goes out now (moves are spaced by the control's period).
bool WantsExtendedMouse(int panel, int control, int event);
// Draws the 3-D views of a panel over its grabbed image (a GL window does not grab with the widgets).
void PaintSurfaceViews(const Panel& p, QPixmap& image);

// ---- tables (table.cpp) ----
// The view shows the record's active cell and selection.
void ShowTableCursor(Control& c);

} // namespace ui

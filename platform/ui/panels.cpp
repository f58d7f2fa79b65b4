// Panels: loading from the resource, showing, hiding, discarding, and their attributes.
#include "platform/ui/callbacknames.h"
#include "platform/ui/events.h"
#include "platform/ui/layer.h"
#include "platform/ui/resourcecache.h"

#include "platform/sys/textout.h"

#include <QCloseEvent>
#include <QLocale>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <map>

namespace ui {
namespace {

std::map<int, std::unique_ptr<Panel>> panels;
int nextHandle = 1;
int activePanel = 0;
std::string lastLoadError;

// The window (or the area inside the parent) of a panel. Its close box asks the application, which
// decides: the window never closes by itself. A resizable window takes the size the user gives it.
class PanelFrame : public QScrollArea {
  public:
    // The frame itself shows no focus: no Tab stop of its own, only its controls are.
    PanelFrame(int handle, QWidget* parent) : QScrollArea(parent), handle_(handle) {
        setFocusPolicy(Qt::NoFocus);
    }

  protected:
    void closeEvent(QCloseEvent* e) override {
        e->ignore();
        SendPanelEvent(handle_, EVENT_CLOSE, 0, 0);
    }
    void changeEvent(QEvent* e) override {
        // The user maximised the window or put it back: the record keeps it.
        ui::Panel* p = FindPanel(handle_);
        if (e->type() == QEvent::WindowStateChange && p != nullptr && p->window)
            p->zoom = isMaximized() ? VAL_MAXIMIZE : VAL_NO_ZOOM;
        QScrollArea::changeEvent(e);
    }
    void moveEvent(QMoveEvent* e) override {
        // The user moved the window: its place is where it is now (a dialog that keeps its place for the
        // run reads it back). Where the program put it is no different.
        ui::Panel* p = FindPanel(handle_);
        if (p != nullptr && p->window && isWindow() && isVisible()) {
            p->x = x();
            p->y = y();
        }
        QScrollArea::moveEvent(e);
    }
    void resizeEvent(QResizeEvent* e) override {
        ui::Panel* p = FindPanel(handle_);
        if (p != nullptr && p->window && p->resizable) ResizePanel(*p, width(), height());
        QScrollArea::resizeEvent(e);
    }

  private:
    int handle_;
};

std::unique_ptr<Control> MakeControl(int panel, const uir::ControlDef& d) {
    auto c = std::make_unique<Control>();
    const uir::Options& o = d.options;
    c->panel = panel;
    c->id = d.id;
    c->name = d.name;
    c->kind = d.kind;
    c->callback = d.callback.empty() ? nullptr : FindCtrlCallback(d.callback);
    c->x = d.x;
    c->y = d.y;
    c->w = d.w;
    c->h = d.h;
    c->anchor = o.anchor;
    c->scrolls = o.scrolls;
    c->visible = !o.hidden;
    c->dimmed = o.dimmed;
    c->mode = o.indicator || d.kind == CTRL_LED ? VAL_INDICATOR : VAL_HOT;
    c->caption = d.caption;
    c->min = o.min.value_or(-kNoLimit);
    c->max = o.max.value_or(kNoLimit);
    c->inc = o.inc.value_or(1);
    c->precision = o.prec.value_or(0);
    c->maxLength = o.maxlen.value_or(0);
    c->textColor = o.textcolor.value_or(kDefaultColor);
    c->onColor = o.oncolor.value_or(VAL_GREEN);
    c->bold = o.bold;
    c->fontSize = o.font.value_or(0);
    c->align = o.align.value_or(d.kind == CTRL_NUMERIC ? uir::Align::Right : uir::Align::Left);
    for (const uir::Item& i : o.items)
        c->items.push_back({i.label, i.value});
    c->tabs = o.tabs;
    c->states = o.states;
    c->interval = o.interval.value_or(0);
    c->enabled = !o.dimmed;
    c->number = o.number.value_or(c->items.empty() ? 0 : c->items.front().value);
    c->text = d.kind == CTRL_TEXT_MSG ? d.caption : o.text.value_or("");
    if (d.kind == CTRL_GRAPH) c->graph = std::make_unique<Graph>();
    if (d.kind == CTRL_GRAPH_3D) {
        c->surface = std::make_unique<Surface>();
        const std::vector<int> pairs = o.pairs.value_or(std::vector<int>(3, 0));
        for (const int n : pairs)
            c->surface->axes.push_back({false, 0, 0, std::vector<double>(static_cast<std::size_t>(n), 0.0)});
    }
    if (d.kind == CTRL_TABLE) {
        c->table = std::make_unique<Table>();
        Table& t = *c->table;
        t.defaults.precision = c->precision;
        t.defaults.min = c->min;
        t.defaults.max = c->max;
        t.defaults.bold = c->bold;
        t.defaults.mode = o.cellMode.value_or(VAL_HOT);
        if (c->textColor != kDefaultColor) t.defaults.textColor = c->textColor;
        t.rows = o.rows.value_or(0);
        t.cols = o.cols.value_or(0);
        t.cells.assign(static_cast<std::size_t>(t.rows * t.cols), t.defaults);
        t.rowLines.resize(static_cast<std::size_t>(t.rows));
        t.colLines.assign(static_cast<std::size_t>(t.cols), Line{"", false, o.colwidth.value_or(0), true});
        t.rowLabelWidth = o.labelwidth.value_or(0);
    }
    return c;
}

void ApplyScroll(Panel& p) {
    if (!p.frame->isVisible()) return; // its viewport has no size yet: applied when shown
    p.frame->verticalScrollBar()->setValue(p.scroll);
    p.scroll = p.frame->verticalScrollBar()->value();
}

void DiscardRecord(int handle) {
    const auto it = panels.find(handle);
    if (it == panels.end()) return;
    for (const int child : PanelHandles())
        if (FindPanel(child) != nullptr && FindPanel(child)->parent == handle) DiscardRecord(child);
    Panel& p = *it->second;
    ForgetPopup(handle);
    for (const auto& c : p.controls)
        if (c->timer) c->timer->stop();
    // Deleted later: the panel may be discarded from a callback of one of its own widgets.
    if (p.frame) {
        p.frame->hide();
        p.frame->deleteLater();
    }
    if (activePanel == handle) activePanel = 0;
    panels.erase(it);
}

int SetPanelValue(Panel& p, int attribute, int value) {
    switch (attribute) {
    case ATTR_VISIBLE:
        return value ? DisplayPanel(p.handle) : HidePanel(p.handle);
    case ATTR_DIMMED:
        p.dimmed = value != 0;
        p.canvas->setEnabled(!p.dimmed);
        return UIE_NoError;
    case ATTR_TOP:
    case ATTR_LEFT:
    case ATTR_WIDTH:
    case ATTR_HEIGHT: {
        if ((attribute == ATTR_WIDTH || attribute == ATTR_HEIGHT) && value < 0) return UIE_BadValue;
        if (attribute == ATTR_TOP || attribute == ATTR_LEFT) {
            (attribute == ATTR_TOP ? p.y : p.x) = value;
            p.placed = true;
        } else
            ResizePanel(p, attribute == ATTR_WIDTH ? value : p.w, attribute == ATTR_HEIGHT ? value : p.h);
        PlaceFrame(p);
        FitCanvas(p);
        return UIE_NoError;
    }
    case ATTR_VSCROLL_OFFSET:
        if (value < 0) return UIE_BadValue;
        p.scroll = value;
        ApplyScroll(p);
        return UIE_NoError;
    case ATTR_WINDOW_ZOOM:
        if (value != VAL_NO_ZOOM && value != VAL_MAXIMIZE) return UIE_BadValue;
        p.zoom = value;
        ApplyZoom(p);
        return UIE_NoError;
    default:
        return UIE_BadAttribute;
    }
}

} // namespace

bool Control::HoldsNumber() const {
    switch (kind) {
    case CTRL_TOGGLE_BUTTON:
    case CTRL_NUMERIC:
    case CTRL_NUMERIC_SLIDE:
    case CTRL_RING:
    case CTRL_LED:
    case CTRL_TAB:
    case CTRL_RADIO_GROUP:
        return true;
    default:
        return false;
    }
}

bool Control::HoldsText() const {
    return kind == CTRL_STRING || kind == CTRL_PASSWORD || kind == CTRL_TEXT_BOX || kind == CTRL_TEXT_MSG;
}

Control* Panel::Find(int id) const {
    for (const auto& c : controls)
        if (c->id == id) return c.get();
    return nullptr;
}

Panel* FindPanel(int handle) {
    const auto it = panels.find(handle);
    return it == panels.end() ? nullptr : it->second.get();
}

Control* FindControl(int panel, int control, int* status) {
    const Panel* p = FindPanel(panel);
    Control* c = p ? p->Find(control) : nullptr;
    if (status) *status = !p ? UIE_BadPanel : !c ? UIE_BadControl : UIE_NoError;
    return c;
}

std::vector<int> PanelHandles() {
    std::vector<int> handles;
    for (const auto& [handle, p] : panels)
        handles.push_back(handle);
    return handles;
}

bool PanelShown(int handle) {
    for (const Panel* p = FindPanel(handle); p != nullptr; p = p->window ? nullptr : FindPanel(p->parent))
        if (!p->visible) return false;
    return FindPanel(handle) != nullptr;
}

std::vector<int> ShownWithin(int handle) {
    std::vector<int> shown{handle};
    for (std::size_t i = 0; i < shown.size(); ++i)
        for (const auto& [child, p] : panels)
            if (p->parent == shown[i] && !p->window && p->visible) shown.push_back(child);
    return shown;
}

void FitCanvas(Panel& p) {
    int w = p.w, h = p.h;
    for (const auto& c : p.controls) {
        if (!c->visible) continue;
        w = std::max(w, c->x + c->w);
        h = std::max(h, c->y + c->h);
    }
    for (const auto& [handle, child] : panels)
        if (child->parent == p.handle && !child->window) {
            w = std::max(w, child->x + child->frame->width());
            h = std::max(h, child->y + child->frame->height());
        }
    if (p.canvas->size() != QSize(w, h)) p.canvas->setFixedSize(w, h);
}

void ApplyZoom(Panel& p) {
    // A hidden window takes the state when it shows; a child panel when it becomes a popup.
    if (p.window) p.frame->setWindowState(p.zoom == VAL_MAXIMIZE ? Qt::WindowMaximized : Qt::WindowNoState);
}

void SetActivePanelRecord(int panel) {
    activePanel = panel;
}

void SetActiveCtrlRecord(int panel, int control) {
    if (Panel* p = FindPanel(panel)) p->activeCtrl = control;
}

void ResizePanel(Panel& p, int w, int h) {
    if (p.resizable) {
        w = std::max(w, p.designW);
        h = std::max(h, p.designH);
    }
    // Places follow the panel's distance from its design size, so growing and shrinking back by any steps
    // returns every control to where it was.
    const int oldDw = p.w - p.designW, oldDh = p.h - p.designH;
    const int dw = w - p.designW, dh = h - p.designH;
    p.w = w;
    p.h = h;
    if (dw == oldDw && dh == oldDh) return;
    using uir::Anchor;
    for (const auto& c : p.controls) {
        const Anchor& a = c->anchor;
        if (a.left && a.top && !a.right && !a.bottom) continue; // stays where it is (most controls)
        c->x += Anchor::Shift(a.left, a.right, dw) - Anchor::Shift(a.left, a.right, oldDw);
        c->y += Anchor::Shift(a.top, a.bottom, dh) - Anchor::Shift(a.top, a.bottom, oldDh);
        c->w =
            std::max(0, c->w + Anchor::Growth(a.left, a.right, dw) - Anchor::Growth(a.left, a.right, oldDw));
        c->h =
            std::max(0, c->h + Anchor::Growth(a.top, a.bottom, dh) - Anchor::Growth(a.top, a.bottom, oldDh));
        PlaceWidget(*c);
    }
    for (const auto& [handle, child] : panels)
        if (child->parent == p.handle && !child->window && child->resizable) {
            ResizePanel(*child, child->w + dw - oldDw, child->h + dh - oldDh);
            PlaceFrame(*child);
            FitCanvas(*child);
        }
    FitCanvas(p);
}

void PlaceFrame(Panel& p) {
    if (p.window && p.resizable) {
        p.frame->setMinimumSize(p.designW, p.designH);
        p.frame->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        p.frame->resize(p.w, p.h);
        p.frame->move(p.x, p.y);
        return;
    }
    if (p.window) {
        p.frame->setFixedSize(p.w, p.h);
        p.frame->move(p.x, p.y);
        return;
    }
    // A child panel shows as much of itself as fits in the parent and scrolls over the rest.
    const Panel* parent = FindPanel(p.parent);
    const int w = std::min(p.w, parent->w - p.x);
    const int h = std::min(p.h, parent->h - p.y);
    p.frame->setGeometry(p.x, p.y, std::max(w, 0), std::max(h, 0));
}

} // namespace ui

using ui::FindPanel;
using ui::Panel;

int LoadPanel(int parentPanel, const char* fileName, int resourceId) {
    ui::EnsureApp();
    ui::lastLoadError.clear();
    const auto fail = [](int code, std::string why) {
        ui::lastLoadError = std::move(why);
        return code;
    };
    Panel* parent = parentPanel == 0 ? nullptr : FindPanel(parentPanel);
    if (parentPanel != 0 && parent == nullptr)
        return fail(UIE_BadPanel, "no parent panel " + std::to_string(parentPanel));
    if (fileName == nullptr) return fail(UIE_Resource, "no resource named");
    std::string error;
    const uir::Resource* res = ui::GetResource(fileName, error);
    if (res == nullptr) return fail(UIE_Resource, error);
    const uir::PanelDef* def = res->Find(resourceId);
    if (def == nullptr)
        return fail(UIE_Resource, std::string(fileName) + ": no panel with id " + std::to_string(resourceId));
    if (!ui::CheckCallbacks(fileName, *def, error)) return fail(UIE_Resource, error);

    auto owned = std::make_unique<Panel>();
    Panel& p = *owned;
    p.handle = ui::nextHandle++;
    p.parent = parentPanel;
    p.name = def->name;
    p.title = def->title;
    p.callback = def->callback.empty() ? nullptr : ui::FindPanelCallback(def->callback);
    p.x = def->atX.value_or(0);
    p.y = def->atY.value_or(0);
    p.w = p.designW = def->w;
    p.h = p.designH = def->h;
    p.resizable = def->resizable;
    p.window = parent == nullptr;
    for (const uir::ControlDef& d : def->controls)
        p.controls.push_back(ui::MakeControl(p.handle, d));
    ui::panels.emplace(p.handle, std::move(owned));

    p.frame = new ui::PanelFrame(p.handle, parent ? parent->canvas.data() : nullptr);
    p.frame->setFrameShape(QFrame::NoFrame);
    p.frame->setWidgetResizable(false);
    p.canvas = new QWidget;
    p.canvas->setProperty("uiPanel", p.handle);
    p.canvas->setLocale(QLocale::c()); // numbers read and show with a point, whatever the user's locale
    p.frame->setWidget(p.canvas);
    p.frame->setProperty("uiPanel", p.handle);
    p.frame->setWindowTitle(ui::ToQt(p.title));
    p.frame->hide();
    for (const auto& c : p.controls)
        ui::CreateWidget(p, *c);
    // A page loaded into a window the user already enlarged takes the room as its siblings did.
    if (parent != nullptr && p.resizable)
        ui::ResizePanel(p, p.w + parent->w - parent->designW, p.h + parent->h - parent->designH);
    ui::PlaceFrame(p);
    ui::FitCanvas(p);
    if (parent != nullptr) ui::FitCanvas(*parent);
    for (const auto& c : p.controls)
        ui::StartTimer(*c);
    return p.handle;
}

const char* GetLastLoadError() {
    return ui::lastLoadError.c_str();
}

int DiscardPanel(int panel) {
    if (FindPanel(panel) == nullptr) return UIE_BadPanel;
    ui::DiscardRecord(panel);
    return UIE_NoError;
}

int DisplayPanel(int panel) {
    Panel* p = FindPanel(panel);
    if (p == nullptr) return UIE_BadPanel;
    const bool appears = !p->visible && !p->window;
    // A window the program gave no place opens beside the window at work the first time it shows (a popup
    // opens over it instead); from then on where it stood last.
    QWidget* const owner =
        p->window && !p->opened && !p->placed && !ui::IsPopup(panel) ? ui::PopupOwner() : nullptr;
    ui::PlaceBesideOwner(*p->frame, owner); // near its place before it shows; exactly once it has its frame
    p->opened = p->opened || p->window;
    p->visible = true;
    p->frame->show();
    if (owner != nullptr) {
        ui::PlaceBesideOwner(*p->frame, owner);
        p->x = p->frame->x(); // the window went there as it showed, unseen by its moves
        p->y = p->frame->y();
    }
    p->frame->raise();
    ui::ShowSurfaceViews(*p);
    ui::ApplyScroll(*p);
    if (p->window) p->frame->activateWindow();
    ui::activePanel = panel;
    // A page that comes on screen in its window has the focus now; a window hears of it when the window
    // system activates it.
    if (appears && ui::PanelShown(panel)) ui::SendPanelEvent(panel, EVENT_GOT_FOCUS, 0, 0);
    return UIE_NoError;
}

int HidePanel(int panel) {
    Panel* p = FindPanel(panel);
    if (p == nullptr) return UIE_BadPanel;
    if (ui::TopPopup() == panel) return RemovePopup(0);
    p->visible = false;
    p->frame->hide();
    return UIE_NoError;
}

int InstallPanelCallback(int panel, PanelCallbackPtr fn, void* callbackData) {
    Panel* p = FindPanel(panel);
    if (p == nullptr) return UIE_BadPanel;
    p->callback = fn;
    p->callbackData = callbackData;
    return UIE_NoError;
}

int InstallCtrlCallback(int panel, int control, CtrlCallbackPtr fn, void* callbackData) {
    int status = 0;
    ui::Control* c = ui::FindControl(panel, control, &status);
    if (c == nullptr) return status;
    c->callback = fn;
    c->callbackData = callbackData;
    return UIE_NoError;
}

int SetPanelAttribute(int panel, int attribute, int value) {
    Panel* p = FindPanel(panel);
    return p == nullptr ? UIE_BadPanel : ui::SetPanelValue(*p, attribute, value);
}

int SetPanelAttribute(int panel, int attribute, const char* value) {
    Panel* p = FindPanel(panel);
    if (p == nullptr) return UIE_BadPanel;
    if (attribute != ATTR_TITLE) return UIE_BadAttribute;
    if (value == nullptr) return UIE_BadValue;
    p->title = value;
    p->frame->setWindowTitle(ui::ToQt(p->title));
    return UIE_NoError;
}

int GetPanelAttribute(int panel, int attribute, int* value) {
    const Panel* p = FindPanel(panel);
    if (p == nullptr) return UIE_BadPanel;
    if (value == nullptr) return UIE_BadValue;
    switch (attribute) {
    case ATTR_VISIBLE:
        *value = p->visible;
        return UIE_NoError;
    case ATTR_DIMMED:
        *value = p->dimmed;
        return UIE_NoError;
    case ATTR_TOP:
        *value = p->y;
        return UIE_NoError;
    case ATTR_LEFT:
        *value = p->x;
        return UIE_NoError;
    case ATTR_WIDTH:
        *value = p->w;
        return UIE_NoError;
    case ATTR_HEIGHT:
        *value = p->h;
        return UIE_NoError;
    case ATTR_VSCROLL_OFFSET:
        *value = p->frame->isVisible() ? p->frame->verticalScrollBar()->value() : p->scroll;
        return UIE_NoError;
    case ATTR_WINDOW_ZOOM:
        *value = p->zoom;
        return UIE_NoError;
    default:
        return UIE_BadAttribute;
    }
}

int GetPanelAttribute(int panel, int attribute, std::span<char> value) {
    const Panel* p = FindPanel(panel);
    if (p == nullptr) return UIE_BadPanel;
    if (attribute != ATTR_TITLE) return UIE_BadAttribute;
    return CopyText(p->title, value) ? UIE_NoError : UIE_BadValue;
}

int SetActivePanel(int panel) {
    Panel* p = FindPanel(panel);
    if (p == nullptr) return UIE_BadPanel;
    ui::activePanel = panel;
    if (p->visible) p->frame->window()->activateWindow();
    return UIE_NoError;
}

int GetActivePanel() {
    return ui::activePanel;
}

// Callbacks, and the routing of Qt's key, mouse and focus input to them.
#include "platform/ui/events.h"
#include "platform/ui/layer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace ui {
namespace {

int quietDepth = 0;

struct Owner {
    int panel = 0;
    int control = 0; // 0: the panel itself
};

// The panel and control a widget belongs to (its own tags or its nearest tagged ancestor's).
Owner OwnerOf(const QObject* o) {
    for (; o != nullptr; o = o->parent()) {
        const QVariant panel = o->property("uiPanel");
        if (panel.isValid()) return {panel.toInt(), o->property("uiControl").toInt()};
        if (o->isWidgetType() && static_cast<const QWidget*>(o)->isWindow()) return {}; // a foreign window
    }
    return {};
}

struct KeyMap {
    int qt;
    int code;
};
constexpr std::array kKeys{
    KeyMap{Qt::Key_Backspace, VAL_BACKSPACE_VKEY}, KeyMap{Qt::Key_Tab, VAL_TAB_VKEY},
    KeyMap{Qt::Key_Backtab, VAL_TAB_VKEY},         KeyMap{Qt::Key_Return, VAL_ENTER_VKEY},
    KeyMap{Qt::Key_Enter, VAL_ENTER_VKEY},         KeyMap{Qt::Key_Escape, VAL_ESC_VKEY},
    KeyMap{Qt::Key_Up, VAL_UP_ARROW_VKEY},         KeyMap{Qt::Key_Down, VAL_DOWN_ARROW_VKEY},
    KeyMap{Qt::Key_Left, VAL_LEFT_ARROW_VKEY},     KeyMap{Qt::Key_Right, VAL_RIGHT_ARROW_VKEY},
    KeyMap{Qt::Key_PageUp, VAL_PAGE_UP_VKEY},      KeyMap{Qt::Key_PageDown, VAL_PAGE_DOWN_VKEY},
    KeyMap{Qt::Key_Home, VAL_HOME_VKEY},           KeyMap{Qt::Key_End, VAL_END_VKEY},
    KeyMap{Qt::Key_Delete, VAL_DELETE_VKEY},       KeyMap{Qt::Key_Insert, VAL_INSERT_VKEY},
};

// Moves and releases reach only the controls that asked for them (EnableExtendedMouseEvents).
int ExtendedEventOf(const QMouseEvent& e) {
    if (e.type() == QEvent::MouseMove) return EVENT_MOUSE_POINTER_MOVE;
    if (e.button() == Qt::LeftButton) return EVENT_LEFT_CLICK_UP;
    if (e.button() == Qt::RightButton) return EVENT_RIGHT_CLICK_UP;
    return EVENT_NONE;
}

int MouseEventOf(const QMouseEvent& e) {
    const bool dbl = e.type() == QEvent::MouseButtonDblClick;
    if (e.button() == Qt::LeftButton) return dbl ? EVENT_LEFT_DOUBLE_CLICK : EVENT_LEFT_CLICK;
    if (e.button() == Qt::RightButton) return dbl ? EVENT_RIGHT_DOUBLE_CLICK : EVENT_RIGHT_CLICK;
    return EVENT_NONE;
}

// A window that is no widget (the 3-D view) carries its control's tags itself; its keys go the same way.
bool WindowKey(QObject* o, QEvent* e) {
    if (e->type() != QEvent::KeyPress || !o->property("uiPanel").isValid()) return false;
    const int key = KeyCodeOf(*static_cast<QKeyEvent*>(e));
    return key != 0 && UserKey(o->property("uiPanel").toInt(), o->property("uiControl").toInt(), key) != 0;
}

// An operation pumps events: the panels' widgets get no input now (see heldinput.cpp). A button's release
// reaches the widget, and through it the callbacks, once the operation is over.
bool HoldOrDrop(QWidget* w, QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseButtonRelease: {
        std::shared_ptr<QEvent> release(static_cast<QMouseEvent*>(e)->clone());
        HoldUntilDone([target = QPointer<QWidget>(w), release] {
            if (target) QCoreApplication::sendEvent(target, release.get());
        });
        return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

class InputRouter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (!o->isWidgetType()) return WindowKey(o, e);
        auto* w = static_cast<QWidget*>(o);
        if (InOperationPump() && OwnerOf(w).panel != 0) return HoldOrDrop(w, e);
        switch (e->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(e);
            const Owner owner = OwnerOf(w);
            const int event = ExtendedEventOf(*me);
            const Panel* p = FindPanel(owner.panel);
            if (p == nullptr || event == EVENT_NONE || !WantsExtendedMouse(owner.panel, owner.control, event))
                return false;
            const QPoint at = p->canvas->mapFromGlobal(me->globalPosition().toPoint());
            return UserMouse(owner.panel, owner.control, event, at.x(), at.y()) != 0;
        }
        case QEvent::KeyPress: {
            // Only where the key arrives first, not again as it propagates to the parents.
            const QWidget* first = QApplication::focusWidget() ? QApplication::focusWidget() : w->window();
            const Owner owner = OwnerOf(w);
            const int key = KeyCodeOf(*static_cast<QKeyEvent*>(e));
            return w == first && owner.panel != 0 && key != 0 &&
                   UserKey(owner.panel, owner.control, key) != 0;
        }
        case QEvent::WindowActivate:
            // Sent on to every child widget as well: only the window itself reports it.
            if (w->isWindow()) WindowActivated(OwnerOf(w).panel);
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* me = static_cast<QMouseEvent*>(e);
            const Owner owner = OwnerOf(w);
            const int event = MouseEventOf(*me);
            const Panel* p = FindPanel(owner.panel);
            if (p == nullptr || event == EVENT_NONE ||
                QApplication::widgetAt(me->globalPosition().toPoint()) != w)
                return false;
            const QPoint at = p->canvas->mapFromGlobal(me->globalPosition().toPoint());
            if (UserMouse(owner.panel, owner.control, event, at.x(), at.y()) != 0) return true;
            const Control* c = p->Find(owner.control);
            if (c != nullptr && c->kind == CTRL_PICTURE && event == EVENT_LEFT_CLICK)
                UserPress(owner.panel, c->id);
            // An indicator button hears its clicks but is not pressed by them.
            return c != nullptr && (c->kind == CTRL_COMMAND_BUTTON || c->kind == CTRL_TOGGLE_BUTTON) &&
                   !c->IsHot();
        }
        default:
            return false;
        }
    }
};

void FocusMoved(QWidget* old, QWidget* now) {
    const Owner from = OwnerOf(old);
    const Owner to = OwnerOf(now);
    if (from.panel == to.panel && from.control == to.control) return;
    if (from.control != 0) {
        UserFinishEdit(from.panel, from.control);
        SendCtrlEvent(from.panel, from.control, EVENT_LOST_FOCUS, 0, 0);
    }
    if (to.panel != 0) SetActivePanelRecord(to.panel);
    if (to.control != 0) SetActiveCtrlRecord(to.panel, to.control);
    if (to.control != 0) SendCtrlEvent(to.panel, to.control, EVENT_GOT_FOCUS, 0, 0);
}

} // namespace

Quiet::Quiet() {
    ++quietDepth;
}
Quiet::~Quiet() {
    --quietDepth;
}
bool IsQuiet() {
    return quietDepth > 0;
}

int KeyCodeOf(const QKeyEvent& e) {
    int mods = 0;
    if (e.modifiers() & Qt::ShiftModifier) mods |= VAL_SHIFT_MODIFIER;
    if (e.modifiers() & Qt::ControlModifier) mods |= VAL_MENUKEY_MODIFIER;
    if (e.modifiers() & Qt::AltModifier) mods |= VAL_ALT_MODIFIER;
    const int k = e.key();
    for (const KeyMap& m : kKeys)
        if (m.qt == k) return m.code | mods;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return (VAL_F1_VKEY + (k - Qt::Key_F1) * 0x100) | mods;
    // With Ctrl or Alt the text is a control character or empty: report the key's letter.
    if ((mods & (VAL_MENUKEY_MODIFIER | VAL_ALT_MODIFIER)) && k >= Qt::Key_Space && k <= Qt::Key_AsciiTilde)
        return k | mods;
    const QString text = e.text();
    if (text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() <= 0xFF &&
        text[0].unicode() != 0x7F)
        return text[0].unicode() | mods;
    return 0;
}

QKeyEvent KeyPressOf(int key) {
    Qt::KeyboardModifiers mods;
    if (key & VAL_SHIFT_MODIFIER) mods |= Qt::ShiftModifier;
    if (key & VAL_MENUKEY_MODIFIER) mods |= Qt::ControlModifier;
    if (key & VAL_ALT_MODIFIER) mods |= Qt::AltModifier;
    const int code = key & ~VAL_MODIFIER_MASK;
    const auto named = std::ranges::find(kKeys, code, &KeyMap::code);
    int qtKey = 0;
    QString text;
    if (named != kKeys.end())
        qtKey = named->qt;
    else if (IsFunctionKey(code))
        qtKey = Qt::Key_F1 + (code - VAL_F1_VKEY) / 0x100;
    else {
        text = QChar(code & VAL_ASCII_KEY_MASK);
        qtKey = text.toUpper()[0].unicode();
    }
    return QKeyEvent(QEvent::KeyPress, qtKey, mods, text);
}

int UserFocusKey(int panel, int control, int key) {
    if (UserKey(panel, control, key) != 0) return 1;
    const Control* c = FindControl(panel, control, nullptr);
    if (c == nullptr || c->widget == nullptr) return 0;
    QKeyEvent press = KeyPressOf(key);
    // Straight to the widget: the callbacks have heard the key already.
    static_cast<QObject*>(c->widget.data())->event(&press);
    return 0;
}

int SendCtrlEvent(int panel, int control, int event, int data1, int data2) {
    const Control* c = FindControl(panel, control, nullptr);
    if (c == nullptr || c->callback == nullptr) return 0;
    const CallbackScope running;
    return c->callback(panel, control, event, c->callbackData, data1, data2);
}

int SendPanelEvent(int panel, int event, int data1, int data2) {
    const Panel* p = FindPanel(panel);
    if (p == nullptr || p->callback == nullptr) return 0;
    const CallbackScope running;
    return p->callback(panel, event, p->callbackData, data1, data2);
}

void WindowActivated(int panel) {
    const Panel* p = FindPanel(panel);
    if (p == nullptr || !p->window || !PanelShown(panel)) return;
    // The window first, then every page shown inside it (a page's callback may change the records).
    for (const int handle : ShownWithin(panel))
        if (PanelShown(handle)) SendPanelEvent(handle, EVENT_GOT_FOCUS, 0, 0);
}

void InstallInputRouting() {
    auto* app = static_cast<QApplication*>(QApplication::instance());
    app->installEventFilter(new InputRouter(app));
    QObject::connect(app, &QApplication::focusChanged, FocusMoved);
}

} // namespace ui

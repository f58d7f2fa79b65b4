// The test driver's way in as the display delivers input: the keyboard and where it is, and the 3-D
// graph's own window, which is no widget of the panel.
#include "platform/ui/events.h"
#include "platform/ui/layer.h"
#include "platform/ui/uitest.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>
#include <QScrollArea>
#include <QStyleOption>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/QSurface3DSeries>

namespace uitest {
namespace {

Q3DSurface* ViewOf(int panel, int control) {
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    return c != nullptr && c->surface ? qobject_cast<Q3DSurface*>(c->surface->view.data()) : nullptr;
}

} // namespace

int PressKeyInView(int panel, int control, int key) {
    Q3DSurface* view = ViewOf(panel, control);
    if (view == nullptr) return UIE_BadControl;
    QKeyEvent press = ui::KeyPressOf(key);
    QCoreApplication::sendEvent(view, &press);
    return UIE_NoError;
}

int TypeKey(int key) {
    QObject* focus = QGuiApplication::focusObject();
    if (focus == nullptr) return kUnreachable;
    QKeyEvent press = ui::KeyPressOf(key);
    QCoreApplication::sendEvent(focus, &press);
    return UIE_NoError;
}

int TabTo(int panel, int control) {
    const ui::Panel* p = ui::FindPanel(panel);
    if (p == nullptr) return UIE_BadPanel;
    const ui::Control* c = p->Find(control);
    if (c == nullptr || c->widget == nullptr) return UIE_BadControl;
    const auto focused = [c] {
        const QWidget* focus = QApplication::focusWidget();
        return focus != nullptr && (focus == c->widget || c->widget->isAncestorOf(focus));
    };
    // Once round the window (the pages shown in it too), and one press more to enter it.
    const auto widgets = static_cast<std::size_t>(p->frame->window()->findChildren<QWidget*>().size());
    for (std::size_t presses = 0; !focused(); ++presses)
        if (presses > widgets || TypeKey(VAL_TAB_VKEY) != UIE_NoError) return kUnreachable;
    return UIE_NoError;
}

int FocusWindow(int panel) {
    const ui::Panel* p = ui::FindPanel(panel);
    if (p == nullptr) return UIE_BadPanel;
    QWidget* window = p->frame->window();
    if (!window->isVisible()) return kUnreachable;
    // A display that moves no focus as a window hides (the offscreen one) keeps a window shown again as its
    // focus window, with nothing to report, while the widgets took it for inactive once it hid.
    if (QGuiApplication::focusWindow() == window->windowHandle()) QApplication::setActiveWindow(window);
    window->activateWindow();
    // The display answers when it has done it: a moment later on a real one.
    const QDeadlineTimer deadline(5000);
    while (QApplication::activeWindow() != window && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return QApplication::activeWindow() == window ? UIE_NoError : kUnreachable;
}

void TypeKeyInPopup(int key) {
    ui::EnsureApp();
    const QPointer<QWidget> before = QApplication::activeModalWidget();
    auto* user = new QTimer(qApp);
    const QDeadlineTimer deadline(10000);
    QObject::connect(user, &QTimer::timeout, [user, before, deadline, key] {
        QWidget* popup = QApplication::activeModalWidget();
        const bool up = popup != nullptr && popup != before && QApplication::activeWindow() == popup;
        if (!up && !deadline.hasExpired()) return;
        user->stop();
        user->deleteLater();
        if (up)
            TypeKey(key);
        else if (auto* dialog = qobject_cast<QDialog*>(popup); dialog != nullptr && popup != before)
            dialog->reject(); // it never got the keyboard: nothing waits for ever
    });
    user->start(5);
}

int GetFocusedControl(int* panel, int* control) {
    if (panel == nullptr || control == nullptr) return UIE_BadValue;
    const QDeadlineTimer deadline(5000);
    while (QApplication::activeWindow() == nullptr && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    const QObject* at = QApplication::focusWidget();
    if (at == nullptr) at = QApplication::activeWindow();
    if (at == nullptr) return kUnreachable;
    for (; at != nullptr && !at->property("uiPanel").isValid(); at = at->parent()) {}
    *panel = at != nullptr ? at->property("uiPanel").toInt() : 0;
    *control = at != nullptr ? at->property("uiControl").toInt() : 0;
    return UIE_NoError;
}

bool ShowsFocus(int panel, int control) {
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    QWidget* focus = QApplication::focusWidget();
    if (c == nullptr || c->widget == nullptr || focus == nullptr ||
        (focus != c->widget && !c->widget->isAncestorOf(focus)))
        return false;
    // What the style draws the focus frame by.
    QStyleOption o;
    o.initFrom(c->widget);
    return (o.state & QStyle::State_HasFocus) && (o.state & QStyle::State_KeyboardFocusChange);
}

int PickSurfacePoint(int panel, int control, int row, int column) {
    Q3DSurface* view = ViewOf(panel, control);
    if (view == nullptr || view->seriesList().isEmpty()) return UIE_BadControl;
    view->seriesList().front()->setSelectedPoint(QPoint(column, row));
    return UIE_NoError;
}

int DrawViewNow(int panel, int control) {
    Q3DSurface* view = ViewOf(panel, control);
    if (view == nullptr) return UIE_BadControl;
    QEvent frame(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(view, &frame);
    return UIE_NoError;
}

} // namespace uitest

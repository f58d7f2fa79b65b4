// The test driver's way into the 3-D graph's own window, which is no widget of the panel.
#include "platform/ui/layer.h"
#include "platform/ui/uitest.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/QSurface3DSeries>
#include <array>

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
    struct Arrow {
        int code, qt;
    };
    constexpr std::array kArrows{
        Arrow{VAL_UP_ARROW_VKEY, Qt::Key_Up}, Arrow{VAL_DOWN_ARROW_VKEY, Qt::Key_Down},
        Arrow{VAL_LEFT_ARROW_VKEY, Qt::Key_Left}, Arrow{VAL_RIGHT_ARROW_VKEY, Qt::Key_Right}};
    Qt::KeyboardModifiers mods;
    if (key & VAL_SHIFT_MODIFIER) mods |= Qt::ShiftModifier;
    if (key & VAL_MENUKEY_MODIFIER) mods |= Qt::ControlModifier;
    if (key & VAL_ALT_MODIFIER) mods |= Qt::AltModifier;
    const int code = key & ~VAL_MODIFIER_MASK;
    int qtKey = code & VAL_ASCII_KEY_MASK;
    QString text = QString(QChar(qtKey));
    for (const Arrow& a : kArrows)
        if (a.code == code) {
            qtKey = a.qt;
            text.clear();
        }
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QCoreApplication::sendEvent(view, &press);
    return UIE_NoError;
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

// The test driver's way in as the display delivers input: the keyboard and where it is, and the 3-D
// graph's own window, which is no widget of the panel (its keys and picks, and the labels it draws).
#include "platform/ui/events.h"
#include "platform/ui/layer.h"
#include "platform/ui/uitest.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QPointer>
#include <QScrollArea>
#include <QStyleOption>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QValue3DAxis>

#include <algorithm>
#include <cstdlib>
#include <deque>

namespace uitest {
namespace {

Q3DSurface* ViewOf(int panel, int control) {
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    return c != nullptr && c->surface ? qobject_cast<Q3DSurface*>(c->surface->view.data()) : nullptr;
}

// The pixels that are not the window's colour, each grown by margin pixels every way.
std::vector<bool> InkGrown(const QImage& image, QColor window, int margin) {
    const int w = image.width(), h = image.height();
    const auto ink = [&](int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return std::max({std::abs(c.red() - window.red()), std::abs(c.green() - window.green()),
                         std::abs(c.blue() - window.blue())}) > 32;
    };
    std::vector<bool> across(static_cast<std::size_t>(w * h)), grown(across.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (ink(x, y))
                for (int i = std::max(0, x - margin); i <= std::min(w - 1, x + margin); ++i)
                    across[static_cast<std::size_t>(y * w + i)] = true;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (across[static_cast<std::size_t>(y * w + x)])
                for (int j = std::max(0, y - margin); j <= std::min(h - 1, y + margin); ++j)
                    grown[static_cast<std::size_t>(j * w + x)] = true;
    return grown;
}

// The bounding boxes of the connected parts of a mask, each shrunk back by the growth it was given.
std::vector<Rect> PartsOf(std::vector<bool> mask, int w, int h, int margin) {
    std::vector<Rect> parts;
    for (int start = 0; start < w * h; ++start) {
        if (!mask[static_cast<std::size_t>(start)]) continue;
        int left = w, top = h, right = 0, bottom = 0;
        std::deque<int> open{start};
        mask[static_cast<std::size_t>(start)] = false;
        while (!open.empty()) {
            const int at = open.front();
            open.pop_front();
            const int x = at % w, y = at / w;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            for (int j = std::max(0, y - 1); j <= std::min(h - 1, y + 1); ++j)
                for (int i = std::max(0, x - 1); i <= std::min(w - 1, x + 1); ++i)
                    if (mask[static_cast<std::size_t>(j * w + i)]) {
                        mask[static_cast<std::size_t>(j * w + i)] = false;
                        open.push_back(j * w + i);
                    }
        }
        parts.push_back(
            Rect{top + margin, left + margin, bottom - top + 1 - 2 * margin, right - left + 1 - 2 * margin});
    }
    return parts;
}

} // namespace

int GetSurfaceLabelBoxes(int panel, int control, int pointSize, int margin, std::vector<Rect>* boxes) {
    Q3DSurface* view = ViewOf(panel, control);
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    if (view == nullptr || view->seriesList().isEmpty()) return UIE_BadControl;
    if (boxes == nullptr || margin < 0) return UIE_BadValue;
    Q3DTheme* theme = view->activeTheme();
    QSurface3DSeries* series = view->seriesList().front();
    const QList<QValue3DAxis*> axes{view->axisX(), view->axisY(), view->axisZ()};
    // Each label a solid box on the bare window: the surface's wires drawn in the window's colour, no
    // cursor, grid, walls or titles; afterwards all as it was. The view draws no labels for a grid it has
    // no visible series over, so the series stays.
    const ui::Quiet quiet; // the cursor taken away and given back is no move of the user's
    const QPoint cursor = series->selectedPoint();
    const QSurface3DSeries::DrawFlags drawn = series->drawMode();
    const QColor wires = series->wireframeColor();
    const QFont font = theme->font();
    const bool grid = theme->isGridEnabled(), walls = theme->isBackgroundEnabled();
    const bool labelBoxes = theme->isLabelBackgroundEnabled();
    const QColor labelColor = theme->labelBackgroundColor();
    QList<bool> titles;
    for (QValue3DAxis* axis : axes) {
        titles << axis->isTitleVisible();
        axis->setTitleVisible(false);
    }
    series->setSelectedPoint(QSurface3DSeries::invalidSelectionPosition());
    series->setDrawMode(QSurface3DSeries::DrawWireframe);
    series->setWireframeColor(theme->windowColor());
    theme->setGridEnabled(false);
    theme->setBackgroundEnabled(false);
    theme->setLabelBackgroundEnabled(true);
    theme->setLabelBackgroundColor(Qt::black);
    if (pointSize > 0) theme->setFont(QFont(font.family(), pointSize));
    const QImage image = view->renderToImage(0, c->widget->size());
    theme->setFont(font);
    theme->setLabelBackgroundColor(labelColor);
    theme->setLabelBackgroundEnabled(labelBoxes);
    theme->setBackgroundEnabled(walls);
    theme->setGridEnabled(grid);
    series->setWireframeColor(wires);
    series->setDrawMode(drawn);
    series->setSelectedPoint(cursor);
    for (qsizetype k = 0; k < axes.size(); ++k)
        axes[k]->setTitleVisible(titles[k]);
    *boxes = PartsOf(InkGrown(image, theme->windowColor(), margin), image.width(), image.height(), margin);
    return UIE_NoError;
}

int GetSurfaceAxisLabels(int panel, int control, int axis, std::vector<std::string>* labels) {
    Q3DSurface* view = ViewOf(panel, control);
    if (view == nullptr) return UIE_BadControl;
    if (labels == nullptr) return UIE_BadValue;
    // The view's x runs across, its y up (the values) and its z into the screen (the graph's y).
    QValue3DAxis* shown = axis == 1   ? view->axisX()
                          : axis == 2 ? view->axisZ()
                          : axis == 3 ? view->axisY()
                                      : nullptr;
    if (shown == nullptr) return UIE_BadIndex;
    labels->clear();
    for (const QString& label : shown->labels())
        labels->push_back(ui::FromQt(label));
    return UIE_NoError;
}

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

// The test driver.
#include "platform/ui/uitest.h"

#include "platform/ui/events.h"
#include "platform/ui/layer.h"
#include "platform/ui/tablemodel.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollArea>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace uitest {
namespace {

int TopLevelOf(int panel) {
    const ui::Panel* p = ui::FindPanel(panel);
    while (p != nullptr && !p->window)
        p = ui::FindPanel(p->parent);
    return p ? p->handle : 0;
}

// The panel is on screen, not dimmed, and no modal popup lies over it.
int PanelReachable(int panel) {
    if (ui::FindPanel(panel) == nullptr) return UIE_BadPanel;
    for (const ui::Panel* p = ui::FindPanel(panel); p != nullptr;
         p = p->window ? nullptr : ui::FindPanel(p->parent))
        if (p->dimmed) return kUnreachable;
    if (!ui::PanelShown(panel)) return kUnreachable;
    const int top = ui::TopPopup();
    return top == 0 || top == TopLevelOf(panel) ? UIE_NoError : kUnreachable;
}

enum class Need { Visible, Input };

int Reachable(int panel, int control, Need need) {
    if (const int s = PanelReachable(panel); s != UIE_NoError) return s;
    int status = 0;
    const ui::Control* c = ui::FindControl(panel, control, &status);
    if (c == nullptr) return status;
    if (!c->visible || c->dimmed || (need == Need::Input && !c->IsHot())) return kUnreachable;
    return UIE_NoError;
}

// Text typed into a numeric box, each character a key press, then Enter.
void TypeIntoNumeric(const ui::Control& c, const char* text) {
    auto* box = static_cast<QAbstractSpinBox*>(c.widget.data());
    box->selectAll();
    for (const QChar ch : ui::ToQt(text)) {
        QKeyEvent key(QEvent::KeyPress, ch.toUpper().unicode(), Qt::NoModifier, QString(ch));
        QApplication::sendEvent(box, &key);
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
}

// The user handles a window on screen (drags it or its border), and the display reports the outcome.
int ActOnWindow(int panel, const std::function<void(QWidget&)>& act) {
    if (const int s = PanelReachable(panel); s != UIE_NoError) return s;
    const ui::Panel* p = ui::FindPanel(panel);
    if (!p->window) return kUnreachable;
    act(*p->frame);
    QCoreApplication::processEvents();
    return UIE_NoError;
}

} // namespace

int Click(int panel, int control) {
    if (const int s = Reachable(panel, control, Need::Input); s != UIE_NoError) return s;
    ui::UserClick(panel, control);
    return UIE_NoError;
}

int MouseClick(int panel, int control) {
    if (const int s = Reachable(panel, control, Need::Input); s != UIE_NoError) return s;
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    if (c->widget == nullptr) return UIE_BadControl;
    QTest::mouseClick(c->widget, Qt::LeftButton);
    return UIE_NoError;
}

int SetValueAsUser(int panel, int control, double value) {
    if (const int s = Reachable(panel, control, Need::Input); s != UIE_NoError) return s;
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    if (!c->HoldsNumber() || c->kind == CTRL_TAB || c->kind == CTRL_LED) return UIE_BadValue;
    if (c->kind == CTRL_RING || c->kind == CTRL_RADIO_GROUP) {
        int index = -1;
        GetIndexFromValue(panel, control, &index, value);
        if (index < 0) return UIE_BadValue; // the user can only pick an item
    }
    ui::UserSetNumber(panel, control, value);
    return UIE_NoError;
}

int SetValueAsUser(int panel, int control, const char* text) {
    if (const int s = Reachable(panel, control, Need::Input); s != UIE_NoError) return s;
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    if (text != nullptr && c->kind == CTRL_NUMERIC) {
        TypeIntoNumeric(*c, text);
        return UIE_NoError;
    }
    if (text == nullptr || !c->HoldsText() || c->kind == CTRL_TEXT_MSG) return UIE_BadValue;
    ui::UserTypeText(panel, control, text);
    ui::UserFinishEdit(panel, control);
    return UIE_NoError;
}

int SendKey(int panel, int control, int key) {
    const int s = control == 0 ? PanelReachable(panel) : Reachable(panel, control, Need::Input);
    return s != UIE_NoError ? s : ui::UserKey(panel, control, key);
}

int PressKey(int panel, int control, int key) {
    const int s = Reachable(panel, control, Need::Input);
    return s != UIE_NoError ? s : ui::UserFocusKey(panel, control, key);
}

int SendMouse(int panel, int control, int event, int x, int y) {
    const int s = control == 0 ? PanelReachable(panel) : Reachable(panel, control, Need::Visible);
    return s != UIE_NoError ? s : ui::UserMouse(panel, control, event, x, y);
}

namespace {

// The slider of a slide the user can take; null when there is none.
QSlider* SliderOf(int panel, int control) {
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    return c != nullptr && c->kind == CTRL_NUMERIC_SLIDE ? qobject_cast<QSlider*>(c->widget.data()) : nullptr;
}

// The centre of the handle, in the slider's pixels, with the handle at pos (the slider's own units).
QPoint HandleCentre(const QSlider& s, int pos) {
    QStyleOptionSlider o;
    o.initFrom(&s);
    o.orientation = s.orientation();
    if (o.orientation == Qt::Horizontal) o.state |= QStyle::State_Horizontal;
    o.minimum = s.minimum();
    o.maximum = s.maximum();
    o.sliderPosition = pos;
    o.sliderValue = s.value();
    o.singleStep = s.singleStep();
    o.pageStep = s.pageStep();
    o.tickPosition = s.tickPosition();
    o.tickInterval = s.tickInterval();
    o.upsideDown = o.orientation == Qt::Horizontal
                       ? s.invertedAppearance() != (o.direction == Qt::RightToLeft)
                       : !s.invertedAppearance();
    return s.style()->subControlRect(QStyle::CC_Slider, &o, QStyle::SC_SliderHandle, &s).center();
}

void SendSliderMouse(QSlider& s, QEvent::Type type, QPoint at) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(at), QPointF(s.mapToGlobal(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&s, &e);
}

} // namespace

int GrabSlide(int panel, int control) {
    if (const int s = Reachable(panel, control, Need::Input); s != UIE_NoError) return s;
    QSlider* s = SliderOf(panel, control);
    if (s == nullptr) return UIE_BadAttribute;
    SendSliderMouse(*s, QEvent::MouseButtonPress, HandleCentre(*s, s->sliderPosition()));
    return s->isSliderDown() ? UIE_NoError : kUnreachable;
}

int MoveSlide(int panel, int control, double value) {
    QSlider* s = SliderOf(panel, control);
    if (s == nullptr || !s->isSliderDown()) return kUnreachable; // no handle in the user's hand
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    const int pos = static_cast<int>(
        std::lround(std::clamp(value * std::pow(10.0, c->precision), static_cast<double>(s->minimum()),
                               static_cast<double>(s->maximum()))));
    SendSliderMouse(*s, QEvent::MouseMove, HandleCentre(*s, pos));
    return UIE_NoError;
}

int ReleaseSlide(int panel, int control) {
    QSlider* s = SliderOf(panel, control);
    if (s == nullptr) return UIE_BadControl;
    SendSliderMouse(*s, QEvent::MouseButtonRelease, HandleCentre(*s, s->sliderPosition()));
    return UIE_NoError;
}

int FireTimer(int panel, int control) {
    int status = 0;
    const ui::Control* c = ui::FindControl(panel, control, &status);
    if (c == nullptr) return status;
    if (c->kind != CTRL_TIMER) return UIE_BadAttribute;
    return ui::TimerTick(panel, control) ? 1 : 0;
}

int ClosePanel(int panel) {
    if (const int s = PanelReachable(panel); s != UIE_NoError) return s;
    if (!ui::FindPanel(panel)->window) return kUnreachable; // only windows have a close box
    return ui::SendPanelEvent(panel, EVENT_CLOSE, 0, 0);
}

int SelectTab(int panel, int control, int index) {
    if (const int s = Reachable(panel, control, Need::Input); s != UIE_NoError) return s;
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    if (c->kind != CTRL_TAB) return UIE_BadAttribute;
    if (index < 0 || index >= static_cast<int>(c->tabs.size())) return UIE_BadIndex;
    ui::UserSelectTab(panel, control, index);
    return UIE_NoError;
}

namespace {

int ReachableCell(int panel, int control, Point cell) {
    if (const int s = Reachable(panel, control, Need::Visible); s != UIE_NoError) return s;
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    if (c->kind != CTRL_TABLE) return UIE_BadAttribute;
    const ui::Table& t = *c->table;
    if (cell.x < 1 || cell.x > t.cols || cell.y < 1 || cell.y > t.rows) return UIE_BadIndex;
    return UIE_NoError;
}

} // namespace

int SelectTableCell(int panel, int control, Point cell) {
    if (const int s = ReachableCell(panel, control, cell); s != UIE_NoError) return s;
    // The view makes the clicked cell the active one, then the only selected one.
    ui::UserSelectCell(panel, control, cell);
    return SetTableSelection(panel, control, {cell.y, cell.x, 1, 1});
}

int DragTableSelection(int panel, int control, Point from, Point to) {
    if (const int s = ReachableCell(panel, control, to); s != UIE_NoError) return s;
    if (const int s = SelectTableCell(panel, control, from); s != UIE_NoError) return s;
    ui::UserSelectCell(panel, control, to);
    return SetTableSelection(panel, control,
                             {std::min(from.y, to.y), std::min(from.x, to.x), std::abs(to.y - from.y) + 1,
                              std::abs(to.x - from.x) + 1});
}

int EditTableCell(int panel, int control, Point cell, const char* text) {
    if (const int s = ReachableCell(panel, control, cell); s != UIE_NoError) return s;
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    if (!(c->model->flags(c->model->index(cell.y - 1, cell.x - 1)) & Qt::ItemIsEditable)) return kUnreachable;
    if (text == nullptr) return UIE_BadValue;
    return ui::UserEditCell(panel, control, cell, text) ? UIE_NoError : UIE_BadValue;
}

int OpenTableCellEditor(int panel, int control, Point cell) {
    if (const int s = ReachableCell(panel, control, cell); s != UIE_NoError) return s;
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    auto* view = static_cast<QTableView*>(c->widget.data());
    const QModelIndex index = c->model->index(cell.y - 1, cell.x - 1);
    if (!(c->model->flags(index) & Qt::ItemIsEditable)) return kUnreachable;
    view->setCurrentIndex(index);
    view->openPersistentEditor(index);
    QWidget* editor = view->indexWidget(index);
    if (editor == nullptr) return kUnreachable;
    editor->setFocus();
    return UIE_NoError;
}

int DoubleClickTableCell(int panel, int control, Point cell) {
    if (const int s = ReachableCell(panel, control, cell); s != UIE_NoError) return s;
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    auto* view = static_cast<QTableView*>(c->widget.data());
    const QModelIndex index = c->model->index(cell.y - 1, cell.x - 1);
    view->scrollTo(index);
    QWidget* port = view->viewport();
    const QPointF at = view->visualRect(index).center();
    const QPointF global = port->mapToGlobal(at);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent e(type, at, global, Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(port, &e);
    }
    return UIE_NoError;
}

void CloseTableCellEditor(int panel, int control) {
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    if (c == nullptr) return;
    auto* view = static_cast<QTableView*>(c->widget.data());
    view->closePersistentEditor(view->currentIndex());
    view->setFocus();
    QApplication::processEvents();
}

int GetTableCellPoint(int panel, int control, Point cell, Point* pixel) {
    if (const int s = ReachableCell(panel, control, cell); s != UIE_NoError) return s;
    if (pixel == nullptr) return UIE_BadValue;
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    auto* view = static_cast<QTableView*>(c->widget.data());
    const QRect r = view->visualRect(c->model->index(cell.y - 1, cell.x - 1));
    const QPoint at = view->viewport()->mapTo(view->parentWidget(), r.center());
    *pixel = {at.x(), at.y()};
    return UIE_NoError;
}

void Later(std::function<void()> action) {
    ui::EnsureApp();
    QTimer::singleShot(0, qApp, std::move(action));
}

void EndTask() {
    ui::EndTask();
}

std::string ShownText(int panel, int control) {
    const ui::Control* c = ui::FindControl(panel, control, nullptr);
    if (c == nullptr || c->kind != CTRL_NUMERIC || !c->widget) return "";
    return ui::FromQt(static_cast<QAbstractSpinBox*>(c->widget.data())->text());
}

bool IsPanelVisible(int panel) {
    return ui::PanelShown(panel);
}

bool IsPopupInstalled(int panel) {
    return ui::IsPopup(panel);
}

int ResizeWindow(int panel, int w, int h) {
    return ActOnWindow(panel, [w, h](QWidget& window) { window.resize(w, h); });
}

int MoveWindow(int panel, int left, int top) {
    return ActOnWindow(panel, [left, top](QWidget& window) { window.move(left, top); });
}

int GetWindowFrame(int panel, Rect* frame) {
    const ui::Panel* p = ui::FindPanel(panel);
    if (p == nullptr) return UIE_BadPanel;
    if (frame == nullptr) return UIE_BadValue;
    const QRect r = p->frame->window()->frameGeometry();
    *frame = {r.top(), r.left(), r.height(), r.width()};
    return UIE_NoError;
}

int ZoomWindow(int panel, int zoom) {
    if (const int s = PanelReachable(panel); s != UIE_NoError) return s;
    const ui::Panel* p = ui::FindPanel(panel);
    if (!p->window) return kUnreachable;
    if (zoom != VAL_NO_ZOOM && zoom != VAL_MAXIMIZE) return UIE_BadValue;
    if (zoom == VAL_MAXIMIZE)
        p->frame->showMaximized();
    else
        p->frame->showNormal();
    QCoreApplication::processEvents();
    return UIE_NoError;
}

int ActivateWindow(int panel) {
    if (const int s = PanelReachable(panel); s != UIE_NoError) return s;
    if (!ui::FindPanel(panel)->window) return kUnreachable;
    ui::WindowActivated(panel);
    return UIE_NoError;
}

int GrabPanelToPng(int panel, const char* path) {
    const ui::Panel* p = ui::FindPanel(panel);
    if (p == nullptr) return UIE_BadPanel;
    if (path == nullptr) return UIE_File;
    p->frame->ensurePolished();
    QCoreApplication::sendPostedEvents();
    QPixmap image = p->frame->grab();
    ui::PaintSurfaceViews(*p, image);
    return image.save(QString::fromLocal8Bit(path), "PNG") ? UIE_NoError : UIE_File;
}

} // namespace uitest

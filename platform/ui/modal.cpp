// Panels shown as application-modal dialogs; the program's loop keeps running while they show. Where
// every popup opens: over the window it belongs to, centred on it, on the screen; and where a window of
// the program opens first: beside the window at work.
#include "platform/ui/layer.h"

#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <algorithm>
#include <vector>

namespace ui {
namespace {

struct Opened {
    int panel;
    FocusPlace before; // where the keyboard was as it opened
};
std::vector<Opened> popups; // bottom to top
int openingFocus = 0;       // the popup whose first choice gets the focus once the program waits for the user
FocusPlace givenBack;       // where the keyboard went as the last popup closed

void Unshow(int panel) {
    Panel* p = FindPanel(panel);
    if (p == nullptr) return;
    p->visible = false;
    p->frame->hide();
    p->frame->setWindowModality(Qt::NonModal);
}

bool TakesFocus(const QWidget& w) {
    return w.isVisible() && w.isEnabled() && w.focusPolicy() != Qt::NoFocus;
}

// The first control of the panel that Tab reaches.
QWidget* FirstChoice(const Panel& p) {
    for (QWidget* w = p.canvas->nextInFocusChain(); w != nullptr && w != p.canvas; w = w->nextInFocusChain())
        if (p.canvas->isAncestorOf(w) && TakesFocus(*w) && (w->focusPolicy() & Qt::TabFocus)) return w;
    return nullptr;
}

void GiveFirstChoice(int panel) {
    const Panel* p = FindPanel(panel);
    QWidget* first = p != nullptr && p->visible ? FirstChoice(*p) : nullptr;
    if (first == nullptr) return;
    first->setFocus(Qt::TabFocusReason);
    // Put there without the user's Tab, the focus must show where it is.
    ShowFocusFrames(*p->frame);
}

} // namespace

int TopPopup() {
    return popups.empty() ? 0 : popups.back().panel;
}

bool IsPopup(int panel) {
    return std::ranges::find(popups, panel, &Opened::panel) != popups.end();
}

void ForgetPopup(int panel) {
    std::erase_if(popups, [panel](const Opened& o) { return o.panel == panel; });
}

FocusPlace NoteFocus() {
    QWidget* focus = QApplication::focusWidget();
    // A popup closed just now and the display has yet to report the window under it active again: the
    // keyboard is where the popup gave it back, not on the hidden popup.
    if ((focus == nullptr || !focus->isVisible()) && givenBack.control != nullptr) return givenBack;
    return {focus, QApplication::activeWindow()};
}

void GiveFocusBack(const FocusPlace& place) {
    givenBack = place;
    if (place.control != nullptr && TakesFocus(*place.control)) {
        place.control->setFocus(Qt::ActiveWindowFocusReason);
        place.control->window()->activateWindow();
    } else if (place.window != nullptr && place.window->isVisible()) {
        place.window->activateWindow();
    }
}

void SettleOpeningFocus() {
    if (openingFocus != 0 && openingFocus == TopPopup()) GiveFirstChoice(openingFocus);
    openingFocus = 0;
}

void KeepChosenFocus(int panel) {
    if (panel == openingFocus) openingFocus = 0;
}

void ShowFocusFrames(QWidget& window) {
    window.setAttribute(Qt::WA_KeyboardFocusChange);
}

QWidget* PopupOwner() {
    const int top = TopPopup();
    const Panel* p = FindPanel(top != 0 ? top : GetActivePanel());
    // A popup closed just now leaves the panel at work hidden: the window it stood over is at work again.
    for (QWidget* w = p != nullptr ? p->frame->window() : nullptr; w != nullptr;
         w = w->parentWidget() != nullptr ? w->parentWidget()->window() : nullptr)
        if (w->isVisible()) return w;
    // The display reports a window active until its news of the window's closing arrives, and one that
    // opened and closed at once may be reported active only after it closed: a popup owned by such a
    // window would go with it.
    QWidget* active = QApplication::activeWindow();
    return active != nullptr && active->isVisible() ? active : nullptr;
}

QRect KeptOnScreen(QRect place, const QWidget& on) {
    const QRect area = on.screen()->availableGeometry();
    // Larger than the area, the window keeps its top left corner in, where its title bar is.
    place.moveLeft(std::max(std::min(place.left(), area.right() + 1 - place.width()), area.left()));
    place.moveTop(std::max(std::min(place.top(), area.bottom() + 1 - place.height()), area.top()));
    return place;
}

void CentreOnOwner(QWidget& popup, const QWidget* owner) {
    if (owner == nullptr) return;
    QRect place = popup.frameGeometry();
    place.moveCenter(owner->frameGeometry().center());
    popup.move(KeptOnScreen(place, *owner).topLeft());
}

void PlaceBesideOwner(QWidget& window, const QWidget* owner) {
    if (owner == nullptr || owner == &window) return;
    const QRect beside = owner->frameGeometry();
    QRect right = window.frameGeometry();
    QRect left = right;
    right.moveTopLeft({beside.right() + 1, beside.top()});
    left.moveTopRight({beside.left() - 1, beside.top()});
    right = KeptOnScreen(right, *owner);
    left = KeptOnScreen(left, *owner);
    const auto hidden = [&beside](const QRect& place) { return place.intersected(beside).width(); };
    window.move((hidden(left) < hidden(right) ? left : right).topLeft());
}

} // namespace ui

int InstallPopup(int panel) {
    ui::Panel* p = ui::FindPanel(panel);
    if (p == nullptr) return UIE_BadPanel;
    ui::ForgetPopup(panel);
    // A child panel's popup belongs to its parent's window, a window's to the window at work.
    const QWidget* parent = p->frame->parentWidget();
    QWidget* owner = parent != nullptr ? parent->window() : ui::PopupOwner();
    if (owner == p->frame.data()) owner = nullptr;
    if (!p->window) {
        // A child panel becomes a dialog over its parent's window, where its place in the parent means
        // nothing.
        p->frame->setParent(owner, Qt::Dialog);
        p->window = true;
        p->placed = false;
        ui::PlaceFrame(*p);
        ui::ApplyZoom(*p);
    }
    const bool centred = !p->placed && p->zoom == VAL_NO_ZOOM;
    // Near its place before it shows; exactly once the window system gave it its frame.
    if (centred) ui::CentreOnOwner(*p->frame, owner);
    p->frame->hide(); // modality changes only on a hidden window
    p->frame->setWindowModality(Qt::ApplicationModal);
    ui::popups.push_back({panel, ui::NoteFocus()});
    const int status = DisplayPanel(panel);
    if (status != UIE_NoError) return status;
    if (centred) ui::CentreOnOwner(*p->frame, owner); // the record follows the move
    ui::GiveFirstChoice(panel);
    ui::openingFocus = panel;
    return status;
}

int RemovePopup(int removeAll) {
    if (ui::popups.empty()) return UIE_NotPopup;
    ui::FocusPlace back;
    do {
        const ui::Opened top = ui::popups.back();
        ui::popups.pop_back();
        ui::Unshow(top.panel);
        back = top.before; // the lowest one removed: where the keyboard was before them all
    } while (removeAll != 0 && !ui::popups.empty());
    if (!ui::IsPopup(ui::openingFocus)) ui::openingFocus = 0;
    ui::GiveFocusBack(back);
    return UIE_NoError;
}

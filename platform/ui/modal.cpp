// Panels shown as application-modal dialogs; the program's loop keeps running while they show.
#include "platform/ui/layer.h"

#include <QScrollArea>
#include <algorithm>
#include <vector>

namespace ui {
namespace {

std::vector<int> popups; // bottom to top

void Unshow(int panel) {
    Panel* p = FindPanel(panel);
    if (p == nullptr) return;
    p->visible = false;
    p->frame->hide();
    p->frame->setWindowModality(Qt::NonModal);
}

} // namespace

int TopPopup() {
    return popups.empty() ? 0 : popups.back();
}

bool IsPopup(int panel) {
    return std::find(popups.begin(), popups.end(), panel) != popups.end();
}

void ForgetPopup(int panel) {
    std::erase(popups, panel);
}

} // namespace ui

int InstallPopup(int panel) {
    ui::Panel* p = ui::FindPanel(panel);
    if (p == nullptr) return UIE_BadPanel;
    ui::ForgetPopup(panel);
    if (!p->window) {
        // A child panel becomes a dialog over its parent's window, centred on it.
        QWidget* owner = p->frame->parentWidget()->window();
        p->frame->setParent(owner, Qt::Dialog);
        p->window = true;
        p->x = owner->x() + (owner->width() - p->w) / 2;
        p->y = owner->y() + (owner->height() - p->h) / 2;
        ui::PlaceFrame(*p);
        ui::ApplyZoom(*p);
    }
    p->frame->hide(); // modality changes only on a hidden window
    p->frame->setWindowModality(Qt::ApplicationModal);
    ui::popups.push_back(panel);
    return DisplayPanel(panel);
}

int RemovePopup(int removeAll) {
    if (ui::popups.empty()) return UIE_NotPopup;
    do {
        const int top = ui::popups.back();
        ui::popups.pop_back();
        ui::Unshow(top);
    } while (removeAll != 0 && !ui::popups.empty());
    return UIE_NoError;
}

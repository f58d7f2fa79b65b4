// User actions: the record changes first, the widget shows it, then the callbacks hear of it.
#include "platform/ui/events.h"
#include "platform/ui/layer.h"
#include "platform/ui/numberbox.h"
#include "platform/ui/tablemodel.h"

namespace ui {

void UserPress(int panel, int control) {
    Control* c = FindControl(panel, control, nullptr);
    if (c == nullptr || IsQuiet() || !c->IsHot() || c->dimmed) return;
    switch (c->kind) {
    case CTRL_TOGGLE_BUTTON:
        UserSetNumber(panel, control, c->number != 0 ? 0 : 1);
        break;
    case CTRL_COMMAND_BUTTON:
    case CTRL_PICTURE:
        SendCtrlEvent(panel, control, EVENT_COMMIT, 0, 0);
        break;
    default:
        break;
    }
}

int UserClick(int panel, int control) {
    const Control* c = FindControl(panel, control, nullptr);
    if (c == nullptr) return 0;
    const int consumed = UserMouse(panel, control, EVENT_LEFT_CLICK, c->x + c->w / 2, c->y + c->h / 2);
    if (!consumed) UserPress(panel, control);
    return consumed;
}

void UserSetNumber(int panel, int control, double value) {
    Control* c = FindControl(panel, control, nullptr);
    if (c == nullptr || IsQuiet()) return;
    if (c->kind == CTRL_NUMERIC || c->kind == CTRL_NUMERIC_SLIDE) value = HeldToRange(value, c->min, c->max);
    c->number = value;
    SyncValue(*c); // shows the clamped value
    SendCtrlEvent(panel, control, EVENT_VAL_CHANGED, 0, 0);
    SendCtrlEvent(panel, control, EVENT_COMMIT, 0, 0);
}

void UserTypeText(int panel, int control, const std::string& text) {
    Control* c = FindControl(panel, control, nullptr);
    if (c == nullptr || IsQuiet() || c->text == text) return;
    c->text = c->maxLength > 0 && static_cast<int>(text.size()) > c->maxLength
                  ? text.substr(0, static_cast<std::size_t>(c->maxLength))
                  : text;
    c->editDirty = true;
    SyncValue(*c);
    SendCtrlEvent(panel, control, EVENT_VAL_CHANGED, 0, 0);
}

void UserFinishEdit(int panel, int control) {
    Control* c = FindControl(panel, control, nullptr);
    if (c == nullptr || !c->editDirty) return;
    c->editDirty = false;
    SendCtrlEvent(panel, control, EVENT_COMMIT, 0, 0);
}

void UserSelectTab(int panel, int control, int index) {
    Control* c = FindControl(panel, control, nullptr);
    if (c == nullptr || IsQuiet()) return;
    const int old = static_cast<int>(c->number);
    if (index == old || index < 0 || index >= static_cast<int>(c->tabs.size())) return;
    c->number = index;
    SyncValue(*c);
    SendCtrlEvent(panel, control, EVENT_ACTIVE_TAB_CHANGE, old, index);
}

void UserSelectCell(int panel, int control, Point cell) {
    Control* c = FindControl(panel, control, nullptr);
    if (c == nullptr || IsQuiet() || c->table->active == cell) return;
    c->table->active = cell;
    ShowTableCursor(*c);
    SendCtrlEvent(panel, control, EVENT_ACTIVE_CELL_CHANGE, cell.y, cell.x);
}

bool UserEditCell(int panel, int control, Point cell, const std::string& text) {
    Control* c = FindControl(panel, control, nullptr);
    if (c == nullptr) return false;
    Cell& target = c->table->At(cell.y - 1, cell.x - 1);
    if (target.type == VAL_CELL_NUMERIC) {
        const std::optional<double> v = TypedNumber(ToQt(text));
        if (!v) return false;
        target.number = HeldToRange(*v, target.min, target.max);
    } else {
        target.text = text;
    }
    c->model->CellsChanged(cell.y - 1, cell.x - 1, cell.y - 1, cell.x - 1);
    SendCtrlEvent(panel, control, EVENT_VAL_CHANGED, cell.y, cell.x);
    SendCtrlEvent(panel, control, EVENT_COMMIT, cell.y, cell.x);
    return true;
}

void UserLetGo(int panel, int control, std::optional<double> moved) {
    Control* c = FindControl(panel, control, nullptr);
    if (c == nullptr) return;
    if (moved && c->visible && !c->dimmed && !IsQuiet())
        UserSetNumber(panel, control, *moved);
    else
        SyncValue(*c);
}

void UserFinishNumber(int panel, int control) {
    const Control* c = FindControl(panel, control, nullptr);
    if (c == nullptr || c->kind != CTRL_NUMERIC || !c->widget) return;
    auto* box = static_cast<NumberBox*>(c->widget.data());
    box->interpretText(); // commits a number changed from the box's own
    // The program set a value while the user typed: the number typed is the user's even where it equals
    // the one the box held before; one equal to the program's is no change.
    if (box->TakeHeldForEntry())
        UserLetGo(panel, control, box->Shows(c->number) ? std::nullopt : std::optional(box->value()));
}

namespace {

// What Enter does (a dialog's button, say) works on the value typed, not on the one before it.
void FinishTyping(int panel, int control) {
    const Control* c = FindControl(panel, control, nullptr);
    if (c == nullptr) return;
    if (c->kind == CTRL_NUMERIC)
        UserFinishNumber(panel, control);
    else
        UserFinishEdit(panel, control);
}

// Enter on a command button that has the focus is the button's own key, as Space is: it presses it.
bool PressesButton(int panel, int control, int key) {
    const Control* c = FindControl(panel, control, nullptr);
    return key == VAL_ENTER_VKEY && c != nullptr && c->kind == CTRL_COMMAND_BUTTON && c->IsHot() &&
           c->visible && !c->dimmed;
}

// The function keys are the commands of the page being worked on: the pages shown inside the panel hear
// them first (a window's own controls, its buttons, have the focus after a click on them), the innermost
// first, then the panel itself. true when one consumed the key.
bool PageTakesFunctionKey(int panel, int key) {
    const std::vector<int> shown = ShownWithin(panel);
    // A page's callback may hide the others: only those still shown hear it.
    for (auto page = shown.rbegin(); page != shown.rend() - 1; ++page)
        if (PanelShown(*page) && SendPanelEvent(*page, EVENT_KEYPRESS, key, 0) != 0) return true;
    return SendPanelEvent(panel, EVENT_KEYPRESS, key, 0) != 0;
}

} // namespace

int UserKey(int panel, int control, int key) {
    if (InOperationPump()) return 1; // dropped whole: see heldinput.cpp
    if (control != 0 && (key & ~VAL_MODIFIER_MASK) == VAL_ENTER_VKEY) FinishTyping(panel, control);
    // The page's callback hears a function key first, whichever control has the focus (a control that
    // consumes every key it types with would hide them), and the control gets those the page leaves.
    const bool functionKey = IsFunctionKey(key & ~VAL_MODIFIER_MASK);
    if (functionKey && PageTakesFunctionKey(panel, key)) return 1;
    if (control != 0 && SendCtrlEvent(panel, control, EVENT_KEYPRESS, key, 0) != 0) return 1;
    if (PressesButton(panel, control, key)) {
        UserPress(panel, control);
        return 1;
    }
    return !functionKey && SendPanelEvent(panel, EVENT_KEYPRESS, key, 0) != 0 ? 1 : 0;
}

int UserMouse(int panel, int control, int event, int x, int y) {
    if (InOperationPump()) {
        if (event == EVENT_LEFT_CLICK_UP || event == EVENT_RIGHT_CLICK_UP)
            HoldUntilDone([=] { UserMouse(panel, control, event, x, y); });
        return 1; // a press or a move: dropped whole
    }
    NoteMouse(panel, x, y);
    return control != 0 ? SendCtrlEvent(panel, control, event, y, x) : SendPanelEvent(panel, event, y, x);
}

} // namespace ui

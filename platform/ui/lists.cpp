// List items of rings and radio groups, tab pages, radio options and password fields.
#include "platform/ui/layer.h"

#include "platform/sys/textout.h"

#include <cmath>

namespace ui {
namespace {

struct ListRef {
    Control* control = nullptr;
    int status = UIE_NoError;
};

ListRef GetList(int panel, int control) {
    ListRef r;
    r.control = FindControl(panel, control, &r.status);
    if (r.control != nullptr && r.control->kind != CTRL_RING && r.control->kind != CTRL_RADIO_GROUP) {
        r.control = nullptr;
        r.status = UIE_BadAttribute;
    }
    return r;
}

bool InList(const Control& c, int index) {
    return index >= 0 && index < static_cast<int>(c.items.size());
}

void ShowList(Control& c) {
    SyncItems(c);
    SyncLook(c);
    SyncValue(c);
}

int ItemValue(int panel, int control, int index, double* value) {
    const ListRef r = GetList(panel, control);
    if (!r.control) return r.status;
    if (!InList(*r.control, index)) return UIE_BadIndex;
    if (value == nullptr) return UIE_BadValue;
    *value = r.control->items[static_cast<std::size_t>(index)].value;
    return UIE_NoError;
}

Control* GetKind(int panel, int control, UiCtrlKind kind, int* status) {
    Control* c = FindControl(panel, control, status);
    if (c != nullptr && c->kind != kind) {
        *status = UIE_BadAttribute;
        return nullptr;
    }
    return c;
}

} // namespace
} // namespace ui

using ui::GetList;
using ui::ListRef;

int InsertListItem(int panel, int control, int index, const char* label, double value) {
    const ListRef r = GetList(panel, control);
    if (!r.control) return r.status;
    auto& items = r.control->items;
    if (index == -1) index = static_cast<int>(items.size());
    if (index < 0 || index > static_cast<int>(items.size())) return UIE_BadIndex;
    if (label == nullptr || !std::isfinite(value)) return UIE_BadValue;
    items.insert(items.begin() + index, {label, value});
    ui::ShowList(*r.control);
    return UIE_NoError;
}

int DeleteListItem(int panel, int control, int index, int count) {
    const ListRef r = GetList(panel, control);
    if (!r.control) return r.status;
    auto& items = r.control->items;
    const int size = static_cast<int>(items.size());
    if (index < 0 || index >= size || count < -1) return UIE_BadIndex;
    if (count == -1 || index + count > size) count = size - index;
    items.erase(items.begin() + index, items.begin() + index + count);
    ui::ShowList(*r.control);
    return UIE_NoError;
}

int ClearListCtrl(int panel, int control) {
    const ListRef r = GetList(panel, control);
    if (!r.control) return r.status;
    r.control->items.clear();
    ui::ShowList(*r.control);
    return UIE_NoError;
}

int GetNumListItems(int panel, int control, int* count) {
    const ListRef r = GetList(panel, control);
    if (!r.control) return r.status;
    if (count == nullptr) return UIE_BadValue;
    *count = static_cast<int>(r.control->items.size());
    return UIE_NoError;
}

int GetCtrlIndex(int panel, int control, int* index) {
    const ListRef r = GetList(panel, control);
    if (!r.control) return r.status;
    if (index == nullptr) return UIE_BadValue;
    return GetIndexFromValue(panel, control, index, r.control->number);
}

int SetCtrlIndex(int panel, int control, int index) {
    const ListRef r = GetList(panel, control);
    if (!r.control) return r.status;
    if (!ui::InList(*r.control, index)) return UIE_BadIndex;
    r.control->number = r.control->items[static_cast<std::size_t>(index)].value;
    ui::SyncValue(*r.control);
    return UIE_NoError;
}

int GetValueFromIndex(int panel, int control, int index, double* value) {
    return ui::ItemValue(panel, control, index, value);
}

int GetValueFromIndex(int panel, int control, int index, int* value) {
    double v = 0;
    const int s = ui::ItemValue(panel, control, index, &v);
    return s != UIE_NoError ? s : ui::StoreInteger(v, value);
}

int GetValueFromIndex(int panel, int control, int index, short* value) {
    double v = 0;
    const int s = ui::ItemValue(panel, control, index, &v);
    return s != UIE_NoError ? s : ui::StoreInteger(v, value);
}

int GetLabelFromIndex(int panel, int control, int index, std::span<char> label) {
    const ListRef r = GetList(panel, control);
    if (!r.control) return r.status;
    if (!ui::InList(*r.control, index)) return UIE_BadIndex;
    return CopyText(r.control->items[static_cast<std::size_t>(index)].label, label) ? UIE_NoError
                                                                                    : UIE_BadValue;
}

int GetIndexFromValue(int panel, int control, int* index, double value) {
    const ListRef r = GetList(panel, control);
    if (!r.control) return r.status;
    if (index == nullptr) return UIE_BadValue;
    *index = -1;
    const auto& items = r.control->items;
    for (std::size_t i = 0; i < items.size() && *index < 0; ++i)
        if (items[i].value == value) *index = static_cast<int>(i);
    return UIE_NoError;
}

int ReplaceListItem(int panel, int control, int index, const char* label, double value) {
    const ListRef r = GetList(panel, control);
    if (!r.control) return r.status;
    if (!ui::InList(*r.control, index)) return UIE_BadIndex;
    if (label == nullptr || !std::isfinite(value)) return UIE_BadValue;
    r.control->items[static_cast<std::size_t>(index)] = {label, value};
    ui::ShowList(*r.control);
    return UIE_NoError;
}

int SetActiveTabPage(int panel, int control, int index) {
    int status = 0;
    ui::Control* c = ui::GetKind(panel, control, CTRL_TAB, &status);
    return c == nullptr ? status : SetCtrlVal(panel, control, index);
}

int GetActiveTabPage(int panel, int control, int* index) {
    int status = 0;
    ui::Control* c = ui::GetKind(panel, control, CTRL_TAB, &status);
    return c == nullptr ? status : GetCtrlVal(panel, control, index);
}

int Radio_SetMarkedOption(int panel, int control, int option) {
    int status = 0;
    ui::Control* c = ui::GetKind(panel, control, CTRL_RADIO_GROUP, &status);
    return c == nullptr ? status : SetCtrlIndex(panel, control, option);
}

int Radio_GetMarkedOption(int panel, int control, int* option) {
    int status = 0;
    ui::Control* c = ui::GetKind(panel, control, CTRL_RADIO_GROUP, &status);
    return c == nullptr ? status : GetCtrlIndex(panel, control, option);
}

int PasswordCtrl_ConvertFromString(int panel, int control) {
    int status = 0;
    ui::Control* c = ui::FindControl(panel, control, &status);
    if (c == nullptr) return status;
    if (c->kind != CTRL_STRING && c->kind != CTRL_PASSWORD) return UIE_BadAttribute;
    c->kind = CTRL_PASSWORD;
    ui::SyncLook(*c);
    return UIE_NoError;
}

int PasswordCtrl_SetAttribute(int panel, int control, int attribute, int value) {
    int status = 0;
    if (ui::GetKind(panel, control, CTRL_PASSWORD, &status) == nullptr) return status;
    if (attribute != ATTR_PASSWORD_MAX_LENGTH)
        return attribute == ATTR_PASSWORD_VAL ? UIE_BadValue : UIE_BadAttribute;
    return SetCtrlAttribute(panel, control, ATTR_MAX_ENTRY_LENGTH, value);
}

int PasswordCtrl_SetAttribute(int panel, int control, int attribute, const char* value) {
    int status = 0;
    if (ui::GetKind(panel, control, CTRL_PASSWORD, &status) == nullptr) return status;
    if (attribute != ATTR_PASSWORD_VAL)
        return attribute == ATTR_PASSWORD_MAX_LENGTH ? UIE_BadValue : UIE_BadAttribute;
    return SetCtrlVal(panel, control, value);
}

int PasswordCtrl_GetAttribute(int panel, int control, int attribute, int* value) {
    int status = 0;
    if (ui::GetKind(panel, control, CTRL_PASSWORD, &status) == nullptr) return status;
    if (attribute != ATTR_PASSWORD_MAX_LENGTH)
        return attribute == ATTR_PASSWORD_VAL ? UIE_BadValue : UIE_BadAttribute;
    return GetCtrlAttribute(panel, control, ATTR_MAX_ENTRY_LENGTH, value);
}

int PasswordCtrl_GetAttribute(int panel, int control, int attribute, std::span<char> value) {
    int status = 0;
    if (ui::GetKind(panel, control, CTRL_PASSWORD, &status) == nullptr) return status;
    if (attribute != ATTR_PASSWORD_VAL)
        return attribute == ATTR_PASSWORD_MAX_LENGTH ? UIE_BadValue : UIE_BadAttribute;
    return GetCtrlVal(panel, control, value);
}

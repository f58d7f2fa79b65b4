// Control values and attributes, kept in the control's record and then shown.
#include "platform/ui/layer.h"

#include "platform/sys/textout.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <QWidget>
#include <cmath>

namespace ui {
namespace {

// A table's horizontal scroll bar; the view keeps the offset within what it can scroll.
QScrollBar* HorizontalBar(const Control& c) {
    auto* view = qobject_cast<QAbstractScrollArea*>(c.widget.data());
    return view != nullptr ? view->horizontalScrollBar() : nullptr;
}

int GetNumber(int panel, int control, double* value) {
    int status = 0;
    const Control* c = FindControl(panel, control, &status);
    if (c == nullptr) return status;
    if (!c->HoldsNumber() || value == nullptr) return UIE_BadValue;
    *value = c->number;
    return UIE_NoError;
}

template <typename T> int GetInteger(int panel, int control, T* value) {
    double v = 0;
    const int s = GetNumber(panel, control, &v);
    return s != UIE_NoError ? s : StoreInteger(v, value);
}

bool Is(const Control& c, std::initializer_list<UiCtrlKind> kinds) {
    for (const UiCtrlKind k : kinds)
        if (c.kind == k) return true;
    return false;
}

int SetNumberAttr(Control& c, int attribute, double v) {
    const auto flag = [&](bool& field) {
        // A periodic page sets the same state tick after tick: nothing to show when nothing changes.
        if (field == (v != 0)) return UIE_NoError;
        field = v != 0;
        SyncLook(c);
        return UIE_NoError;
    };
    const auto number = [&](double& field, std::initializer_list<UiCtrlKind> kinds) {
        if (!Is(c, kinds)) return UIE_BadAttribute;
        if (field == v) return UIE_NoError; // pages set their ranges again on every fill
        field = v;
        SyncLook(c);
        SyncValue(c);
        return UIE_NoError;
    };
    const auto color = [&](int& field) {
        if (v < 0 || v > 0xFFFFFF) return UIE_BadValue;
        field = static_cast<int>(v);
        SyncLook(c);
        SyncValue(c);
        return UIE_NoError;
    };
    switch (attribute) {
    case ATTR_VISIBLE:
        if (c.kind == CTRL_TIMER) return UIE_BadAttribute;
        flag(c.visible);
        if (Panel* p = FindPanel(c.panel)) FitCanvas(*p);
        return UIE_NoError;
    case ATTR_DIMMED:
        return flag(c.dimmed);
    case ATTR_TEXT_BOLD:
        return flag(c.bold);
    case ATTR_TOP:
    case ATTR_LEFT:
    case ATTR_WIDTH:
    case ATTR_HEIGHT: {
        if ((attribute == ATTR_WIDTH || attribute == ATTR_HEIGHT) && v < 0) return UIE_BadValue;
        int& field = attribute == ATTR_TOP     ? c.y
                     : attribute == ATTR_LEFT  ? c.x
                     : attribute == ATTR_WIDTH ? c.w
                                               : c.h;
        field = static_cast<int>(v);
        SyncLook(c);
        if (Panel* p = FindPanel(c.panel)) FitCanvas(*p);
        return UIE_NoError;
    }
    case ATTR_TEXT_COLOR:
        return color(c.textColor);
    case ATTR_TEXT_BGCOLOR:
        return color(c.bgColor);
    case ATTR_ON_COLOR:
        if (!Is(c, {CTRL_TOGGLE_BUTTON, CTRL_LED})) return UIE_BadAttribute;
        return color(c.onColor);
    case ATTR_OFF_COLOR:
        if (!Is(c, {CTRL_TOGGLE_BUTTON, CTRL_LED})) return UIE_BadAttribute;
        return color(c.offColor);
    case ATTR_MIN_VALUE:
        return number(c.min, {CTRL_NUMERIC, CTRL_NUMERIC_SLIDE});
    case ATTR_MAX_VALUE:
        return number(c.max, {CTRL_NUMERIC, CTRL_NUMERIC_SLIDE});
    case ATTR_INCR_VALUE:
        if (v <= 0) return UIE_BadValue;
        return number(c.inc, {CTRL_NUMERIC, CTRL_NUMERIC_SLIDE});
    case ATTR_PRECISION:
        if (!Is(c, {CTRL_NUMERIC, CTRL_NUMERIC_SLIDE})) return UIE_BadAttribute;
        if (v < 0 || v > 15) return UIE_BadValue;
        if (c.precision == static_cast<int>(v)) return UIE_NoError;
        c.precision = static_cast<int>(v);
        SyncLook(c);
        SyncValue(c);
        return UIE_NoError;
    case ATTR_HEX_FORMAT:
        if (c.kind != CTRL_NUMERIC) return UIE_BadAttribute;
        c.hex = v != 0;
        SyncLook(c);
        SyncValue(c);
        return UIE_NoError;
    case ATTR_CTRL_MODE: {
        const int mode = static_cast<int>(v);
        if (v != mode || (mode != VAL_HOT && mode != VAL_INDICATOR && mode != VAL_NORMAL))
            return UIE_BadValue;
        if (Is(c, {CTRL_TIMER, CTRL_DECORATION, CTRL_TEXT_MSG, CTRL_TAB})) return UIE_BadAttribute;
        const bool wasHot = c.IsHot();
        c.mode = mode;
        if (c.kind == CTRL_NUMERIC_SLIDE && wasHot != c.IsHot()) // a progress bar or a slider
            if (Panel* p = FindPanel(c.panel)) CreateWidget(*p, c);
        SyncLook(c);
        return UIE_NoError;
    }
    case ATTR_MAX_ENTRY_LENGTH:
        if (!Is(c, {CTRL_STRING, CTRL_PASSWORD, CTRL_TEXT_BOX})) return UIE_BadAttribute;
        if (v < 0) return UIE_BadValue;
        c.maxLength = static_cast<int>(v);
        SyncLook(c);
        return UIE_NoError;
    case ATTR_INTERVAL:
        if (c.kind != CTRL_TIMER) return UIE_BadAttribute;
        if (!(v > 0)) return UIE_BadValue;
        c.interval = v;
        StartTimer(c);
        return UIE_NoError;
    case ATTR_ENABLED:
        if (c.kind != CTRL_TIMER) return UIE_BadAttribute;
        c.enabled = v != 0;
        StartTimer(c);
        return UIE_NoError;
    case ATTR_ROW_LABELS_VISIBLE:
    case ATTR_COLUMN_LABELS_VISIBLE:
        if (c.kind != CTRL_TABLE) return UIE_BadAttribute;
        return flag(attribute == ATTR_ROW_LABELS_VISIBLE ? c.table->rowLabels : c.table->colLabels);
    case ATTR_NUM_CURSORS:
        if (!c.graph) return UIE_BadAttribute;
        if (v < 0 || v > 50) return UIE_BadValue;
        c.graph->cursors.resize(static_cast<std::size_t>(v));
        SyncLook(c);
        return UIE_NoError;
    case ATTR_HSCROLL_OFFSET:
        if (c.kind != CTRL_TABLE) return UIE_BadAttribute;
        if (QScrollBar* bar = HorizontalBar(c)) bar->setValue(static_cast<int>(v));
        return UIE_NoError;
    default:
        return UIE_BadAttribute;
    }
}

int GetNumberAttr(const Control& c, int attribute, double* v) {
    if (attribute == ATTR_HSCROLL_OFFSET) {
        if (c.kind != CTRL_TABLE) return UIE_BadAttribute;
        const QScrollBar* bar = HorizontalBar(c);
        *v = bar != nullptr ? bar->value() : 0;
        return UIE_NoError;
    }
    const auto give = [&](double value) {
        *v = value;
        return UIE_NoError;
    };
    const bool numeric = Is(c, {CTRL_NUMERIC, CTRL_NUMERIC_SLIDE});
    switch (attribute) {
    case ATTR_VISIBLE:
        return give(c.visible);
    case ATTR_DIMMED:
        return give(c.dimmed);
    case ATTR_TEXT_BOLD:
        return give(c.bold);
    case ATTR_TOP:
        return give(c.y);
    case ATTR_LEFT:
        return give(c.x);
    case ATTR_WIDTH:
        return give(c.w);
    case ATTR_HEIGHT:
        return give(c.h);
    case ATTR_TEXT_COLOR:
        return give(c.textColor == kDefaultColor ? VAL_BLACK : c.textColor);
    case ATTR_TEXT_BGCOLOR:
        return give(c.bgColor == kDefaultColor ? DefaultGround(c) : c.bgColor);
    case ATTR_ON_COLOR:
        return Is(c, {CTRL_TOGGLE_BUTTON, CTRL_LED}) ? give(c.onColor) : UIE_BadAttribute;
    case ATTR_OFF_COLOR:
        return Is(c, {CTRL_TOGGLE_BUTTON, CTRL_LED})
                   ? give(c.offColor == kDefaultColor ? VAL_BLACK : c.offColor)
                   : UIE_BadAttribute;
    case ATTR_MIN_VALUE:
        return numeric ? give(c.min) : UIE_BadAttribute;
    case ATTR_MAX_VALUE:
        return numeric ? give(c.max) : UIE_BadAttribute;
    case ATTR_INCR_VALUE:
        return numeric ? give(c.inc) : UIE_BadAttribute;
    case ATTR_PRECISION:
        return numeric ? give(c.precision) : UIE_BadAttribute;
    case ATTR_HEX_FORMAT:
        return c.kind == CTRL_NUMERIC ? give(c.hex ? 1 : 0) : UIE_BadAttribute;
    case ATTR_CTRL_MODE:
        return give(c.mode);
    case ATTR_MAX_ENTRY_LENGTH:
        return Is(c, {CTRL_STRING, CTRL_PASSWORD, CTRL_TEXT_BOX}) ? give(c.maxLength) : UIE_BadAttribute;
    case ATTR_INTERVAL:
        return c.kind == CTRL_TIMER ? give(c.interval) : UIE_BadAttribute;
    case ATTR_ENABLED:
        return c.kind == CTRL_TIMER ? give(c.enabled) : UIE_BadAttribute;
    case ATTR_CTRL_TYPE:
        return give(c.kind);
    case ATTR_NUM_ROWS:
        return c.kind == CTRL_TABLE ? give(c.table->rows) : UIE_BadAttribute;
    case ATTR_NUM_COLUMNS:
        return c.kind == CTRL_TABLE ? give(c.table->cols) : UIE_BadAttribute;
    case ATTR_ROW_LABELS_VISIBLE:
        return c.kind == CTRL_TABLE ? give(c.table->rowLabels) : UIE_BadAttribute;
    case ATTR_COLUMN_LABELS_VISIBLE:
        return c.kind == CTRL_TABLE ? give(c.table->colLabels) : UIE_BadAttribute;
    case ATTR_NUM_CURSORS:
        return c.graph ? give(static_cast<double>(c.graph->cursors.size())) : UIE_BadAttribute;
    case ATTR_PLOT_AREA_TOP:
        return c.graph ? give(kPlotTop) : UIE_BadAttribute;
    case ATTR_PLOT_AREA_LEFT:
        return c.graph ? give(kPlotLeft) : UIE_BadAttribute;
    case ATTR_PLOT_AREA_WIDTH:
        return c.graph ? give(std::max(1, c.w - kPlotLeft - kPlotRight)) : UIE_BadAttribute;
    case ATTR_PLOT_AREA_HEIGHT:
        return c.graph ? give(std::max(1, c.h - kPlotTop - kPlotBottom)) : UIE_BadAttribute;
    case ATTR_TABLE_RUN_STATE: {
        if (c.kind != CTRL_TABLE) return UIE_BadAttribute;
        // A cell's editor is the only widget the view puts on its viewport: while one is open the cell is
        // being typed into (whether or not its window has the keyboard focus right now).
        bool editing = false;
        if (const auto* view = qobject_cast<const QAbstractScrollArea*>(c.widget.data()))
            for (const QWidget* w : view->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                editing = editing || !w->isHidden();
        return give(editing ? VAL_EDIT_STATE : VAL_SELECT_STATE);
    }
    default:
        return UIE_BadAttribute;
    }
}

} // namespace

// The caption; a text message's caption is its text.
std::string& CaptionOf(Control& c) {
    return c.kind == CTRL_TEXT_MSG ? c.text : c.caption;
}

// The text a text attribute stands for on this control; null when the control has no such text.
std::string* TextAttrOf(Control& c, int attribute) {
    if (attribute == ATTR_LABEL_TEXT) return &CaptionOf(c);
    if (c.graph && attribute == ATTR_XNAME) return &c.graph->x.name;
    if (c.graph && attribute == ATTR_YNAME) return &c.graph->y.name;
    if (c.surface && attribute == ATTR_XNAME) return &c.surface->xName;
    if (c.surface && attribute == ATTR_YNAME) return &c.surface->yName;
    if (c.surface && attribute == ATTR_ZNAME) return &c.surface->zName;
    return nullptr;
}

int SetCtrlNumberAttr(int panel, int control, int attribute, double value) {
    int status = 0;
    Control* c = FindControl(panel, control, &status);
    if (c == nullptr) return status;
    if (attribute == ATTR_LABEL_TEXT) return UIE_BadValue;
    if (!std::isfinite(value) && attribute != ATTR_MIN_VALUE && attribute != ATTR_MAX_VALUE)
        return UIE_BadValue;
    return SetNumberAttr(*c, attribute, value);
}

int GetCtrlNumberAttr(int panel, int control, int attribute, double* value) {
    int status = 0;
    const Control* c = FindControl(panel, control, &status);
    if (c == nullptr) return status;
    if (value == nullptr || attribute == ATTR_LABEL_TEXT) return UIE_BadValue;
    return GetNumberAttr(*c, attribute, value);
}

} // namespace ui

using ui::Control;
using ui::FindControl;

int SetCtrlVal(int panel, int control, double value) {
    int status = 0;
    Control* c = FindControl(panel, control, &status);
    if (c == nullptr) return status;
    if (!c->HoldsNumber() || !std::isfinite(value)) return UIE_BadValue;
    if (c->kind == CTRL_TAB && (value < 0 || value >= static_cast<double>(c->tabs.size())))
        return UIE_BadIndex;
    if (c->kind == CTRL_TOGGLE_BUTTON || c->kind == CTRL_LED) value = value != 0 ? 1 : 0;
    if (c->kind == CTRL_TAB) value = std::trunc(value);
    c->number = value;
    ui::SyncValue(*c);
    return UIE_NoError;
}

int SetCtrlVal(int panel, int control, int value) {
    return SetCtrlVal(panel, control, static_cast<double>(value));
}

int SetCtrlVal(int panel, int control, const char* value) {
    int status = 0;
    Control* c = FindControl(panel, control, &status);
    if (c == nullptr) return status;
    if (!c->HoldsText() || value == nullptr) return UIE_BadValue;
    c->text = value;
    c->editDirty = false;
    ui::SyncValue(*c);
    return UIE_NoError;
}

int GetCtrlVal(int panel, int control, double* value) {
    return ui::GetNumber(panel, control, value);
}

int GetCtrlVal(int panel, int control, float* value) {
    double v = 0;
    const int s = ui::GetNumber(panel, control, &v);
    if (s == UIE_NoError) *value = static_cast<float>(v);
    return s;
}

int GetCtrlVal(int panel, int control, int* value) {
    return ui::GetInteger(panel, control, value);
}
int GetCtrlVal(int panel, int control, unsigned* value) {
    return ui::GetInteger(panel, control, value);
}
int GetCtrlVal(int panel, int control, short* value) {
    return ui::GetInteger(panel, control, value);
}
int GetCtrlVal(int panel, int control, unsigned short* value) {
    return ui::GetInteger(panel, control, value);
}
int GetCtrlVal(int panel, int control, unsigned char* value) {
    return ui::GetInteger(panel, control, value);
}

int GetCtrlVal(int panel, int control, std::span<char> value) {
    int status = 0;
    const Control* c = FindControl(panel, control, &status);
    if (c == nullptr) return status;
    if (!c->HoldsText()) return UIE_BadValue;
    return CopyText(c->text, value) ? UIE_NoError : UIE_BadValue;
}

int SetCtrlAttribute(int panel, int control, int attribute, int value) {
    return ui::SetCtrlNumberAttr(panel, control, attribute, value);
}

int SetCtrlAttribute(int panel, int control, int attribute, double value) {
    return ui::SetCtrlNumberAttr(panel, control, attribute, value);
}

int SetCtrlAttribute(int panel, int control, int attribute, const char* value) {
    int status = 0;
    Control* c = FindControl(panel, control, &status);
    if (c == nullptr) return status;
    std::string* text = ui::TextAttrOf(*c, attribute);
    if (text == nullptr) return UIE_BadAttribute;
    if (value == nullptr) return UIE_BadValue;
    *text = value;
    ui::SyncLook(*c);
    ui::SyncValue(*c);
    return UIE_NoError;
}

int GetCtrlAttribute(int panel, int control, int attribute, int* value) {
    double v = 0;
    const int s = ui::GetCtrlNumberAttr(panel, control, attribute, &v);
    return s != UIE_NoError ? s : ui::StoreInteger(v, value);
}

int GetCtrlAttribute(int panel, int control, int attribute, double* value) {
    return ui::GetCtrlNumberAttr(panel, control, attribute, value);
}

int GetCtrlAttribute(int panel, int control, int attribute, std::span<char> value) {
    int status = 0;
    Control* c = FindControl(panel, control, &status);
    if (c == nullptr) return status;
    const std::string* text = ui::TextAttrOf(*c, attribute);
    if (text == nullptr) return UIE_BadAttribute;
    return CopyText(*text, value) ? UIE_NoError : UIE_BadValue;
}

int SetActiveCtrl(int panel, int control) {
    int status = 0;
    Control* c = FindControl(panel, control, &status);
    if (c == nullptr) return status;
    if (!c->widget) return UIE_BadControl;
    c->widget->setFocus();
    ui::SetActiveCtrlRecord(panel, control);
    ui::KeepChosenFocus(panel);
    return UIE_NoError;
}

int GetActiveCtrl(int panel) {
    const ui::Panel* p = ui::FindPanel(panel);
    return p == nullptr ? UIE_BadPanel : p->activeCtrl;
}

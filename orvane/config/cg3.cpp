// Configuration page 3: the injection battery-offset table, the ignition dwell table and the pick-up
// table, every axis kept non-decreasing.
#include "orvane/config/config.h"
#include "orvane/core/connect.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/fields.h"
#include "orvane/core/loadpage.h"
#include "orvane/core/repairs.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <string>

int hCg3Panel = 0;

namespace {

using namespace CONFIG3;
using enum Raw;

constexpr std::size_t kDwell = 0x1D0;
constexpr std::size_t kDwellX = kDwell + offsetof(ExtMiniMap, x);
constexpr std::size_t kDwellY = kDwell + offsetof(ExtMiniMap, y);

// In the order the page fills them.
constexpr FieldBinding kFields[] = {
    CellRow(TABoffsVbat, 1, 1, 16, 0x684, I16, 10, 0, 20),
    CellRow(TABoffsVbat, 2, 1, 16, 0x644, I16, 1000, 0, 32),
    CellRow(TABoffsVbat, 3, 1, 16, 0x664, I16, 1000, 0, 32),
    CellRow(TABdwell, 1, 2, 16, kDwellX, I16, 10, 0, 20),
    Cells(TABdwell, {2, 1, 10, 1}, kDwellY, 2, 0, I16, 1, 0, 20000),
    Cells(TABdwell, {2, 2, 10, 16}, kDwell, 32, 2, I16, 1000, 0, 32),
    CellRow(TABpickUp, 1, 1, 32, 0x384, I16, 1, 0, 20000),
    CellRow(TABpickUp, 2, 1, 32, 0x344, I16, 10, -720, 720),
};
static_assert(CheckBindings(kFields));

// The tables' row captions; the dwell table's top-left cell carries no value.
bool LabelTables() {
    struct RowLabel {
        int table, row;
        const char* text;
    };
    constexpr RowLabel kLabels[] = {{TABoffsVbat, 1, "[Volt]"}, {TABoffsVbat, 2, "L [ms]"},
                                    {TABoffsVbat, 3, "H [ms]"}, {TABpickUp, 1, "RPM"},
                                    {TABpickUp, 2, "[deg]"},    {TABdwell, 1, "[Volt]"}};
    for (const RowLabel& l : kLabels)
        if (SetTableRowAttribute(hCg3Panel, l.table, l.row, ATTR_LABEL_TEXT, l.text) < 0 ||
            SetTableRowAttribute(hCg3Panel, l.table, l.row, ATTR_USE_LABEL_TEXT, 1) < 0)
            return false;
    for (int r = 2; r <= 11; ++r)
        if (SetTableRowAttribute(hCg3Panel, TABdwell, r, ATTR_LABEL_TEXT, "") < 0 ||
            SetTableRowAttribute(hCg3Panel, TABdwell, r, ATTR_USE_LABEL_TEXT, 1) < 0)
            return false;
    // Column 1 holds the engine-speed axis; the dwell columns count the voltage breakpoints from 1.
    for (int c = 1; c <= 17; ++c) {
        const std::string label = c == 1 ? "[RPM]" : std::to_string(c - 1);
        if (SetTableColumnAttribute(hCg3Panel, TABdwell, c, ATTR_LABEL_TEXT, label.c_str()) < 0 ||
            SetTableColumnAttribute(hCg3Panel, TABdwell, c, ATTR_USE_LABEL_TEXT, 1) < 0)
            return false;
    }
    // The corner between the two axes holds nothing: an empty text cell, not a number.
    const Point corner = MakePoint(1, 1);
    return SetTableCellAttribute(hCg3Panel, TABdwell, corner, ATTR_CELL_TYPE, VAL_CELL_STRING) >= 0 &&
           SetTableCellAttribute(hCg3Panel, TABdwell, corner, ATTR_CELL_MODE, VAL_INDICATOR) >= 0 &&
           SetTableCellVal(hCg3Panel, TABdwell, corner, "") >= 0;
}

// The cells of the three tables take their decimals and ranges from the fields: nothing else to set up.
constexpr FieldPart kParts[] = {Part(kFields)};
const FieldPage kPage = {&hCg3Panel, kParts, nullptr, CheckCg3};

} // namespace

bool CheckCg3() {
    bool changed = RepairAxis(ecuParData.battX, {{ecuParData.battOffsets1}, {ecuParData.battOffsets2}});
    ExtMiniMap& dwell = ecuParData.dwell;
    const std::span<std::int16_t> cells(&dwell.cells[0][0],
                                        std::size(dwell.cells) * std::size(dwell.cells[0]));
    changed |= RepairAxis(dwell.x, {{cells, 1, std::size(dwell.cells), std::size(dwell.x)}});
    changed |= RepairAxis(dwell.y, {{cells, std::size(dwell.x), std::size(dwell.x), 1}});
    changed |= RepairAxis(ecuParData.pickUp.x, {{ecuParData.pickUp.values}});
    return changed;
}

void InitCg3Data() {
    InitFields(kFields);
}

bool InitCg3Panel(int parent) {
    if (!LoadPage(parent, CONFIG3::id, hCg3Panel) || !LabelTables()) return false;
    InitCg3Data();
    return true;
}

bool ScatterCg3Panel() {
    return ScatterFieldPage(kPage);
}

bool GatherCg3Panel() {
    return GatherFieldPage(kPage);
}

bool Cg3Timer() {
    return Ping();
}

// A page's field bindings checked both ways: a distinct raw value in each field is shown by its control
// (value and decimals), and a distinct value set in each control is stored in its field by the gather.
// The cases are written from the page's own field list, so a swapped offset, a wrong type, divisor or
// stride shows.
#pragma once

#include "orvane/core/fields.h"
#include "platform/ui/userint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <span>

struct BindingCase {
    int control;
    Point cell; // {0, 0}: the control itself; else the table cell (column, row)
    Image image;
    std::size_t offset;
    Raw raw;
    double divisor;
    int decimals;              // -1: not a number shown (toggle, ring)
    std::int64_t shown, typed; // raw values
};

constexpr BindingCase Field(int control, Image image, std::size_t offset, Raw raw, double divisor,
                            int decimals, std::int64_t shown, std::int64_t typed) {
    return {control, {0, 0}, image, offset, raw, divisor, decimals, shown, typed};
}
constexpr BindingCase CellField(int control, Point cell, Image image, std::size_t offset, Raw raw,
                                double divisor, int decimals, std::int64_t shown, std::int64_t typed) {
    return {control, cell, image, offset, raw, divisor, decimals, shown, typed};
}

inline void CheckFieldBindings(int panel, bool (*scatter)(), bool (*gather)(),
                               std::span<const BindingCase> cases) {
    for (const BindingCase& c : cases)
        WriteField(c.image, c.offset, c.raw, c.shown);
    ASSERT_TRUE(scatter());
    for (const BindingCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "control " << c.control << " cell " << c.cell.x << "," << c.cell.y
                                        << " offset 0x" << std::hex << c.offset);
        const bool isCell = c.cell.x != 0;
        double value = NAN;
        int decimals = -1;
        if (isCell) {
            GetTableCellVal(panel, c.control, c.cell, &value);
            GetTableCellAttribute(panel, c.control, c.cell, ATTR_PRECISION, &decimals);
        } else {
            GetCtrlVal(panel, c.control, &value);
            GetCtrlAttribute(panel, c.control, ATTR_PRECISION, &decimals);
        }
        EXPECT_DOUBLE_EQ(value, static_cast<double>(c.shown) / c.divisor);
        if (c.decimals >= 0) {
            EXPECT_EQ(decimals, c.decimals);
        }
        const double typed = static_cast<double>(c.typed) / c.divisor;
        if (isCell) {
            SetTableCellVal(panel, c.control, c.cell, typed);
        } else {
            SetCtrlVal(panel, c.control, typed);
        }
    }
    ASSERT_TRUE(gather());
    for (const BindingCase& c : cases)
        EXPECT_EQ(ReadField(c.image, c.offset, c.raw), c.typed)
            << "control " << c.control << " cell " << c.cell.x << "," << c.cell.y << " offset 0x" << std::hex
            << c.offset;
}

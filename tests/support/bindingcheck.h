// A page's field bindings checked both ways: a distinct raw value in each field is shown by its control
// (value and decimals), and a distinct value set in each control is stored in its field by the gather.
// The cases are written from the page's own field list, so a swapped offset, a wrong type, divisor or
// stride shows.
#pragma once

#include "orvane/core/ui/fields.h"
#include "platform/ui/userint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

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

// Raw values along a row of cells: first, first + step, ...
struct Line {
    std::int64_t first, step;
    std::int64_t At(int k) const { return first + step * k; }
};

// count cells of one table row from column col, the fields one after the other from offset.
inline void AddCellRow(std::vector<BindingCase>& cases, int control, Point from, int count, Image image,
                       std::size_t offset, Raw raw, double divisor, int decimals, Line shown, Line typed) {
    for (int k = 0; k < count; ++k)
        cases.push_back(CellField(control, MakePoint(from.x + k, from.y), image,
                                  offset + RawSize(raw) * static_cast<std::size_t>(k), raw, divisor, decimals,
                                  shown.At(k), typed.At(k)));
}

// A map table: row 1, columns 2.. the column breakpoints; column 1, rows 2.. the row breakpoints; the
// cells after, row by row (cell [j][i] in row j + 2, column i + 2). Every cell of it becomes a case, on
// rising axes so that no repair moves a value; the cells take distinct values within [lo, hi].
struct MapTable {
    int rows, cols;
    std::size_t xAt, yAt; // from the map's start; the cells start it
    Raw raw;
    double xDivisor, yDivisor, cellDivisor;
    std::int64_t xStep, yStep, lo, hi; // raw
};

inline void AddMapTable(std::vector<BindingCase>& cases, int control, Image image, std::size_t map,
                        const MapTable& t, std::int64_t tag) {
    const auto decimals = [](double divisor) {
        return divisor >= 1000 ? 3 : divisor >= 100 ? 2 : divisor >= 10 ? 1 : 0;
    };
    for (int i = 0; i < t.cols; ++i)
        cases.push_back(CellField(control, MakePoint(i + 2, 1), image,
                                  map + t.xAt + 2 * static_cast<std::size_t>(i), t.raw, t.xDivisor,
                                  decimals(t.xDivisor), t.xStep * i + tag, t.xStep * i + tag + t.xStep / 2));
    for (int j = 0; j < t.rows; ++j)
        cases.push_back(CellField(control, MakePoint(1, j + 2), image,
                                  map + t.yAt + 2 * static_cast<std::size_t>(j), t.raw, t.yDivisor,
                                  decimals(t.yDivisor), t.yStep * j + tag, t.yStep * j + tag + t.yStep / 2));
    const std::int64_t span = t.hi - t.lo + 1;
    for (int j = 0; j < t.rows; ++j)
        for (int i = 0; i < t.cols; ++i) {
            const std::int64_t n = t.cols * j + i + tag;
            cases.push_back(CellField(control, MakePoint(i + 2, j + 2), image,
                                      map + 2 * static_cast<std::size_t>(t.cols * j + i), t.raw,
                                      t.cellDivisor, decimals(t.cellDivisor), t.lo + (37 * n) % span,
                                      t.hi - (53 * n) % span));
        }
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

#include "orvane/maps/curmap.h"

#include "orvane/core/logic/images.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

std::uint8_t idCurMap = 1;
std::uint8_t aCurMatSel[kMatSelectors] = {};

void SetCurMapId(std::uint8_t id) {
    idCurMap = id;
}

void SetCurMatSel(int selector, int value) {
    if (selector < 0 || selector >= kMatSelectors) return;
    aCurMatSel[selector] = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

namespace {

// A selector kept below its count, so that no stored value reaches past the block.
int Selected(int selector, int count) {
    return std::min<int>(aCurMatSel[selector], count - 1);
}

// Raises each value below its predecessor to it; true when any changed.
bool RaiseDescents(std::int16_t* a, int n) {
    bool changed = false;
    for (int i = 1; i < n; ++i) {
        if (a[i] < a[i - 1]) {
            a[i] = a[i - 1];
            changed = true;
        }
    }
    return changed;
}

void FormatLabel(char* buf, std::size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, size, format, args);
    va_end(args);
}

} // namespace

const MapDesc* CurMapDesc() {
    return FindMapDesc(idCurMap);
}

int CurGear(const MapDesc& d) {
    if (d.layout != MatLayout::PerGearLevel || SingleMatBit(d)) return 0;
    return Selected(d.selector, kMapGears);
}

int CurLevel(const MapDesc& d) {
    return d.layout == MatLayout::PerGearLevel ? Selected(d.levelSelector, kMapLevels) : 0;
}

int CurMatrixIndex(const MapDesc& d) {
    switch (d.layout) {
    case MatLayout::One:
        return 0;
    case MatLayout::PerCylinder:
        return ShowsOneMatrix(d) ? 0 : Selected(d.selector, PickableMatrices(d));
    case MatLayout::PerGear:
        return SingleMatBit(d) ? 0 : Selected(d.selector, kMapGears);
    case MatLayout::PerGearLevel:
        return CurGear(d) * kMapLevels + CurLevel(d);
    }
    return 0;
}

int CurMatrixNumber(const MapDesc& d) {
    return d.layout == MatLayout::PerGearLevel ? CurGear(d) + 1 : CurMatrixIndex(d) + 1;
}

int AllMatrixIndexes(const MapDesc& d, MatrixList& out) {
    switch (d.layout) {
    case MatLayout::One:
        out[0] = 0;
        return 1;
    case MatLayout::PerCylinder: {
        const int n = std::max(MapCylinders(), 1);
        for (int k = 0; k < n; ++k)
            out[k] = k;
        return n;
    }
    case MatLayout::PerGear:
        for (int k = 0; k < kMapGears; ++k)
            out[k] = k;
        return kMapGears;
    case MatLayout::PerGearLevel:
        for (int g = 0; g < kMapGears; ++g)
            out[g] = g * kMapLevels + CurLevel(d);
        return kMapGears;
    }
    return 0;
}

bool GetCurMapInfo(CurMapInfo* info) {
    const MapDesc* d = CurMapDesc();
    if (d == nullptr) return false;
    const MapBlock b = d->block(ecuMapData);
    const MapBlock r = d->block(ecuMapRefData);
    const int m = CurMatrixIndex(*d);
    const int g = CurGear(*d);
    *info = {b.x,
             b.y,
             b.z != nullptr ? b.z[g] : nullptr,
             &b.cells[m],
             r.x,
             r.y,
             r.z != nullptr ? r.z[g] : nullptr,
             &r.cells[m],
             XAxisOf(*d).scale,
             YAxisOf(*d).scale,
             ZAxisOf(*d).scale,
             d->valScale,
             static_cast<std::uint8_t>(IsSingleMat() ? 1 : 0)};
    return true;
}

bool GetCurMapAttribute(CurMapAttr* attr) {
    const MapDesc* d = CurMapDesc();
    if (d == nullptr) return false;
    const AxisDesc& x = XAxisOf(*d);
    const AxisDesc& y = YAxisOf(*d);
    *attr = {x.decimals, y.decimals, d->valDecimals, x.min, y.min, d->valMin, x.max, y.max, d->valMax};
    return true;
}

bool IsSingleMat() {
    const MapDesc* d = CurMapDesc();
    return d != nullptr && (d->layout == MatLayout::One || SingleMatBit(*d));
}

const char* GetCurMapXlabel() {
    const MapDesc* d = CurMapDesc();
    return d != nullptr ? XAxisOf(*d).caption : nullptr;
}

const char* GetCurMapYlabel() {
    const MapDesc* d = CurMapDesc();
    return d != nullptr ? YAxisOf(*d).caption : nullptr;
}

const char* GetCurMapZlabel() {
    const MapDesc* d = CurMapDesc();
    return d != nullptr ? ZAxisOf(*d).caption : nullptr;
}

const char* GetCurMapValLabel() {
    static char label[64];
    const MapDesc* d = CurMapDesc();
    if (d == nullptr) return nullptr;
    if (IsSingleMat()) {
        FormatLabel(label, sizeof label, d->valCaption);
    } else if (d->layout == MatLayout::PerGearLevel) {
        const int z = d->block(ecuMapData).z[CurGear(*d)][CurLevel(*d)];
        FormatLabel(label, sizeof label, d->valCaptionEach, z, static_cast<unsigned>(CurGear(*d) + 1));
    } else {
        FormatLabel(label, sizeof label, d->valCaptionEach, static_cast<unsigned>(CurMatrixIndex(*d) + 1));
    }
    return label;
}

bool ChangeCurMapCells(int col, int row, double add, double factor, bool restore, bool restoreX,
                       bool restoreY) {
    const MapDesc* d = CurMapDesc();
    if (d == nullptr || col < -1 || col >= kMapCols || row < -1 || row >= kMapRows) return false;
    const MapBlock b = d->block(ecuMapData);
    const MapBlock r = d->block(ecuMapRefData);
    if (restoreX) std::copy_n(r.x, kMapCols, b.x);
    if (restoreY) std::copy_n(r.y, kMapRows, b.y);
    const int m = CurMatrixIndex(*d);
    const double high = d->valMax * d->valScale;
    const double low = d->valMin * d->valScale;
    const int c0 = col < 0 ? 0 : col;
    const int c1 = col < 0 ? kMapCols : col + 1;
    const int r0 = row < 0 ? 0 : row;
    const int r1 = row < 0 ? kMapRows : row + 1;
    for (int c = c0; c < c1; ++c) {
        for (int i = r0; i < r1; ++i) {
            std::int16_t& cell = b.cells[m][i][c];
            if (restore) {
                cell = r.cells[m][i][c];
                continue;
            }
            double v = cell;
            if (d->addOnly || (factor == 0 && add != 0))
                v += add;
            else
                v *= factor;
            if (std::isnan(v)) continue;
            if (v >= high) v = high;
            if (v <= low) v = low;
            cell = static_cast<std::int16_t>(std::trunc(v));
        }
    }
    return true;
}

void AlignMapMatrixes(std::uint8_t id, ProgressFn progress) {
    const MapDesc* d = FindMapDesc(id);
    if (d == nullptr || d->layout == MatLayout::One) return;
    const MapBlock b = d->block(ecuMapData);
    // The unit copied: one matrix, or for maps 9 and 10 the six level matrices of a gear.
    const int unit = d->layout == MatLayout::PerGearLevel ? kMapLevels : 1;
    const int count = d->layout == MatLayout::PerCylinder ? MapCylinders() : kMapGears;
    const unsigned bytes = static_cast<unsigned>(sizeof(MapMatrix)) * unit;
    const unsigned total = bytes * static_cast<unsigned>(std::max(count - 1, 0));
    progress(0, total);
    for (int k = 1; k < count; ++k) {
        std::memcpy(&b.cells[k * unit], &b.cells[0], bytes);
        progress(bytes * static_cast<unsigned>(k), total);
    }
    progress(0, 0);
}

void AlignCurMapZBreakpoints(std::uint8_t id) {
    const MapDesc* d = FindMapDesc(id);
    if (d == nullptr || !HasZAxis(*d)) return;
    const MapBlock b = d->block(ecuMapData);
    for (int g = 1; g < kMapGears; ++g)
        std::copy_n(b.z[0], kMapLevels, b.z[g]);
}

bool FixCurMapBreakpoints() {
    const MapDesc* d = CurMapDesc();
    if (d == nullptr) return false;
    const MapBlock b = d->block(ecuMapData);
    bool changed = RaiseDescents(b.x, kMapCols);
    changed = RaiseDescents(b.y, kMapRows) || changed;
    if (b.z != nullptr) changed = RaiseDescents(b.z[CurGear(*d)], kMapLevels) || changed;
    return changed;
}

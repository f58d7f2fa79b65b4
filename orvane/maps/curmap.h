// The current map and its current matrix, shared by the map page, the Edit-Map dialog and the graphs:
// where the matrix and its breakpoints lie (and their reference copies), scales, ranges and captions,
// the cell arithmetic, the single-matrix alignment and the breakpoint repair. No user interface here.
#pragma once

#include "orvane/core/logic/progress.h"
#include "orvane/maps/mapdesc.h"

#include <array>
#include <cstdint>

extern std::uint8_t idCurMap;                  // 1 .. 17; changed only by the map page's tab change
extern std::uint8_t aCurMatSel[kMatSelectors]; // cylinder, gear and level selectors, 0-based (MatSelector)

// The map page changes the current map (by its id) and matrix through these; a selector value is kept
// within 0 .. 255.
void SetCurMapId(std::uint8_t id);
void SetCurMatSel(int selector, int value);

// The current map's record, or null when idCurMap is outside 1 .. 17.
const MapDesc* CurMapDesc();

// While a map's single-matrix bit is set, its first matrix (maps 9 and 10: gear 0) is the one shown and
// edited, whatever the selectors hold; alignment copies it over the others.
int CurMatrixIndex(const MapDesc& d); // index among the block's stored matrices
int CurGear(const MapDesc& d);        // the gear whose Z breakpoints are current (maps 9 and 10)
int CurLevel(const MapDesc& d);       // the acceleration level (maps 9 and 10), else 0
// The 1-based number of the shown matrix (1 for maps without a choice).
int CurMatrixNumber(const MapDesc& d);

// The matrices that the Edit-Map dialog's all-matrices choice and copy write: one per cylinder in use
// (at least the first) or per gear (maps 9 and 10: every gear at the current level); for maps with one
// matrix that matrix alone. Returns how many it put into out.
using MatrixList = std::array<int, kMapGears>;
int AllMatrixIndexes(const MapDesc& d, MatrixList& out);

struct CurMapInfo {
    std::int16_t* x;          // kMapCols X breakpoints
    std::int16_t* y;          // kMapRows Y breakpoints
    std::int16_t* z;          // maps 9 and 10: the current gear's kMapLevels Z breakpoints; else null
    MapMatrix* matrix;        // the current matrix
    const std::int16_t* refX; // the same four in ecuMapRefData
    const std::int16_t* refY;
    const std::int16_t* refZ;
    const MapMatrix* refMatrix;
    double xScale;
    double yScale;
    double zScale;
    double valScale;
    std::uint8_t single; // the single-matrix bit; 1 for maps with one matrix
};
bool GetCurMapInfo(CurMapInfo* info);

struct CurMapAttr {
    int xDecimals, yDecimals, valDecimals;
    double xMin, yMin, valMin;
    double xMax, yMax, valMax;
};
bool GetCurMapAttribute(CurMapAttr* attr);

bool IsSingleMat();
const char* GetCurMapXlabel();
const char* GetCurMapYlabel();
const char* GetCurMapZlabel();
// Plain form when single, else the per-matrix form with the current indices; one static buffer that
// the next call overwrites.
const char* GetCurMapValLabel();

// The cell change behind SetCurMap, without its alignment and redraw: col -1 all 32 columns, row -1
// all 20 rows; restore takes the reference cells, else add (factor exactly 0 and add not 0) or multiply
// by factor, add only on the add-only maps; clamped to the map's raw limits and cut toward zero.
// restoreX / restoreY first copy the breakpoints from the reference. False for an invalid id, column or row.
bool ChangeCurMapCells(int col, int row, double add, double factor, bool restore, bool restoreX,
                       bool restoreY);

// Copies the first matrix of map id over the others in use (maps 9 and 10: gear 0's six levels over
// gears 1 .. 5). Maps with one matrix: nothing, no progress. Progress: (0, total) first, (done, total)
// after each step, (0, 0) at the end.
void AlignMapMatrixes(std::uint8_t id, ProgressFn progress);
// Maps 9 and 10: gear 0's Z breakpoints over those of gears 1 .. 5; other ids nothing.
void AlignCurMapZBreakpoints(std::uint8_t id);

// Raises each breakpoint below its predecessor (X, Y, and the current gear's Z); true when any changed.
bool FixCurMapBreakpoints();

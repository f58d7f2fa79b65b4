// The page shape shared by the injection correction page and the advance page: four correction curves
// (the last one by the traction-control selector, laid out by the selector's mode) and one 8 x 16 matrix
// per cylinder over shared axes, with a cylinder ring and a value dialog ("Set", "Add", "%Add") over a
// block of matrix cells. Each page describes itself once (CylPageDesc) and keeps its own state.
#pragma once

#include "orvane/core/logic/ecuimage.h"
#include "orvane/core/ui/fields.h"
#include "orvane/core/ui/settings.h"
#include "platform/ui/userint.h"

#include <cstddef>
#include <cstdint>

inline constexpr int kCylMatrices = 4;
inline constexpr int kCorrectionCurves = 4;
inline constexpr int kSelectorCurve = 3; // the last curve: by the traction-control selector

// One option of the value dialog: the value control's range, steps and unit.
struct ValOption {
    double min, max;
    int decimals;
    double inc;
    const char* unit;
};

// The state of one page: the cylinder shown and the value dialog's block, limits and end flag.
struct CylPageState {
    std::uint8_t curCyl = 0; // 0-based; the matrix the table shows
    // The selector's breakpoints were last shown in volts (in steps they are not on screen): the table
    // is read back so until it is shown again, whatever the configuration says meanwhile.
    bool selectorShownInVolts = false;
    Rect sel{}; // the dialog's block, in table cells
    double valLo = 0, valHi = 0, valScale = 1;
    bool valDone = false;
    SettingsPoint* pos; // the dialog's place while the program runs
    int* zoom;
};

// A correction curve's table: the units of its breakpoint row (row 1) and value row (row 2).
struct CurveTable {
    int control;
    const char* xUnit;
    const char* valueUnit;
};

struct CylPageDesc {
    const char* title;    // "Injection": failures of the ring and the table
    const char* valTitle; // "Edit Injection": failures of the dialog and "No selection..."
    int* panel;
    int* valPanel;
    FieldTable fields;                         // every field the page shows but the selector breakpoints
    FieldTable rtcXField;                      // the selector breakpoints (voltage mode only)
    FieldTable allMatrices;                    // the matrices of all cylinders, for their defaults
    std::span<const FieldPart> parts;          // fields, then rtcXField while the selector is in volts
    CurveTable curveTables[kCorrectionCurves]; // in curve order, the selector's last
    CylMiniMaps EcuMapData::*maps;             // the matrices in the mapping image
    Curve16 (EcuMapData::*curves)[kCorrectionCurves]; // the curves, the selector's last
    int ring, table;
    int valNumber, valRadio, valApply, valCancel;
    double valScale, valLo, valHi; // the cells' raw units per shown unit and the clamp limits (shown)
    ValOption options[3];          // "Set", "Add", "%Add"
    CylPageState& state;
    // The page's own steps (thin wrappers of the shared ones below), through which the shared code runs.
    bool (*format)();                           // FormatCylPage of this page
    bool (*fix)();                              // FixCylPage of this page
    int (*fillRing)();                          // FillCylRing of this page; nonzero on failure
    bool (*setupValDialog)(std::uint8_t reset); // SetupCylValDialog of this page
    bool (*openValDialog)();                    // OpenCylValDialog of this page
};

// Loads nothing: the page's panels are loaded; labels the tables and writes the defaults.
bool InitCylPage(const CylPageDesc& d);
// The ring offers the configured cylinders ("Cyl. 1" ...); false when a list call failed.
bool FillCylRing(const CylPageDesc& d);
// The ring, the cylinder shown and the selector's layout that start every fill, before the fields'
// formats.
bool FormatCylPage(const CylPageDesc& d);
void InitCylData(const CylPageDesc& d);
bool ScatterCylPage(const CylPageDesc& d);
bool GatherCylPage(const CylPageDesc& d);
// The breakpoint repair of the page; true when it changed anything.
bool FixCylPage(const CylPageDesc& d);
int CylPageEvent(const CylPageDesc& d, int panel, int control, int event, int eventData1);
bool OpenCylValDialog(const CylPageDesc& d);
bool SetupCylValDialog(const CylPageDesc& d, bool resetOption);
int CylValDialogEvent(const CylPageDesc& d, int panel, int control, int event);

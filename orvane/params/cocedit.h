// The CO-correction edit data: the program's working copy of the ECU's two CO-correction edit maps (its
// data areas 20 and 21) with the ECU's load reference. It is not part of the data images: it has its own
// file (".ced"), its own transfers, and a reference copy that tells whether it holds unsaved changes.
#pragma once

#include "orvane/core/logic/ecuimage.h"

#include <bit>
#include <cstddef>
#include <cstdint>

// Cells: correction factor x 1000; x: engine speed in rpm; y: throttle in tenths of a degree while the
// load reference is 0, else intake pressure in mBar. A ".ced" file is exactly these 746 bytes.
struct CocEditRecord {
    ExtMiniMap mapA;
    ExtMiniMap mapB;
    std::uint8_t loadRef; // 0 throttle, any other value intake pressure
    std::uint8_t pad;     // never written by the program, but kept through loads and stores
};
static_assert(sizeof(CocEditRecord) == 746);
static_assert(offsetof(CocEditRecord, mapB) == 372);
static_assert(offsetof(CocEditRecord, loadRef) == 744);
static_assert(offsetof(CocEditRecord, pad) == 745);
// The file holds the record's bytes as they lie in memory, and the file's words are little-endian.
static_assert(std::endian::native == std::endian::little);

extern CocEditRecord cocEditData;     // the record being edited
extern CocEditRecord cocEditRefData;  // as last initialised, stored or loaded
extern CocEditRecord cocEditDataTemp; // the ECU's maps on their way in or out
extern std::uint8_t cocEditInfo;      // the ECU's load reference as last read
extern std::uint8_t fCocEditMode;     // the CO-Corr. page edits this record instead of the mapping image

// Every cell 1000 (factor 1), every breakpoint 0, throttle reference; the reference copy follows.
void InitCocEditData();
void SetCocEditMode(std::uint8_t on);
void UpdateRefCocEditData();
// True when the record differs from the copy last loaded or stored.
bool NewCocEditData();
// The save dialog and the file write (refused outside edit mode).
void StoreCocEditData();
// interactive 1: with the load dialog; 0: silently from the path remembered in the settings, forgetting
// a file that cannot be read.
void LoadCocEditData(int interactive);
// False, with nothing done, while the link is closed; else true (the outcome is shown in a popup).
bool ReceiveCocEditMap();
bool SendCocEditMap();

// The popup ECUSELZ in which the user chooses the data set of Load, Store, Send and Receive.
#pragma once

#include <cstdint>

extern int hEcuPanel;                 // -1 until loaded
extern std::uint16_t ecuSelection;    // the choice of the last button pressed
extern std::uint8_t ecuSelectionDone; // ends the popup's modal loop

bool InitEcuPanel(int parent);
// The popup's modes.
inline constexpr std::uint8_t kSelectForFiles = 1;    // Load, Store
inline constexpr std::uint8_t kSelectForTransfer = 2; // Send, Receive
// kSelectForFiles: 0 cancelled, kParKind or kMapKind. Other modes: 0 cancelled, AREA_PAR, AREA_MAP_SLOT1
// or AREA_MAP_SLOT2.
std::uint16_t SelectEcuData(std::uint8_t mode);
int DlgEcuDataSelection(int panel, int control, int event, void* callbackData, int eventData1,
                        int eventData2);

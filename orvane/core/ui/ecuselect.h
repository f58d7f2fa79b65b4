// The popup ECUSELZ in which the user chooses the data set of Load, Store, Send and Receive.
#pragma once

#include <cstdint>

extern int hEcuPanel;                 // -1 until loaded
extern std::uint16_t ecuSelection;    // the choice of the last button pressed
extern std::uint8_t ecuSelectionDone; // ends the popup's modal loop

bool InitEcuPanel(int parent);
// mode 1 (Load, Store): 0 cancelled, 1 configuration, 2 mapping. Other modes (Send, Receive): 0, 1
// configuration, 2 mapping slot 1, 3 mapping slot 2.
std::uint16_t SelectEcuData(std::uint8_t mode);
int DlgEcuDataSelection(int panel, int control, int event, void* callbackData, int eventData1,
                        int eventData2);

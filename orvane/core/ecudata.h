// The two data images of the program with their reference copies, the messages about a data set's
// header, and the unsaved-changes question at exit.
#pragma once

#include "orvane/core/dataheader.h"
#include "orvane/core/ecuimage.h"

#include <cstdint>

// Data-set kinds: 1 configuration, 2 mapping (map slot 1 on the ECU), 3 mapping slot 2.
inline constexpr std::uint16_t kParKind = 1;
inline constexpr std::uint16_t kMapKind = 2;

extern EcuParData ecuParData;    // configuration data, host order
extern EcuMapData ecuMapData;    // mapping data, host order
extern EcuParData ecuParRefData; // the state of the last configuration file loaded or stored
extern EcuMapData ecuMapRefData; // the state of the last mapping file loaded or stored

// The refusal of a data set whose header is another application's.
extern const char szForeignData[]; // "Invalid data!\nData stored by another application."
// Message and question about a data set's header, shown with the default cursor (the caller's cursor is
// restored afterwards). The question's Yes overwrites the data in memory: Enter answers No.
void HeaderMessagePopup(const char* title, const char* text);
bool HeaderConfirmPopup(const char* title, const char* text);

void CopyEcuDataToRef(std::uint16_t kind);
bool IsEcuDataChanged(std::uint16_t kind);
void InitEcuRefData();
// Lists the unsaved data sets and asks whether to exit anyway; true when the program may end.
bool DiscardNewEcuData();

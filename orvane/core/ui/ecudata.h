// The messages about a data set's header, and the unsaved-changes question at exit.
#pragma once

// The refusal of a data set whose header is another application's.
extern const char szForeignData[]; // "Invalid data!\nData stored by another application."
// Message and question about a data set's header, shown with the default cursor (the caller's cursor is
// restored afterwards). The question's Yes overwrites the data in memory: Enter answers No.
void HeaderMessagePopup(const char* title, const char* text);
bool HeaderConfirmPopup(const char* title, const char* text);

// Lists the unsaved data sets and asks whether to exit anyway; true when the program may end.
bool DiscardNewEcuData();

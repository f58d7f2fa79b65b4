// The messages about a data set's header, and the questions before changes not saved are lost.
#pragma once

#include <string>

// The refusal of a data set whose header is another application's.
extern const char szForeignData[]; // "Invalid data!\nData stored by another application."
// Message and question about a data set's header, shown with the default cursor (the caller's cursor is
// restored afterwards). The question's Yes overwrites the data in memory: Enter answers No.
void HeaderMessagePopup(const char* title, const char* text);
bool HeaderConfirmPopup(const char* title, const char* text);

// The question before data not saved are lost: "Updated ECU file data:", one line for each data image
// that differs from its last file loaded or stored, then extraLines ("\n- name" each), then question.
// True without asking when there is nothing to list, else the answer; Enter answers No.
bool ConfirmUnsavedData(const char* title, const char* question, const std::string& extraLines = {});
// Lists the unsaved data sets and asks whether to exit anyway; true when the program may end.
bool DiscardNewEcuData();

// The run of the value dialogs that edit a block of table cells (the injection and advance pages, the map
// editor, the tuning page), the same for each: the dialog comes back where the user last left it and as
// zoomed, runs modal until its callback says it is done, and its place is taken again whenever the user
// touches it. Each dialog keeps its place and zoom in globals of its own while the program runs.
#pragma once

#include "orvane/core/ui/settings.h"
#include "platform/ui/userint.h"

// The key that opens a table's value dialog on its selection, on every page that has one: Ctrl+Enter.
inline constexpr int kValueDialogKey = VAL_ENTER_VKEY | VAL_MENUKEY_MODIFIER;

// Places panel at pos (unless it was never placed) with zoom, installs it as the modal popup and waits
// for events until done is set, then removes it; false when a call fails.
bool RunValueDialog(int panel, const SettingsPoint& pos, int zoom, bool& done);
// Takes panel's zoom and, when it is not zoomed, its place (a zoomed window's place is not the one to
// come back to); false when a read fails, with what was not read left as it was.
bool RememberValueDialogPlace(int panel, SettingsPoint& pos, int& zoom);

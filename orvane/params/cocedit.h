// The CO-correction edit record, kept apart from the data images with its own file.
#pragma once

// Loads the record; 0: silently from the path remembered in the settings.
void LoadCocEditData(int interactive);
// True when the record differs from the copy last loaded or stored.
bool NewCocEditData();

// The port ring of the main window and the link opening that reads it.
#pragma once

// Fills the main window's port ring and selects the item of cfg.port.
void InitPortList();
// Callback of the port ring: the choice goes to cfg.port and the settings file.
int SetComPort(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Opens the port chosen in the ring; the outcome is isComOpen. Nothing when already open.
void OpenComPort();

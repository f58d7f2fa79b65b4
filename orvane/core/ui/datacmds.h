// The main window's data-set commands: Load and Store (files), Send and Receive (ECU).
#pragma once

int Load(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Store(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Send(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Receive(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// The programming button: choose a firmware file, prepare its copy, erase the flash areas of the boot
// loader's system type and send the copy in numbered blocks, with the progress in kilobytes.
#pragma once

#include <cstdint>
#include <span>

inline constexpr int kBlockData = 253; // image bytes in one block, after the 2-byte block number

// The file dialog of firmware files, starting in cfg.lastDir. True with a chosen existing file in path,
// or with path empty when cancelled; false for a name of no file or a failed dialog.
bool SelzFirmwareFile(const char* title, std::span<char> path);
// The whole run for one file: 0 programmed, 1 invalid firmware file, 3 programming error.
int SendFirmware(const char* path);
// Callback of the programming button.
int Send(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

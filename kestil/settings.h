// The settings record of Kestil, kept whole in "dervalon.ini" in the program's folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

struct ProgrammerCfg {
    std::int16_t port; // value of the port selector: -1 the USB adapter, n COMn; 0 nothing chosen yet
    char lastDir[260]; // drive and directory of the last firmware file chosen, NUL-terminated
};
static_assert(sizeof(ProgrammerCfg) == 262);
static_assert(offsetof(ProgrammerCfg, lastDir) == 2);

extern ProgrammerCfg cfg;

// Reads the first 262 bytes of the settings file (Orvane's longer record of the same name included);
// port 0 and no folder when that fails.
void ReadInitFile();
// Writes the 262 bytes, replacing the file; a failure is not reported.
void WriteInitFile();
// The drive and directory of path, cut to fit dir.
void GetDirPath(const char* path, std::span<char> dir);
// The folder of the firmware file at path is where the next choice starts; the settings are saved.
void RememberFirmwareDir(const char* path);
// The port the settings name; saved with the next WriteInitFile.
void SetSettingsPort(std::int16_t port);

#include "kestil/settings.h"

#include "kestil/firmware.h"
#include "platform/sys/textout.h"
#include "platform/sys/utility.h"
#include "shared/settingsfile.h"

#include <array>
#include <cstdio>
#include <string>

ProgrammerCfg cfg;

void ReadInitFile() {
    char path[1100];
    SettingsPath(path);
    FilePtr file(std::fopen(path, "rb"));
    if (!file || std::fread(&cfg, sizeof cfg, 1, file.get()) != 1) {
        cfg.port = 0;
        cfg.lastDir[0] = '\0';
    }
    // Whatever the file held (Orvane's longer record, a damaged file), the folder ends inside its field.
    cfg.lastDir[sizeof cfg.lastDir - 1] = '\0';
}

void WriteInitFile() {
    char path[1100];
    SettingsPath(path);
    ArrayToFile(path, std::as_bytes(std::span(&cfg, 1)));
}

void GetDirPath(const char* path, std::span<char> dir) {
    std::array<char, 260> drive{};
    std::array<char, 1024> folder{};
    if (SplitPath(path, drive, folder, {}) < 0) folder[0] = '\0';
    CopyText(std::string(drive.data()) + folder.data(), dir);
}

void RememberFirmwareDir(const char* path) {
    GetDirPath(path, cfg.lastDir);
    WriteInitFile();
}

void SetSettingsPort(std::int16_t port) {
    cfg.port = port;
}

#include "orvane/core/settings.h"

#include "orvane/core/pageregistry.h"
#include "orvane/core/settingsfile.h"
#include "platform/sys/textout.h"
#include "platform/sys/utility.h"

#include <cstring>
#include <span>

ProgramSettings cfg;

namespace {

void SetDefaults() {
    cfg.port = 0;
    cfg.mapFile[0] = cfg.parFile[0] = cfg.mtpFile[0] = cfg.cocFile[0] = '\0';
    cfg.point = {20, 50};
    cfg.reserved[0] = 0;
    cfg.reserved[1] = 500;
    cfg.reserved[2] = 700;
}

std::span<char> PathField(RememberedFile file) {
    switch (file) {
    case RememberedFile::Configuration:
        return cfg.parFile;
    case RememberedFile::Mapping:
        return cfg.mapFile;
    case RememberedFile::MapTuning:
        return cfg.mtpFile;
    case RememberedFile::CoCorrection:
        break;
    }
    return cfg.cocFile;
}

// A path read from the file must end inside its field, whatever the file held.
template <std::size_t N> void Terminate(char (&path)[N]) {
    path[N - 1] = '\0';
}

} // namespace

void ReadInitFile() {
    char path[1100];
    SettingsPath(path);
    // Only a record of exactly our size is ours; anything else (another program's record) gives defaults.
    if (FileToArray(path, std::as_writable_bytes(std::span(&cfg, 1))) != FILE_OK) SetDefaults();
    Terminate(cfg.mapFile);
    Terminate(cfg.parFile);
    Terminate(cfg.mtpFile);
    Terminate(cfg.cocFile);
    if (cfg.point.x < 0) cfg.point.x = 0;
    if (cfg.point.y < 5) cfg.point.y = 5;
    // The edit popups' places are kept only while the program runs: every read starts them afresh.
    TellSettingsRead();
}

int WriteInitFile() {
    char path[1100];
    SettingsPath(path);
    return ArrayToFile(path, std::as_bytes(std::span(&cfg, 1)));
}

const char* RememberedPath(RememberedFile file) {
    return PathField(file).data();
}

void RememberFile(RememberedFile file, const char* path) {
    CopyText(path, PathField(file));
    WriteInitFile();
}

void SetSettingsPort(std::int16_t port) {
    cfg.port = port;
}

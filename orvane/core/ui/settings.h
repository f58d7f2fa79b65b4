// The program settings record, kept whole in "dervalon.ini" beside the program.
#pragma once

#include <cstddef>
#include <cstdint>

struct SettingsPoint {
    std::int32_t x;
    std::int32_t y;
};

struct ProgramSettings {
    std::int16_t port; // value of the chosen RINGport item: negative = the USB adapter, 0+ = a COM port
    char mapFile[260]; // last mapping data file
    char parFile[260]; // last configuration data file
    char mtpFile[260]; // last map-tuning settings file
    char cocFile[260]; // last CO-correction edit file
    SettingsPoint point;
    std::int32_t reserved[3];
};
static_assert(sizeof(ProgramSettings) == 1064);
static_assert(offsetof(ProgramSettings, mapFile) == 2);
static_assert(offsetof(ProgramSettings, parFile) == 262);
static_assert(offsetof(ProgramSettings, mtpFile) == 522);
static_assert(offsetof(ProgramSettings, cocFile) == 782);
static_assert(offsetof(ProgramSettings, point) == 1044);
static_assert(offsetof(ProgramSettings, reserved) == 1052);

extern ProgramSettings cfg;

// Position of a value popup, remembered only while the program runs; 0x80000000 = not placed yet.
inline constexpr std::int32_t kUnplaced = INT32_MIN;

void ReadInitFile();
int WriteInitFile();

// The files whose paths the settings remember.
enum class RememberedFile { Configuration, Mapping, MapTuning, CoCorrection };
// The remembered path of a kind of file; empty when there is none.
const char* RememberedPath(RememberedFile file);
// Remembers path for a kind of file (empty: forgets it) and saves the settings.
void RememberFile(RememberedFile file, const char* path);
// The port the settings name; saved with the next WriteInitFile.
void SetSettingsPort(std::int16_t port);

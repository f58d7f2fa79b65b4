// Data sets as files: a configuration data file ("ecd") holds ecuParData, a mapping data file ("emd")
// ecuMapData, each as the image's raw bytes in host order, nothing before or after. The last file of each
// kind is remembered in the settings, and a successful load or store makes it the reference copy.
#pragma once

#include <cstdint>

// kind 1 configuration, 2 mapping. With no path or an empty one the user chooses the file. True also when
// the user cancels the file dialog.
bool StoreEcu(const char* path, std::uint16_t kind);
// How LoadEcu finds its file and whether it speaks.
enum LoadMode : std::uint8_t {
    // The remembered file, without a word (start-up): a file of another version or of another
    // application is neither loaded nor forgotten; it waits for kLoadRemembered once the window shows.
    kLoadSilently = 0,
    kLoadChosen = 1,     // the user chooses the file in a dialog (the Load button)
    kLoadRemembered = 2, // the remembered file, with the questions and messages of a chosen one
};
// True when the file was loaded, and in the modes that speak also when the dialog was cancelled or the
// file was refused with the user's word (the image then stays as it was).
bool LoadEcu(std::uint8_t mode, std::uint16_t kind);

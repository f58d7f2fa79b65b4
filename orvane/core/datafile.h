// Data sets as files: a configuration data file ("ecd") holds ecuParData, a mapping data file ("emd")
// ecuMapData, each as the image's raw bytes in host order, nothing before or after. The last file of each
// kind is remembered in the settings, and a successful load or store makes it the reference copy.
#pragma once

#include <cstdint>

// kind 1 configuration, 2 mapping. With no path or an empty one the user chooses the file. True also when
// the user cancels the file dialog.
bool StoreEcu(const char* path, std::uint16_t kind);
// interactive: the user chooses the file; otherwise the remembered path. True also when the dialog was
// cancelled or the file was refused with a message (the image then stays as it was).
bool LoadEcu(std::uint8_t interactive, std::uint16_t kind);

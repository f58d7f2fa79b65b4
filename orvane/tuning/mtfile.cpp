// Tracking settings files (".mtp"): the settings record byte for byte in host order, 200 bytes, no header.
// The path of the last file stored or loaded is remembered in the program settings.
#include "orvane/core/logic/utils.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/settings.h"
#include "orvane/tuning/map2.h"
#include "orvane/tuning/mtstate.h"
#include "platform/sys/textout.h"
#include "platform/sys/utility.h"
#include "platform/ui/userint.h"

#include <array>
#include <cstring>
#include <string>

namespace {

constexpr char kExt[] = "mtp";
constexpr char kStoreTitle[] = "Store map-tuning settings";
constexpr char kLoadTitle[] = "Load map-tuning settings";
constexpr char kAnyFile[] = "*.mtp";

using Path = std::array<char, sizeof cfg.mtpFile>;

} // namespace

bool StoreMtSettings() {
    Path dir{};
    Path drive{};
    SplitPath(cfg.mtpFile, drive, dir, {});
    const std::string startDir = std::string(drive.data()) + dir.data();
    Path proposed{};
    SplitFileName(cfg.mtpFile, proposed);
    if (proposed[0] == '\0')
        CopyText(kAnyFile, proposed);
    else
        SetFileExtension(proposed, kExt);
    Path path{};
    const int chosen = FileSelectPopup(startDir.c_str(), proposed.data(), "", kStoreTitle, VAL_SAVE_BUTTON, 0,
                                       1, 1, 1, path);
    if (chosen == VAL_NO_FILE_SELECTED) return true;
    const bool ok = (chosen == VAL_EXISTING_FILE_SELECTED || chosen == VAL_NEW_FILE_SELECTED) &&
                    SetFileExtension(path, kExt) != nullptr &&
                    ArrayToFile(path.data(), std::as_bytes(std::span(&mtSettings, 1))) == FILE_OK;
    if (ok)
        RememberFile(RememberedFile::MapTuning, path.data());
    else
        MessagePopup(kStoreTitle, szGenericError);
    return ok;
}

bool LoadMtSettings(int interactive) {
    Path path{};
    if (interactive) {
        Path proposed{};
        CopyText(cfg.mtpFile, proposed);
        if (proposed[0] == '\0')
            CopyText(kAnyFile, proposed);
        else
            SetFileExtension(proposed, kExt);
        const int chosen =
            FileSelectPopup("", proposed.data(), "", kLoadTitle, VAL_LOAD_BUTTON, 0, 1, 1, 0, path);
        if (chosen == VAL_NO_FILE_SELECTED) return true;
        if (chosen != VAL_EXISTING_FILE_SELECTED) path[0] = '\0';
    } else {
        CopyText(cfg.mtpFile, path);
    }
    // Read into a scratch record and adopted only whole: a short or failed read changes nothing.
    MTSETTINGS read{};
    const bool ok = path[0] != '\0' && SetFileExtension(path, kExt) != nullptr &&
                    FileToArray(path.data(), std::as_writable_bytes(std::span(&read, 1))) == FILE_OK;
    if (ok) {
        AdoptMtSettings(read);
        RememberFile(RememberedFile::MapTuning, path.data());
    } else if (interactive) {
        MessagePopup(kLoadTitle, szGenericError);
    }
    ScatterMp2Panel();
    return ok;
}

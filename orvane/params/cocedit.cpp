#include "orvane/params/cocedit.h"

#include "orvane/core/logic/com.h"
#include "orvane/core/logic/utils.h"
#include "orvane/core/logic/values.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/settings.h"
#include "orvane/core/ui/transfer.h"
#include "orvane/params/params.h"
#include "orvane/ui/screen.h"
#include "platform/sys/textout.h"
#include "platform/sys/utility.h"
#include "platform/ui/userint.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

CocEditRecord cocEditData;
CocEditRecord cocEditRefData;
CocEditRecord cocEditDataTemp;
std::uint8_t cocEditInfo = 0;
std::uint8_t fCocEditMode = 0;

namespace {

constexpr const char* kExt = "ced";
constexpr const char* kPattern = "*.ced";
constexpr const char* kStoreTitle = "Store CO-Correction Edit Data";
constexpr const char* kLoadTitle = "Load CO-Correction Edit Data";
constexpr const char* kReceiveTitle = "Receive CO-Correction Edit Data";
constexpr const char* kSendTitle = "Send CO-Correction Edit Data";
constexpr std::int16_t kUnitFactor = 1000;

using Path = std::array<char, sizeof cfg.cocFile>;

// A file is read here first and becomes the edit data only when all of it arrived.
CocEditRecord fileRecord;

// Reads the first bytes of a file into the edit data; a file too short leaves it as it was.
bool ReadCocFile(const char* path) {
    if (FileHeadToArray(path, BytesOf(fileRecord)) != FILE_OK) return false;
    cocEditData = fileRecord;
    return true;
}

// The three reads of the ECU's copies, each attempted even after another failed.
bool ReadEcuCopies() {
    const bool a = RequestEcuMap(MAP_BLOCK_COC_A, cocEditDataTemp.mapA);
    const bool b = RequestEcuMap(MAP_BLOCK_COC_B, cocEditDataTemp.mapB);
    const bool info = DoGetValues(VALUES_INFO, INFO_COC_EDIT, 0, 0, std::span(&cocEditInfo, 1));
    return a && b && info;
}

void DimButton(int control) {
    SetCtrlAttribute(hPr9Panel, control, ATTR_DIMMED, 1);
    ProcessDrawEvents();
}

template <std::size_t N> bool SameAxis(const std::int16_t (&a)[N], const std::int16_t (&b)[N]) {
    return std::equal(std::begin(a), std::end(a), std::begin(b));
}

// The breakpoints of both maps and the load reference, as the ECU has them.
bool MatchesEcuCopies() {
    const CocEditRecord& e = cocEditDataTemp;
    const CocEditRecord& d = cocEditData;
    return SameAxis(d.mapA.x, e.mapA.x) && SameAxis(d.mapB.x, e.mapB.x) && SameAxis(d.mapA.y, e.mapA.y) &&
           SameAxis(d.mapB.y, e.mapB.y) && d.loadRef == cocEditInfo;
}

// The ECU's axes and load reference over the record's; the cells stay where they are.
void ConvertToEcuAxes() {
    std::ranges::copy(cocEditDataTemp.mapA.x, cocEditData.mapA.x);
    std::ranges::copy(cocEditDataTemp.mapA.y, cocEditData.mapA.y);
    std::ranges::copy(cocEditDataTemp.mapB.x, cocEditData.mapB.x);
    std::ranges::copy(cocEditDataTemp.mapB.y, cocEditData.mapB.y);
    cocEditData.loadRef = cocEditInfo;
}

} // namespace

void InitCocEditData() {
    for (ExtMiniMap* map : {&cocEditData.mapA, &cocEditData.mapB}) {
        std::memset(map, 0, sizeof *map);
        for (auto& row : map->cells)
            std::ranges::fill(row, kUnitFactor);
    }
    cocEditData.loadRef = 0;
    UpdateRefCocEditData();
}

void SetCocEditMode(std::uint8_t on) {
    fCocEditMode = on != 0 ? 1 : 0;
}

void UpdateRefCocEditData() {
    cocEditRefData = cocEditData;
}

bool NewCocEditData() {
    return std::memcmp(&cocEditData, &cocEditRefData, sizeof cocEditData) != 0;
}

void StoreCocEditData() {
    Path drive{};
    Path dir{};
    SplitPath(cfg.cocFile, drive, dir, {});
    const std::string startDir = std::string(drive.data()) + dir.data();
    Path proposed{};
    SplitFileName(cfg.cocFile, proposed);

    if (fCocEditMode == 0) {
        MessagePopup(kStoreTitle, "Error - Edit Mode not active");
        return;
    }
    // A name that cannot take its extension is refused rather than cut: a cut path could name another file.
    if (proposed[0] == '\0')
        CopyText(kPattern, proposed);
    else if (SetFileExtension(proposed, kExt) == nullptr) {
        MessagePopup(kStoreTitle, szGenericError);
        return;
    }
    Path path{};
    const int chosen = FileSelectPopup(startDir.c_str(), proposed.data(), "", kStoreTitle, VAL_SAVE_BUTTON, 0,
                                       1, 1, 1, path);
    if (chosen == VAL_NO_FILE_SELECTED) return;
    if ((chosen != VAL_EXISTING_FILE_SELECTED && chosen != VAL_NEW_FILE_SELECTED) ||
        SetFileExtension(path, kExt) == nullptr ||
        ArrayToFile(path.data(), std::as_bytes(std::span(&cocEditData, 1))) != FILE_OK) {
        MessagePopup(kStoreTitle, szGenericError);
        return;
    }
    RememberFile(RememberedFile::CoCorrection, path.data());
    UpdateRefCocEditData();
}

void LoadCocEditData(int interactive) {
    Path path{};
    if (interactive == 0) {
        if (cfg.cocFile[0] == '\0') return;
        CopyText(cfg.cocFile, path);
        // A remembered file that cannot be read is forgotten, without a word at start-up.
        if (SetFileExtension(path, kExt) == nullptr || !ReadCocFile(path.data())) {
            RememberFile(RememberedFile::CoCorrection, "");
            return;
        }
        UpdateRefCocEditData();
        return;
    }

    Path proposed{};
    CopyText(cfg.cocFile, proposed);
    if (proposed[0] == '\0')
        CopyText(kPattern, proposed);
    else if (SetFileExtension(proposed, kExt) == nullptr) {
        MessagePopup(kLoadTitle, szGenericError);
        return;
    }
    const int chosen =
        FileSelectPopup("", proposed.data(), "", kLoadTitle, VAL_LOAD_BUTTON, 0, 1, 1, 0, path);
    if (chosen == VAL_NO_FILE_SELECTED) return;
    if (chosen != VAL_EXISTING_FILE_SELECTED || path[0] == '\0' || SetFileExtension(path, kExt) == nullptr ||
        !ReadCocFile(path.data())) {
        MessagePopup(kLoadTitle, szGenericError);
        return;
    }
    RememberFile(RememberedFile::CoCorrection, path.data());
    UpdateRefCocEditData();
}

bool ReceiveCocEditMap() {
    if (isComOpen == 0) return false;
    DimButton(PARM9::CBcocReceive);
    bool ok = false;
    {
        const MouseCursorScope wait(VAL_HOUR_GLASS_CURSOR);
        ok = ReadEcuCopies();
    }
    // Received data counts as unsaved: the reference copy stays.
    if (ok) {
        cocEditData.mapA = cocEditDataTemp.mapA;
        cocEditData.mapB = cocEditDataTemp.mapB;
        cocEditData.loadRef = cocEditInfo;
    }
    MessagePopup(kReceiveTitle, ok ? "Done!" : szGenericError);
    SetProgressBar(0, 0);
    return true;
}

bool SendCocEditMap() {
    if (isComOpen == 0) return false;
    DimButton(PARM9::CBcocSend);
    bool read = false;
    {
        const MouseCursorScope wait(VAL_HOUR_GLASS_CURSOR);
        read = ReadEcuCopies();
    }
    SetProgressBar(0, 0);
    if (!read) {
        MessagePopup(kSendTitle, szGenericError);
        return true;
    }
    if (!MatchesEcuCopies()) {
        if (ConfirmPopup(kSendTitle,
                         "Different break-point between the\nECU map and the CO-corr. file.\n"
                         "Do you want automatically convert\nthe files before sending?",
                         ConfirmDefault::No) == 0)
            return true;
        ConvertToEcuAxes();
    }
    // The load reference is never sent: the ECU's own is the one that counts.
    cocEditDataTemp.mapA = cocEditData.mapA;
    cocEditDataTemp.mapB = cocEditData.mapB;
    bool sent = false;
    {
        const MouseCursorScope wait(VAL_HOUR_GLASS_CURSOR);
        const bool a = SendEcuMap(MAP_BLOCK_COC_A, cocEditDataTemp.mapA);
        const bool b = SendEcuMap(MAP_BLOCK_COC_B, cocEditDataTemp.mapB);
        sent = a && b;
    }
    MessagePopup(kSendTitle, sent ? "Done!" : szGenericError);
    SetProgressBar(0, 0);
    return true;
}

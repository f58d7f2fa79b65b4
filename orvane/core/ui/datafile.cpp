#include "orvane/core/ui/datafile.h"

#include "orvane/core/logic/dataheader.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/logic/utils.h"
#include "orvane/core/ui/ecudata.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/settings.h"
#include "platform/sys/textout.h"
#include "platform/sys/utility.h"
#include "platform/ui/userint.h"

#include <array>
#include <cstring>
#include <span>
#include <string>

namespace {

using Path = std::array<char, sizeof cfg.parFile>;
static_assert(sizeof cfg.parFile == sizeof cfg.mapFile);

// Files are read here first and reach the image only when accepted.
EcuParData parFileBuffer;
EcuMapData mapFileBuffer;

struct FileKind {
    std::uint16_t kind;
    const char* ext;
    const char* storeTitle;
    const char* loadTitle;
    std::span<std::byte> image;
    std::span<std::byte> fileBuffer;
    DataHeader* imageHeader;
    RememberedFile remembered;
};

const FileKind kFileKinds[] = {
    {kParKind, "ecd", "Store ECU configuration data", "Load ECU configuration data", BytesOf(ecuParData),
     BytesOf(parFileBuffer), &ecuParData.header, RememberedFile::Configuration},
    {kMapKind, "emd", "Store ECU mapping data", "Load ECU mapping data", BytesOf(ecuMapData),
     BytesOf(mapFileBuffer), &ecuMapData.header, RememberedFile::Mapping},
};

const FileKind* FindKind(std::uint16_t kind) {
    for (const FileKind& k : kFileKinds)
        if (k.kind == kind) return &k;
    return nullptr;
}

std::string Pattern(const FileKind& k) {
    return std::string("*.") + k.ext;
}

// Where Store's dialog starts: the folder of the remembered file of the kind, else the program's folder.
std::string StoreDirectory(const FileKind& k) {
    Path dir{};
    Path drive{};
    SplitPath(RememberedPath(k.remembered), drive, dir, {});
    if (dir[0] == '\0') GetProjectDir(dir);
    return std::string(drive.data()) + dir.data();
}

// The path with the kind's extension set; false when it does not fit. When that gave the chosen file
// another name (an extension of up to four characters replaced) and the file so named exists, the user is
// asked before it is replaced: the dialog asked about the name it returned, not this one.
bool FinalStorePath(const FileKind& k, Path& path, bool* replaceRefused) {
    const Path chosen = path;
    if (SetFileExtension(path, k.ext) == nullptr) return false;
    *replaceRefused = false;
    if (chosen != path && FileExists(path.data())) {
        const std::string question =
            std::string(path.data()) + " already exists.\nDo you want to replace it?";
        *replaceRefused = !ConfirmPopup(k.storeTitle, question.c_str(), ConfirmDefault::No);
    }
    return true;
}

// The file's base name as the data set's name.
void ShowFileName(const FileKind& k, const char* path) {
    Path name{};
    SplitFileName(path, name);
    ShowConfigName(name.data(), static_cast<std::uint8_t>(k.kind));
}

// The refusal of a file whose header is ours but whose length is not the image's.
const char szDataFileSize[] = "Invalid data!\nFile truncated or of the wrong size.";

// Whether a file begins with this application's header, whatever its version.
bool HeaderIsOurs(const char* path) {
    DataHeader header;
    return FileHeadToArray(path, BytesOf(header)) == FILE_OK && CheckDataHeader(header) != -1;
}

void Forget(const FileKind& k) {
    RememberFile(k.remembered, "");
    ShowConfigName("", static_cast<std::uint8_t>(k.kind));
}

void Adopt(const FileKind& k, const char* path) {
    RememberFile(k.remembered, path);
    CopyEcuDataToRef(k.kind);
    ShowFileName(k, path);
}

} // namespace

bool StoreEcu(const char* givenPath, std::uint16_t kind) {
    const FileKind* found = FindKind(kind);
    if (found == nullptr) return false;
    const FileKind& k = *found;
    Path path{};
    if (givenPath == nullptr || givenPath[0] == '\0') {
        Path proposed{};
        GetConfigName(proposed.data(), proposed.size(), static_cast<std::uint8_t>(kind));
        if (proposed[0] == '\0')
            CopyText(Pattern(k), proposed);
        else if (SetFileExtension(proposed, k.ext) == nullptr)
            return false;
        const int chosen = FileSelectPopup(StoreDirectory(k).c_str(), proposed.data(), Pattern(k).c_str(),
                                           k.storeTitle, VAL_SAVE_BUTTON, 0, 1, 1, 1, path);
        if (chosen == VAL_NO_FILE_SELECTED) return true;
        if (chosen != VAL_EXISTING_FILE_SELECTED && chosen != VAL_NEW_FILE_SELECTED) return false;
    } else {
        CopyText(givenPath, path);
    }
    bool replaceRefused = false;
    if (!FinalStorePath(k, path, &replaceRefused)) return false;
    if (replaceRefused) return true;
    MakeDataHeader(*k.imageHeader);
    if (ArrayToFile(path.data(), k.image) != FILE_OK) return false;
    Adopt(k, path.data());
    return true;
}

bool LoadEcu(std::uint8_t mode, std::uint16_t kind) {
    const FileKind* found = FindKind(kind);
    if (found == nullptr) return false;
    const FileKind& k = *found;
    const bool speaks = mode != kLoadSilently;
    Path path{};
    if (mode == kLoadChosen) {
        Path proposed{};
        CopyText(RememberedPath(k.remembered), proposed);
        if (proposed[0] == '\0')
            CopyText(Pattern(k), proposed);
        else if (SetFileExtension(proposed, k.ext) == nullptr)
            return false;
        const int chosen = FileSelectPopup("", proposed.data(), Pattern(k).c_str(), k.loadTitle,
                                           VAL_LOAD_BUTTON, 0, 1, 1, 0, path);
        if (chosen == VAL_NO_FILE_SELECTED) return true;
        if (chosen != VAL_EXISTING_FILE_SELECTED) return false;
    } else {
        CopyText(RememberedPath(k.remembered), path);
    }
    if (path[0] == '\0') return false;
    if (SetFileExtension(path, k.ext) == nullptr) return false;

    switch (FileToArray(path.data(), k.fileBuffer)) {
    case FILE_OK:
        break;
    case FILE_SIZE_ERROR:
        // Not one of our images. Only a load that speaks says why; either way name and path are forgotten,
        // so that start-up does not refuse the same file again every time.
        if (speaks) {
            HeaderMessagePopup(k.loadTitle, HeaderIsOurs(path.data()) ? szDataFileSize : szForeignData);
            Forget(k);
            return true;
        }
        [[fallthrough]];
    default:
        Forget(k);
        return false;
    }

    DataHeader header;
    std::memcpy(&header, k.fileBuffer.data(), sizeof header);
    switch (CheckDataHeader(header)) {
    case 0:
    case -3:
        std::memcpy(k.image.data(), k.fileBuffer.data(), k.image.size());
        break;
    // Another application's or another version's file needs the user's word: a silent load leaves it
    // remembered and unloaded for the load that asks.
    case -1:
        if (!speaks) return false;
        HeaderMessagePopup(k.loadTitle, szForeignData);
        Forget(k);
        return true;
    default: {
        if (!speaks) return false;
        const std::string question = "Data stored by " + DataHeaderText(header) + "\n\nLoad anyway?";
        if (!HeaderConfirmPopup(k.loadTitle, question.c_str())) {
            Forget(k);
            return true;
        }
        std::memcpy(k.image.data(), k.fileBuffer.data(), k.image.size());
        MakeDataHeader(*k.imageHeader);
        break;
    }
    }
    Adopt(k, path.data());
    return true;
}

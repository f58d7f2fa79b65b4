#include "kestil/program.h"

#include "kestil/bload.h"
#include "kestil/connect.h"
#include "kestil/firmware.h"
#include "kestil/screen.h"
#include "kestil/settings.h"
#include "kestil/window.h"
#include "platform/ui/userint.h"
#include "shared/portlink.h"

#include <array>
#include <sys/stat.h>

namespace {

constexpr char kSpinner[] = "(|)|";
std::uint8_t spinIndex = 0; // kept from run to run: the spinner goes on where it stopped

// The highest number a block can carry; the end frame takes the number after the last data block.
constexpr std::uint64_t kMaxBlockNumber = 0xFFFF;

// The areas each system type's application lives in; area 0 of a 0x5600 system is never erased here.
constexpr std::uint8_t kAreas5600[] = {1, 2, 3, 4, 5, 6, 7};
constexpr std::uint8_t kAreas5534[] = {14};

bool EraseAreas() {
    std::span<const std::uint8_t> areas;
    if (sysType == kSysType5600) areas = kAreas5600;
    if (sysType == kSysType5534) areas = kAreas5534;
    if (areas.empty()) return false;
    for (std::uint8_t area : areas)
        if (!EraseArea(area)) return false;
    return true;
}

void ShowProgress(double kilobytes) {
    SetCtrlVal(hMainPanel, KESTIL::NUMprogress, kilobytes);
    ProcessSystemEvents();
}

void TurnSpinner() {
    spinIndex = spinIndex > 0 ? static_cast<std::uint8_t>(spinIndex - 1) : 3;
    const char label[2] = {kSpinner[spinIndex], '\0'};
    SetCtrlAttribute(hMainPanel, KESTIL::NUMprogress, ATTR_LABEL_TEXT, label);
}

// The copy that the boot loader takes, by the file's kind; an empty copy with the run's result.
TempCopy PrepareCopy(const char* path, int& result) {
    const int kind = CheckPreambolo(path);
    result = RESULT_ERROR;
    TempCopy copy;
    switch (kind) {
    case KIND_NOT_FIRMWARE:
        result = RESULT_INVALID_FILE;
        break;
    case KIND_OPEN_5600:
    case KIND_OPEN_5534:
        // New boot loaders take no open image.
        if (fOldBload)
            copy = CopyFirmware(path);
        else
            result = RESULT_INVALID_FILE;
        break;
    case KIND_TMK_5600:
    case KIND_TMK_5534:
        copy = AdjustPreambolo(path, sysType);
        break;
    default:
        break;
    }
    return copy;
}

// Sends the copy block by block after the erase; true when every block and the end frame were
// acknowledged and the whole copy went out.
bool SendBlocks(std::FILE* file, std::uint64_t size, std::uint64_t& sent) {
    std::array<std::uint8_t, 2 + kBlockData> data{};
    std::uint16_t block = 0;
    for (;;) {
        const std::size_t count = std::fread(data.data() + 2, 1, kBlockData, file);
        if (count == 0) break;
        data[0] = static_cast<std::uint8_t>(block >> 8);
        data[1] = static_cast<std::uint8_t>(block);
        if (!SendAndWait(BL_WRITE_BLOCK, data.data(), static_cast<std::uint8_t>(count + 2))) return false;
        TurnSpinner();
        ShowProgress(static_cast<double>(sent) / 1024.0);
        sent += count;
        ++block;
    }
    // A read error looks like the end of the file to fread: only a copy sent whole is closed as good.
    if (std::ferror(file) != 0 || sent != size) return false;
    data[0] = static_cast<std::uint8_t>(block >> 8);
    data[1] = static_cast<std::uint8_t>(block);
    return SendAndWait(BL_WRITE_BLOCK, data.data(), 2);
}

void DimForRun(int dimmed) {
    for (int control : {KESTIL::RINGport, KESTIL::CBprogram, KESTIL::CBexit})
        SetCtrlAttribute(hMainPanel, control, ATTR_DIMMED, dimmed);
}

} // namespace

bool SelzFirmwareFile(const char* title, std::span<char> path) {
    const int chosen =
        FileSelectPopup(cfg.lastDir, "*.kbf", "*.kbf", title, VAL_LOAD_BUTTON, 0, 0, 1, 1, path);
    if (chosen == VAL_NO_FILE_SELECTED) {
        if (!path.empty()) path[0] = '\0';
        return true;
    }
    return chosen == VAL_EXISTING_FILE_SELECTED;
}

int SendFirmware(const char* path) {
    int result = RESULT_ERROR;
    TempCopy copy = PrepareCopy(path, result);
    if (!copy) return result;
    struct stat info {};
    if (::stat(copy.path().c_str(), &info) != 0) return RESULT_ERROR;
    const auto size = static_cast<std::uint64_t>(info.st_size);
    FilePtr file(std::fopen(copy.path().c_str(), "rb"));
    if (!file) return RESULT_ERROR;
    // Nothing is erased unless what will be written is whole: an image after the tag, and few enough
    // blocks for their 16-bit numbers (the end frame's included).
    if (size <= kTagSize || (size + kBlockData - 1) / kBlockData > kMaxBlockNumber)
        return RESULT_INVALID_FILE;

    SetCtrlAttribute(hMainPanel, KESTIL::NUMprogress, ATTR_MAX_VALUE, static_cast<double>(size) / 1024.0);
    ShowProgress(0.0);
    std::uint64_t sent = 0;
    const bool ok = EraseAreas() && SendBlocks(file.get(), size, sent);

    file.reset();
    copy = TempCopy();
    SetCtrlAttribute(hMainPanel, KESTIL::NUMprogress, ATTR_LABEL_TEXT, "");
    ShowProgress(ok ? static_cast<double>(sent) / 1024.0 : 0.0);
    return ok ? RESULT_DONE : RESULT_ERROR;
}

int Send(int, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT || fProgramming) return 0;
    if (!isComOpen) {
        MessagePopup("Firmware Programming", "Connection error...");
        return 0;
    }
    char path[1024] = "";
    if (!SelzFirmwareFile("Firmware File", path) || path[0] == '\0') return 0;

    SetProgramming(true);
    {
        MouseCursorScope wait(VAL_HOUR_GLASS_CURSOR);
        DimForRun(1);
        // Whatever becomes of this file, the size of the run before is no longer what the window shows.
        SetCtrlVal(hMainPanel, KESTIL::NUMprogress, 0.0);
        SetCtrlVal(hMainPanel, KESTIL::TMstatus, "Programming...");
        ProcessSystemEvents();
        RememberFirmwareDir(path);
        ReportRunResult(SendFirmware(path));
    }
    DimForRun(0);
    SetProgramming(false);
    return 0;
}

#include "orvane/config/config.h"

#include "orvane/config/configbytes.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/connect.h"
#include "orvane/core/ui/fields.h"
#include "orvane/core/ui/loadpage.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/navigation.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <cstdio>
#include <cstring>

int hCaqPanel = 0;

namespace {

// A frame word: identifier in bits 0-10, rate code in bits 11-15 (0 = off).
constexpr std::uint16_t kIdMask = 0x07FF;
constexpr int kRateShift = 11;
constexpr std::size_t kFrames = std::size(EcuParData{}.canFrames);
constexpr int kRows = 70;
constexpr std::size_t kLineLength = 200; // characters of a labels line that are used

// The six controls of a row: identifier, rate, labels 1 to 4. The resource numbers them so that row r
// (1-based) has the identifier control kRowBase + (r - 1) * 6.
constexpr int kRowBase = CANACQ::NUMcanId1;
constexpr int kPerRow = 6;
constexpr int RowControl(int row, int column) {
    return kRowBase + (row - 1) * kPerRow + column;
}
static_assert(RowControl(1, 1) == CANACQ::RINGfreqId1 && RowControl(1, 2) == CANACQ::TMch1_1 &&
              RowControl(2, 0) == CANACQ::NUMcanId2 && RowControl(70, 5) == CANACQ::TMch4_70);

// Reads one line of at most kLineLength characters into line; the rest of a longer line is skipped, so
// it never becomes the next row's labels. False at the end of the file (or without a file).
bool ReadLabelLine(std::FILE* file, std::array<char, kLineLength + 1>& line) {
    if (file == nullptr) return false;
    std::size_t n = 0;
    int ch;
    while ((ch = std::fgetc(file)) != EOF && ch != '\n')
        if (n < kLineLength) line[n++] = static_cast<char>(ch);
    if (n > 0 && line[n - 1] == '\r') --n;
    line[n] = '\0';
    return ch != EOF || n > 0;
}

bool SetRowLabels(int row, const char* line) {
    const char* at = line;
    for (int k = 0; k < 4; ++k) {
        char label[kLineLength + 1] = "?";
        if (*at != '\0') {
            const char* end = std::strchr(at, ';');
            const std::size_t n = end != nullptr ? static_cast<std::size_t>(end - at) : std::strlen(at);
            std::memcpy(label, at, n);
            label[n] = '\0';
            at = end != nullptr ? end + 1 : at + n;
        }
        if (SetCtrlVal(hCaqPanel, RowControl(row, 2 + k), label) < 0) return false;
    }
    return true;
}

} // namespace

void InitCaqData() {
    for (std::size_t i = 0; i < kFrames; ++i)
        ecuParData.canFrames[i] = static_cast<std::uint16_t>(0x200 + 4 * i);
}

bool LoadCanLabels() {
    std::FILE* file = std::fopen("canlabel.ini", "r");
    bool ok = true;
    for (int row = 1; row <= kRows && ok; ++row) {
        std::array<char, kLineLength + 1> line{};
        const bool read = ReadLabelLine(file, line);
        // Identifiers read in hexadecimal, as the CAN identifiers of configuration page 2 do.
        ok = SetRowLabels(row, read ? line.data() : "") &&
             SetCtrlAttribute(hCaqPanel, RowControl(row, 0), ATTR_MIN_VALUE, 256.0) >= 0 &&
             SetCtrlAttribute(hCaqPanel, RowControl(row, 0), ATTR_MAX_VALUE, 2047.0) >= 0 &&
             SetCtrlAttribute(hCaqPanel, RowControl(row, 0), ATTR_HEX_FORMAT, 1) >= 0;
    }
    if (file != nullptr) std::fclose(file);
    return ok;
}

bool InitCaqPanel(int parent) {
    if (!LoadPage(parent, CANACQ::id, hCaqPanel)) return false;
    InitCaqData();
    return LoadCanLabels();
}

bool ScatterCaqPanel() {
    const int dimmed = ExtDbw() != 0 ? 0 : 1;
    for (int row = static_cast<int>(kFrames) + 1; row <= kRows; ++row)
        for (int column = 0; column < kPerRow; ++column)
            if (SetCtrlAttribute(hCaqPanel, RowControl(row, column), ATTR_DIMMED, dimmed) < 0) return false;
    for (std::size_t i = 0; i < kFrames; ++i) {
        const std::uint16_t word = ecuParData.canFrames[i];
        const int row = static_cast<int>(i) + 1;
        if (SetCtrlVal(hCaqPanel, RowControl(row, 1), word >> kRateShift) < 0 ||
            SetCtrlVal(hCaqPanel, RowControl(row, 0), word & kIdMask) < 0)
            return false;
    }
    return true;
}

bool GatherCaqPanel() {
    for (std::size_t i = 0; i < kFrames; ++i) {
        const int row = static_cast<int>(i) + 1;
        int id = 0, rate = 0;
        if (GetCtrlVal(hCaqPanel, RowControl(row, 0), &id) < 0 ||
            GetCtrlVal(hCaqPanel, RowControl(row, 1), &rate) < 0)
            return false;
        ecuParData.canFrames[i] =
            static_cast<std::uint16_t>((id & kIdMask) | ((rate << kRateShift) & 0xF800));
    }
    return true;
}

bool CaqTimer() {
    return Ping();
}

int DoCaqEvent(int panel, int control, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_GOT_FOCUS) return 0;
    if (!ScrollToShowCtrl(panel, control)) MessagePopup("CAN Configuration", szGenericError);
    return 0;
}

bool CheckCaqDuplicates() {
    std::bitset<kIdMask + 1> seen;
    for (std::uint16_t word : ecuParData.canFrames) {
        if ((word >> kRateShift) == 0) continue;
        const std::uint16_t id = word & kIdMask;
        if (seen[id]) return false;
        seen[id] = true;
    }
    return true;
}

// Yes lets the duplicates reach the ECU or a file, so Enter answers No.
bool IgnoreCaqWarning() {
    return CheckCaqDuplicates() || ConfirmPopup("Warning!", "Active CAN-frames with duplicate IDs.\nIgnore?",
                                                ConfirmDefault::No) != 0;
}

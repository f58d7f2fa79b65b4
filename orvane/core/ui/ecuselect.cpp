#include "orvane/core/ui/ecuselect.h"

#include "orvane/core/logic/datasets.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

int hEcuPanel = -1;
std::uint16_t ecuSelection = 0;
std::uint8_t ecuSelectionDone = 0;

namespace {

struct Choice {
    int control;
    std::uint16_t kind;
    bool forFiles;    // offered to Load and Store
    bool forTransfer; // offered to Send and Receive
};

// The four data buttons; CBcancel (choice 0) is always offered.
constexpr Choice kChoices[] = {
    {ECUSELZ::CBparData, AREA_PAR, true, true},
    {ECUSELZ::CBmapData, AREA_MAP_SLOT1, true, false},
    {ECUSELZ::CBmapData1, AREA_MAP_SLOT1, false, true},
    {ECUSELZ::CBmapData2, AREA_MAP_SLOT2, false, true},
};

} // namespace

bool InitEcuPanel(int parent) {
    hEcuPanel = LoadPanel(parent, "screen.uir", ECUSELZ::id);
    return hEcuPanel > 0;
}

std::uint16_t SelectEcuData(std::uint8_t mode) {
    const bool files = mode == kSelectForFiles;
    // A popup that cannot show would wait for ever: that counts as cancelled.
    if (InstallPopup(hEcuPanel) < 0) return 0;
    for (const Choice& c : kChoices)
        SetCtrlAttribute(hEcuPanel, c.control, ATTR_VISIBLE, (files ? c.forFiles : c.forTransfer) ? 1 : 0);
    ecuSelectionDone = 0;
    while (ecuSelectionDone == 0)
        WaitSystemEvents();
    for (const Choice& c : kChoices)
        SetCtrlAttribute(hEcuPanel, c.control, ATTR_VISIBLE, 0);
    RemovePopup(0);
    if (!files) return ecuSelection;
    if (ecuSelection == AREA_PAR) return kParKind;
    if (IsMappingSlot(ecuSelection)) return kMapKind;
    return 0;
}

int DlgEcuDataSelection(int, int control, int event, void*, int, int) {
    if (CheckfBusy()) return 0;
    if (event != EVENT_COMMIT) return 0;
    if (control == ECUSELZ::CBcancel) {
        ecuSelection = 0;
        ecuSelectionDone = 1;
    }
    for (const Choice& c : kChoices) {
        if (c.control != control) continue;
        ecuSelection = c.kind;
        ecuSelectionDone = 1;
    }
    return 0;
}

#include "orvane/core/ui/datacmds.h"

#include "orvane/core/logic/com.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/datafile.h"
#include "orvane/core/ui/ecuselect.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/pageregistry.h"
#include "orvane/core/ui/transfer.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

namespace {

void DimButton(int control, bool dimmed) {
    SetCtrlAttribute(hMainPanel, control, ATTR_DIMMED, dimmed ? 1 : 0);
    if (dimmed) ProcessDrawEvents();
}

} // namespace

int Load(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    const std::uint16_t kind = SelectEcuData(kSelectForFiles);
    if (kind == 0) return 0;
    if (!MayRunCommand()) return 0;
    DimButton(MAIN::CBload, true);
    bool ok;
    {
        const MouseCursorScope wait(VAL_HOUR_GLASS_CURSOR);
        ProcessDrawEvents();
        GatherAllPanels();
        ok = LoadEcu(kLoadChosen, kind) && ScatterAllPanels();
    }
    if (!ok) MessagePopup("Load", szGenericError);
    DimButton(MAIN::CBload, false);
    return 0;
}

int Store(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    const std::uint16_t kind = SelectEcuData(kSelectForFiles);
    if (kind == 0) return 0;
    if (!MayRunCommand()) return 0;
    DimButton(MAIN::CBstore, true);
    bool ok = GatherAllPanels();
    const bool refused = ok && kind == kParKind && !MayWriteConfiguration(); // silently: the user said no
    if (ok && !refused) {
        const MouseCursorScope wait(VAL_HOUR_GLASS_CURSOR);
        ok = StoreEcu(nullptr, kind) && ScatterAllPanels();
    }
    if (!ok) MessagePopup("Store", szGenericError);
    DimButton(MAIN::CBstore, false);
    return 0;
}

int Send(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    if (!MayRunCommand()) return 0;
    SetSending(true);
    DimButton(MAIN::CBsend, true);
    const std::uint16_t kind = SelectEcuData(kSelectForTransfer);
    if (kind != 0) {
        bool ok = GatherAllPanels();
        const bool refused = ok && kind == kParKind && !MayWriteConfiguration();
        if (!refused) {
            if (ok) {
                const MouseCursorScope wait(VAL_HOUR_GLASS_CURSOR);
                ok = isComOpen && SendEcu(kind);
            }
            if (ok) RequestLiveRefresh();
            MessagePopup("Send", ok ? "Done!" : szGenericError);
        }
    }
    SetProgressBar(0, 0);
    SetSending(false);
    return 0;
}

int Receive(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    if (!MayRunCommand()) return 0;
    SetReceiving(true);
    DimButton(MAIN::CBreceive, true);
    const std::uint16_t kind = SelectEcuData(kSelectForTransfer);
    if (kind != 0) {
        bool ok;
        {
            const MouseCursorScope wait(VAL_HOUR_GLASS_CURSOR);
            GatherAllPanels();
            ProcessDrawEvents();
            ok = isComOpen && RequestEcu(kind);
            if (ok) ScatterAllPanels();
        }
        MessagePopup("Receive", ok ? "Done!" : szGenericError);
    }
    SetProgressBar(0, 0);
    SetReceiving(false);
    return 0;
}

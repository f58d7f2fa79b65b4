// The drive-by-wire page: the master flag, the three potentiometer pairs, both throttle bodies' PID
// loops and limits, and the throttle references.
#include "orvane/config/catalogue.h"
#include "orvane/config/config.h"
#include "orvane/core/connect.h"
#include "orvane/core/fields.h"
#include "orvane/core/page.h"
#include "orvane/core/repairs.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

int hCg4Panel = 0;

namespace {

using namespace CONFIG4;
using enum Raw;

constexpr std::size_t kExtDbw = 0x7B3;
constexpr std::size_t kLoop1 = 0x724, kLoop2 = 0x738;     // PID loop records, 20 bytes each
constexpr std::size_t kLimits1 = 0x74C, kLimits2 = 0x756; // limit records, 10 bytes each

// The page's fields in the order the page shows them.
constexpr FieldBinding kFields[] = {
    Toggle(TBextDbw, kExtDbw, 0),
    Ring(RINGtypePotGas, 0x7BC, 0),
    Num(NUMdblGasTol, 0x764, U16, 1, 0, 1023, 0),
    Num(NUMdblGasMaxWait, 0x76A, U16, 1, 0, 32767, 0),
    Ring(RINGtypePotDbw1, 0x7BD, 0),
    Num(NUMdblDbw1Tol, 0x766, U16, 1, 0, 1023, 0),
    Num(NUMdblDbw1MaxWait, 0x76C, U16, 1, 0, 32767, 0),
    Ring(RINGtypePotDbw2, 0x7BE, 0),
    Num(NUMdblDbw2Tol, 0x768, U16, 1, 0, 1023, 0),
    Num(NUMdblDbw2MaxWait, 0x76E, U16, 1, 0, 32767, 0),
    Toggle(TBdbwRefCyl1, 0x7BF, 1),
    Toggle(TBdbwRefCyl2, 0x7C0, 1),
    Toggle(TBdbwRefCyl3, 0x7C1, 1),
    Toggle(TBdbwRefCyl4, 0x7C2, 1),
    Toggle(TBcutOffEgripRef, 0x7C3, 0),
    Toggle(TBcocEgripRef, 0x7C4, 0),
    // body 1
    Num(NUMhzDbw1, 0x760, U16, 1, 10, 20000, 1000),
    Num(NUMdbw1KpOpen, kLoop1 + 0, U16, 256, 0, 250, 0),
    Num(NUMdbw1KiOpen, kLoop1 + 2, U16, 256, 0, 250, 0),
    Num(NUMdbw1KdOpen, kLoop1 + 4, U16, 256, 0, 250, 0),
    Num(NUMdbw1KfOpen, kLoop1 + 6, U16, 256, 0, 250, 0),
    Num(NUMdbw1OfsCmdOpen, kLoop1 + 8, I16, 10, -50, 50, 0),
    Num(NUMdbw1KpClose, kLoop1 + 10, U16, 256, 0, 250, 0),
    Num(NUMdbw1KiClose, kLoop1 + 12, U16, 256, 0, 250, 0),
    Num(NUMdbw1KdClose, kLoop1 + 14, U16, 256, 0, 250, 0),
    Num(NUMdbw1KfClose, kLoop1 + 16, U16, 256, 0, 250, 0),
    Num(NUMdbw1OfsCmdClose, kLoop1 + 18, I16, 10, -50, 50, 0),
    Num(NUMdbw1DcThr, kLimits1 + 0, I16, 10, 0, 100, 0),
    Num(NUMdbw1ThrResetI, kLimits1 + 2, I16, 10, 0, 100, 0),
    Num(NUMdbw1Tol, kLimits1 + 4, I16, 1, 0, 1023, 0),
    Num(NUMdbw1ExtraTol, kLimits1 + 6, I16, 1, 0, 1023, 0),
    Num(NUMdbw1MaxWait, kLimits1 + 8, U16, 1, 0, 32767, 0),
    Toggle(TBdbw1Fwl, 0x7BA, 0),
    Ring(RINGlvlIdbw1, 0x7B8, 0),
    // body 2
    Num(NUMhzDbw2, 0x762, U16, 1, 10, 20000, 1000),
    Num(NUMdbw2KpOpen, kLoop2 + 0, U16, 256, 0, 250, 0),
    Num(NUMdbw2KiOpen, kLoop2 + 2, U16, 256, 0, 250, 0),
    Num(NUMdbw2KdOpen, kLoop2 + 4, U16, 256, 0, 250, 0),
    Num(NUMdbw2KfOpen, kLoop2 + 6, U16, 256, 0, 250, 0),
    Num(NUMdbw2OfsCmdOpen, kLoop2 + 8, I16, 10, -50, 50, 0),
    Num(NUMdbw2KpClose, kLoop2 + 10, U16, 256, 0, 250, 0),
    Num(NUMdbw2KiClose, kLoop2 + 12, U16, 256, 0, 250, 0),
    Num(NUMdbw2KdClose, kLoop2 + 14, U16, 256, 0, 250, 0),
    Num(NUMdbw2KfClose, kLoop2 + 16, U16, 256, 0, 250, 0),
    Num(NUMdbw2OfsCmdClose, kLoop2 + 18, I16, 10, -50, 50, 0),
    Num(NUMdbw2DcThr, kLimits2 + 0, I16, 10, 0, 100, 0),
    Num(NUMdbw2ThrResetI, kLimits2 + 2, I16, 10, 0, 100, 0),
    Num(NUMdbw2Tol, kLimits2 + 4, I16, 1, 0, 1023, 0),
    Num(NUMdbw2ExtraTol, kLimits2 + 6, I16, 1, 0, 1023, 0),
    Num(NUMdbw2MaxWait, kLimits2 + 8, U16, 1, 0, 32767, 0),
    Toggle(TBdbw2Fwl, 0x7BB, 0),
    Ring(RINGlvlIdbw2, 0x7B9, 0),
};
static_assert(CheckBindings(kFields));

bool DbwOff() {
    return !ExtDbw();
}
template <int K> bool CylinderDimmed() {
    return !ExtDbw() || CylinderCount() < K;
}

// Every setting but the flag itself follows the flag; the cylinder references also the cylinder count.
const CtrlRule kRules[] = {
    {TBdbwRefCyl1, ATTR_DIMMED, CylinderDimmed<1>},
    {TBdbwRefCyl2, ATTR_DIMMED, CylinderDimmed<2>},
    {TBdbwRefCyl3, ATTR_DIMMED, CylinderDimmed<3>},
    {TBdbwRefCyl4, ATTR_DIMMED, CylinderDimmed<4>},
};

bool ConfigureCg4() {
    if (!ConfigureFields(hCg4Panel, kFields)) return false;
    for (const FieldBinding& b : kFields)
        if (b.control != TBextDbw &&
            SetCtrlAttribute(hCg4Panel, b.control, ATTR_DIMMED, DbwOff() ? 1 : 0) < 0)
            return false;
    return ApplyRules(hCg4Panel, kRules);
}

// Out-of-list codes in loaded or received data become 0.
bool CheckCg4() {
    bool changed = false;
    for (std::size_t offset : {0x7BC, 0x7BD, 0x7BE, 0x7B8, 0x7B9}) {
        auto code = static_cast<std::uint8_t>(ReadField(Image::Par, offset, U8));
        if (ResetOutside<std::uint8_t>(code, 0, 2, 0)) {
            WriteField(Image::Par, offset, U8, code);
            changed = true;
        }
    }
    return changed;
}

} // namespace

std::uint8_t ExtDbw() {
    return static_cast<std::uint8_t>(ReadField(Image::Par, kExtDbw, U8));
}

void InitCg4Data() {
    InitFields(kFields);
}

bool InitCg4Panel(int parent) {
    if (!LoadPage(parent, CONFIG4::id, hCg4Panel)) return false;
    InitCg4Data();
    return true;
}

bool ScatterCg4Panel() {
    return ConfigureCg4() && ScatterFields(hCg4Panel, kFields);
}

bool GatherCg4Panel() {
    if (!GatherFields(hCg4Panel, kFields)) return false;
    return CheckCg4() ? ScatterCg4Panel() : true;
}

bool Cg4Timer() {
    return Ping();
}

int DoCg4Event(int, int, int event, void*, int, int) {
    return RefreshOnCommit(event, {"Drive by Wire", GatherCg4Panel, ScatterCg4Panel});
}

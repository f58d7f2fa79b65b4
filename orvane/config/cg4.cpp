// The drive-by-wire page: the master flag, the three potentiometer pairs, both throttle bodies' PID
// loops and limits, and the throttle references.
#include "orvane/config/catalogue.h"
#include "orvane/config/config.h"
#include "orvane/config/configbytes.h"
#include "orvane/core/connect.h"
#include "orvane/core/fields.h"
#include "orvane/core/imagerepairs.h"
#include "orvane/core/loadpage.h"
#include "orvane/core/repairs.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <array>

int hCg4Panel = 0;

namespace {

using namespace CONFIG4;
using enum Raw;

constexpr std::size_t kLoop1 = 0x724, kLoop2 = 0x738;     // PID loop records, 20 bytes each
constexpr std::size_t kLimits1 = 0x74C, kLimits2 = 0x756; // limit records, 10 bytes each

// One throttle body's controls: its PID loop record, limit record and own settings.
struct BodyControls {
    int hz, kpOpen, kiOpen, kdOpen, kfOpen, ofsOpen, kpClose, kiClose, kdClose, kfClose, ofsClose;
    int dcThr, thrResetI, tol, extraTol, maxWait, fwl, lvlI;
};
struct BodyFields {
    std::size_t hz, loop, limits, fwl, lvlI;
};

constexpr FieldBinding Gain(int control, std::size_t offset) {
    return Num(control, offset, U16, 256, 0, 250, 0); // unsigned 8.8
}

// In the page's order: frequency, the loop record (open gains and offset, close gains and offset),
// the limit record, free wheeling, current limit.
constexpr std::array<FieldBinding, 18> Body(const BodyControls& c, const BodyFields& at) {
    return {{
        Num(c.hz, at.hz, U16, 1, 10, 20000, 1000),
        Gain(c.kpOpen, at.loop + 0),
        Gain(c.kiOpen, at.loop + 2),
        Gain(c.kdOpen, at.loop + 4),
        Gain(c.kfOpen, at.loop + 6),
        Num(c.ofsOpen, at.loop + 8, I16, 10, -50, 50, 0),
        Gain(c.kpClose, at.loop + 10),
        Gain(c.kiClose, at.loop + 12),
        Gain(c.kdClose, at.loop + 14),
        Gain(c.kfClose, at.loop + 16),
        Num(c.ofsClose, at.loop + 18, I16, 10, -50, 50, 0),
        Num(c.dcThr, at.limits + 0, I16, 10, 0, 100, 0),
        Num(c.thrResetI, at.limits + 2, I16, 10, 0, 100, 0),
        Num(c.tol, at.limits + 4, I16, 1, 0, 1023, 0),
        Num(c.extraTol, at.limits + 6, I16, 1, 0, 1023, 0),
        Num(c.maxWait, at.limits + 8, U16, 1, 0, 32767, 0),
        Toggle(c.fwl, at.fwl, 0),
        Ring(c.lvlI, at.lvlI, 0),
    }};
}

// The flag, the potentiometer pairs and the references, in the order the page shows them.
constexpr std::array kCommonFields{
    Toggle(TBextDbw, kParExtDbw, 0),
    Ring(RINGtypePotGas, 0x7BC, 0),
    Num(NUMdblGasTol, 0x764, U16, 1, 0, 1023, 0),
    Num(NUMdblGasMaxWait, 0x76A, U16, 1, 0, 32767, 0),
    Ring(RINGtypePotDbw1, 0x7BD, 0),
    Num(NUMdblDbw1Tol, 0x766, U16, 1, 0, 1023, 0),
    Num(NUMdblDbw1MaxWait, 0x76C, U16, 1, 0, 32767, 0),
    Ring(RINGtypePotDbw2, 0x7BE, 0),
    Num(NUMdblDbw2Tol, 0x768, U16, 1, 0, 1023, 0),
    Num(NUMdblDbw2MaxWait, 0x76E, U16, 1, 0, 32767, 0),
    Toggle(TBdbwRefCyl1, kParDbwRefCyl + 0, 1),
    Toggle(TBdbwRefCyl2, kParDbwRefCyl + 1, 1),
    Toggle(TBdbwRefCyl3, kParDbwRefCyl + 2, 1),
    Toggle(TBdbwRefCyl4, kParDbwRefCyl + 3, 1),
    Toggle(TBcutOffEgripRef, kParCutOffEgripRef, 0),
    Toggle(TBcocEgripRef, kParCocEgripRef, 0),
};

constexpr auto kFields = JoinFields(
    kCommonFields,
    Body({NUMhzDbw1, NUMdbw1KpOpen, NUMdbw1KiOpen, NUMdbw1KdOpen, NUMdbw1KfOpen, NUMdbw1OfsCmdOpen,
          NUMdbw1KpClose, NUMdbw1KiClose, NUMdbw1KdClose, NUMdbw1KfClose, NUMdbw1OfsCmdClose, NUMdbw1DcThr,
          NUMdbw1ThrResetI, NUMdbw1Tol, NUMdbw1ExtraTol, NUMdbw1MaxWait, TBdbw1Fwl, RINGlvlIdbw1},
         {0x760, kLoop1, kLimits1, 0x7BA, 0x7B8}),
    Body({NUMhzDbw2, NUMdbw2KpOpen, NUMdbw2KiOpen, NUMdbw2KdOpen, NUMdbw2KfOpen, NUMdbw2OfsCmdOpen,
          NUMdbw2KpClose, NUMdbw2KiClose, NUMdbw2KdClose, NUMdbw2KfClose, NUMdbw2OfsCmdClose, NUMdbw2DcThr,
          NUMdbw2ThrResetI, NUMdbw2Tol, NUMdbw2ExtraTol, NUMdbw2MaxWait, TBdbw2Fwl, RINGlvlIdbw2},
         {0x762, kLoop2, kLimits2, 0x7BB, 0x7B9}));
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
    for (const FieldBinding& b : kFields)
        if (b.control != TBextDbw &&
            SetCtrlAttribute(hCg4Panel, b.control, ATTR_DIMMED, DbwOff() ? 1 : 0) < 0)
            return false;
    return ApplyRules(hCg4Panel, kRules);
}

// Out-of-list codes in loaded or received data become 0.
bool CheckCg4() {
    bool changed = false;
    for (std::size_t offset : {0x7BC, 0x7BD, 0x7BE, 0x7B8, 0x7B9})
        changed |= ResetOutsideAt<std::uint8_t>(Image::Par, offset, 0, 2, 0);
    return changed;
}

constexpr FieldPart kParts[] = {Part(kFields)};
const FieldPage kPage = {&hCg4Panel, kParts, ConfigureCg4, CheckCg4};

} // namespace

void InitCg4Data() {
    InitFields(kFields);
}

bool InitCg4Panel(int parent) {
    if (!LoadPage(parent, CONFIG4::id, hCg4Panel)) return false;
    InitCg4Data();
    return true;
}

bool ScatterCg4Panel() {
    return ScatterFieldPage(kPage);
}

bool GatherCg4Panel() {
    return GatherFieldPage(kPage);
}

bool Cg4Timer() {
    return Ping();
}

int DoCg4Event(int, int, int event, void*, int, int) {
    return RefreshOnCommit(event, {"Drive by Wire", GatherCg4Panel, ScatterCg4Panel});
}

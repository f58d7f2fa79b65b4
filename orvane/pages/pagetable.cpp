// Every page of the program: adding a page is one entry below (and its place in the orders).
#include "orvane/config/config.h"
#include "orvane/core/ecuselect.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/pageregistry.h"
#include "orvane/core/protect.h"
#include "orvane/live/diagnost.h"
#include "orvane/live/live.h"
#include "orvane/maps/graph2d.h"
#include "orvane/maps/map1.h"
#include "orvane/maps/plot.h"
#include "orvane/params/params.h"
#include "orvane/tables/tables.h"
#include "orvane/tuning/map2.h"
#include "orvane/ui/screen.h"

#include <array>

namespace {

using enum PageGroup;

// The map editor is read back unless the tuning page holds its data.
bool GatherMapEditor() {
    return hCurPanel == hMp2Panel || GatherMp1Panel(1);
}

// Leaving the map editor hides its graphs; leaving the tuning page refills the map editor.
void LeaveMapEditor() {
    ShowPltPanel(false);
    ShowGrpPanel(false);
}
void LeaveTuningPage() {
    ScatterMp1Panel();
}

// A bench adjustment or a reset action not yet sent belongs to the page it was made on.
void LeaveBenchPage() {
    SetBenchAdjust(0, 0);
}
void LeaveDiagnostics() {
    RequestDgnAction(0);
}

bool Lv1Tick() {
    return LiveTick(0);
}
bool Lv2Tick() {
    return LiveTick(1);
}

// Indices of the entries below, for the orders.
enum Id : std::uint8_t {
    Mp1,
    Mp2,
    Ij1,
    Ij2,
    Adv,
    Pr1,
    Pr2,
    Pr3,
    Pr4,
    Pr5,
    Pr6,
    Pr7,
    Pr8,
    Pr9,
    Pr10,
    Ln1,
    Ln2,
    Cg1,
    Cg2,
    Cg3,
    Cg4,
    Caq,
    Dgn,
    Lv1,
    Lv2,
    Pwd,
    Ecu,
    kPageCount
};

// In tab order within each group.
const std::array<Page, kPageCount> kPages{{
    {&hMp1Panel, InitMp1Panel, ScatterMp1Panel, GatherMapEditor, Mp1Timer, None, 0, nullptr, LeaveMapEditor},
    {&hMp2Panel, InitMp2Panel, ScatterMp2Panel, nullptr, Mp2Timer, None, 0, nullptr, LeaveTuningPage},
    {&hIj1Panel, InitIj1Panel, ScatterIj1Panel, GatherIj1Panel, Ij1Timer, Injection, INJ1::TPselectInj},
    {&hIj2Panel, InitIj2Panel, ScatterIj2Panel, GatherIj2Panel, Ij2Timer, Injection, INJ2::TPselectInj},
    {&hAdvPanel, InitAdvPanel, ScatterAdvPanel, GatherAdvPanel, AdvTimer},
    {&hPr1Panel, InitPr1Panel, ScatterPr1Panel, GatherPr1Panel, Pr1Timer, Parameters, PARM1::TPselectParm},
    {&hPr2Panel, InitPr2Panel, ScatterPr2Panel, GatherPr2Panel, Pr2Timer, Parameters, PARM2::TPselectParm},
    {&hPr3Panel, InitPr3Panel, ScatterPr3Panel, GatherPr3Panel, Pr3Timer, Parameters, PARM3::TPselectParm},
    {&hPr4Panel, InitPr4Panel, ScatterPr4Panel, GatherPr4Panel, Pr4Timer, Parameters, PARM4::TPselectParm},
    {&hPr5Panel, InitPr5Panel, ScatterPr5Panel, GatherPr5Panel, Pr5Timer, Parameters, PARM5::TPselectParm},
    {&hPr6Panel, InitPr6Panel, ScatterPr6Panel, GatherPr6Panel, Pr6Timer, Parameters, PARM6::TPselectParm},
    {&hPr7Panel, InitPr7Panel, ScatterPr7Panel, GatherPr7Panel, Pr7Timer, Parameters, PARM7::TPselectParm},
    {&hPr8Panel, InitPr8Panel, ScatterPr8Panel, GatherPr8Panel, Pr8Timer, Parameters, PARM8::TPselectParm},
    {&hPr9Panel, InitPr9Panel, ScatterPr9Panel, GatherPr9Panel, Pr9Timer, Parameters, PARM9::TPselectParm},
    {&hPr10Panel, InitPr10Panel, ScatterPr10Panel, GatherPr10Panel, Pr10Timer, Parameters,
     PARM10::TPselectParm},
    {&hLn1Panel, InitLn1Panel, ScatterLn1Panel, GatherLn1Panel, Ln1Timer, Linearizations, LNR1::TPselectLnr},
    {&hLn2Panel, InitLn2Panel, ScatterLn2Panel, GatherLn2Panel, Ln2Timer, Linearizations, LNR2::TPselectLnr},
    {&hCg1Panel, InitCg1Panel, ScatterCg1Panel, GatherCg1Panel, Cg1Timer, Configuration,
     CONFIG1::TPselectConfig},
    {&hCg2Panel, InitCg2Panel, ScatterCg2Panel, GatherCg2Panel, Cg2Timer, Configuration,
     CONFIG2::TPselectConfig},
    {&hCg3Panel, InitCg3Panel, ScatterCg3Panel, GatherCg3Panel, Cg3Timer, Configuration,
     CONFIG3::TPselectConfig},
    {&hCg4Panel, InitCg4Panel, ScatterCg4Panel, GatherCg4Panel, Cg4Timer, Configuration,
     CONFIG4::TPselectConfig},
    {&hCaqPanel, InitCaqPanel, ScatterCaqPanel, GatherCaqPanel, CaqTimer, Configuration,
     CANACQ::TPselectConfig, IgnoreCaqWarning},
    {&hDgnPanel, InitDgnPanel, nullptr, nullptr, DgnTimer, None, 0, nullptr, LeaveDiagnostics},
    {&hLv1Panel, InitLv1Panel, ScatterLv1Panel, nullptr, Lv1Tick, Live, LIVE1::TPselectLive},
    {&hLv2Panel, InitLv2Panel, ScatterLv2Panel, nullptr, Lv2Tick, Live, LIVE2::TPselectLive, nullptr,
     LeaveBenchPage},
    {&hPwdPanel, InitPwdPanel},
    {&hEcuPanel, InitEcuPanel},
}};

constexpr std::uint8_t kInitOrder[] = {Mp1,  Mp2, Ij1, Ij2, Adv, Pr1, Pr2, Pr3, Pr4, Pr5, Pr6, Pr7, Pr8, Pr9,
                                       Pr10, Ln1, Ln2, Caq, Cg1, Cg2, Cg3, Cg4, Dgn, Lv1, Lv2, Pwd, Ecu};

constexpr std::uint8_t kScatterOrder[] = {Cg1, Cg2, Cg3, Cg4, Caq, Ln1, Ln2, Mp1, Mp2, Ij1, Ij2,
                                          Adv, Pr1, Pr2, Pr3, Pr4, Pr5, Pr6, Pr7, Pr8, Pr9, Pr10};

// The read-back differs from the fill: the CAN page comes after the injection and advance pages.
constexpr std::uint8_t kGatherOrder[] = {Cg1, Cg2, Cg3, Cg4, Mp1, Ij1, Ij2, Adv, Caq, Ln1, Ln2,
                                         Pr1, Pr2, Pr3, Pr4, Pr5, Pr6, Pr7, Pr8, Pr9, Pr10};

const PageRegistry kRegistry{kPages, kInitOrder, kScatterOrder, kGatherOrder};

} // namespace

const PageRegistry& Pages() {
    return kRegistry;
}

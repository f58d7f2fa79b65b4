// What the parts of the tuning page share: the mirrored ECU state, the settings record, the one-shot
// requests, the cylinder selection, and the drawing routines the exchange calls each tick.
#pragma once

#include "orvane/tuning/mtrecords.h"
#include "platform/ui/userint.h"

#include <cstdint>
#include <span>

// The tuning state in bits 0-1 of the Info state byte.
enum TuningState : std::uint8_t { kTsLocked = 0, kTsOff = 1, kTsManual = 2, kTsAuto = 3 };

// Map kinds the page shows: injection matrix 1..4, or the advance map.
inline constexpr int kKindAdvance = 9;
inline bool IsInjectionKind(int kind) {
    return kind >= 1 && kind <= 4;
}

// ---- the exchange (map2.cpp) ----
extern MtInfoFrame mtInfo;       // the last good Info, host order
extern MtAdjustFrame mtAdjust;   // what the next Adjust sends
extern std::uint32_t mtTicks;    // exchange ticks run so far
extern std::uint32_t mtInfoTick; // the tick mtInfo was read in

enum MtRequest : unsigned {
    kReqManual = 1U << 0,
    kReqAuto = 1U << 1,
    kReqStop = 1U << 2,
    kReqPauseAdjust = 1U << 3,
    kReqInjAdjust = 1U << 4,
    kReqAdvAdjust = 1U << 5,
    kReqInjFreeze = 1U << 6,
    kReqAdvFreeze = 1U << 7,
    kReqResync = 1U << 8,
};
void RaiseMtRequest(unsigned requests);
// The Adjust frame's content and the request that sends it on the next tick.
void RequestMtAdjust(const MtAdjustFrame& frame, MtRequest request);
std::uint8_t TuningStateNow();
// The map set under tuning is the one by manifold pressure: the ECU's state bit or the page's choice.
bool ExchangeByPressure();
// The test the page shows and edits by: while tuning the exchange's, else the configuration's turbo
// switch or the page's choice.
bool ShownByPressure();
void ResetMtInfo();
bool SendMtRequest(std::uint8_t code);
bool SendMtAdjust();
// ResetTuningAdjust: the correction back to neutral at once.
bool ResetTuningAdjust();

// ---- the settings record (mtsettings.cpp) ----
extern MTSETTINGS mtSettings;
void AdoptMtSettings(const MTSETTINGS& settings);
void SetMtTrackMode(int row, int col, int mode);
void InitMtData();
bool GatherMtSettings();
bool ScatterMtSettings();
// The lambda-mode slider: gains of its position, and the position of a set of gains.
void GetCurLambdaMode();
bool SetLambdaModeFromGains(std::int32_t kp, std::int32_t ki, std::uint16_t step);
bool LayoutTuneSteps();
double GetInjTuneStep();
double GetAdvTuneStep();

// ---- cylinders and manual controls (mtcontrols.cpp) ----
extern std::uint8_t mtByPressure;
extern std::uint8_t mtCylMask;       // bit 7 = cylinder 1
extern std::uint8_t mtCylCount;      // selected cylinders
extern std::uint8_t fAutoScroll;     // the user's choice (F12, TBautoScroll)
extern std::uint8_t fTableClicked;   // the user clicked into the tuning table
extern std::uint8_t fAutoScrollHeld; // a click into the table holds the scrolling while it has the focus
void SetCylinderSelection(std::uint8_t mask, std::uint8_t byPressure);
bool GetCylinderSelection();
bool ShowCylinderSelection(std::uint8_t mask, std::uint8_t byPressure);
void SetTableClicked(bool clicked);
void SetAutoScroll(bool on);
void HoldAutoScroll(bool held);
bool CylinderSelected(int cylinder); // 1-based
// NSjTuneCor or NSaTuneCor keeps the user's last change, not yet reported back by the ECU: the page
// leaves it as it is instead of showing the reported correction.
bool CorrectionHeld(int control);

// ---- the page's drawing (mtpage.cpp) ----
extern std::uint8_t mtLambda2; // lambda sensor 2 in use (SelectLambdaSensor)
int ShownMapKind();            // 1..4, 9, or 0 when the ring cannot be read
bool LayoutTuneTable();
bool ShowTuneTable();
// The value, colour and weight of single cells of the shown matrix (x column, y row, 0-based).
bool ShowTuneCells(std::span<const Point> cells);
bool ShowTuneStatus(bool reshowSettings);
void ShowTuneStatusText(const char* text);
// Lambda sensor 2 (or 1) in use: the chosen button takes the look CBlambda1 has in the resource.
bool SelectLambdaSensor(bool second);
void MarkRunningCell(std::int16_t rpm, std::int16_t farf, std::int16_t pair);
enum class MtDimming { Closed, Idle, Tuning };
void SetMtDimming(MtDimming dimming);
// A map under tuning: injection matrix kind - 1 of the map by pressure or by throttle, or the advance map.
struct TunedMap {
    std::int16_t (*cells)[kTuneCols];
    const std::int16_t (*ref)[kTuneCols]; // the same matrix in the reference copy
    const std::int16_t* x;                // engine-speed breakpoints
    const std::int16_t* y;                // load breakpoints
    double scale;                         // raw units per shown unit
    double min, max;                      // shown limits of a cell
};
// False for a kind other than 1..4 and 9.
bool TunedMapOf(int kind, bool byPressure, TunedMap& map);

// ---- track modes and cell values (mttrack.cpp) ----
bool SendTuneRow(int kind, int row, const std::int16_t (&cells)[kTuneCols]);

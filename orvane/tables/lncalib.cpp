// The procedures of linearization page 1 that fill its tables from the running ECU or from each other:
// learning a live A/D reading into a column by a double click on the learning row, "Interpolate" (the
// inner points of the throttle and gas curves on the line between their end columns), and the two-step
// "Auto Calibration" that reads the idle and full-open throttle and spreads the throttle axis between them.
// Learning and interpolation write only the tables; the calibration writes the throttle breakpoints itself.
#include "orvane/core/adread.h"
#include "orvane/core/com.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/tables/sensorcal.h"
#include "orvane/tables/tables.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <algorithm>
#include <span>

namespace {

using namespace LNR1;

constexpr char szCloseGas[] = "Set Throttle to idle position\nand press OK";
constexpr char szOpenGas[] = "Set Throttle to full open\nand press OK";
constexpr char kThrottleTitle[] = "Throttle Setting";
constexpr char kEdbwTitle[] = "Edbw Setting";
constexpr char kCommError[] = "COMM error...";
constexpr std::uint8_t kThrottleChannel = 1;
constexpr int kCurvePoints = 16;

int farfCalStep = 0;      // 0 the idle reading is next, 1 the full-open reading
bool farfCalDone = false; // the calibration popup is to close
int farfCalIdle = 0;      // the accepted readings
int farfCalFull = 0;

// A table that learns: the sensors read into rows 2 and (for a pair) 3 of the clicked column.
struct LearnTable {
    int control;
    std::uint8_t channelA, channelB; // channelB 0: one sensor
    int columns;
};
constexpr LearnTable kLearnTables[] = {
    {TABfarf, kThrottleChannel, 0, kCurvePoints},
    {TABfaux, 10, 0, 2},
    {TABeGas, 13, 14, 2},
    {TABeDbw1, 15, 16, 2},
    {TABeDbw2, 17, 18, 2},
};

const LearnTable* FindLearnTable(int control) {
    const auto* it = std::ranges::find(kLearnTables, control, &LearnTable::control);
    return it != std::end(kLearnTables) ? it : nullptr;
}

bool LearnInto(int control, std::uint8_t channel, Point cell) {
    int reading = 0;
    return ReadAdAveraged(channel, reading) &&
           SetTableCellVal(hLn1Panel, control, cell, double(reading)) >= 0;
}

// A double click at panel pixel (y, x): only the learning row of a column that has sensors learns.
void Learn(const char* title, const LearnTable& t, int y, int x) {
    Point cell;
    if (GetTableCellFromPoint(hLn1Panel, t.control, MakePoint(x, y), &cell) < 0 || cell.y != 1 ||
        cell.x < 1 || cell.x > t.columns)
        return;
    if (!isComOpen) {
        MessagePopup(title, kCommError);
        return;
    }
    // Sensor B is not asked for once sensor A failed.
    if (!LearnInto(t.control, t.channelA, MakePoint(cell.x, 2)) ||
        (t.channelB != 0 && !LearnInto(t.control, t.channelB, MakePoint(cell.x, 3))))
        MessagePopup(title, szGenericError);
}

// The inner columns of the breakpoint row and the value row on the lines between their end columns, as
// the table shows them (typed values included).
void Interpolate(const char* title, int control, int xRow, int valueRow) {
    double ends[2][2];
    const int rows[2] = {xRow, valueRow};
    for (int r = 0; r < 2; ++r)
        if (GetTableCellVal(hLn1Panel, control, MakePoint(1, rows[r]), &ends[r][0]) < 0 ||
            GetTableCellVal(hLn1Panel, control, MakePoint(kCurvePoints, rows[r]), &ends[r][1]) < 0) {
            MessagePopup(title, szGenericError);
            return;
        }
    for (int col = 2; col < kCurvePoints; ++col)
        for (int r = 0; r < 2; ++r)
            if (SetTableCellVal(hLn1Panel, control, MakePoint(col, rows[r]),
                                LinePoint(ends[r][0], ends[r][1], col - 1, kCurvePoints)) < 0) {
                MessagePopup(title, szGenericError);
                return;
            }
}

int TableEvent(const char* title, int interpolateButton, int control, int event, int y, int x) {
    if (CheckfBusy()) return 0;
    if (control == interpolateButton && event == EVENT_COMMIT) {
        if (control == CBinterpFarf)
            Interpolate(title, TABfarf, 2, 3);
        else
            Interpolate(title, TABgas, 1, 2);
    } else if (event == EVENT_LEFT_DOUBLE_CLICK) {
        if (const LearnTable* t = FindLearnTable(control)) Learn(title, *t, y, x);
    }
    return 0;
}

// One "Set" of the calibration: the reading of the current step, checked against the stored end point.
void CalibrationStep() {
    if (!isComOpen) {
        MessagePopup(kThrottleTitle, kCommError);
        return;
    }
    int reading = 0;
    if (!ReadAdAveraged(kThrottleChannel, reading)) {
        MessagePopup(kThrottleTitle, szGenericError); // the step stays: "Set" again or "Cancel"
        return;
    }
    const std::span<std::int16_t> axis(ecuParData.linThrottle.x);
    const std::int16_t stored = farfCalStep == 0 ? axis[0] : axis[kCurvePoints - 1];
    if (!PlausibleWindow(stored).Holds(reading) &&
        ConfirmPopup("Warning!", "Possible error\nContinue?", ConfirmDefault::No) == 0) {
        farfCalDone = true;
        return;
    }
    if (farfCalStep == 0) {
        farfCalIdle = reading;
        // The idle reading shows in the table only; it reaches the image with the next read-back.
        if (SetTableCellVal(hLn1Panel, TABfarf, MakePoint(1, 2), double(reading)) < 0 ||
            SetCtrlVal(hLrtPanel, LNRGAS::TMsetFarf, szOpenGas) < 0) {
            MessagePopup(kThrottleTitle, szGenericError);
            return;
        }
        farfCalStep = 1;
        return;
    }
    farfCalFull = reading;
    SetTableCellVal(hLn1Panel, TABfarf, MakePoint(kCurvePoints, 2), double(reading));
    SpreadBreakpoints(farfCalIdle, farfCalFull, axis);
    farfCalDone = true;
    if (!ScatterLn1Panel()) MessagePopup(kThrottleTitle, szGenericError);
}

} // namespace

int SetFarf(int, int control, int event, void*, int eventData1, int eventData2) {
    return TableEvent(kThrottleTitle, CBinterpFarf, control, event, eventData1, eventData2);
}

int SetEdbw(int, int control, int event, void*, int eventData1, int eventData2) {
    return TableEvent(kEdbwTitle, CBinterpGas, control, event, eventData1, eventData2);
}

int ConfigFarf(int, int control, int event, void*, int, int) {
    if (CheckfBusy() || control != CBcalibrationFarf || event != EVENT_COMMIT) return 0;
    // What is typed on the page is stored first: the completed calibration fills the page from the image.
    if (!GatherLn1Panel()) {
        MessagePopup(kThrottleTitle, szGenericError);
        return 0;
    }
    if (InstallPopup(hLrtPanel) < 0) return 0;
    SetCtrlVal(hLrtPanel, LNRGAS::TMsetFarf, szCloseGas);
    farfCalStep = 0;
    farfCalDone = false;
    while (!farfCalDone)
        WaitSystemEvents();
    RemovePopup(0);
    return 0;
}

int SetAutoFarf(int panel, int control, int event, void*, int, int) {
    if (CheckfBusy() || panel != hLrtPanel || event != EVENT_COMMIT) return 0;
    if (control == LNRGAS::CBcancel)
        farfCalDone = true;
    else if (control == LNRGAS::CBset)
        CalibrationStep();
    return 0;
}

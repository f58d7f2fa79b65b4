#include "orvane/live/liveshow.h"

#include "orvane/core/logic/com.h"
#include "orvane/core/ui/connect.h"
#include "orvane/live/liverec.h"
#include "platform/ui/userint.h"

#include <array>
#include <cstdint>
#include <limits>
#include <utility>

namespace {

const std::uint8_t* RecordOf(Rec rec) {
    switch (rec) {
    case Rec::L0:
        return liveData0.data();
    case Rec::L1:
        return liveData1.data();
    case Rec::L2:
        return liveData2.data();
    case Rec::L3:
        return liveData3.data();
    }
    return liveData0.data();
}

double RawOf(const ShownField& f) {
    const std::uint8_t* record = RecordOf(f.rec);
    switch (f.type) {
    case Type::I16:
        return LiveI16(record, f.offset);
    case Type::U8:
        return record[f.offset];
    case Type::U16:
        break;
    }
    return LiveU16(record, f.offset);
}

// The values whose field and scale follow the configuration, each with its decimals.
std::array<std::pair<ShownField, int>, 3> ScaledValues(const CommonControls& c) {
    // the level switch in place of the throttle
    const bool levelSwitch = miscInfo[kMiscExtDriveByWire] && miscInfo[kMiscLevelSwitch];
    const bool auxThrottle = miscInfo[kMiscIdleAir] == 1;
    using Shown = std::pair<ShownField, int>;
    return {
        levelSwitch ? Shown{{c.farf, Rec::L2, 48, Type::U16, 1}, 0}
                    : Shown{{c.farf, Rec::L2, 2, Type::I16, 10}, 1},
        Shown{{c.potStep, Rec::L2, 42, Type::I16, std::uint16_t(auxThrottle ? 10 : 1)}, auxThrottle ? 1 : 0},
        miscInfo[kMiscLevelSensorRaw] ? Shown{{c.rtcLevel, Rec::L2, 46, Type::I16, 1}, 0}
                                      : Shown{{c.rtcLevel, Rec::L2, 46, Type::I16, 1000}, 3}};
}

} // namespace

void RangeByType(int panel, int control, Type type, double scale) {
    int kind = 0; // a slide's range is the adjustment it offers, not its field's
    if (GetCtrlAttribute(panel, control, ATTR_CTRL_TYPE, &kind) < 0 || kind != CTRL_NUMERIC) return;
    using I16 = std::numeric_limits<std::int16_t>;
    const auto [low, high] = type == Type::I16  ? std::pair<double, double>{I16::min(), I16::max()}
                             : type == Type::U8 ? std::pair<double, double>{0, UINT8_MAX}
                                                : std::pair<double, double>{0, UINT16_MAX};
    SetCtrlAttribute(panel, control, ATTR_MIN_VALUE, low / scale);
    SetCtrlAttribute(panel, control, ATTR_MAX_VALUE, high / scale);
}

void RangeFields(int panel, std::span<const ShownField> fields) {
    for (const ShownField& f : fields)
        RangeByType(panel, f.control, f.type, f.scale);
}

void RangeCommonValues(int panel, const CommonControls& c) {
    for (const auto& [field, decimals] : ScaledValues(c)) {
        RangeByType(panel, field.control, field.type, field.scale);
        SetCtrlAttribute(panel, field.control, ATTR_PRECISION, decimals);
    }
}

double ShownValue(const ShownField& field) {
    return RawOf(field) / field.scale;
}

void ShowFields(int panel, std::span<const ShownField> fields) {
    for (const ShownField& f : fields)
        SetCtrlVal(panel, f.control, ShownValue(f));
}

void ShowLeds(int panel, std::span<const ShownLed> leds) {
    for (const ShownLed& l : leds)
        SetCtrlVal(panel, l.control, (RecordOf(l.rec)[l.byte] >> l.bit) & 1);
}

void ShowCommonValues(int panel, const CommonControls& c) {
    RangeCommonValues(panel, c);
    SetCtrlAttribute(panel, c.potStep, ATTR_LABEL_TEXT,
                     miscInfo[kMiscIdleAir] == 1 ? "Auxiliary Throttle" : "Num Step");
    for (const auto& [field, decimals] : ScaledValues(c))
        SetCtrlVal(panel, field.control, ShownValue(field));

    const std::uint8_t* l2 = liveData2.data();
    const std::uint16_t slot = LiveU16(l2, 50);
    SetCtrlVal(panel, c.mappa, slot + 1);
    Dim(panel, c.ecuMap1, slot != 0);
    Dim(panel, c.ecuMap2, slot != 1);

    int gear = 0;
    if (!(liveData1[138] & 0x02)) {
        const std::uint16_t index =
            miscInfo[kMiscGearSensor] != 2 ? LiveU16(l2, 22) >> 12 : AdValue(LiveU16(l2, 20));
        gear = index + 1;
    }
    SetCtrlVal(panel, c.marcia, gear);

    SetCtrlVal(panel, c.ecuMap1, szEcuMap1);
    SetCtrlVal(panel, c.ecuMap2, szEcuMap2);
    SetCtrlVal(panel, c.ecuPar, szEcuPar);
}

void LabelThrottle(int panel, int control) {
    const char* label = "Throttle";
    if (miscInfo[kMiscExtDriveByWire] && miscInfo[kMiscLevelSwitch] >= 1 && miscInfo[kMiscLevelSwitch] <= 16)
        label = "LevelSW [step]";
    if (miscInfo[kMiscExtDriveByWire] && miscInfo[kMiscLevelSwitch] >= 17) label = "LevelSW [AD]";
    SetCtrlAttribute(panel, control, ATTR_LABEL_TEXT, label);
}

void UpdateProtectedFromLive() {
    SetEcuProtected(isComOpen && !(liveData1[134] & 0x80));
}

void Dim(int panel, int control, bool dimmed) {
    SetCtrlAttribute(panel, control, ATTR_DIMMED, dimmed ? 1 : 0);
}

void DimAll(int panel, std::span<const int> controls, bool dimmed) {
    for (const int c : controls)
        Dim(panel, c, dimmed);
}

void DimCylinder(int panel, std::span<const PerCylinder> rows, std::size_t cyl, bool dimmed) {
    for (const PerCylinder& row : rows)
        Dim(panel, row.at(cyl), dimmed);
}

void ShowRecordSizes(int panel, const std::array<int, 4>& controls) {
    const std::size_t sizes[] = {liveData0.size(), liveData1.size(), liveData2.size(), liveData3.size()};
    for (std::size_t i = 0; i < controls.size(); ++i)
        SetCtrlVal(panel, controls[i], static_cast<int>(sizes[i]));
}

// Every value control of both live pages against its field of the live records: records crafted on the
// wire with a distinct value in every field (negative where the field is signed, above 32767 where it is
// not), received, converted and scattered; each control must show its own field over its own scale.
#include "bytes.h"
#include "orvanefixture.h"
#include "resourcepanels.h"

#include "orvane/live/live.h"
#include "orvane/live/liveshow.h"

#include <array>
#include <cstdio>
#include <map>
#include <string>

namespace {

enum class Kind { U16, I16, U8, Ad };
enum Pages : unsigned { P1 = 1, P2 = 2, P12 = 3 };
enum class Ext { Any, Off, On }; // shown only without / with the external drive-by-wire

struct Field {
    int record;
    int offset;
    Kind kind;
    double scale;
    const char* control; // '#' stands for 1..count
    int count;
    int stride; // bytes from one element to the next (0: every control shows the same field)
    unsigned pages;
    Ext ext = Ext::Any;
    int raw = 0; // the wire value of the first element, where the computed one would not fit
};

// The record fields with their controls and scales, and the pages that show them.
const Field kFields[] = {
    // liveData0
    {0, 0, Kind::U16, 1, "NUMsmotPuls", 1, 2, P12},
    {0, 2, Kind::U16, 1, "NUMscamPuls", 1, 2, P12},
    {0, 4, Kind::U16, 1, "NUMsmotErrs", 1, 2, P12},
    {0, 6, Kind::U16, 1, "NUMscamErrs", 1, 2, P12},
    {0, 10, Kind::U16, 1, "NUMrevs", 1, 2, P12},
    {0, 14, Kind::U16, 1, "NUMrpmG", 1, 2, P12},
    {0, 16, Kind::U16, 1, "NUMrpmM", 1, 2, P12},
    {0, 18, Kind::I16, 1, "NUMdRpm", 1, 2, P12},
    {0, 20, Kind::I16, 10, "NUMjTrans", 1, 2, P2, Ext::Off},
    {0, 22, Kind::I16, 10, "NUMjTrans", 1, 2, P2, Ext::On},
    {0, 24, Kind::I16, 10, "NUMjTransAux", 1, 2, P2, Ext::On},
    {0, 26, Kind::I16, 10, "NUMaTrans", 1, 2, P2, Ext::Off},
    {0, 28, Kind::I16, 10, "NUMaTrans", 1, 2, P2, Ext::On},
    {0, 30, Kind::I16, 10, "NUMaTransAux", 1, 2, P2, Ext::On},
    {0, 32, Kind::U16, 1000, "NUMterog#H", 4, 2, P12},
    {0, 40, Kind::U16, 1000, "NUMterog#L", 4, 2, P12},
    {0, 48, Kind::U16, 1000, "NUMusInjBase#", 4, 2, P1},
    {0, 56, Kind::U16, 1000, "NUMkInjTair", 1, 2, P1},
    {0, 58, Kind::U16, 1000, "NUMkInjTh2o", 1, 2, P1},
    {0, 60, Kind::U16, 1000, "NUMkInjPbaro", 1, 2, P1},
    {0, 62, Kind::U16, 1000, "NSkInjBanco#", 4, 2, P2, Ext::Any, 1062},
    {0, 70, Kind::U16, 1000, "NSkInjBanco", 1, 2, P2, Ext::Any, 1070},
    {0, 72, Kind::U16, 10, "NUMkInjRip#", 4, 2, P1},
    {0, 80, Kind::U16, 10, "NUMkInjRipFlt#", 4, 2, P1},
    {0, 104, Kind::I16, 10, "NSkInjRipBanco", 1, 2, P2, Ext::Any, -504},
    {0, 106, Kind::U16, 1000, "NUMkInjRip#L", 4, 2, P1},
    {0, 114, Kind::U16, 1000, "NUMkInjRip#H", 4, 2, P1},
    {0, 122, Kind::U16, 1000, "NUMkInjUser#", 4, 2, P1},
    {0, 130, Kind::U16, 1000, "NUMkInjCrank", 1, 2, P1},
    {0, 132, Kind::U16, 1000, "NUMkInjGear#", 4, 2, P1},
    {0, 140, Kind::U16, 1000, "NUMkInjAcc#", 4, 2, P1},
    {0, 148, Kind::U16, 1000, "NUMkInjVel#", 4, 2, P1},
    {0, 156, Kind::U16, 1000, "NUMkInjTc#", 4, 2, P1},
    {0, 164, Kind::U16, 1000, "NUMkInjMacc#", 4, 2, P1},
    {0, 172, Kind::U16, 1000, "NUMkInjVelim", 1, 2, P1},
    {0, 174, Kind::U16, 1000, "NUMkInjCocA", 1, 2, P1},
    {0, 176, Kind::U16, 1000, "NUMkInjCocB", 1, 2, P1},
    {0, 178, Kind::I16, 1000, "NUMusInjTransRpm#", 4, 2, P1},
    {0, 186, Kind::I16, 1000, "NUMusInjTransTh2o#", 4, 2, P1},
    {0, 194, Kind::I16, 1000, "NUMusInjTrans#", 4, 2, P1},
    {0, 202, Kind::U16, 1000, "NUMusInjVbatL", 1, 2, P1},
    {0, 204, Kind::U16, 1000, "NUMusInjVbatH", 1, 2, P1},
    {0, 206, Kind::U16, 1000, "NUMkInjExt#", 4, 2, P1},
    {0, 214, Kind::I16, 10, "NUMfase#L", 4, 2, P12},
    {0, 222, Kind::I16, 10, "NUMfase#H", 4, 2, P12},
    {0, 230, Kind::I16, 1, "NUMdegFaseBase#L", 4, 2, P1},
    {0, 238, Kind::I16, 1, "NUMdegFaseBase#H", 4, 2, P1},
    {0, 246, Kind::I16, 1, "NSdegFaseBancoL", 1, 2, P2, Ext::Any, -146},
    {0, 248, Kind::I16, 1, "NSdegFaseBancoH", 1, 2, P2, Ext::Any, -148},
    // liveData1
    {1, 0, Kind::I16, 10, "NUMteta#", 4, 2, P12},
    {1, 8, Kind::I16, 10, "NUMddgAdvBase#", 4, 2, P1},
    {1, 16, Kind::I16, 10, "NSddgAdvBanco#", 4, 2, P2, Ext::Any, -116},
    {1, 24, Kind::I16, 10, "NSddgAdvBanco", 1, 2, P2, Ext::Any, -124},
    {1, 26, Kind::I16, 10, "NUMddgAdvUser#", 4, 2, P1},
    {1, 34, Kind::I16, 10, "NUMddgAdvTair", 1, 2, P1},
    {1, 36, Kind::I16, 10, "NUMddgAdvTh2o", 1, 2, P1},
    {1, 38, Kind::I16, 10, "NUMddgAdvPbaro", 1, 2, P1},
    {1, 40, Kind::I16, 10, "NUMddgPickUp", 1, 2, P1},
    {1, 42, Kind::I16, 10, "NUMddgAdvGear#", 4, 2, P1},
    {1, 50, Kind::I16, 10, "NUMddgAdvAcc#", 4, 2, P1},
    {1, 58, Kind::I16, 10, "NUMddgAdvVel#", 4, 2, P1},
    {1, 66, Kind::I16, 10, "NUMddgAdvTc#", 4, 2, P1},
    {1, 74, Kind::I16, 10, "NUMddgAdvMacc#", 4, 2, P1},
    {1, 82, Kind::I16, 10, "NUMddgAdvVelim", 1, 2, P1},
    {1, 84, Kind::I16, 10, "NUMddgAdvTrans#", 4, 2, P1},
    {1, 92, Kind::I16, 10, "NUMddgAdvExt#", 4, 2, P1},
    {1, 100, Kind::U16, 1000, "NUMdwell#", 4, 0, P12},
    {1, 102, Kind::U8, 1, "NUMextSparkOff#", 2, 1, P2},
    {1, 104, Kind::U8, 1, "NUMextSparkOn#", 2, 1, P2},
    {1, 106, Kind::I16, 10, "NUMextPercFaux", 1, 2, P2},
    {1, 108, Kind::I16, 1, "NUMextStepBpsAir", 1, 2, P2},
    {1, 110, Kind::U16, 1, "NUMextKdwell#", 2, 2, P2},
    {1, 114, Kind::I16, 10, "NUMextKpwmOut", 1, 2, P2},
    {1, 116, Kind::U16, 1, "NUMvelWheelPos", 1, 2, P1},
    {1, 118, Kind::U16, 1, "NUMvelWheelAnt", 1, 2, P1},
    {1, 120, Kind::U16, 10, "NUMdistWheel", 1, 2, P1},
    {1, 122, Kind::U16, 10, "NUMvalPwmOut", 1, 2, P1},
    {1, 124, Kind::I16, 10, "NSpwmOutBanco", 1, 2, P2, Ext::Any, -624},
    {1, 126, Kind::I16, 1, "NUMnormalStepCor", 1, 2, P2},
    {1, 128, Kind::U16, 1, "NUMspeedRpm", 1, 2, P1},
    {1, 130, Kind::U16, 10, "NUMslipRatio", 1, 2, P1},
    {1, 132, Kind::U16, 1, "NUMtcLevel", 1, 2, P12},
    // liveData2: A/D words and engineering words (the gear, the map slot and the level switch have
    // rules of their own)
    {2, 0, Kind::Ad, 1, "NUMfarfAD", 1, 2, P2},
    {2, 2, Kind::I16, 10, "NUMfarf", 1, 2, P12},
    {2, 4, Kind::Ad, 1, "NUMth2oAD", 1, 2, P2},
    {2, 6, Kind::I16, 10, "NUMth2o", 1, 2, P12},
    {2, 8, Kind::Ad, 1, "NUMtairAD", 1, 2, P2},
    {2, 10, Kind::I16, 10, "NUMtair", 1, 2, P12},
    {2, 12, Kind::Ad, 1, "NUMpBaroAD", 1, 2, P2},
    {2, 14, Kind::I16, 1, "NUMpBaro", 1, 2, P12},
    {2, 16, Kind::Ad, 1, "NUMpVacuAD", 1, 2, P2},
    {2, 18, Kind::I16, 1, "NUMpVacu", 1, 2, P12},
    {2, 24, Kind::Ad, 1, "NUMuego1AD", 1, 2, P2},
    {2, 26, Kind::I16, 10, "NUMuego1", 1, 2, P12},
    {2, 28, Kind::Ad, 1, "NUMuego2AD", 1, 2, P2},
    {2, 30, Kind::I16, 10, "NUMuego2", 1, 2, P12},
    {2, 32, Kind::Ad, 1, "NUMforkAD", 1, 2, P2},
    {2, 34, Kind::I16, 10, "NUMfork", 1, 2, P12},
    {2, 36, Kind::Ad, 1, "NUMshockAD", 1, 2, P2},
    {2, 38, Kind::I16, 10, "NUMshock", 1, 2, P12},
    {2, 40, Kind::Ad, 1, "NUMpotStepAD", 1, 2, P2},
    {2, 42, Kind::I16, 10, "NUMpotStep", 1, 2, P12}, // an auxiliary throttle
    {2, 44, Kind::Ad, 1, "NUMrtcLevelAD", 1, 2, P2},
    {2, 46, Kind::I16, 1000, "NUMrtcLevel", 1, 2, P12}, // a level sensor read in thousandths
    {2, 52, Kind::Ad, 1, "NUMvBatAD", 1, 2, P2},
    {2, 54, Kind::I16, 10, "NUMvBat", 1, 2, P12},
    // liveData3
    {3, 0, Kind::U16, 1, "NUMegasAD_A", 1, 2, P2},
    {3, 2, Kind::U16, 1, "NUMegasAD_B", 1, 2, P2},
    {3, 4, Kind::I16, 10, "NUMegas", 1, 2, P12},
    {3, 6, Kind::U16, 1, "NUMedbw1AD_A", 1, 2, P2},
    {3, 8, Kind::U16, 1, "NUMedbw1AD_B", 1, 2, P2},
    {3, 10, Kind::I16, 10, "NUMedbw1", 1, 2, P12},
    {3, 12, Kind::U16, 1, "NUMedbw2AD_A", 1, 2, P2},
    {3, 14, Kind::U16, 1, "NUMedbw2AD_B", 1, 2, P2},
    {3, 16, Kind::I16, 10, "NUMedbw2", 1, 2, P12},
    {3, 18, Kind::I16, 10, "NUMsollEdbw1", 1, 2, P2},
    {3, 20, Kind::I16, 10, "NUMsollEdbw2", 1, 2, P2},
    {3, 22, Kind::I16, 10, "NUMcor1Edbw1", 1, 2, P2},
    {3, 24, Kind::I16, 10, "NUMcor2Edbw1", 1, 2, P2},
    {3, 26, Kind::I16, 10, "NUMcor1Edbw2", 1, 2, P2},
    {3, 28, Kind::I16, 10, "NUMcor2Edbw2", 1, 2, P2},
    {3, 30, Kind::U16, 10, "NUMcmdEdbw1", 1, 2, P12},
    {3, 32, Kind::U16, 10, "NUMcmdEdbw2", 1, 2, P12},
    {3, 34, Kind::I16, 10, "NSedbwBanco1", 1, 2, P2, Ext::Any, -534},
    {3, 36, Kind::I16, 10, "NSedbwBanco2", 1, 2, P2, Ext::Any, -536},
};

// The wire value of element k of a field: distinct for every record and offset.
int RawValue(const Field& f, int k) {
    const int at = f.offset + k * f.stride;
    if (f.raw != 0) return f.raw + (f.raw < 0 ? -k * f.stride : k * f.stride);
    switch (f.kind) {
    case Kind::U16:
        return 33000 + f.record * 300 + at;
    case Kind::I16:
        return -(1000 + f.record * 300 + at);
    case Kind::U8:
        return 100 + at;
    case Kind::Ad:
        return 1000 + f.record * 300 + at; // 12 bits, no fault flag
    }
    return 0;
}

// The four records as the ECU sends them, every listed field holding its value.
std::array<std::vector<std::uint8_t>, 4> CraftedRecords(Ext ext) {
    std::array<std::vector<std::uint8_t>, 4> records{
        std::vector<std::uint8_t>(250), std::vector<std::uint8_t>(142), std::vector<std::uint8_t>(56),
        std::vector<std::uint8_t>(46)};
    records[1][134] = 0x80; // not password-protected
    for (const Field& f : kFields) {
        if (f.ext != Ext::Any && f.ext != ext) continue;
        for (int k = 0; k < f.count; ++k) {
            const auto word = static_cast<std::uint16_t>(RawValue(f, k));
            std::vector<std::uint8_t>& r = records[static_cast<std::size_t>(f.record)];
            const auto at = static_cast<std::size_t>(f.offset + k * f.stride);
            if (f.kind == Kind::U8) {
                r[at] = static_cast<std::uint8_t>(word);
            } else {
                PutBE16(r, at, word);
            }
        }
    }
    return records;
}

std::string ElementName(const char* pattern, int k) {
    std::string name = pattern;
    const std::size_t hash = name.find('#');
    if (hash != std::string::npos) name.replace(hash, 1, std::to_string(k + 1));
    return name;
}

// Control ids of a panel of the program's resource, by constant name.
std::map<std::string, int> ControlIds(const char* panel) {
    std::map<std::string, int> ids;
    if (const uir::PanelDef* p = ResourcePanel(panel))
        for (const uir::ControlDef& c : p->controls)
            ids[c.name] = c.id;
    return ids;
}

struct LiveFieldsTest : OrvaneTest {};

TEST_F(LiveFieldsTest, EveryControlShowsItsFieldOverItsScale) {
    struct Page {
        unsigned bit;
        const char* name;
        int panel;
        std::uint8_t which;
    };
    const Page pages[] = {{P1, "LIVE1", hLv1Panel, 0}, {P2, "LIVE2", hLv2Panel, 1}};
    for (const Page& page : pages) {
        const std::map<std::string, int> ids = ControlIds(page.name);
        ASSERT_FALSE(ids.empty()) << page.name;
        DisplayPanel(page.panel);
        for (const Ext ext : {Ext::Off, Ext::On}) {
            ecu.model.miscInfo = {};
            ecu.model.miscInfo[3] = 1; // the idle air by an auxiliary throttle
            ecu.model.miscInfo[13] = ext == Ext::On ? 1 : 0;
            const auto records = CraftedRecords(ext);
            SimLink& link = ConnectSimulator();
            link.tamper = [&records](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
                if (request.cmd == 0x06 && reply) reply->data = records.at(request.data[0]);
                return reply;
            };
            ASSERT_TRUE(LivTimer(1, page.which));
            ASSERT_TRUE(LivTimer(0, page.which));
            ASSERT_TRUE(LivTimer(0, page.which));
            for (const Field& f : kFields) {
                if ((f.pages & page.bit) == 0 || (f.ext != Ext::Any && f.ext != ext)) continue;
                for (int k = 0; k < f.count; ++k) {
                    const std::string name = ElementName(f.control, k);
                    const auto id = ids.find(name);
                    if (id == ids.end()) {
                        ADD_FAILURE() << page.name << " has no " << name;
                        continue;
                    }
                    double shown = 0;
                    GetCtrlVal(page.panel, id->second, &shown);
                    EXPECT_NEAR(shown, RawValue(f, k) / f.scale, 1e-9)
                        << page.name << "." << name << " (record " << f.record << ", offset "
                        << f.offset + k * f.stride << ")";
                }
            }
            CloseComPort();
        }
        HidePanel(page.panel);
    }
}

// Each value field's numeric is laid out for all its field can hold: the field's type over its scale.
TEST_F(LiveFieldsTest, EveryNumericIsRangedByItsFieldsTypeOverItsScale) {
    const std::pair<const char*, int> pages[] = {{"LIVE1", hLv1Panel}, {"LIVE2", hLv2Panel}};
    for (const auto& [pageName, panel] : pages) {
        const std::map<std::string, int> ids = ControlIds(pageName);
        // the values whose scale follows the configuration, with the idle air by an auxiliary throttle as
        // the table above has it
        miscInfo[3] = 1;
        RangeCommonValues(panel,
                          {ids.at("NUMfarf"), ids.at("NUMpotStep"), ids.at("NUMrtcLevel"), 0, 0, 0, 0, 0});
        miscInfo[3] = 0;
        for (const Field& f : kFields) {
            if (f.kind == Kind::Ad) continue;
            const double low = f.kind == Kind::I16 ? -32768 : 0;
            const double high = f.kind == Kind::I16 ? 32767 : f.kind == Kind::U8 ? 255 : 65535;
            for (int k = 0; k < f.count; ++k) {
                const auto id = ids.find(ElementName(f.control, k));
                int kind = 0;
                if (id == ids.end() || GetCtrlAttribute(panel, id->second, ATTR_CTRL_TYPE, &kind) < 0 ||
                    kind != CTRL_NUMERIC)
                    continue;
                double min = 0, max = 0;
                GetCtrlAttribute(panel, id->second, ATTR_MIN_VALUE, &min);
                GetCtrlAttribute(panel, id->second, ATTR_MAX_VALUE, &max);
                EXPECT_DOUBLE_EQ(min, low / f.scale) << pageName << "." << id->first;
                EXPECT_DOUBLE_EQ(max, high / f.scale) << pageName << "." << id->first;
            }
        }
    }
}

} // namespace

// The tuning page driven through the program against the simulated ECU: a four-cylinder engine, empty
// maps under tuning, the link closed at the start, and helpers that read the command-9 frames sent and
// make up Info replies.
#pragma once

#include "bytes.h"
#include "orvane/core/ui/navigation.h"
#include "orvane/maps/map1.h"
#include "orvane/tuning/map2.h"
#include "orvane/tuning/mtstate.h"
#include "orvanefixture.h"
#include "platform/ui/uitest.h"
#include "simclient.h"

#include <array>
#include <functional>
#include <initializer_list>
#include <vector>

struct TuningTest : OrvaneTest {
    void SetUp() override {
        OrvaneTest::SetUp();
        ecuParData.b6E0[2] = 4; // four cylinders
        std::memset(&ecuMapData.map1, 0, sizeof ecuMapData.map1);
        std::memset(&ecuMapData.map3, 0, sizeof ecuMapData.map3);
        for (const ecusim::Store slot :
             {ecusim::Store::Slot1, ecusim::Store::Slot2}) // the ECU's maps empty too
            EmptyMaps(ecu.model, slot);
        isTuningManual = 1;
        isTuningAuto = 0;
        SelectLambdaSensor(false); // as at program start
        InitMtData();
        SetAutoScroll(true);
        HoldAutoScroll(false);
        SetTableClicked(false);
        SetCtrlVal(hMp2Panel, MAPS2::RINGmapType, 1); // injection matrix 1, scrolled to the left
        SetCtrlAttribute(hMp2Panel, MAPS2::TABmatrix, ATTR_HSCROLL_OFFSET, 0);
        ScatterMp2Panel();
        Mp2Timer(); // the page sees the link closed: every state of a connection is dropped
    }

    // The data of the command-9 frames sent since the mark.
    static std::vector<std::vector<std::uint8_t>> TuningFrames(const SimLink& link, std::size_t from = 0) {
        std::vector<std::vector<std::uint8_t>> out;
        for (std::size_t i = from; i < link.requests.size(); ++i)
            if (link.requests[i][2] == CMD_MAP_TUNING) out.push_back(link.requests[i]);
        return out;
    }

    // The tuning page on screen in automatic mode, where the tracking settings are shown.
    static void ShowAutomaticPage() {
        MapsTuneAuto(hMainPanel, 0, EVENT_COMMIT, nullptr, 0, 0);
        ASSERT_EQ(hCurPanel, hMp2Panel);
        ecuParData.b6E0[2] = 4; // the page switch took the configuration pages' engine
        ASSERT_TRUE(ScatterMp2Panel());
    }

    // The tuning page on screen in manual mode, reached as the user reaches it.
    static void ShowManualPage() {
        uitest::Click(hMainPanel, MAIN::CBmaps);
        uitest::Click(hMp1Panel, MAPS1::CBmanualMap);
        ASSERT_EQ(hCurPanel, hMp2Panel);
        ecuParData.b6E0[2] = 4; // the switch read the configuration pages back
        ASSERT_TRUE(ScatterMp2Panel());
    }

    // Connects and runs the first tick, answering No to the synchronisation question.
    SimLink& Open() {
        popups.AnswerConfirm(false); // asked by the first tick that sees the link, whoever runs it
        SimLink& link = ConnectSimulator();
        Mp2Timer();
        return link;
    }

    // Starts manual tuning of the cylinders whose toggles are given, on the open link.
    static void RunManual(std::initializer_list<int> cylinderToggles) {
        for (int toggle : cylinderToggles)
            SetCtrlVal(hMp2Panel, toggle, 1);
        RaiseMtRequest(kReqManual);
        Mp2Timer();
        Mp2Timer();
        EXPECT_TRUE(IsMapTuning());
    }

    SimLink& StartManual(std::initializer_list<int> cylinderToggles) {
        SimLink& link = Open();
        RunManual(cylinderToggles);
        return link;
    }

    // Every Info reply of the ECU passes through edit before the program reads it.
    static void EditInfo(SimLink& link, std::function<void(std::vector<std::uint8_t>&)> edit) {
        link.tamper = [edit](const ecusim::Frame&, std::optional<ecusim::Frame> reply) {
            if (reply && reply->cmd == CMD_MAP_TUNING && reply->data.size() == kMtInfoSize) edit(reply->data);
            return reply;
        };
    }

    // The value of a toggle, LED or ring of the tuning page.
    static int PageValue(int control) {
        int value = -1;
        GetCtrlVal(hMp2Panel, control, &value);
        return value;
    }

    // The data bytes of a frame as written on the wire (start byte, length, command, data, checksum).
    static std::vector<std::uint8_t> DataOf(const std::vector<std::uint8_t>& frame) {
        return {frame.begin() + 3, frame.begin() + 3 + frame[1]};
    }
};

inline std::vector<std::uint8_t> InfoWith(std::uint8_t state,
                                          std::initializer_list<std::array<int, 4>> cells) {
    std::vector<std::uint8_t> b(kMtInfoSize);
    b[30] = state;
    std::size_t i = 0;
    for (const auto& [kind, row, col, value] : cells) {
        PutBE16(b, 34 + 4 * i, kind << 12 | col << 6 | row);
        PutBE16(b, 36 + 4 * i, value);
        ++i;
    }
    return b;
}

// The simulated ECU's map tuning: an automatic run converges the tracked cells and leaves the rest;
// row writes and manual freezes are reported back in Info. The engine runs on the map under tuning, so a
// cell set off what the engine needs reads so in lambda until it is tuned; Info tells the conditions.
#include "orvane/tuning/mtrecords.h"
#include "simclient.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <map>

namespace {

constexpr std::size_t kMap1 = 40 + 0x16B30; // the four-matrix map by throttle in the mapping image
constexpr std::size_t kInjByThrottle = 0x16B30, kAdvance = 0x19400; // offsets in the data image

// The injection map by throttle as a plausible engine's: 1000..16500 rpm by 500, 0..95 deg by 5, every
// cell at cellUs.
void LayInjectionMap(ecusim::EcuModel& model, std::int16_t cellUs) {
    LayMap(model, kInjByThrottle, 4, cellUs, 1000, 500, 50);
}

// The engine warmed up (or not) and held by the bench at an operating point.
void RunAt(ecusim::EcuModel& model, double rpm, double throttlePct, double warmUpS = 5.0) {
    ecusim::AdvanceEngine(model, warmUpS);
    ecusim::SteerEngine(model.engine, rpm, throttlePct);
    ecusim::AdvanceEngine(model, 10.0);
}

MtInfoFrame Decode(const std::optional<ecusim::Frame>& reply) {
    EXPECT_TRUE(reply && reply->data.size() == kMtInfoSize);
    if (!reply || reply->data.size() != kMtInfoSize) return {};
    return DecodeMtInfo(std::span<const std::uint8_t, kMtInfoSize>(reply->data.data(), kMtInfoSize));
}

struct SimTuning : testing::Test {
    // The runs start from empty maps, so that every cell they touch shows.
    SimTuning() { EmptyMaps(ecu.sim.model, ecu.sim.model.tuningSlot); }

    SimClient ecu;
    std::map<int, std::int16_t> reported; // (kind << 16 | row << 8 | col) -> last value reported

    std::uint8_t* CellBytes(int matrix, int row, int col) {
        auto& image = ecu.sim.model.StoreBytes(ecu.sim.model.tuningSlot);
        return image.data() + kMap1 + matrix * 1280 + row * 64 + col * 2;
    }
    std::int16_t StoredCell(int matrix, int row, int col) {
        return static_cast<std::int16_t>(ecusim::GetBE16(CellBytes(matrix, row, col)));
    }

    MtInfoFrame Poll() {
        const std::uint8_t code = 1;
        return Note(Decode(ecu.Exchange(CMD_MAP_TUNING, std::span(&code, 1))));
    }

    MtInfoFrame Send(std::span<const std::uint8_t> frame) {
        return Note(Decode(ecu.Exchange(CMD_MAP_TUNING, frame)));
    }

    // An automatic run of cylinders 1 and 2 over the cells given (row, column, track mode), toward the
    // air/fuel set-point and within the tolerance given (x10).
    void StartAutomatic(std::initializer_list<std::array<int, 3>> cells, std::int16_t setpoint,
                        std::int16_t tolerance) {
        MTSETTINGS s{.sollLambda = {setpoint, setpoint, setpoint},
                     .tolLambda = tolerance,
                     .minTj = 1000,
                     .maxTj = 32000,
                     .cylMask = 0xC0,
                     .kp = 65536,
                     .step = 100};
        for (const auto& [row, col, mode] : cells)
            SetTrackMode(s, row, col, mode);
        std::array<std::uint8_t, kMtAutoSize> frame{};
        EncodeMtSettings(s, frame);
        ASSERT_TRUE(ecu.Exchange(CMD_MAP_TUNING, frame));
    }

    MtInfoFrame Note(const MtInfoFrame& f) {
        for (const MtCellUpdate& c : f.cells)
            if (c.kind != 0) reported[c.kind << 16 | c.row << 8 | c.col] = static_cast<std::int16_t>(c.value);
        return f;
    }
};

} // namespace

TEST_F(SimTuning, AutomaticRunConvergesTrackedCellsOnly) {
    StartAutomatic({{2, 4, 1}, {7, 10, 2}}, 125, 2);
    MtInfoFrame last{};
    for (int i = 0; i < 300; ++i)
        last = Poll();
    EXPECT_EQ(last.state & kStateMask, 3);
    for (const auto& [row, col] : {std::pair{2, 4}, std::pair{7, 10}}) {
        for (int matrix : {0, 1}) {
            const std::int16_t cell = StoredCell(matrix, row, col);
            EXPECT_NE(cell, 0) << "the tracked cell of every selected cylinder moved";
            EXPECT_EQ(reported[(matrix + 2) << 16 | row << 8 | col], cell)
                << "the workbench was told the last value";
        }
        EXPECT_EQ(StoredCell(2, row, col), 0) << "cylinder 3 is not selected";
    }
    // The engine at a converged cell reads its set-point within the tolerance.
    EXPECT_NEAR(ecu.sim.model.engine.lambda, ecu.sim.model.engine.lambdaTarget, 0.2 / 14.7);
    EXPECT_EQ(StoredCell(0, 0, 0), 0);
    EXPECT_EQ(reported.size(), 4U) << "only the tracked cells of the two cylinders were reported";
}

TEST_F(SimTuning, RowWritesAreReportedAtMostThirtyTwoAReply) {
    const std::uint8_t manual[12] = {0, 0x80, 0, 0, 0, 200, 0, 50, 0, 50, 0, 0};
    ASSERT_TRUE(ecu.Exchange(CMD_MAP_TUNING, manual));
    for (std::uint8_t row = 0; row < 2; ++row) {
        std::array<std::uint8_t, 68> request{3, 7, row, 0};
        for (int c = 0; c < 32; ++c)
            request[5 + 2 * c] = static_cast<std::uint8_t>(c + 1);
        ASSERT_TRUE(ecu.Exchange(0x1E, request));
    }
    int count = 0;
    for (const MtCellUpdate& c : Poll().cells)
        count += c.kind == 2;
    EXPECT_EQ(count, 32);
    Poll();
    EXPECT_EQ(reported.size(), 64U) << "the rest came with the next reply";
    EXPECT_EQ(reported[2 << 16 | 1 << 8 | 31], 32);
    EXPECT_EQ(StoredCell(0, 1, 31), 32);
}

TEST_F(SimTuning, AutomaticRunMovesALeanCellToItsNeedAndLambdaToItsSetPoint) {
    LayInjectionMap(ecu.sim.model, 4500);
    StartAutomatic({{8, 10, 1}}, 132, 1); // 40 deg, 6000 rpm toward air/fuel 13.2: lambda 0.9
    const MtInfoFrame first = Poll();
    EXPECT_EQ(first.rpm, 6000) << "the engine is held in the tracked cell";
    EXPECT_EQ(first.farf, 400);
    ASSERT_GT(first.lambda1, 160) << "the cell is lean for this engine";
    // The engine's need follows from the reading: lambda = fuel needed / fuel injected.
    const double needUs = 4500.0 * first.lambda1 / 147.0;
    MtInfoFrame last{};
    for (int i = 0; i < 100; ++i)
        last = Poll();
    const std::int16_t cell = StoredCell(0, 8, 10);
    EXPECT_NEAR(cell, needUs * 147.0 / 132.0, needUs * 0.03) << "the cell holds what the engine needs";
    EXPECT_NEAR(StoredCell(1, 8, 10), needUs * 147.0 / 132.0, needUs * 0.03) << "cylinder 2's as well";
    EXPECT_EQ(last.baseTj[0], static_cast<std::uint16_t>(cell)) << "the engine injects the tuned cell";
    EXPECT_NEAR(last.lambda1, 132, 3) << "lambda reached its set-point";
    EXPECT_EQ(last.setpoint, 132);
    EXPECT_EQ(StoredCell(0, 8, 11), 4500) << "an untracked cell stays";
}

// Two cylinders a few per cent apart in one cell, and apart in what they need (cylinder 2's injector
// flows more on the bench): each cell moves from its own value toward its own cylinder's need, the one up
// and the other down, and the workbench is told each cylinder's own value.
TEST_F(SimTuning, AutomaticRunTunesEachSelectedCylinderOnItsOwn) {
    ecusim::EcuModel& model = ecu.sim.model;
    LayInjectionMap(model, 4500);
    ecusim::PutBE16(CellBytes(0, 8, 10), 5600);
    ecusim::PutBE16(CellBytes(1, 8, 10), 5800);
    ecusim::SealImage(model.StoreBytes(model.tuningSlot));
    model.engine.bench.kInjCyl[1] = 1100;
    StartAutomatic({{8, 10, 1}}, 147, 1); // 40 deg, 6000 rpm toward lambda 1
    const MtInfoFrame first = Poll();
    ASSERT_EQ(first.rpm, 6000);
    ASSERT_GT(model.engine.cylLambda[0], 1.02) << "cylinder 1 runs lean in the cell";
    ASSERT_LT(model.engine.cylLambda[1], 0.98) << "cylinder 2 runs rich in it";
    for (int i = 0; i < 150; ++i)
        Poll();
    const std::int16_t cyl1 = StoredCell(0, 8, 10), cyl2 = StoredCell(1, 8, 10);
    EXPECT_GT(cyl1, 5600) << "cylinder 1's cell grew";
    EXPECT_LT(cyl2, 5800) << "cylinder 2's cell shrank";
    EXPECT_NE(cyl1, cyl2);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_NEAR(model.engine.cylLambda[i], 1.0, 0.025) << "cylinder " << i + 1 << " reads its set-point";
    EXPECT_EQ((reported[2 << 16 | 8 << 8 | 10]), cyl1);
    EXPECT_EQ((reported[3 << 16 | 8 << 8 | 10]), cyl2);
    EXPECT_EQ(StoredCell(2, 8, 10), 4500) << "cylinder 3 is not selected";
}

// On a closed throttle at speed the fuel is cut: lambda reads air alone, and the cell is not tuned on it.
TEST_F(SimTuning, AutomaticRunLeavesACellWhereTheFuelIsCut) {
    LayInjectionMap(ecu.sim.model, 4500);
    StartAutomatic({{0, 10, 1}}, 147, 1); // 0 deg, 6000 rpm
    MtInfoFrame last{};
    for (int i = 0; i < 100; ++i)
        last = Poll();
    EXPECT_EQ(last.conditions & kCondCutOff, kCondCutOff);
    EXPECT_EQ(StoredCell(0, 0, 10), 4500);
}

TEST_F(SimTuning, ManualCorrectionMovesLambdaAndAFreezeKeepsIt) {
    ecusim::EcuModel& model = ecu.sim.model;
    LayInjectionMap(model, 4500);
    RunAt(model, 6000.0, 40.0);
    const std::uint8_t manual[12] = {0, 0xC0, 0, 0, 0, 200, 0, 50, 0, 50, 0, 0};
    const MtInfoFrame before = Send(manual);
    ASSERT_GT(before.lambda1, 160) << "lean";
    const auto ratio = static_cast<std::uint16_t>(std::lround(1000.0 * before.lambda1 / 147.0));
    const std::uint8_t adjust[4] = {static_cast<std::uint8_t>(ratio >> 8), static_cast<std::uint8_t>(ratio),
                                    0xC0, 0};
    const MtInfoFrame corrected = Send(adjust);
    EXPECT_EQ(corrected.injRatio, ratio);
    EXPECT_EQ(corrected.baseTj[0], 4500) << "the correction is not in the cell yet";
    EXPECT_NEAR(corrected.lambda1, 147, 4) << "the correction brought lambda to 1";

    const std::uint8_t freeze[6] = {adjust[0], adjust[1], 0xC0, 0, 0, 0};
    const MtInfoFrame frozen = Send(freeze);
    const auto cell = static_cast<std::int16_t>(4500 * ratio / 1000);
    EXPECT_EQ(StoredCell(0, 8, 10), cell) << "frozen into the running cell";
    EXPECT_EQ(StoredCell(1, 8, 10), cell);
    EXPECT_EQ((reported[2 << 16 | 8 << 8 | 10]), cell);
    EXPECT_EQ(frozen.injRatio, 1000) << "the correction now lies in the cell";
    EXPECT_NEAR(Poll().lambda1, 147, 4) << "and lambda stays where the correction put it";
}

TEST_F(SimTuning, AdvanceFreezeFindsItsCellOnTheAdvanceMapsAxes) {
    ecusim::EcuModel& model = ecu.sim.model;
    LayInjectionMap(model, 4500);
    LayMap(model, kAdvance, 1, 200, 0, 250, 25); // 20.0 deg; 0..7750 rpm by 250, 0..47.5 deg by 2.5
    RunAt(model, 6000.0, 40.0);
    const std::uint8_t manual[12] = {0, 0xC0, 0, 0, 0, 200, 0, 50, 0, 50, 0, 0};
    EXPECT_EQ(Send(manual).baseAdv, 200) << "the engine fires the advance map";
    const std::uint8_t freeze[6] = {0, 15, 0, 0, 0, 0}; // +1.5 deg
    Send(freeze);
    EXPECT_EQ(MapCell(model, kAdvance, 0, 16, 24), 215) << "6000 rpm, 40 deg on the advance map's axes";
    EXPECT_EQ(MapCell(model, kAdvance, 0, 8, 10), 200) << "not the injection map's cell";
    EXPECT_EQ((reported[1 << 16 | 16 << 8 | 24]), 215);
}

TEST(SimTuningInfo, ConditionsFollowTheEngineAndTheConfiguration) {
    struct Case {
        const char* what;
        void (*run)(ecusim::EcuModel&);
        std::uint8_t conditions;
    };
    const Case cases[] = {
        {"cranking, cold", [](ecusim::EcuModel& m) { ecusim::AdvanceEngine(m, 1.2); },
         kCondCranking | kCondTh2o},
        {"warm, steady in the map", [](ecusim::EcuModel& m) { RunAt(m, 6000.0, 40.0, 1000.0); }, 0},
        {"closed throttle from speed",
         [](ecusim::EcuModel& m) {
             RunAt(m, 8000.0, 40.0, 1000.0);
             ecusim::SteerEngine(m.engine, 1150.0, 0.0);
             ecusim::AdvanceEngine(m, 0.6);
         },
         kCondCutOff | kCondTransient},
        {"over the map's speed", [](ecusim::EcuModel& m) { RunAt(m, 17500.0, 40.0, 1000.0); }, kCondRpm},
        {"longer than a cycle",
         [](ecusim::EcuModel& m) {
             LayInjectionMap(m, 20000);
             RunAt(m, 8000.0, 40.0, 1000.0);
         },
         kCondOverInj},
    };
    for (const Case& c : cases) {
        SimClient ecu;
        LayInjectionMap(ecu.sim.model, 4500);
        c.run(ecu.sim.model);
        const std::uint8_t poll = 1;
        EXPECT_EQ(Decode(ecu.Exchange(CMD_MAP_TUNING, std::span(&poll, 1))).conditions, c.conditions)
            << c.what;
    }
    for (const std::uint8_t fitted : {0, 1}) {
        SimClient ecu;
        std::vector<std::uint8_t>& par = ecu.sim.model.StoreBytes(ecusim::Store::Par);
        par[40 + 0x7B3] = fitted;
        ecusim::SealImage(par);
        const std::uint8_t poll = 1;
        EXPECT_EQ(Decode(ecu.Exchange(CMD_MAP_TUNING, std::span(&poll, 1))).extDbw, fitted ? 0x80 : 0)
            << "external drive-by-wire " << int(fitted);
    }
}

// The simulator's own data sets: over the engine's idle, rev-up and cruise cycle lambda sits near its
// set-point, but for the few cells where this engine is off its map (lean in the cruise, rich near the
// top of the rev-up). The live record and the tuning Info read the same.
TEST(SimBench, DefaultMapsRunNearTheSetPointWithAFewCellsOff) {
    SimClient ecu;
    const ecusim::EngineState& e = ecu.sim.model.engine;
    const std::uint8_t live2[] = {2, 0, 0, 0}, poll = 1;
    int firing = 0, near = 0, lean = 0, rich = 0;
    for (int i = 0; i < 600; ++i) { // two cycles and a bit, sampled ten times a second
        ecusim::AdvanceEngine(ecu.sim.model, 0.1);
        const auto live = ecu.Exchange(0x06, live2);
        ASSERT_TRUE(live);
        const double afr = ecusim::GetBE16(&live->data.at(26)) / 10.0;
        EXPECT_NEAR(Decode(ecu.Exchange(CMD_MAP_TUNING, std::span(&poll, 1))).lambda1 / 10.0, afr, 0.15);
        if (!e.running || e.cutOff) continue;
        ++firing;
        EXPECT_NEAR(afr, 14.7, 14.7 * 0.12) << "at " << e.rpm << " rpm, " << e.throttlePct << " %";
        near += std::abs(afr - 14.7) <= 14.7 * 0.03;
        lean += afr > 14.7 * 1.04;
        rich += afr < 14.7 * 0.96;
    }
    ASSERT_GT(firing, 400);
    EXPECT_GT(near, firing * 6 / 10) << "mostly on target";
    EXPECT_GT(lean, 10) << "a lean spot to tune";
    EXPECT_GT(rich, 5) << "a rich spot to tune";
}

// An automatic run on the simulator's own map finds the lean cruise cell lean and tunes it to the need.
TEST_F(SimTuning, AutomaticRunOnTheDefaultMapTunesItsLeanCell) {
    ecusim::ResetStores(ecu.sim.model);
    const std::int16_t before = StoredCell(0, 9, 7);
    StartAutomatic({{9, 7, 1}}, 147, 1); // 25 deg, 3500 rpm, toward lambda 1
    const MtInfoFrame first = Poll();
    ASSERT_EQ(first.rpm, 3500);
    EXPECT_GT(first.lambda1, 152) << "the engine runs lean there";
    MtInfoFrame last{};
    for (int i = 0; i < 100; ++i)
        last = Poll();
    EXPECT_GT(StoredCell(0, 9, 7), before * 1.03) << "the cell grew toward the need";
    EXPECT_NEAR(last.lambda1, 147, 2) << "lambda reached its set-point";
}

// With the turbo on, a run by throttle tunes the map by throttle, and the engine runs on that map while it
// does: the lean cell still converges.
TEST_F(SimTuning, AutomaticRunByThrottleOnATurboEngineTunesTheMapItRunsOn) {
    ecu.sim.model.StoreBytes(ecusim::Store::Par).at(ecusim::kPrefixSize + ecusim::kParTurboEnable) = 1;
    LayInjectionMap(ecu.sim.model, 4500);
    StartAutomatic({{8, 10, 1}}, 132, 1);
    ASSERT_GT(Poll().lambda1, 160) << "the cell is lean for this engine";
    MtInfoFrame last{};
    for (int i = 0; i < 100; ++i)
        last = Poll();
    EXPECT_NE(StoredCell(0, 8, 10), 4500) << "the cell was tuned";
    EXPECT_NEAR(last.lambda1, 132, 3) << "lambda reached its set-point on the map tuned";
}

#include "orvane/live/liverec.h"

#include "orvane/core/logic/byteorder.h"
#include "orvane/core/logic/com.h"
#include "orvane/core/logic/values.h"
#include "orvane/core/ui/connect.h"
#include "orvane/live/live.h"
#include "platform/ui/userint.h"

#include <algorithm>
#include <cstring>
#include <span>

LiveData0 liveData0{};
LiveData1 liveData1{};
LiveData2 liveData2{};
LiveData3 liveData3{};
EngInfo engInfo{};
TwaInfo twaInfo{};
MiscInfo miscInfo{};
char szEcuPar[32] = "";
char szEcuMap1[32] = "";
char szEcuMap2[32] = "";

std::uint8_t benchAdjustCode = 0;
std::uint16_t benchAdjustValue = 0;
std::uint8_t liveIndex = 0;
std::uint8_t liveErrCount = 0;
std::uint32_t liveRequests = 0;
std::array<std::uint32_t, 4> liveRecordRequest{};

namespace {

constexpr std::uint8_t kMaxLiveErrors = 5; // failed exchanges absorbed before the records are cleared

std::uint32_t benchAdjustSession = 0; // the connection the pending adjustment was made on

// Field runs of each record on the wire: 16-bit words are swapped, bytes stay.
constexpr FieldRun kLive0Runs[] = {{0, 250, FieldWidth::Word}};
constexpr FieldRun kLive1Runs[] = {{0, 102, FieldWidth::Word},
                                   {102, 4, FieldWidth::Bytes},
                                   {106, 28, FieldWidth::Word},
                                   {134, 8, FieldWidth::Bytes}};
constexpr FieldRun kLive2Runs[] = {{0, 56, FieldWidth::Word}};
constexpr FieldRun kLive3Runs[] = {{0, 40, FieldWidth::Word}, {40, 6, FieldWidth::Bytes}};
constexpr FieldRun kEngInfoRuns[] = {{0, 8, FieldWidth::Word}, {8, 12, FieldWidth::Bytes}};
constexpr FieldRun kTwaInfoRuns[] = {{0, 6, FieldWidth::Bytes}, {6, 2, FieldWidth::Word}};

// The A/D words of liveData2 (the word at 22 is the gear word, at 48 and 50 plain numbers).
constexpr std::size_t kAdWords[] = {0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 44, 52};
constexpr std::uint16_t kAdKeep = 0x8FFF; // fault flag and 12-bit value

template <std::size_t N> void Unpack(std::array<std::uint8_t, N>& record, std::span<const FieldRun> runs) {
    SwapFieldRuns(std::as_writable_bytes(std::span(record)), runs);
}

struct LiveSlot {
    std::span<std::uint8_t> record;
    void (*unpack)();
};

LiveSlot SlotOf(std::uint8_t index) {
    switch (index) {
    case 0:
        return {liveData0, UnpackLiveData0};
    case 1:
        return {liveData1, UnpackLiveData1};
    case 2:
        return {liveData2, UnpackLiveData2};
    default:
        return {liveData3, UnpackLiveData3};
    }
}

// A per-cylinder entry of engInfo names an output when it lies in 0..last.
bool ValidEntry(std::size_t offset, std::size_t cyl, int last) {
    const auto v = static_cast<std::int8_t>(engInfo.at(offset + cyl));
    return v >= 0 && v <= last;
}

// One exchange of the live command for the record at liveIndex; the record is adopted only from a good
// reply of exactly its size, so a short or damaged reply leaves what was shown.
bool LiveExchange() {
    const std::uint8_t index = liveIndex > 3 ? 3 : liveIndex;
    const LiveSlot slot = SlotOf(index);
    if (benchAdjustSession != LinkSession()) SetBenchAdjust(0, 0); // made for an earlier connection
    const std::uint8_t request[4] = {index, benchAdjustCode, static_cast<std::uint8_t>(benchAdjustValue >> 8),
                                     static_cast<std::uint8_t>(benchAdjustValue)};
    TxCommand(CMD_LIVE_DATA, request, sizeof request);
    ++liveRequests;
    SetBenchAdjust(0, 0); // sent exactly once, whatever the reply
    std::array<std::uint8_t, kMaxFrameData> scratch{};
    std::uint8_t len = 0;
    const auto size = static_cast<std::uint8_t>(slot.record.size());
    if (RxResponse(CMD_LIVE_DATA, scratch.data(), size, &len) != 0 || len != size) return false;
    std::copy_n(scratch.begin(), size, slot.record.begin());
    slot.unpack();
    liveRecordRequest[index] = liveRequests;
    liveIndex = static_cast<std::uint8_t>((index + 1) % 4);
    return true;
}

// Reads information block (VALUES_INFO, block, 0, 0) into record and converts it; with the link closed the
// record takes its defaults instead. A failed read leaves the record as it was.
template <std::size_t N>
bool RequestInfo(std::uint8_t block, std::array<std::uint8_t, N>& record, std::span<const FieldRun> runs,
                 void (*defaults)()) {
    if (!isComOpen) {
        defaults();
        return false;
    }
    if (!DoGetValues(VALUES_INFO, block, 0, 0, record)) return false;
    Unpack(record, runs);
    return true;
}

void ScatterShownPage(std::uint8_t page) {
    if (page == 0)
        ScatterLv1Panel();
    else
        ScatterLv2Panel();
}

} // namespace

std::uint16_t LiveU16(const std::uint8_t* record, std::size_t offset) {
    std::uint16_t v = 0;
    std::memcpy(&v, record + offset, sizeof v);
    return v;
}

bool HasCoil(std::size_t cyl) {
    return ValidEntry(kEngCoils, cyl, 1);
}
bool HasLowInj(std::size_t cyl) {
    return ValidEntry(kEngLowInjectors, cyl, 3);
}
bool HasHighInj(std::size_t cyl) {
    return ValidEntry(kEngHighInjectors, cyl, 3);
}

bool AnyCylinderOnCoil(int coil) {
    for (std::size_t cyl = 0; cyl < 4; ++cyl)
        if (HasCoil(cyl) && engInfo[kEngCoils + cyl] == coil) return true;
    return false;
}

bool AnyCylinderOnInjector(int output) {
    for (std::size_t cyl = 0; cyl < 4; ++cyl)
        if ((HasLowInj(cyl) && engInfo[kEngLowInjectors + cyl] == output) ||
            (HasHighInj(cyl) && engInfo[kEngHighInjectors + cyl] == output))
            return true;
    return false;
}

void ClearLiveData() {
    liveData0.fill(0);
    liveData1.fill(0);
    liveData2.fill(0);
    liveData3.fill(0);
}

void UnpackLiveData0() {
    Unpack(liveData0, kLive0Runs);
}
void UnpackLiveData1() {
    Unpack(liveData1, kLive1Runs);
}
void UnpackLiveData2() {
    Unpack(liveData2, kLive2Runs);
    for (const std::size_t off : kAdWords) {
        const auto word = static_cast<std::uint16_t>(LiveU16(liveData2.data(), off) & kAdKeep);
        std::memcpy(liveData2.data() + off, &word, sizeof word);
    }
}
void UnpackLiveData3() {
    Unpack(liveData3, kLive3Runs);
}

bool RequestEngInfo() {
    return RequestInfo(INFO_ENGINE, engInfo, kEngInfoRuns, [] {
        engInfo.fill(255);                          // no cylinder has an output
        std::fill_n(engInfo.begin(), kEngCoils, 0); // the engine words
    });
}

bool RequestTwaInfo() {
    return RequestInfo(INFO_WHEEL, twaInfo, kTwaInfoRuns, [] {
        twaInfo.fill(0);
        twaInfo[5] = 1;
    });
}

bool RequestMiscInfo() {
    return RequestInfo(INFO_MISC, miscInfo, {}, [] { miscInfo.fill(0); });
}

bool RequestEcuNames() {
    if (!isComOpen) {
        szEcuPar[0] = szEcuMap1[0] = szEcuMap2[0] = '\0';
        return false;
    }
    return GetEcuDataName(szEcuMap1, sizeof szEcuMap1, NAME_MAP_SLOT1) &&
           GetEcuDataName(szEcuMap2, sizeof szEcuMap2, NAME_MAP_SLOT2) &&
           GetEcuDataName(szEcuPar, sizeof szEcuPar, NAME_PAR);
}

void SetBenchAdjust(std::uint8_t code, std::uint16_t value) {
    benchAdjustCode = code;
    benchAdjustValue = value;
    benchAdjustSession = LinkSession();
}

bool LivTimer(std::uint8_t init, std::uint8_t page) {
    // an adjustment chosen while the link was closed must not reach the next ECU connected
    if (!isComOpen) SetBenchAdjust(0, 0);
    if (init) {
        liveIndex = 0;
        bool ok = RequestEcuNames();
        ok = RequestEngInfo() && ok;
        ok = RequestTwaInfo() && ok;
        ok = RequestMiscInfo() && ok;
        if (!ok) ClearLiveData();
        ScatterShownPage(page);
        return ok;
    }
    if (!isComOpen) {
        ClearLiveData();
        liveErrCount = 0;
        liveIndex = 0;
        ScatterShownPage(page);
        return false;
    }
    bool healthy = true;
    for (int exchange = 0; exchange < 2; ++exchange) {
        if (!LiveExchange()) {
            if (liveErrCount < kMaxLiveErrors) {
                ++liveErrCount;
            } else {
                ClearLiveData();
                healthy = false;
            }
            break;
        }
        liveErrCount = 0;
        // the window stays painted between the two exchanges; after the second the page is filled anyway
        if (exchange == 0) ProcessDrawEvents();
    }
    ScatterShownPage(page);
    return healthy;
}

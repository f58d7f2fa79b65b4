#include "orvane/live/diagrec.h"

#include "orvane/core/logic/byteorder.h"
#include "orvane/core/logic/com.h"
#include "orvane/live/diagnost.h"

#include <algorithm>
#include <cstring>
#include <span>

DiagStatus diagStatus{};
DiagParam diagParam{};
std::uint8_t dgnAction = 0;
std::uint8_t dgnAccess = 0;
bool dgnParamsFresh = true;

namespace {

std::uint8_t dgnFailCount = 0;      // one failure is tolerated before the watchdog hears of it
bool dgnParamsRead = false;         // the parameters were read since the link was found open
std::uint32_t dgnActionSession = 0; // the connection the pending reset action was chosen on

constexpr double kParamTimeLimit = 5.0; // seconds the ECU may take to answer a parameter exchange
constexpr std::uint8_t kAllChannelsOffA = 0x1F;
constexpr std::uint8_t kAllChannelsOffB = 0xF0;

constexpr FieldRun kStatusRuns[] = {
    {0, 16, FieldWidth::Long},  {16, 6, FieldWidth::Word},  {22, 2, FieldWidth::Bytes},
    {24, 16, FieldWidth::Long}, {40, 48, FieldWidth::Word}, {88, 4, FieldWidth::Bytes},
};
constexpr FieldRun kParamRuns[] = {
    {0, 4, FieldWidth::Word},  {4, 4, FieldWidth::Long},    {8, 4, FieldWidth::Word},
    {12, 4, FieldWidth::Long}, {16, 128, FieldWidth::Word}, {144, 4, FieldWidth::Bytes},
};

// What a read brought: the record (adopted), a well-formed frame of another length (the link works), or
// nothing usable.
enum class Reply { Good, WrongLength, None };

// Adopts the reply into record only when it is good and exactly the record's size.
template <typename Record>
Reply Adopt(int result, const std::uint8_t* scratch, std::uint8_t len, Record& record) {
    if (result != 0) return Reply::None;
    if (len != sizeof(Record)) return Reply::WrongLength;
    std::memcpy(&record, scratch, sizeof(Record));
    return Reply::Good;
}

Reply ParamExchange(std::uint8_t code, std::uint8_t sub, std::uint32_t value) {
    dgnParamsFresh = true; // the page shows the record again, whatever comes back
    if (!isComOpen) return Reply::None;
    const std::uint8_t request[6] = {static_cast<std::uint8_t>(value >> 24),
                                     static_cast<std::uint8_t>(value >> 16),
                                     static_cast<std::uint8_t>(value >> 8),
                                     static_cast<std::uint8_t>(value),
                                     code,
                                     sub};
    if (!TxCommand(CMD_DIAG_PARAM, request, sizeof request)) return Reply::None;
    std::array<std::uint8_t, kMaxFrameData> scratch{};
    std::uint8_t len = 0;
    const int result = PollResponse(CMD_DIAG_PARAM, scratch.data(), sizeof(DiagParam), &len, kParamTimeLimit);
    const Reply reply = Adopt(result, scratch.data(), len, diagParam);
    if (reply == Reply::Good) UnpackDiagParam();
    return reply;
}

// A failure after a tolerated one: the tick is reported healthy only when a frame came at all.
bool TolerateFailure(Reply reply) {
    if (dgnFailCount == 0) {
        dgnFailCount = 1;
        return true;
    }
    return reply == Reply::WrongLength;
}

// The ECU's answer to a password: 1 granted or stored, 0 refused, -1 no readable answer. Only a byte
// actually received can grant access.
int PasswordAnswer() {
    std::uint8_t answer = 0;
    std::uint8_t len = 0;
    if (RxResponse(CMD_DIAG_PASSWORD, &answer, 1, &len) != 0 || len != 1) return -1;
    return answer != 0 ? 1 : 0;
}

// The empty-password probe on the first tick with the link open: an ECU without a password (or one
// that takes the empty one) opens the guarded actions at once.
void ProbeAccess() {
    DiagPasswordExchange(1, "");
    ResetDgnPwdDialog(dgnAccess != 0);
}

bool PollStatus() {
    const std::uint8_t action = dgnActionSession == LinkSession() ? dgnAction : 0;
    dgnAction = 0; // sent exactly once
    TxCommand(CMD_DIAG_STATUS, &action, 1);
    std::array<std::uint8_t, kMaxFrameData> scratch{};
    std::uint8_t len = 0;
    const int result = RxResponse(CMD_DIAG_STATUS, scratch.data(), sizeof(DiagStatus), &len);
    const Reply reply = Adopt(result, scratch.data(), len, diagStatus);
    if (reply == Reply::Good) {
        UnpackDiagStatus();
        ScatterDgnPanel();
        dgnFailCount = 0;
        return true;
    }
    if (dgnFailCount == 0) {
        dgnFailCount = 1; // the old values stay on show
        return true;
    }
    ClearDiagData();
    ScatterDgnPanel();
    return reply == Reply::WrongLength;
}

} // namespace

bool ChannelFlag(std::uint8_t first, std::uint8_t second, std::size_t channel) {
    return channel < 5 ? (first >> (4 - channel)) & 1 : (second >> (7 - (channel - 5))) & 1;
}

void ClearDiagData() {
    const DiagParam before = diagParam;
    diagStatus = {};
    diagParam = {};
    diagParam.chanOffA = kAllChannelsOffA;
    diagParam.chanOffB = kAllChannelsOffB;
    // The page shows the cleared parameters too, not the last ones the ECU sent.
    if (std::memcmp(&before, &diagParam, sizeof diagParam) != 0) dgnParamsFresh = true;
}

void UnpackDiagStatus() {
    SwapFieldRuns(BytesOf(diagStatus), kStatusRuns);
}

void UnpackDiagParam() {
    SwapFieldRuns(BytesOf(diagParam), kParamRuns);
}

bool DiagParamExchange(std::uint8_t code, std::uint8_t sub, std::uint32_t value) {
    return ParamExchange(code, sub, value) == Reply::Good;
}

int DiagPasswordExchange(std::uint8_t mode, const char* password) {
    std::uint8_t request[1 + kDiagPasswordSize] = {mode};
    std::memcpy(request + 1, password, std::min(std::strlen(password), kDiagPasswordSize));
    const int result = TxCommand(CMD_DIAG_PASSWORD, request, sizeof request) ? PasswordAnswer() : -1;
    dgnAccess = result == 1 ? 1 : 0;
    return result;
}

void RequestDgnAction(std::uint8_t action) {
    dgnAction = action;
    dgnActionSession = LinkSession();
}

bool TakeDiagParamsFresh() {
    const bool fresh = dgnParamsFresh;
    dgnParamsFresh = false;
    return fresh;
}

bool DgnTimer() {
    DimDgnGuardedControls();
    if (!isComOpen) {
        ClearDiagData();
        ScatterDgnPanel();
        dgnFailCount = 0;
        dgnParamsRead = false;
        dgnAction = 0; // a reset chosen with the link closed must not reach the next ECU connected
        dgnAccess = 0;
        ResetDgnPwdDialog(false);
        return false;
    }
    if (!dgnParamsRead) {
        const Reply reply = ParamExchange(0, 0, 0);
        if (reply != Reply::Good) return TolerateFailure(reply);
        dgnFailCount = 0;
        dgnParamsRead = true;
        ProbeAccess();
    }
    return PollStatus();
}

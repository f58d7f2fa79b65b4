#include "kestil/connect.h"

#include "kestil/bload.h"
#include "kestil/screen.h"
#include "kestil/window.h"
#include "platform/sys/utility.h"
#include "platform/ui/userint.h"
#include "shared/portlink.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

bool fUpdUfwVersion = false;
bool fBloadKnown = false;
bool fUpdBloadInfo = false;
std::uint8_t linkCount = 0;
int lastResult = RESULT_NONE;
double tClearStatus = 0;

namespace {

constexpr std::uint8_t kFailuresTolerated = 2; // the third failed action in a row closes the link

constexpr int kColourClosed = 0xA0A0A0;
constexpr int kColourOldBload = 0x00FF00;
constexpr int kColourNewBload = 0x00FFFF;

// One request with a one-byte sub-id (or none) and its reply; false unless a good frame came.
struct Reply {
    std::array<std::uint8_t, kBloadMaxData> data{};
    std::uint8_t len = 0;

    // The reply's bytes from at as a text: it ends at its own NUL, if it has one.
    std::string Text(std::size_t at = 0) const {
        std::string_view text(reinterpret_cast<const char*>(data.data()), len);
        text.remove_prefix(std::min<std::size_t>(at, text.size()));
        return std::string(text.substr(0, text.find('\0')));
    }
    std::uint16_t Word(std::size_t at) const {
        return static_cast<std::uint16_t>(data[at] << 8 | data[at + 1]);
    }
};

bool Ask(std::uint8_t cmd, int subId, Reply& reply) {
    const auto id = static_cast<std::uint8_t>(subId);
    const bool sent = subId < 0 ? TxCommand(cmd, nullptr, 0) : TxCommand(cmd, &id, 1);
    return sent && RxResponse(cmd, reply.data.data(), kBloadMaxData, &reply.len) == 0;
}

std::string Version(std::uint16_t major, std::uint16_t minor) {
    char text[32];
    std::snprintf(text, sizeof text, " v%hu.%hu", major, minor);
    return text;
}

void SetStatus(const char* text) {
    SetCtrlVal(hMainPanel, KESTIL::TMstatus, text);
}

// The text of a result as the status line shows it, and whether it goes after a while.
void ShowResult(int result) {
    switch (result) {
    case RESULT_DONE:
        SetStatus("Done!");
        tClearStatus = Timer() + kDoneShownFor;
        break;
    case RESULT_INVALID_FILE:
        SetStatus("Invalid firmware file...");
        tClearStatus = 0;
        break;
    default:
        SetStatus("Programming error...");
        tClearStatus = 0;
        break;
    }
    Beep();
}

void CloseAfterFailure() {
    CloseComPort();
    ShowDisconnected();
}

// Link closed: wait, or make an attempt (open and ping) every third tick.
void TryConnect() {
    if (linkCount > 0) {
        --linkCount;
        return;
    }
    linkCount = kFailuresTolerated;
    OpenComPort();
    if (Ping()) {
        linkCount = 0;
    } else {
        CloseComPort();
        ShowDisconnected();
    }
    fBloadKnown = false;
}

void Identify() {
    if (CheckBloadInfo()) {
        fBloadKnown = fUpdBloadInfo = fUpdUfwVersion = true;
        return;
    }
    CloseComPort();
    linkCount = 0; // the next tick tries again at once
    ShowDisconnected();
}

// Identified: one action per tick, the first that applies.
bool NextAction() {
    if (fUpdBloadInfo) {
        if (!ShowBloadInfo()) return false;
        fUpdBloadInfo = false;
        return true;
    }
    if (fUpdUfwVersion) {
        if (!ShowFirmwareInfo()) return false;
        fUpdUfwVersion = false;
        return true;
    }
    return Ping();
}

} // namespace

void ReportRunResult(int result) {
    lastResult = result;
    fUpdUfwVersion = true;
}

int MainTimer(int, int, int event, void*, int, int) {
    if (fProgramming) return 0;
    if (!isComOpen) {
        SetStatus("");
        tClearStatus = 0;
        lastResult = RESULT_NONE;
    } else if (lastResult != RESULT_NONE) {
        ShowResult(lastResult);
        lastResult = RESULT_NONE;
    } else if (tClearStatus > 0 && Timer() > tClearStatus) {
        SetStatus("");
        tClearStatus = 0;
    }
    if (event == EVENT_TIMER_TICK) LivTimer();
    return 0;
}

void LivTimer() {
    if (fQuit) QuitUserInterface(0);
    const int colour = !isComOpen ? kColourClosed : fOldBload ? kColourOldBload : kColourNewBload;
    SetCtrlAttribute(hMainPanel, KESTIL::RINGport, ATTR_TEXT_BGCOLOR, colour);
    if (!isComOpen) {
        TryConnect();
        return;
    }
    if (!fBloadKnown) {
        Identify();
        return;
    }
    if (NextAction()) {
        linkCount = 0;
    } else if (linkCount < kFailuresTolerated) {
        ++linkCount;
    } else {
        CloseAfterFailure();
    }
}

bool ShowBloadInfo() {
    Reply name, version, customer;
    if (!Ask(BL_GET_INFO, 3, name)) return false;
    if (!Ask(BL_GET_INFO, 2, version) || version.len != 4) return false;
    if (!Ask(BL_GET_CUST_ID, -1, customer) || customer.len != 2) return false;
    char id[8];
    std::snprintf(id, sizeof id, "-%04X", static_cast<unsigned>(customer.Word(0)));
    const std::string text = name.Text() + Version(version.Word(0), version.Word(2)) + id;
    return SetMainTitle(text.c_str());
}

bool ShowFirmwareInfo() {
    Reply name, version, text3, text4;
    if (!Ask(BL_GET_APP_INFO, 2, name)) return false;
    std::string text = "_  _  _";
    if (name.len > 0) {
        if (!Ask(BL_GET_APP_INFO, 1, version) || version.len < 4) return false;
        if (!Ask(BL_GET_APP_INFO, 3, text3) || !Ask(BL_GET_APP_INFO, 4, text4)) return false;
        text = name.Text() + Version(version.Word(0), version.Word(2)) + version.Text(4) + "\n(" +
               text3.Text() + " - " + text4.Text() + ")";
    }
    SetCtrlVal(hMainPanel, KESTIL::TBOXfirmware, text.c_str());
    return true;
}

void ShowDisconnected() {
    SetMainTitle("disconnected");
    SetCtrlVal(hMainPanel, KESTIL::TBOXfirmware, "");
}

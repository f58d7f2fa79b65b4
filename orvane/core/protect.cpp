#include "orvane/core/protect.h"

#include "orvane/core/com.h"
#include "orvane/core/connect.h"
#include "orvane/core/ecucmds.h"
#include "orvane/core/loadpage.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/utils.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <array>
#include <cstdlib>
#include <cstring>

int hPwdPanel = 0;
std::uint8_t fPwdConfirm = 0;
std::uint8_t fLoginFromLogo = 0;

namespace {

constexpr double kSetPasswordTimeOut = 15.0;

char newPassword[kPasswordLength + 1]; // the new password of a Change, zero-padded

// The hot spot of the logo, as fractions of its size, and how near a click must come to it.
constexpr double kHotSpotX = 0.92;
constexpr double kHotSpotY = 0.85;
constexpr int kHotSpotRadius = 5;

// The typed text, taken out of the field (which is emptied) and padded with zero bytes to 15.
void TakeTypedPassword(char (&text)[kPasswordLength + 1]) {
    std::memset(text, 0, sizeof text);
    PasswordCtrl_GetAttribute(hPwdPanel, PWD::STRpasswd, ATTR_PASSWORD_VAL, text);
    Padr(text, kPasswordLength, '\0');
    PasswordCtrl_SetAttribute(hPwdPanel, PWD::STRpasswd, ATTR_PASSWORD_VAL, "");
}

void BeginChange() {
    SetCtrlAttribute(hPwdPanel, PWD::CBsetPwdA, ATTR_LABEL_TEXT, "Confirm");
    SetCtrlAttribute(hPwdPanel, PWD::CBsetPwdB, ATTR_VISIBLE, 0);
    TakeTypedPassword(newPassword);
    SetCtrlAttribute(hPwdPanel, PWD::STRpasswd, ATTR_LABEL_TEXT, "Re-enter password:");
    SetActiveCtrl(hPwdPanel, PWD::STRpasswd);
    fPwdConfirm = 1;
}

// Sends the new password and waits for the ECU's empty reply; false on any link error.
bool SendNewPassword() {
    if (!isComOpen) return false;
    const MouseCursorScope wait(VAL_HOUR_GLASS_CURSOR);
    const bool sent =
        TxCommand(CMD_SET_PASSWORD, reinterpret_cast<const std::uint8_t*>(newPassword), kPasswordLength);
    // The reply is awaited even after a failed send, so that a late reply is not left queued.
    std::uint8_t len = 0;
    return PollResponse(CMD_SET_PASSWORD, nullptr, 0, &len, kSetPasswordTimeOut) == 0 && sent;
}

enum class Outcome { Refused, LinkError, Done };

Outcome LoginOrConfirm() {
    char typed[kPasswordLength + 1];
    TakeTypedPassword(typed);
    std::array<std::uint8_t, kPasswordLength> keys{};
    for (int i = 0; i < kPasswordLength; ++i) {
        if (fPwdConfirm && typed[i] != newPassword[i]) {
            MessagePopup("Error!", "Typed passwords do not match...");
            return Outcome::Refused;
        }
        keys[i] = LoginKey(static_cast<std::uint8_t>(typed[i]));
    }
    if (fPwdConfirm) {
        if (!ConfirmPopup("Warning!", "All configurations will be erased...", ConfirmDefault::No))
            return Outcome::Refused;
        if (!SendNewPassword()) return Outcome::LinkError;
    }
    SetProtectKeys(keys, fLoginFromLogo != 0);
    for (int i = 0; i < 2; ++i)
        if (!Ping()) return Outcome::LinkError;
    return Outcome::Done;
}

void FinishLogin() {
    const bool wasChange = fPwdConfirm != 0;
    const Outcome outcome = LoginOrConfirm();
    RemovePopup(0);
    if (outcome == Outcome::LinkError) {
        MessagePopup("Protection", szGenericError);
        fPwdConfirm = 0;
    } else if (wasChange) {
        fPwdConfirm = 0;
    } else if (outcome == Outcome::Done && fEcuProtected) {
        MessagePopup("Protection", "Invalid password!");
    }
}

bool OnLogoHotSpot(int y, int x) {
    int width = 0, height = 0, top = 0, left = 0;
    if (GetCtrlAttribute(hMainPanel, MAIN::PIClogo, ATTR_WIDTH, &width) < 0 ||
        GetCtrlAttribute(hMainPanel, MAIN::PIClogo, ATTR_HEIGHT, &height) < 0 ||
        GetCtrlAttribute(hMainPanel, MAIN::PIClogo, ATTR_TOP, &top) < 0 ||
        GetCtrlAttribute(hMainPanel, MAIN::PIClogo, ATTR_LEFT, &left) < 0)
        return false;
    const int spotX = left + static_cast<int>(width * kHotSpotX + 0.5);
    const int spotY = top + static_cast<int>(height * kHotSpotY + 0.5);
    return std::abs(x - spotX) < kHotSpotRadius && std::abs(y - spotY) < kHotSpotRadius;
}

} // namespace

bool InitPwdPanel(int parent) {
    if (!LoadPage(parent, PWD::id, hPwdPanel)) return false;
    if (PasswordCtrl_ConvertFromString(hPwdPanel, PWD::STRpasswd) < 0) return false;
    if (PasswordCtrl_SetAttribute(hPwdPanel, PWD::STRpasswd, ATTR_PASSWORD_MAX_LENGTH, kPasswordLength) < 0)
        return false;
    ClearProtectKeys();
    return true;
}

int DlgProtection(std::uint8_t canChange) {
    // A dialog always opens at the login step: a confirmation left pending must never turn a later
    // login into a password change that erases the ECU's configurations.
    fPwdConfirm = 0;
    std::memset(newPassword, 0, sizeof newPassword);
    fLoginFromLogo = canChange ? 0 : 1;
    SetCtrlAttribute(hPwdPanel, PWD::CBsetPwdA, ATTR_LABEL_TEXT, "Log in");
    SetCtrlAttribute(hPwdPanel, PWD::CBsetPwdA, ATTR_VISIBLE, 1);
    SetCtrlAttribute(hPwdPanel, PWD::CBsetPwdB, ATTR_LABEL_TEXT, "Change");
    SetCtrlAttribute(hPwdPanel, PWD::CBsetPwdB, ATTR_VISIBLE, canChange ? 1 : 0);
    SetCtrlAttribute(hPwdPanel, PWD::CBsetPwdB, ATTR_DIMMED, isComOpen ? 0 : 1);
    SetCtrlAttribute(hPwdPanel, PWD::STRpasswd, ATTR_LABEL_TEXT, "Enter password:");
    PasswordCtrl_SetAttribute(hPwdPanel, PWD::STRpasswd, ATTR_PASSWORD_VAL, "");
    const int status = InstallPopup(hPwdPanel);
    // Whatever had the focus when the dialog was last closed, the user types the password straight away.
    if (status >= 0) SetActiveCtrl(hPwdPanel, PWD::STRpasswd);
    return status;
}

int SetProtection(int, int control, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    if (control == PWD::CBcancel) {
        fPwdConfirm = 0;
        RemovePopup(0);
    } else if (control == PWD::CBsetPwdB) {
        BeginChange();
    } else if (control == PWD::CBsetPwdA) {
        FinishLogin();
    }
    return 0;
}

int Protect(int, int control, int event, void*, int eventData1, int eventData2) {
    if (CheckfBusy()) return 0;
    if (control == MAIN::CBprotect && event == EVENT_COMMIT) DlgProtection(1);
    if (control == MAIN::PIClogo && event == EVENT_RIGHT_DOUBLE_CLICK &&
        OnLogoHotSpot(eventData1, eventData2))
        DlgProtection(0);
    return 0;
}

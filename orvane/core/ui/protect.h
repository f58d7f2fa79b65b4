// The ECU password lock: the "Protection" dialog that logs in (the keys ride on every Ping) or sets a
// new password.
#pragma once

#include <cstdint>

extern int hPwdPanel;
extern std::uint8_t fPwdConfirm;    // the dialog waits for the new password to be typed again
extern std::uint8_t fLoginFromLogo; // the dialog was opened from the logo (login only)

bool InitPwdPanel(int parent);
int DlgProtection(std::uint8_t canChange);
int SetProtection(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Protect(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// The login key of one password character: rotated left by one bit.
constexpr std::uint8_t LoginKey(std::uint8_t c) {
    return static_cast<std::uint8_t>(c << 1 | c >> 7);
}

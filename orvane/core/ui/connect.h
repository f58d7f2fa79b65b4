// Connection, login and identity: the connect toggle, the version text, Ping (the login-and-identity
// exchange that doubles as the idle poll) and the names of the data sets the ECU holds.
#pragma once

#include "orvane/core/logic/ecucmds.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern std::uint8_t aProtectKeys[2 * kPasswordLength]; // login keys sent with every Ping
extern std::uint8_t fEcuProtected;                     // the ECU reports itself password-protected
extern std::uint8_t fwVariant;   // variant byte of the last Ping reply that passed the checks
extern char ecuVersionText[256]; // text of the last version reply

// The keys of a login, one per password character, go with every Ping from now on: in the even bytes for
// a login from the "Protection" button, in the odd ones for a login from the logo, zeros in the others.
void SetProtectKeys(std::span<const std::uint8_t, kPasswordLength> keys, bool fromLogo);
// Nobody is logged in: every key is zero.
void ClearProtectKeys();
// The ECU's lock as a live record or the diagnostics page reports it, until the next Ping.
void SetEcuProtected(bool locked);

bool Ping();
bool ReadEcuVersion();
// kind 0 configuration, 1 mapping slot 1, 2 mapping slot 2, 8 the mapping under tuning.
bool GetEcuDataName(char* buf, std::size_t size, std::uint8_t kind);

int CommOnOff(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

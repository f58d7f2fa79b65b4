// Connection, login and identity: the connect toggle, the version text, Ping (the login-and-identity
// exchange that doubles as the idle poll) and the names of the data sets the ECU holds.
#pragma once

#include <cstddef>
#include <cstdint>

extern std::uint8_t aProtectKeys[30]; // login keys sent with every Ping
extern std::uint8_t fEcuProtected;    // the ECU reports itself password-protected
extern std::uint8_t fwVariant;        // variant byte of the last Ping reply that passed the checks
extern char ecuVersionText[256];      // text of the last version reply

bool Ping();
bool ReadEcuVersion();
// kind 0 configuration, 1 mapping slot 1, 2 mapping slot 2, 8 the mapping under tuning.
bool GetEcuDataName(char* buf, std::size_t size, std::uint8_t kind);

int CommOnOff(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

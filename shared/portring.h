// The port selector of a window (a ring of "USB" = -1 and "COMn" = n) and the link opening that reads
// it: the same in both programs, each with its own ring.
#pragma once

#include <cstdint>

// Selects the ring item of port. A port the list does not offer (a new settings file holds 0) leaves the
// first item selected rather than none, so that the adapter is still what opens.
void ShowPortChoice(int panel, int ring, std::int16_t port);
// Value of the selected ring item; false when the query fails.
bool GetPortChoice(int panel, int ring, std::int16_t& port);
// Opens the port chosen in the ring, unless the link is open. The port in use after it: port itself
// while the link was open already, else the chosen value, or 0 when the link stays closed (the outcome is
// isComOpen).
std::int16_t OpenPortOfRing(int panel, int ring, std::int16_t port);

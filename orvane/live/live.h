// The two live-data pages.
#pragma once

#include <cstdint>

extern int hLv1Panel, hLv2Panel;

bool InitLv1Panel(int parent);
bool InitLv2Panel(int parent);
bool ScatterLv1Panel();
bool ScatterLv2Panel();
// The live exchange of one tick; init asks for a refresh of the context, page 0 = LIVE1, 1 = LIVE2.
bool LivTimer(std::uint8_t init, std::uint8_t page);

#include "orvane/live/live.h"

#include "orvane/core/connect.h"
#include "orvane/core/page.h"
#include "orvane/ui/screen.h"

int hLv1Panel = 0;
int hLv2Panel = 0;

bool InitLv1Panel(int parent) {
    return LoadPage(parent, LIVE1::id, hLv1Panel);
}
bool InitLv2Panel(int parent) {
    return LoadPage(parent, LIVE2::id, hLv2Panel);
}
bool ScatterLv1Panel() {
    return true;
}
bool ScatterLv2Panel() {
    return true;
}

// Until the live records are read, the live pages keep the link alive with the idle poll.
bool LivTimer(std::uint8_t, std::uint8_t) {
    return Ping();
}

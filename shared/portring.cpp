#include "shared/portring.h"

#include "platform/ui/userint.h"
#include "shared/portlink.h"

namespace {

bool GetChosenItem(int panel, int ring, int& index, std::int16_t& port) {
    return GetCtrlIndex(panel, ring, &index) >= 0 && GetValueFromIndex(panel, ring, index, &port) >= 0;
}

} // namespace

void ShowPortChoice(int panel, int ring, std::int16_t port) {
    int index = -1;
    GetIndexFromValue(panel, ring, &index, port);
    SetCtrlIndex(panel, ring, index >= 0 ? index : 0);
}

bool GetPortChoice(int panel, int ring, std::int16_t& port) {
    int index = -1;
    return GetChosenItem(panel, ring, index, port);
}

std::int16_t OpenPortOfRing(int panel, int ring, std::int16_t port) {
    if (isComOpen) return port;
    int index = -1;
    std::int16_t chosenPort = 0;
    char label[64] = "";
    const bool chosen = GetChosenItem(panel, ring, index, chosenPort);
    if (chosen) port = chosenPort;
    const bool named = chosen && (port < 0 || GetLabelFromIndex(panel, ring, index, label) >= 0);
    if (!named || !OpenPortLink(port, label)) return 0; // the link stays closed
    return port;
}

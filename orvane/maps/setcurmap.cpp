#include "orvane/maps/setcurmap.h"

#include "orvane/core/ui/maintimer.h"
#include "orvane/maps/curmap.h"
#include "orvane/maps/map1.h"
#include "platform/ui/userint.h"

bool SetCurMap(int col, int row, double add, double factor, std::uint8_t restore, std::uint8_t restoreX,
               std::uint8_t restoreY, std::uint8_t redraw) {
    if (!ChangeCurMapCells(col, row, add, factor, restore != 0, restoreX != 0, restoreY != 0)) return false;
    if (SingleMatBit(*CurMapDesc())) {
        AlignCurMapMatrixes(idCurMap);
        AlignCurMapZBreakpoints(idCurMap);
    }
    return redraw == 0 || ScatterMp1Panel();
}

void AlignCurMapMatrixes(std::uint8_t id) {
    const MapDesc* d = FindMapDesc(id);
    if (d == nullptr || d->layout == MatLayout::One) return;
    const MouseCursorScope wait(VAL_HOUR_GLASS_CURSOR);
    AlignMapMatrixes(id, DrawProgressBar); // milliseconds: a pump would only drop the user's input
}

// Changes of the current matrix that keep a single-matrix map aligned and refresh the page.
#pragma once

#include <cstdint>

// Changes cells of the current matrix (see ChangeCurMapCells), then, while the map's single-matrix bit
// is set, copies its first matrix and Z breakpoints over the others; redraw refreshes the map page.
bool SetCurMap(int col, int row, double add, double factor, std::uint8_t restore, std::uint8_t restoreX,
               std::uint8_t restoreY, std::uint8_t redraw);
// Copies the first matrix of map id over the others in use, with the hour-glass and the progress bar.
void AlignCurMapMatrixes(std::uint8_t id);

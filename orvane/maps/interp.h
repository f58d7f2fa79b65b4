// Block operations of the Edit-Map dialog on the map table: interpolation over the breakpoints and
// reset to the reference copy. A block is top row, left column, height and width in table cells.
#pragma once

// op: the dialog's RBinterp, RBinterpRow or RBinterpCol. True also when the block is too small for the
// operation (nothing changes); false for an empty block, another op or a failing call.
bool InterpMapSelection(int op, int top, int left, int height, int width);
// Puts every cell of the block back to its reference value; false for an empty block or a failure.
bool ResetMapSelection(int top, int left, int height, int width);

// What a reader would find wrong on a panel as it shows now: boxes that leave the panel, overlap, cross a
// frame's border or lie over its title, captions that run into the next caption (a blank must part them),
// and content that does not fit its box (a numeric's widest value by its range and decimals, a table
// column's widest value by its cells' formats, a table that needs a scroll bar at its size, but for one
// the resource lays out to scroll sideways at the design size (scrolls), a text message as it reads now
// and at its longest (maxlen of the font's widest character), a frame title, a ring item, a button or
// toggle text), measured with the font the control draws with, as the widget measures it. Only controls
// visible now count. Part of the test and tool layer.
#pragma once

#include <string>
#include <vector>

namespace uitest {

struct LayoutBox {
    std::string name; // the control's constant name; its caption "NAME:caption", a frame's title "NAME:title"
    int x, y, w, h;   // in the panel; a frame's box is the inside of its border
};

// Every visible control's box and caption box, in resource order.
std::vector<LayoutBox> LayoutBoxes(int panel);
// One line per fault, naming the control(s). A numeric without a range is measured by the value it holds.
std::vector<std::string> LayoutFaults(int panel);
// The visible numerics that have no range: what they can show is known only to the program, which gives
// an indicator its field's range (its type over its divisor) so that its box is checked against all of it.
std::vector<std::string> UnrangedNumerics(int panel);

} // namespace uitest

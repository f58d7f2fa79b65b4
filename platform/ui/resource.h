// The user-interface resource: a text file of panels and their controls.
//
// Grammar (one item a line; blank lines and lines starting with '#' are ignored, and a '#' that starts a
// token begins a comment to the end of the line):
//
//   panel <CONST> <resourceId> "<title>" <panelCallback|-> <W>x<H> [at=X,Y] [resizable]
//   <id> <CONST> <kind> "<caption>" <callback|-> <X>,<Y>,<W>,<H> [option...]
//
// A panel line starts a panel; every following control line belongs to it until the next panel line.
// <CONST> is a C++ identifier; <resourceId> and <id> are positive integers, unique in the resource and in
// their panel. A callback is a name registered with RegisterCtrlCallback / RegisterPanelCallback, or '-'.
// Texts are in double quotes; inside them \" and \\ stand for " and \, and \n for a line break. Sizes and
// positions are pixels; a child panel's at=X,Y is its place inside the parent, a top-level panel's its place
// on the screen. A resizable top-level panel is a window the user may enlarge (never below its size here); a
// resizable child panel grows with its parent, keeping its distance to all four of the parent's edges.
//
// kind      holds                                     options besides hidden, dimmed (every kind)
// command   no value (commit on press)               bold textcolor font
// toggle    0 / 1                                    value oncolor states indicator bold textcolor font
// numeric   a number                                 min max inc prec value indicator align bold ...
// slide     a number (a progress bar when indicator) min max inc prec value indicator
// ring      a number, one of items (or none)         items value indicator bold textcolor font
// string    a text                                   value maxlen indicator align bold textcolor font
// password  a text, shown masked                     value maxlen indicator
// textbox   a text of several lines                  value maxlen indicator bold textcolor font
// textmsg   its caption is its text                  maxlen align bold textcolor font
// led       0 / 1                                    value oncolor
// picture   no value (commit on click)               indicator
// timer     ticks every interval seconds             interval (required)
// tab       the index of the selected tab            tabs value
// table     values in cells                          rows cols colwidth labelwidth prec min max cellmode
//                                                    scrolls indicator ...
// radio     a number, one of items (or none)         items value indicator
// deco      a frame, titled by its caption           -
// graph     plots, cursors and axes (see userint.h)   -
// graph3d   a surface with a cursor (see userint.h)   pairs
//
// Options: min= max= inc= value= interval= (numbers), prec= rows= cols= colwidth= labelwidth= (a table's
// row-label column, in pixels, whatever its labels) maxlen= (the longest text a user may type; a text
// message's: the longest text the program gives it, which its box is laid out for in the font's widest
// characters) font= (integers; font is a point size), oncolor= textcolor= (RRGGBB), align=left|center|right,
// cellmode=hot|indicator (a table's cells; indicator cells take no typed text, while the table is still
// clicked, selected in and scrolled, and hears its keys), items="Label=value|..." (the last '=' of an item
// separates its value), tabs="A|B|C", states="Off|On" (a toggle shows the state's text and its caption above
// it, like a numeric), pairs=32|20|0 (a 3-D graph's axes in order, each with its number of value pairs;
// without it three axes without any), and the flags hidden dimmed indicator bold, scrolls (a table whose page
// has no room at its design size for all its columns: it scrolls sideways there by design, and shows them all
// once its window is grown), and anchor= (every kind but timer): the panel edges the control keeps its
// distance to when the panel grows, '|'-separated among left, right, top, bottom, or center for none. Held by
// both edges of a direction it stretches, by one it stays beside that edge, by neither it stays centred.
// Defaults: anchor=left|top, prec=0, inc=1, no min or max, value= 0 (a ring or radio: its first item's
// value); a numeric is aligned right; a dimmed timer starts disabled. A table's prec, min, max, bold and
// textcolor are the attributes of its cells. A control's caption shows above it (beside an LED; inside a
// button).
#pragma once

#include "platform/ui/userint.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace uir {

enum class Align { Left, Center, Right };

// The panel edges a control keeps its distance to as its panel grows or shrinks.
struct Anchor {
    bool left = true, top = true, right = false, bottom = false;

    // How far the control moves and how much it grows when the panel's width (height) changes by delta.
    static int Shift(bool nearEdge, bool farEdge, int delta) {
        return nearEdge ? 0 : farEdge ? delta : delta / 2;
    }
    static int Growth(bool nearEdge, bool farEdge, int delta) { return nearEdge && farEdge ? delta : 0; }
};

struct Item {
    std::string label;
    double value = 0;
};

struct Options {
    std::optional<double> min, max, inc, interval;
    std::optional<double> number;    // value= of a kind that holds a number
    std::optional<std::string> text; // value= of a kind that holds a text
    std::optional<int> prec, rows, cols, colwidth, labelwidth, maxlen, font, oncolor, textcolor;
    std::optional<int> cellMode; // a table's cells: VAL_HOT or VAL_INDICATOR
    std::optional<Align> align;
    Anchor anchor;
    std::vector<Item> items;
    std::vector<std::string> tabs;
    std::vector<std::string> states;       // a toggle's off and on texts
    std::optional<std::vector<int>> pairs; // a 3-D graph: value pairs per axis
    bool hidden = false;
    bool dimmed = false;
    bool indicator = false;
    bool bold = false;
    bool scrolls = false; // a table: scrolls sideways at its panel's design size by design
};

struct ControlDef {
    int line = 0;
    int id = 0;
    std::string name;
    UiCtrlKind kind = CTRL_COMMAND_BUTTON;
    std::string caption;
    std::string callback; // empty: none
    int x = 0, y = 0, w = 0, h = 0;
    Options options;
};

struct PanelDef {
    int line = 0;
    std::string name;
    int resourceId = 0;
    std::string title;
    std::string callback; // empty: none
    int w = 0, h = 0;
    std::optional<int> atX, atY;
    bool resizable = false;
    std::vector<ControlDef> controls;
};

struct Resource {
    std::vector<PanelDef> panels;
    const PanelDef* Find(int resourceId) const;
};

// Parses a whole resource. On failure returns nothing and sets error to "<fileName>:<line>: <message>".
std::optional<Resource> Parse(std::string_view fileName, std::string_view text, std::string& error);

} // namespace uir

// The layout check: what it reports about a panel as it shows now, measured in the font drawn with.
#include "platform/ui/layoutcheck.h"
#include "platform/ui/userint.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One panel of each case, from a resource of its own: a control with its neighbours as given.
int LoadCase(const std::string& controls, const std::string& size = "400x200") {
    static int n = 0;
    const std::string file = "layoutcase" + std::to_string(++n) + ".uir";
    RegisterResource(file, "panel CASE 1 \"Case\" - " + size + " resizable\n" + controls);
    const int panel = LoadPanel(0, file.c_str(), 1);
    EXPECT_GT(panel, 0) << GetLastLoadError();
    DisplayPanel(panel);
    ProcessSystemEvents();
    return panel;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines)
        text += l + "\n";
    return text;
}

struct Case {
    const char* what;
    const char* controls;
    const char* fault; // a part of the one fault expected; null: none
    const char* size = "400x200";
};

TEST(LayoutCheck, ReportsWhatAReaderWouldSeeCut) {
    const Case kCases[] = {
        {"a numeric wide enough for its range", " 2 NUM numeric \"\" - 10,10,90,24 min=-30 max=30 prec=1\n",
         nullptr},
        {"a numeric too narrow for its widest value, the sign counted",
         " 2 NUM numeric \"\" - 10,10,40,24 min=-3000 max=30 prec=1\n", "NUM: \"-3000.0\" does not fit"},
        {"a table column too narrow for five digits",
         " 2 TAB table \"\" - 10,10,300,60 rows=2 cols=4 colwidth=24 min=0 max=20000\n",
         "TAB: \"20000\" does not fit 4 column(s)"},
        {"a table that hides its last row behind a scroll bar",
         " 2 TAB table \"\" - 10,10,300,50 rows=4 cols=2 colwidth=60\n",
         "TAB hides rows behind a scroll bar"},
        {"a table that stretches sideways hides columns at its design size all the same",
         " 2 TAB table \"\" - 10,10,200,80 rows=2 cols=8 colwidth=60 anchor=left|right|top\n",
         "TAB hides columns behind a scroll bar"},
        {"a text message longer than its box",
         " 2 TM textmsg \"External Throttle Reference by Drive by Wire 1\" - 10,10,120,20\n",
         "TM: \"External Throttle Reference by Drive by Wire 1\" does not fit"},
        // A name of up to 31 characters: its box holds 31 of the widest, whatever it shows now (31 of "x"
        // take some 240 pixels in bold, 31 of "W" some 410).
        {"a text message that holds its text but not its longest of wide characters",
         " 2 TM textmsg \"Bench\" - 10,10,300,20 bold maxlen=31\n", "TM at its longest: \""},
        {"a text message wide enough for its longest text",
         " 2 TM textmsg \"\" - 10,10,600,20 bold maxlen=31\n", nullptr, "620x40"},
        {"a text message of two lines in the height of one",
         " 2 TM textmsg \"Injection Mapping Mode\\nThrottle Thresholds\" - 10,10,200,16\n",
         "TM: its lines do not fit its height"},
        {"a ring item wider than the ring",
         " 2 RING ring \"\" - 10,10,70,24 items=\"Off=0|Speed by Limits=1\"\n",
         "RING: \"Speed by Limits\" does not fit"},
        {"a toggle whose longer state does not fit",
         " 2 TB toggle \"\" - 10,10,60,24 states=\"Off|External Grip\"\n",
         "TB: \"External Grip\" does not fit"},
        {"two captions side by side",
         " 2 A numeric \"Threshold [deg]\" - 10,40,40,24\n 3 B numeric \"Gain\" - 60,40,40,24\n",
         "A:caption overlaps B:caption"},
        {"a caption's trailing blanks take no room",
         " 2 A numeric \"Gain      \" - 10,40,36,24\n 3 B numeric \"Decay\" - 50,40,60,24\n", nullptr},
        {"a caption wider than its box that runs into the next caption",
         " 2 A numeric \"Decay [deg/s]\" - 10,40,80,24\n 3 B numeric \"Threshold [deg]\" - 94,40,90,24\n",
         "A:caption overlaps B:caption"},
        {"a caption wider than its box, a blank and more before the next",
         " 2 A numeric \"Decay [deg/s]\" - 10,40,80,24\n 3 B numeric \"Threshold [deg]\" - 104,40,90,24\n",
         nullptr},
        {"a cell value a fraction of a pixel wider than its column",
         " 2 TAB table \"\" - 10,10,300,60 rows=2 cols=4 colwidth=45 min=0 max=3200 prec=1 font=8\n",
         "TAB: \"3200.0\" does not fit 4 column(s)"},
        {"a text across the border under its frame's title",
         " 2 F deco \"Drive-by-wire\" - 10,10,300,100\n 3 TM textmsg \"M007 v2.4\" - 200,23,90,15\n",
         "TM crosses the border of F"},
        {"a text beside its frame's title, above the border",
         " 2 F deco \"Drive-by-wire\" - 10,10,300,100\n 3 TM textmsg \"M007 v2.4\" - 200,11,90,15\n",
         nullptr},
        {"a text over its frame's title",
         " 2 F deco \"Drive-by-wire\" - 10,20,300,100\n 3 TM textmsg \"M007 v2.4\" - 20,12,90,15\n",
         "F:title overlaps TM"},
        {"a box on its frame's line",
         " 2 F deco \"Sensors\" - 10,10,300,100\n 3 N numeric \"\" - 10,60,90,24\n",
         "N crosses the border of F"},
    };
    for (const Case& c : kCases) {
        const int panel = LoadCase(c.controls, c.size);
        const std::vector<std::string> faults = uitest::LayoutFaults(panel);
        if (c.fault == nullptr) {
            EXPECT_TRUE(faults.empty()) << c.what << ":\n" << Joined(faults);
        } else {
            EXPECT_EQ(faults.size(), 1u) << c.what << ":\n" << Joined(faults);
            for (const std::string& f : faults)
                EXPECT_NE(f.find(c.fault), std::string::npos) << c.what << ": " << f;
        }
        DiscardPanel(panel);
    }
}

// Only what shows counts: a control hidden in one mode overlaps nothing in it.
TEST(LayoutCheck, HiddenControlsOverlapNothing) {
    const int panel = LoadCase(" 2 A numeric \"\" - 10,10,80,24\n 3 B numeric \"\" - 50,10,80,24\n");
    EXPECT_EQ(uitest::LayoutFaults(panel).size(), 1u);
    SetCtrlAttribute(panel, 3, ATTR_VISIBLE, 0);
    EXPECT_TRUE(uitest::LayoutFaults(panel).empty());
    DiscardPanel(panel);
}

// A table laid out to scroll sideways by design (a pick-up table of 32 engine speeds) does so at its
// design size only: enlarged, it shows all its columns or is reported; not so marked, it is reported.
TEST(LayoutCheck, OnlyATableListedScrollsSidewaysAndOnlyAtTheDesignSize) {
    const std::string table = " 7 TABpickUp table \"\" - 8,10,1084,100 rows=2 cols=32 colwidth=56 "
                              "anchor=left|right|top";
    const std::vector<std::string> hidden{"TABpickUp hides columns behind a scroll bar"};
    const int listed = LoadCase(table + " scrolls\n", "1100x200");
    EXPECT_TRUE(uitest::LayoutFaults(listed).empty()) << Joined(uitest::LayoutFaults(listed));
    SetPanelAttribute(listed, ATTR_WIDTH, 1200);
    ProcessSystemEvents();
    EXPECT_EQ(uitest::LayoutFaults(listed), hidden);
    DiscardPanel(listed);
    const int other = LoadCase(table + "\n", "1100x200");
    EXPECT_EQ(uitest::LayoutFaults(other), hidden);
    DiscardPanel(other);
}

// What an indicator without a range can show is known only to its program: such numerics are named.
TEST(LayoutCheck, NamesTheNumericsWithoutARange) {
    const int panel = LoadCase(" 2 A numeric \"\" - 10,10,80,24 indicator\n"
                               " 3 B numeric \"\" - 10,50,80,24 indicator min=-3276.8 max=3276.7\n");
    EXPECT_EQ(uitest::UnrangedNumerics(panel), std::vector<std::string>{"A"});
    DiscardPanel(panel);
}

} // namespace

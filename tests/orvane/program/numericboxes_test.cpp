// Every numeric box of every page, as a tuner meets it: a value beyond the box's range on either side (data
// that break its limits) shows as it is, and stays while the user only clicks into the box, presses Enter
// and leaves it with Tab; a number typed over it outside the range, on either side, is held to the range,
// whether it lies beyond the value shown or between that value and the range.
#include "orvanefixture.h"
#include "resourcepanels.h"

#include "orvane/core/logic/images.h"
#include "orvane/core/ui/pageregistry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace {

struct NumericBoxesTest : OrvaneTest {
    void SetUp() override {
        OrvaneTest::SetUp();
        par = std::make_unique<EcuParData>(ecuParData);
        map = std::make_unique<EcuMapData>(ecuMapData);
    }
    void TearDown() override {
        ecuParData = *par;
        ecuMapData = *map;
        ScatterAllPanels();
        OrvaneTest::TearDown();
    }

    std::unique_ptr<EcuParData> par;
    std::unique_ptr<EcuMapData> map;
};

struct Box {
    int panel, control;
    double min, max;
    int decimals;
    bool hex;

    // The text the box shows for v, as the user reads it and types it.
    std::string Text(double v) const {
        char text[64];
        if (hex)
            std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(v));
        else
            std::snprintf(text, sizeof text, "%.*f", decimals, v);
        return text;
    }
};

// The box as the user can type into it now: on screen, live and with a range; none otherwise.
std::optional<Box> TypableBox(int panel, int control) {
    int kind = 0, visible = 0, dimmed = 1, mode = 0, decimals = 0, hex = 0;
    double min = 0, max = 0;
    GetCtrlAttribute(panel, control, ATTR_CTRL_TYPE, &kind);
    GetCtrlAttribute(panel, control, ATTR_VISIBLE, &visible);
    GetCtrlAttribute(panel, control, ATTR_DIMMED, &dimmed);
    GetCtrlAttribute(panel, control, ATTR_CTRL_MODE, &mode);
    GetCtrlAttribute(panel, control, ATTR_PRECISION, &decimals);
    GetCtrlAttribute(panel, control, ATTR_HEX_FORMAT, &hex);
    GetCtrlAttribute(panel, control, ATTR_MIN_VALUE, &min);
    GetCtrlAttribute(panel, control, ATTR_MAX_VALUE, &max);
    if (kind != CTRL_NUMERIC || !visible || dimmed || mode != VAL_HOT || min < -1e9 || max > 1e9) return {};
    return Box{panel, control, min, max, decimals, hex != 0};
}

// The user clicks into the box, types text over what it shows (empty: nothing), presses Enter and leaves
// the box with Tab.
void TypeInto(const Box& b, const std::string& text) {
    ASSERT_EQ(SetActiveCtrl(b.panel, b.control), 0);
    if (!text.empty()) {
        ASSERT_EQ(uitest::TypeKey('a' | VAL_MENUKEY_MODIFIER), 0);
    }
    for (const char k : text)
        ASSERT_EQ(uitest::TypeKey(k), 0);
    ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
    ASSERT_EQ(uitest::TypeKey(VAL_TAB_VKEY), 0);
}

} // namespace

TEST_F(NumericBoxesTest, EveryBoxShowsAValueBeyondItsRangeAndHoldsANumberTypedToIt) {
    ASSERT_TRUE(ScatterAllPanels());
    ASSERT_EQ(uitest::FocusWindow(hMainPanel), 0);
    int boxes = 0;
    for (const Page& page : Pages().pages) {
        if (page.kind != PanelKind::Page) continue;
        const int panel = *page.handle;
        const uir::PanelDef* def = ResourcePanelOfPage(panel);
        ASSERT_NE(def, nullptr) << panel;
        DisplayPanel(panel);
        for (const uir::ControlDef& c : def->controls) {
            const std::optional<Box> box = TypableBox(panel, c.id);
            if (!box) continue;
            ++boxes;
            const double span = std::max(box->max - box->min, 1.0);
            const double held = [&] {
                double v = 0;
                GetCtrlVal(panel, c.id, &v);
                return v;
            }();
            struct Side {
                const char* name;
                double shown, typed, bound;
            };
            // A hexadecimal box takes no minus sign: below its range it shows 0 and is typed half its
            // minimum, where that lies between them.
            const double belowShown = box->hex ? 0 : box->min - 2 * span;
            const double belowTyped = box->hex ? std::floor(box->min / 2) : box->min - span;
            const Side sides[] = {
                {"above, typed beyond it", box->max + span, box->max + 2 * span, box->max},
                {"below, typed beyond it", box->min - span, box->min - 2 * span, box->min},
                {"above, typed between it and the range", box->max + 2 * span, box->max + span, box->max},
                {"below, typed between it and the range", belowShown, belowTyped, box->min},
            };
            for (const Side& side : sides) {
                if ((box->hex && side.typed < 0) || side.typed == side.shown) continue;
                SCOPED_TRACE(def->name + "." + c.name + ", " + side.name);
                // What the page makes of the bound typed itself (its own checks may change it further).
                TypeInto(*box, box->Text(side.bound));
                double v = 0;
                GetCtrlVal(panel, c.id, &v);
                const double bound = v;
                ASSERT_EQ(SetCtrlVal(panel, c.id, side.shown), 0);
                EXPECT_EQ(uitest::ShownText(panel, c.id), box->Text(side.shown));
                TypeInto(*box, "");
                GetCtrlVal(panel, c.id, &v);
                EXPECT_EQ(v, side.shown) << "not typed over";
                const std::string typed = box->Text(side.typed);
                TypeInto(*box, typed);
                GetCtrlVal(panel, c.id, &v);
                EXPECT_GE(v, box->min) << typed;
                EXPECT_LE(v, box->max) << typed;
                EXPECT_EQ(v, bound) << typed << " stores what " << box->Text(side.bound) << " does";
            }
            SetCtrlVal(panel, c.id, held);
        }
        HidePanel(panel);
    }
    EXPECT_GT(boxes, 300) << "the pages' boxes were reached";
}

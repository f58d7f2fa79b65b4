#include "orvane/core/ui/pageregistry.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

int hFirst, hSecond, hLive, hPopup;
bool Loaded(int) {
    return true;
}
bool Done() {
    return true;
}

// A small table: two pages of a tab group, each with its fill and read-back, a live page that the
// whole-program fill leaves out, and a popup; every entry in the orders it belongs to.
enum : std::uint8_t { First, Second, LivePage, Popup };
constexpr Page TabPage(int* handle) {
    return {.handle = handle,
            .init = Loaded,
            .scatter = Done,
            .gather = Done,
            .group = PageGroup::Parameters,
            .tabControl = 1};
}
struct Table {
    std::array<Page, 4> pages{{
        TabPage(&hFirst),
        TabPage(&hSecond),
        {.handle = &hLive, .init = Loaded, .scatter = Done, .group = PageGroup::Live, .tabControl = 1},
        {.kind = PanelKind::Popup, .handle = &hPopup, .init = Loaded},
    }};
    std::array<std::uint8_t, 4> init{First, Second, LivePage, Popup};
    std::array<std::uint8_t, 2> fill{First, Second};
    std::array<std::uint8_t, 2> readBack{First, Second};
    std::size_t fillSize = 2;
    std::size_t readBackSize = 2;
};

constexpr PageTableFault FaultOf(const Table& t) {
    return FindPageTableFault(t.pages, t.init, std::span(t.fill).first(t.fillSize),
                              std::span(t.readBack).first(t.readBackSize));
}

// The second page: no fill or read-back of its own, and out of both orders.
constexpr Table SecondWithoutOperations() {
    Table t;
    t.pages[Second].scatter = nullptr;
    t.pages[Second].gather = nullptr;
    t.fillSize = t.readBackSize = 1;
    return t;
}

constexpr Table SecondOutOfFillOrder() {
    Table t;
    t.fillSize = 1;
    return t;
}

constexpr Table SecondOutOfReadBackOrder() {
    Table t;
    t.readBackSize = 1;
    return t;
}

// A page outside the groups with a fill only, as the tuning page has.
constexpr Table SecondFillOnly() {
    Table t = SecondWithoutOperations();
    t.pages[Second].group = PageGroup::None;
    t.pages[Second].scatter = Done;
    t.fillSize = 2;
    return t;
}

struct Case {
    const char* name;
    Table table;
    PageTableFault fault;
};

constexpr Case kCases[] = {
    {"sound table", Table{}, PageTableFault::None},
    {"single page with a fill only", SecondFillOnly(), PageTableFault::None},
    // The group's navigation would call the missing fill when its tab is chosen.
    {"group page without a fill", SecondWithoutOperations(), PageTableFault::GroupPageWithoutFill},
    {"page left out of the fill order", SecondOutOfFillOrder(), PageTableFault::PageLeftOutOfFillOrder},
    {"page left out of the read-back order", SecondOutOfReadBackOrder(),
     PageTableFault::PageLeftOutOfReadBackOrder},
};

// The check runs at compile time, where the program's own table meets it.
static_assert([] {
    for (const Case& c : kCases)
        if (FaultOf(c.table) != c.fault) return false;
    return true;
}());

TEST(PageTableCheck, FindsTheFaultOfEachTable) {
    for (const Case& c : kCases)
        EXPECT_EQ(FaultOf(c.table), c.fault) << c.name;
}

} // namespace

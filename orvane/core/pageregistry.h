// The page registry: every page and popup the program loads at start-up, with its operations. Start-up,
// the whole-program fill and read-back, the main timer and the navigation walk it; the core names no
// page. The table itself lives in orvane/pages (one entry per page).
#pragma once

#include <cstdint>
#include <span>

// The navigation groups: the pages behind one main-window button, switched by a tab line.
enum class PageGroup : std::uint8_t { None, Injection, Parameters, Linearizations, Configuration, Live };

struct Page {
    int* handle;
    bool (*init)(int parent);
    bool (*scatter)() = nullptr; // null: nothing to fill
    bool (*gather)() = nullptr;  // null: nothing to read back
    bool (*timer)() = nullptr;   // the exchange while the page is shown; null: the idle poll
    PageGroup group = PageGroup::None;
    int tabControl = 0;           // the group's tab control on this page
    bool (*mayLeave)() = nullptr; // false keeps the page shown (asked before leaving it)
    void (*onLeave)() = nullptr;  // what leaving the page does (hide its graphs, ...)
};

// The fixed orders, as indices into pages: start-up loads in initOrder (any failure ends the start-up),
// the whole-program fill visits scatterOrder (going on past a failure), the read-back visits
// gatherOrder (stopping at the first failure).
struct PageRegistry {
    std::span<const Page> pages;
    std::span<const std::uint8_t> initOrder;
    std::span<const std::uint8_t> scatterOrder;
    std::span<const std::uint8_t> gatherOrder;
};

const PageRegistry& Pages();

// The registered page whose panel handle is panel; null when none.
const Page* FindPage(int panel);
// The pages of a group in tab order.
int GroupSize(PageGroup group);
const Page& GroupPage(PageGroup group, int index);
// The tab index of panel in its group; -1 when panel is not one of the group's pages.
int IndexInGroup(PageGroup group, int panel);

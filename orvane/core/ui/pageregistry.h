// The page registry: every page and popup the program loads at start-up with its operations, the dialogs
// that the close box and Escape end, and what each family of pages adds to the program's own steps.
// Start-up and shutdown, the settings read, the whole-program fill and read-back, the main timer, Ping, the
// navigation, the data-set commands and Exit walk it; the core names no page. The table itself lives in
// orvane/pages/pagetable.cpp, checked at compile time by PageTableHolds and CheckDialogTable.
#pragma once

#include "platform/ui/userint.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The navigation groups: the pages behind one main-window button, switched by a tab line.
enum class PageGroup : std::uint8_t { None, Injection, Parameters, Linearizations, Configuration, Live };

// A page is shown inside the main window, one at a time; a popup is loaded with the pages and shown over
// them by its own command.
enum class PanelKind : std::uint8_t { Page, Popup };

// An operation of the table, or none. Whether it is given is a flag of its own, so that the compile-time
// checks can test it in every build: a sanitizing build cannot compare a function's address with null
// in a constant expression.
template <typename Fn> struct TableFn {
    Fn fn = nullptr;
    bool given = false;
    constexpr TableFn() = default;
    constexpr TableFn(std::nullptr_t) {}
    constexpr TableFn(Fn f) : fn(f), given(true) {}
    constexpr explicit operator bool() const { return given; }
    friend constexpr bool operator==(const TableFn& op, std::nullptr_t) { return !op.given; }
    template <typename... Args> auto operator()(Args... args) const { return fn(args...); }
};
using PageOp = TableFn<bool (*)()>;

struct Page {
    PanelKind kind = PanelKind::Page;
    int* handle = nullptr;
    TableFn<bool (*)(int parent)> init;
    PageOp scatter; // none: nothing to fill
    PageOp gather;  // none: nothing to read back
    PageOp timer;   // the exchange while the page is shown; none: the idle poll
    PageGroup group = PageGroup::None;
    int tabControl = 0;          // the group's tab control on this page
    PageOp mayLeave;             // false keeps the page shown (asked before leaving it)
    TableFn<void (*)()> onLeave; // what leaving the page does (hide its graphs, ...)
};

// What a family of pages adds to the program's own steps; a null hook adds nothing. The families are
// asked in the table's order.
struct PageFamily {
    // Asked before a page change from a main-window button, a data-set command, disconnecting and Exit:
    // false (the user keeps a manual tuning running) leaves everything as it is.
    bool (*mayRunCommand)() = nullptr;
    // Asked before the configuration goes to a file or to the ECU: false ends the command silently.
    bool (*mayWriteConfiguration)() = nullptr;
    // The ECU is tuning its maps: the data-set buttons are dimmed, and a new connection shows the name of
    // the data set under tuning.
    bool (*ecuTuning)() = nullptr;
    // The ECU's flags from every Ping reply: protected, tuning, tuning automatically.
    void (*pingFlags)(std::uint8_t locked, std::uint8_t tuning, std::uint8_t automatic) = nullptr;
    void (*tick)() = nullptr;         // every main-timer tick, before the page's exchange
    void (*settingsRead)() = nullptr; // every read of the settings file
    void (*start)() = nullptr;        // start-up, once the data images are the reference copies
    void (*stop)() = nullptr;         // shutdown, once the settings are written
    // Data of the family's own that Exit names in its question while unsaved() holds.
    const char* unsavedName = nullptr;
    bool (*unsaved)() = nullptr;
};

// A dialog that its close box or Escape ends. With buttons (the callback of its buttons), both run the
// dialog's Cancel button (a commit of cancelControl) and Escape is consumed; without, the close box alone
// runs close. A dialog with a field to type into names its first button as enterControl: Enter in a field,
// once the field has taken what was typed, presses it and is consumed (Enter on a button that has the
// focus presses that button, in every dialog).
struct Dialog {
    const int* handle = nullptr;
    TableFn<CtrlCallbackPtr> buttons;
    int cancelControl = 0;
    int enterControl = 0;
    TableFn<void (*)()> close;
};

// The fixed orders, as indices into pages: start-up loads in initOrder (any failure ends the start-up),
// the whole-program fill visits scatterOrder (going on past a failure), the read-back visits
// gatherOrder (stopping at the first failure).
struct PageRegistry {
    std::span<const Page> pages;
    std::span<const std::uint8_t> initOrder;
    std::span<const std::uint8_t> scatterOrder;
    std::span<const std::uint8_t> gatherOrder;
    std::span<const PageFamily> families;
    std::span<const Dialog> dialogs;
};

const PageRegistry& Pages();

// The registered page whose panel handle is panel; null when none.
const Page* FindPage(int panel);
// The registered dialog whose panel handle is panel; null when none.
const Dialog* FindDialog(int panel);
// The pages of a group in tab order.
int GroupSize(PageGroup group);
const Page& GroupPage(PageGroup group, int index);
// The tab index of panel in its group; -1 when panel is not one of the group's pages.
int IndexInGroup(PageGroup group, int panel);

// The families' hooks, each asked of every family that has it. MayRunCommand and MayWriteConfiguration
// stop at the first family that refuses; IsEcuTuning holds when a family says so.
bool MayRunCommand();
bool MayWriteConfiguration();
bool IsEcuTuning();
void TellPingFlags(std::uint8_t locked, std::uint8_t tuning, std::uint8_t automatic);
void TickFamilies();
void TellSettingsRead();
void StartFamilies();
void StopFamilies();
// One line "\n- name" for each family's data not saved; empty when there is none.
std::string UnsavedFamilyData();

// ---- the compile-time check ----------------------------------------------------------------------------

// What is wrong with a page table; None for a sound one.
enum class PageTableFault : std::uint8_t {
    None,
    EntryWithoutInit,
    EntryNotLoadedExactlyOnceAtStartUp,
    PopupWithPageOperations,
    GroupPageWithoutTabControl,
    GroupPageWithoutFill,
    EntryInFillOrderWithoutFill,
    EntryInReadBackOrderWithoutReadBack,
    PageLeftOutOfFillOrder,
    PageLeftOutOfReadBackOrder,
};

// The first fault of the table: an entry without its Init (none: a row the table left out), an entry that
// start-up does not load exactly once, a popup with more than its Init, a page of a group without its tab
// control or its fill (the group's navigation fills the page it shows without a test), an entry of the
// fill or read-back order without that operation (the orders call it without a test), and a page with a
// fill or a read-back that its order leaves out (it would lose the user's edits or show stale data). The
// live pages fill from the live records, not from the data images: the whole-program fill leaves them out.
constexpr PageTableFault FindPageTableFault(std::span<const Page> pages,
                                            std::span<const std::uint8_t> initOrder,
                                            std::span<const std::uint8_t> scatterOrder,
                                            std::span<const std::uint8_t> gatherOrder) {
    using enum PageTableFault;
    const auto visits = [](std::span<const std::uint8_t> order, std::size_t entry) {
        std::size_t n = 0;
        for (const std::uint8_t at : order)
            n += at == entry ? 1 : 0;
        return n;
    };
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const Page& p = pages[i];
        if (!p.init) return EntryWithoutInit;
        if (visits(initOrder, i) != 1) return EntryNotLoadedExactlyOnceAtStartUp;
        if (p.kind == PanelKind::Popup &&
            (p.scatter || p.gather || p.timer || p.group != PageGroup::None || p.mayLeave || p.onLeave))
            return PopupWithPageOperations;
        if (p.group != PageGroup::None && p.tabControl == 0) return GroupPageWithoutTabControl;
        if (p.group != PageGroup::None && !p.scatter) return GroupPageWithoutFill;
    }
    for (const std::uint8_t at : scatterOrder)
        if (!pages[at].scatter) return EntryInFillOrderWithoutFill;
    for (const std::uint8_t at : gatherOrder)
        if (!pages[at].gather) return EntryInReadBackOrderWithoutReadBack;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const Page& p = pages[i];
        if (p.scatter && p.group != PageGroup::Live && visits(scatterOrder, i) == 0)
            return PageLeftOutOfFillOrder;
        if (p.gather && visits(gatherOrder, i) == 0) return PageLeftOutOfReadBackOrder;
    }
    return None;
}

// True when the table has no fault; a fault does not compile, and the compiler names it in the template
// argument. Use: static_assert(PageTableHolds<FindPageTableFault(...)>()).
template <PageTableFault fault> consteval bool PageTableHolds() {
    static_assert(fault == PageTableFault::None,
                  "the page table has the fault named in the template argument");
    return true;
}

namespace pagecheck {

// Called only when a check fails, so that the compiler names the fault.
void DialogWithoutOneWayOut();

} // namespace pagecheck

// True when every dialog has either its Cancel button (with its control) or its close action; a failure
// does not compile. Use: static_assert(CheckDialogTable(...)).
consteval bool CheckDialogTable(std::span<const Dialog> dialogs) {
    for (const Dialog& d : dialogs)
        if (static_cast<bool>(d.buttons) == static_cast<bool>(d.close) ||
            (d.buttons && d.cancelControl == 0) || (!d.buttons && d.enterControl != 0))
            pagecheck::DialogWithoutOneWayOut();
    return true;
}

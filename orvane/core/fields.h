// The field engine: a page declares its fields once, in a table that reads like the page's own field
// list (control, image offset, raw type, divisor, range, default), and the engine writes the defaults,
// sets the controls' formats, shows the fields and reads them back. The table is checked when it is
// compiled: every binding must lie on fields of its width in the image layout, and no two bindings may
// share a byte unless they are bit toggles of disjoint bits. A page is its tables, a configure step and a
// check (FieldPage), and its fill and read-back are the engine's. Image bytes outside a table are reached
// through the bounds-checked image view (imageview.h).
#pragma once

#include "orvane/core/fieldvalue.h"
#include "orvane/core/imagefields.h"
#include "orvane/core/imageview.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

enum class Show : std::uint8_t {
    Number, // numeric: raw / divisor
    Hex,    // numeric shown in hexadecimal
    Toggle, // 1 when the field is nonzero; stores 0/1 into every copy
    Bit,    // toggle for one bit mask of a byte shared with other bit toggles
    Ring,   // the raw value (items filled by the resource or the page's configure step)
    Text,   // zero-terminated 8-bit text filling the field
    Cells,  // a block of table cells, each raw / divisor
    Custom, // read and written by the page's own functions (several fields behind one control)
    Fixed,  // no control: the fill and the read-back write the default (a value the ECU expects)
};

struct FieldBinding {
    int control = 0;
    Image image = Image::Par;
    std::size_t offset = 0;
    Raw raw = Raw::U8;
    Show show = Show::Number;
    std::uint8_t copies = 1; // consecutive fields written with the one value, shown from the first
    std::uint8_t mask = 0;   // Bit
    double divisor = 1;
    int decimals = 0;
    double min = 0, max = 0; // max < min: no range set
    std::int64_t def = 0;    // written by InitFields (not for Text and Custom), and always for Fixed
    std::size_t size = 0;    // Text and Custom: bytes covered (Custom: 0 for fields that do not lie together)
    // Cells: the block's first cell (1-based), its size, and the image bytes between its rows and columns.
    int row = 1, col = 1, rows = 1, cols = 1;
    std::size_t rowStride = 0, colStride = 0;
    // Optional: an offset added by page state (per-cylinder or per-gear matrices chosen on the page); a
    // divisor and decimals that follow another setting.
    std::size_t (*shift)() = nullptr;
    double (*divisorNow)() = nullptr;
    Rounding rounding = Rounding::HalfAwayFromZero; // Number, Hex and Cells
    // A record of the page's own instead of an image (offsets within it; not checked at compile time).
    std::span<std::byte> (*record)() = nullptr;
    // Custom: what the control shows, and storing what it holds.
    double (*read)() = nullptr;
    void (*write)(double) = nullptr;

    constexpr FieldBinding InMap() const {
        FieldBinding b = *this;
        b.image = Image::Map;
        return b;
    }
    constexpr FieldBinding OnRecord(std::span<std::byte> (*of)()) const {
        FieldBinding b = *this;
        b.record = of;
        return b;
    }
    constexpr FieldBinding Default(std::int64_t value) const {
        FieldBinding b = *this;
        b.def = value;
        return b;
    }
    constexpr FieldBinding Decimals(int d) const {
        FieldBinding b = *this;
        b.decimals = d;
        return b;
    }
    constexpr FieldBinding Shifted(std::size_t (*by)()) const {
        FieldBinding b = *this;
        b.shift = by;
        return b;
    }
    constexpr FieldBinding Truncated() const {
        FieldBinding b = *this;
        b.rounding = Rounding::TowardZero;
        return b;
    }
    constexpr FieldBinding DivisorFrom(double (*now)()) const {
        FieldBinding b = *this;
        b.divisorNow = now;
        return b;
    }
};

// ---- the rows of a page's table ----------------------------------------------------------------------

constexpr FieldBinding Num(int control, std::size_t offset, Raw raw, double divisor, double min, double max,
                           std::int64_t def) {
    FieldBinding b;
    b.control = control;
    b.offset = offset;
    b.raw = raw;
    b.divisor = divisor;
    b.decimals = DecimalsOf(divisor);
    b.min = min;
    b.max = max;
    b.def = def;
    return b;
}

constexpr FieldBinding Hex(int control, std::size_t offset, Raw raw, double min, double max,
                           std::int64_t def) {
    FieldBinding b = Num(control, offset, raw, 1, min, max, def);
    b.show = Show::Hex;
    return b;
}

constexpr FieldBinding Toggle(int control, std::size_t offset, std::int64_t def, std::uint8_t copies = 1) {
    FieldBinding b = Num(control, offset, Raw::U8, 1, 0, -1, def);
    b.show = Show::Toggle;
    b.copies = copies;
    return b;
}

constexpr FieldBinding Bit(int control, std::size_t offset, std::uint8_t mask, std::int64_t def) {
    FieldBinding b = Num(control, offset, Raw::U8, 1, 0, -1, def);
    b.show = Show::Bit;
    b.mask = mask;
    return b;
}

constexpr FieldBinding Ring(int control, std::size_t offset, std::int64_t def, Raw raw = Raw::U8) {
    FieldBinding b = Num(control, offset, raw, 1, 0, -1, def);
    b.show = Show::Ring;
    return b;
}

constexpr FieldBinding Text(int control, std::size_t offset, std::size_t size) {
    FieldBinding b = Num(control, offset, Raw::U8, 1, 0, -1, 0);
    b.show = Show::Text;
    b.size = size;
    return b;
}

// A block of rows x cols table cells from cell (row, col); cell (r, c) of the block holds the field at
// offset + r * rowStride + c * colStride. Defaults are 0.
struct CellBlock {
    int row, col, rows, cols;
};
constexpr FieldBinding Cells(int control, CellBlock cells, std::size_t offset, std::size_t rowStride,
                             std::size_t colStride, Raw raw, double divisor, double min, double max) {
    FieldBinding b = Num(control, offset, raw, divisor, min, max, 0);
    b.show = Show::Cells;
    b.row = cells.row;
    b.col = cells.col;
    b.rows = cells.rows;
    b.cols = cells.cols;
    b.rowStride = rowStride;
    b.colStride = colStride;
    return b;
}
// One table row of count consecutive 16-bit fields.
constexpr FieldBinding CellRow(int control, int row, int col, int count, std::size_t offset, Raw raw,
                               double divisor, double min, double max) {
    return Cells(control, {row, col, 1, count}, offset, 0, RawSize(raw), raw, divisor, min, max);
}

constexpr FieldBinding Custom(int control, std::size_t offset, std::size_t size, double (*read)(),
                              void (*write)(double)) {
    FieldBinding b = Num(control, offset, Raw::U8, 1, 0, -1, 0);
    b.show = Show::Custom;
    b.size = size;
    b.read = read;
    b.write = write;
    return b;
}

// A field without a control that always holds value: every fill and read-back writes it.
constexpr FieldBinding Fixed(std::size_t offset, Raw raw, std::int64_t value) {
    FieldBinding b = Num(0, offset, raw, 1, 0, -1, value);
    b.show = Show::Fixed;
    return b;
}

// ---- the compile-time check ----------------------------------------------------------------------------

namespace fieldcheck {

// Called only when a check fails, so that the compiler names the fault.
void BindingNotOnAFieldOfItsWidth();
void BindingsOverlap();

constexpr std::span<const FieldRun> RunsOf(Image image) {
    if (image == Image::Par) return imagefields::kParFields;
    return imagefields::kMapFieldsFull;
}

constexpr FieldWidth WidthOf(std::size_t size) {
    return size == 4 ? FieldWidth::Long : size == 2 ? FieldWidth::Word : FieldWidth::Bytes;
}

constexpr bool OnField(Image image, std::size_t offset, std::size_t size) {
    for (const FieldRun& r : RunsOf(image)) {
        if (offset < r.offset || offset >= r.offset + r.size) continue;
        return offset + size <= r.offset + r.size && r.width == WidthOf(size) &&
               (offset - r.offset) % size == 0;
    }
    return false;
}

// Visits the offsets of every field a binding covers (each of elementSize bytes).
template <class Visit> constexpr bool EachField(const FieldBinding& b, Visit visit) {
    if (b.show == Show::Text || b.show == Show::Custom) {
        for (std::size_t i = 0; i < b.size; ++i)
            if (!visit(b.offset + i, std::size_t{1})) return false;
        return true;
    }
    const std::size_t size = RawSize(b.raw);
    if (b.show == Show::Cells) {
        for (int r = 0; r < b.rows; ++r)
            for (int c = 0; c < b.cols; ++c)
                if (!visit(b.offset + r * b.rowStride + c * b.colStride, size)) return false;
        return true;
    }
    for (std::size_t i = 0; i < b.copies; ++i)
        if (!visit(b.offset + i * size, size)) return false;
    return true;
}

struct Span {
    std::size_t lo, hi;
};
constexpr Span Extent(const FieldBinding& b) {
    Span s{~std::size_t{0}, 0};
    EachField(b, [&](std::size_t at, std::size_t size) {
        s.lo = at < s.lo ? at : s.lo;
        s.hi = at + size > s.hi ? at + size : s.hi;
        return true;
    });
    return s;
}

constexpr bool Overlap(const FieldBinding& a, const FieldBinding& b) {
    if (a.image != b.image || a.record != b.record) return false;
    const Span ea = Extent(a), eb = Extent(b);
    if (ea.hi <= eb.lo || eb.hi <= ea.lo) return false;
    if (a.show == Show::Bit && b.show == Show::Bit && a.offset == b.offset) return (a.mask & b.mask) != 0;
    // Bindings whose extents meet (interleaved blocks): compare field by field.
    return !EachField(a, [&](std::size_t at, std::size_t size) {
        return EachField(
            b, [&](std::size_t bt, std::size_t bsize) { return at + size <= bt || bt + bsize <= at; });
    });
}

} // namespace fieldcheck

// True when every binding lies on fields of its width and no two share a byte (bit toggles of disjoint
// bits excepted); a failure does not compile. Use: static_assert(CheckBindings(kFields)).
consteval bool CheckBindings(std::span<const FieldBinding> fields) {
    using namespace fieldcheck;
    const std::size_t N = fields.size();
    for (std::size_t i = 0; i < N; ++i) {
        const FieldBinding& b = fields[i];
        if (b.show == Show::Custom || b.record != nullptr) continue; // laid out by their own records
        if (!EachField(b, [&](std::size_t at, std::size_t size) { return OnField(b.image, at, size); }))
            BindingNotOnAFieldOfItsWidth();
        for (std::size_t j = i + 1; j < N; ++j)
            if (Overlap(b, fields[j])) BindingsOverlap();
    }
    return true;
}

// One table from parts (a page whose parts repeat, as two throttle bodies do).
template <std::size_t... N> constexpr auto JoinFields(const std::array<FieldBinding, N>&... parts) {
    std::array<FieldBinding, (N + ...)> all{};
    std::size_t at = 0;
    ((std::copy(parts.begin(), parts.end(), all.begin() + static_cast<std::ptrdiff_t>(at)), at += N), ...);
    return all;
}

// ---- the engine ----------------------------------------------------------------------------------------

using FieldTable = std::span<const FieldBinding>;

// Raw access to an image field (host order). A field that does not lie wholly inside the image is never
// touched: it reads 0, and the write is refused (false).
std::int64_t ReadField(Image image, std::size_t offset, Raw raw);
bool WriteField(Image image, std::size_t offset, Raw raw, std::int64_t value);

// A binding whose field lies outside its image or record (page state pointing past it) fails the
// operation below like a failing control call does, and its field is left alone.

// Writes every binding's default into its image (Text and Custom bindings are left to the page); false at
// the first field outside its image.
bool InitFields(FieldTable fields);
// Sets the decimals and ranges of every numeric control and cell block.
bool ConfigureFields(int panel, FieldTable fields);
// Shows every field; false at the first failing call.
bool ScatterFields(int panel, FieldTable fields);
// Reads every control back into its field; false at the first failing read (the fields before it are
// stored, those after it are not).
bool GatherFields(int panel, FieldTable fields);

// ---- a page of fields ------------------------------------------------------------------------------------

// One of a page's field tables: a fixed one, or one chosen by page state each time the page reaches it
// (a format that follows another setting, the matrix of the gear shown).
struct FieldPart {
    FieldTable fixed;
    FieldTable (*chosen)() = nullptr;
};
constexpr FieldPart Part(FieldTable fixed) {
    return {fixed, nullptr};
}
constexpr FieldPart Part(FieldTable (*chosen)()) {
    return {{}, chosen};
}

// A page built on the engine: its tables in the order it shows and reads them, the step that starts
// every fill (dimming, captions, rings, and the page state its tables are chosen by; may be null), and
// the check after every read-back (the page's repairs, true when they changed something; may be null).
struct FieldPage {
    int* panel;
    std::span<const FieldPart> parts;
    bool (*configure)() = nullptr;
    bool (*check)() = nullptr;
};
// The configure step, every table's formats, then every field shown; false at the first failing step.
bool ScatterFieldPage(const FieldPage& page);
// Every field read back, then the check; a page the check changed is filled again and that result
// returned. False at the first failing read (the fields before it are stored).
bool GatherFieldPage(const FieldPage& page);

// ---- dimming, visibility and rings that follow other settings ----------------------------------------

// Sets attribute (ATTR_DIMMED, ATTR_VISIBLE) of control to when().
struct CtrlRule {
    int control;
    int attribute;
    bool (*when)();
};
bool ApplyRules(int panel, std::span<const CtrlRule> rules);

// Dims a block of a table's cells while when() holds; the table itself stays active.
struct CellRule {
    int control;
    CellBlock cells;
    bool (*when)();
};
bool ApplyCellRules(int panel, std::span<const CellRule> rules);

// A ring item offered when offered() is true (always when it is null).
struct RingItem {
    const char* label;
    int value;
    bool (*offered)() = nullptr;
};
// Empties the ring and fills it with the offered items in order.
bool FillRing(int panel, int control, std::span<const RingItem> items);

// ---- commit callbacks ------------------------------------------------------------------------------------

// A setting that other controls of its page follow: on commit the page is gathered, between() runs
// (a choice taken into page state; may be null), and the page is scattered again; a failure shows the
// titled "Some error occurred...". Unless busyAllowed, nothing happens while the program is busy.
struct PageRefresh {
    const char* title;
    bool (*gather)();
    bool (*scatter)();
    bool (*between)() = nullptr;
    bool busyAllowed = false;
};
int RefreshOnCommit(int event, const PageRefresh& refresh);
// The gather and scatter of RefreshOnCommit without the event and busy checks; false when either failed
// (the popup has been shown).
bool RefreshPage(const PageRefresh& refresh);

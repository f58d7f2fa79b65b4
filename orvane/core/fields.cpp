#include "orvane/core/fields.h"

#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "platform/ui/userint.h"

#include <cstring>
#include <optional>

namespace {

// The record a binding edits: its own one, else its image.
std::span<std::byte> RecordOf(const FieldBinding& b) {
    return b.record != nullptr ? b.record() : ImageBytes(b.image);
}

// The bytes of one field, bounds-checked: the tables are checked at compile time, page state (a shift)
// and a page's own record are not. A field outside its record is a failure of the page operation.
std::optional<std::span<std::byte>> FieldBytes(std::span<std::byte> all, std::size_t offset,
                                               std::size_t size) {
    if (offset > all.size() || size > all.size() - offset) return std::nullopt;
    return all.subspan(offset, size);
}

template <class T> std::int64_t Load(std::span<const std::byte> bytes) {
    T v;
    std::memcpy(&v, bytes.data(), sizeof v);
    return v;
}
template <class T> void Store(std::span<std::byte> bytes, std::int64_t value) {
    const T v = static_cast<T>(value);
    std::memcpy(bytes.data(), &v, sizeof v);
}

// Calls f with a value of the C++ type of raw.
template <class F> std::int64_t WithRawType(Raw raw, F f) {
    switch (raw) {
    case Raw::U8:
        return f(std::uint8_t{});
    case Raw::I8:
        return f(std::int8_t{});
    case Raw::U16:
        return f(std::uint16_t{});
    case Raw::I16:
        return f(std::int16_t{});
    case Raw::U32:
        return f(std::uint32_t{});
    case Raw::I32:
        return f(std::int32_t{});
    }
    return 0;
}

std::optional<std::int64_t> Read(std::span<std::byte> record, std::size_t offset, Raw raw) {
    const auto bytes = FieldBytes(record, offset, RawSize(raw));
    if (!bytes) return std::nullopt;
    return WithRawType(raw, [&]<class T>(T) { return Load<T>(*bytes); });
}

bool Write(std::span<std::byte> record, std::size_t offset, Raw raw, std::int64_t value) {
    const auto bytes = FieldBytes(record, offset, RawSize(raw));
    if (!bytes) return false;
    WithRawType(raw, [&]<class T>(T) {
        Store<T>(*bytes, value);
        return std::int64_t{0};
    });
    return true;
}

std::size_t BaseOf(const FieldBinding& b) {
    return b.offset + (b.shift != nullptr ? b.shift() : 0);
}

double DivisorOf(const FieldBinding& b) {
    return b.divisorNow != nullptr ? b.divisorNow() : b.divisor;
}

int DecimalsFor(const FieldBinding& b) {
    return b.divisorNow != nullptr ? DecimalsOf(b.divisorNow()) : b.decimals;
}

bool HasRange(const FieldBinding& b) {
    return b.max >= b.min;
}

Point CellOf(const FieldBinding& b, int r, int c) {
    return MakePoint(b.col + c, b.row + r);
}

std::size_t CellOffset(const FieldBinding& b, int r, int c) {
    return BaseOf(b) + static_cast<std::size_t>(r) * b.rowStride + static_cast<std::size_t>(c) * b.colStride;
}

bool ConfigureOne(int panel, const FieldBinding& b) {
    if (b.show == Show::Cells) {
        const Rect block = MakeRect(b.row, b.col, b.rows, b.cols);
        if (SetTableCellRangeAttribute(panel, b.control, block, ATTR_PRECISION, DecimalsFor(b)) < 0)
            return false;
        if (!HasRange(b)) return true;
        return SetTableCellRangeAttribute(panel, b.control, block, ATTR_MIN_VALUE, b.min) >= 0 &&
               SetTableCellRangeAttribute(panel, b.control, block, ATTR_MAX_VALUE, b.max) >= 0;
    }
    if (b.show == Show::Text)
        return SetCtrlAttribute(panel, b.control, ATTR_MAX_ENTRY_LENGTH, int(b.size - 1)) >= 0;
    if (b.show != Show::Number && b.show != Show::Hex) return true;
    if (SetCtrlAttribute(panel, b.control, ATTR_PRECISION, DecimalsFor(b)) < 0) return false;
    if (b.show == Show::Hex && SetCtrlAttribute(panel, b.control, ATTR_HEX_FORMAT, 1) < 0) return false;
    if (!HasRange(b)) return true;
    return SetCtrlAttribute(panel, b.control, ATTR_MIN_VALUE, b.min) >= 0 &&
           SetCtrlAttribute(panel, b.control, ATTR_MAX_VALUE, b.max) >= 0;
}

bool ScatterCells(int panel, const FieldBinding& b) {
    for (int r = 0; r < b.rows; ++r)
        for (int c = 0; c < b.cols; ++c) {
            const std::optional<std::int64_t> raw = Read(RecordOf(b), CellOffset(b, r, c), b.raw);
            if (!raw ||
                SetTableCellVal(panel, b.control, CellOf(b, r, c), ShownValue(*raw, DivisorOf(b))) < 0)
                return false;
        }
    return true;
}

bool GatherCells(int panel, const FieldBinding& b) {
    for (int r = 0; r < b.rows; ++r)
        for (int c = 0; c < b.cols; ++c) {
            double typed = 0;
            if (GetTableCellVal(panel, b.control, CellOf(b, r, c), &typed) < 0 ||
                !Write(RecordOf(b), CellOffset(b, r, c), b.raw,
                       StoredValue(typed, DivisorOf(b), b.raw, b.rounding)))
                return false;
        }
    return true;
}

bool ScatterOne(int panel, const FieldBinding& b) {
    const std::size_t at = BaseOf(b);
    if (b.show == Show::Cells) return ScatterCells(panel, b);
    if (b.show == Show::Custom) return SetCtrlVal(panel, b.control, b.read()) >= 0;
    if (b.show == Show::Text) {
        const auto text = FieldBytes(RecordOf(b), at, b.size);
        if (!text || text->empty()) return false;
        text->back() = std::byte{0}; // a full field has no terminator of its own
        return SetCtrlVal(panel, b.control, reinterpret_cast<const char*>(text->data())) >= 0;
    }
    const std::optional<std::int64_t> raw = Read(RecordOf(b), at, b.raw);
    if (!raw) return false;
    switch (b.show) {
    case Show::Number:
    case Show::Hex:
        return SetCtrlVal(panel, b.control, ShownValue(*raw, DivisorOf(b))) >= 0;
    case Show::Toggle:
        return SetCtrlVal(panel, b.control, *raw != 0 ? 1 : 0) >= 0;
    case Show::Bit:
        return SetCtrlVal(panel, b.control, (*raw & b.mask) != 0 ? 1 : 0) >= 0;
    case Show::Ring:
        return SetCtrlVal(panel, b.control, static_cast<int>(*raw)) >= 0;
    case Show::Text:
    case Show::Cells:
    case Show::Custom:
        break;
    case Show::Fixed:
        return Write(RecordOf(b), at, b.raw, b.def);
    }
    return false;
}

// Stores the value into every copy of the field (a toggle may have several); none when one lies outside.
bool WriteCopies(const FieldBinding& b, std::size_t at, std::int64_t value) {
    if (!FieldBytes(RecordOf(b), at, b.copies * RawSize(b.raw))) return false;
    for (std::size_t i = 0; i < b.copies; ++i)
        if (!Write(RecordOf(b), at + i * RawSize(b.raw), b.raw, value)) return false;
    return true;
}

// Sets or clears the binding's bit of the byte at.
bool WriteBit(const FieldBinding& b, std::size_t at, bool on) {
    const std::optional<std::int64_t> byte = Read(RecordOf(b), at, b.raw);
    return byte && Write(RecordOf(b), at, b.raw, on ? (*byte | b.mask) : (*byte & ~std::int64_t{b.mask}));
}

bool GatherOne(int panel, const FieldBinding& b) {
    const std::size_t at = BaseOf(b);
    if (b.show == Show::Cells) return GatherCells(panel, b);
    if (b.show == Show::Fixed) return Write(RecordOf(b), at, b.raw, b.def);
    if (b.show == Show::Text) {
        const auto text = FieldBytes(RecordOf(b), at, b.size);
        return text && GetCtrlVal(panel, b.control,
                                  std::span<char>(reinterpret_cast<char*>(text->data()), text->size())) >= 0;
    }
    double value = 0;
    if (GetCtrlVal(panel, b.control, &value) < 0) return false;
    switch (b.show) {
    case Show::Number:
    case Show::Hex:
        return Write(RecordOf(b), at, b.raw, StoredValue(value, DivisorOf(b), b.raw, b.rounding));
    case Show::Toggle:
        return WriteCopies(b, at, value != 0 ? 1 : 0);
    case Show::Bit:
        return WriteBit(b, at, value != 0);
    case Show::Ring:
        return Write(RecordOf(b), at, b.raw, StoredValue(value, 1, b.raw));
    case Show::Custom:
        b.write(value);
        return true;
    case Show::Text:
    case Show::Cells:
    case Show::Fixed:
        break;
    }
    return true;
}

} // namespace

std::int64_t ReadField(Image image, std::size_t offset, Raw raw) {
    return Read(ImageBytes(image), offset, raw).value_or(0);
}

bool WriteField(Image image, std::size_t offset, Raw raw, std::int64_t value) {
    return Write(ImageBytes(image), offset, raw, value);
}

bool InitFields(FieldTable fields) {
    for (const FieldBinding& b : fields) {
        if (b.show == Show::Text || b.show == Show::Custom) continue;
        bool ok = true;
        if (b.show == Show::Cells) {
            for (int r = 0; r < b.rows && ok; ++r)
                for (int c = 0; c < b.cols && ok; ++c)
                    ok = Write(RecordOf(b), CellOffset(b, r, c), b.raw, b.def);
        } else if (b.show == Show::Bit) {
            ok = WriteBit(b, BaseOf(b), b.def != 0);
        } else {
            ok = WriteCopies(b, BaseOf(b), b.def);
        }
        if (!ok) return false;
    }
    return true;
}

bool ConfigureFields(int panel, FieldTable fields) {
    for (const FieldBinding& b : fields)
        if (!ConfigureOne(panel, b)) return false;
    return true;
}

bool ScatterFields(int panel, FieldTable fields) {
    for (const FieldBinding& b : fields)
        if (!ScatterOne(panel, b)) return false;
    return true;
}

bool GatherFields(int panel, FieldTable fields) {
    for (const FieldBinding& b : fields)
        if (!GatherOne(panel, b)) return false;
    return true;
}

namespace {

FieldTable TableNow(const FieldPart& part) {
    return part.chosen != nullptr ? part.chosen() : part.fixed;
}

} // namespace

bool ScatterFieldPage(const FieldPage& page) {
    if (page.configure != nullptr && !page.configure()) return false;
    for (const FieldPart& part : page.parts)
        if (!ConfigureFields(*page.panel, TableNow(part))) return false;
    for (const FieldPart& part : page.parts)
        if (!ScatterFields(*page.panel, TableNow(part))) return false;
    return true;
}

bool GatherFieldPage(const FieldPage& page) {
    for (const FieldPart& part : page.parts)
        if (!GatherFields(*page.panel, TableNow(part))) return false;
    return page.check == nullptr || !page.check() || ScatterFieldPage(page);
}

bool ApplyRules(int panel, std::span<const CtrlRule> rules) {
    for (const CtrlRule& r : rules)
        if (SetCtrlAttribute(panel, r.control, r.attribute, r.when() ? 1 : 0) < 0) return false;
    return true;
}

bool ApplyCellRules(int panel, std::span<const CellRule> rules) {
    for (const CellRule& r : rules) {
        const Rect block = MakeRect(r.cells.row, r.cells.col, r.cells.rows, r.cells.cols);
        if (SetTableCellRangeAttribute(panel, r.control, block, ATTR_CELL_DIMMED, r.when() ? 1 : 0) < 0)
            return false;
    }
    return true;
}

bool FillRing(int panel, int control, std::span<const RingItem> items) {
    if (ClearListCtrl(panel, control) < 0) return false;
    for (const RingItem& item : items)
        if ((item.offered == nullptr || item.offered()) &&
            InsertListItem(panel, control, -1, item.label, item.value) < 0)
            return false;
    return true;
}

bool RefreshPage(const PageRefresh& refresh) {
    bool ok = refresh.gather();
    if (ok && refresh.between != nullptr) ok = refresh.between();
    ok = ok && refresh.scatter();
    if (!ok) MessagePopup(refresh.title, szGenericError);
    return ok;
}

int RefreshOnCommit(int event, const PageRefresh& refresh) {
    if (!refresh.busyAllowed && CheckfBusy()) return 0;
    if (event == EVENT_COMMIT) RefreshPage(refresh);
    return 0;
}

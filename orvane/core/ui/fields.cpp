#include "orvane/core/ui/fields.h"

#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
#include "platform/ui/userint.h"

#include <cstring>
#include <stdexcept>

namespace {

// The record a binding edits: its own one, else its image.
std::span<std::byte> RecordOf(const FieldBinding& b) {
    return b.record != nullptr ? b.record() : ImageBytes(b.image);
}

// The bytes of one field, bounds-checked: the tables are checked at compile time, page state (a shift)
// is not.
std::span<std::byte> FieldBytes(std::span<std::byte> all, std::size_t offset, std::size_t size) {
    if (offset > all.size() || size > all.size() - offset) throw std::out_of_range("field outside its image");
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

std::int64_t Read(std::span<std::byte> record, std::size_t offset, Raw raw) {
    const std::span<const std::byte> bytes = FieldBytes(record, offset, RawSize(raw));
    return WithRawType(raw, [&]<class T>(T) { return Load<T>(bytes); });
}

void Write(std::span<std::byte> record, std::size_t offset, Raw raw, std::int64_t value) {
    const std::span<std::byte> bytes = FieldBytes(record, offset, RawSize(raw));
    WithRawType(raw, [&]<class T>(T) {
        Store<T>(bytes, value);
        return std::int64_t{0};
    });
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
            const double shown = ShownValue(Read(RecordOf(b), CellOffset(b, r, c), b.raw), DivisorOf(b));
            if (SetTableCellVal(panel, b.control, CellOf(b, r, c), shown) < 0) return false;
        }
    return true;
}

bool GatherCells(int panel, const FieldBinding& b) {
    for (int r = 0; r < b.rows; ++r)
        for (int c = 0; c < b.cols; ++c) {
            double typed = 0;
            if (GetTableCellVal(panel, b.control, CellOf(b, r, c), &typed) < 0) return false;
            Write(RecordOf(b), CellOffset(b, r, c), b.raw,
                  StoredValue(typed, DivisorOf(b), b.raw, b.rounding));
        }
    return true;
}

bool ScatterOne(int panel, const FieldBinding& b) {
    const std::size_t at = BaseOf(b);
    switch (b.show) {
    case Show::Number:
    case Show::Hex:
        return SetCtrlVal(panel, b.control, ShownValue(Read(RecordOf(b), at, b.raw), DivisorOf(b))) >= 0;
    case Show::Toggle:
        return SetCtrlVal(panel, b.control, Read(RecordOf(b), at, b.raw) != 0 ? 1 : 0) >= 0;
    case Show::Bit:
        return SetCtrlVal(panel, b.control, (Read(RecordOf(b), at, b.raw) & b.mask) != 0 ? 1 : 0) >= 0;
    case Show::Ring:
        return SetCtrlVal(panel, b.control, static_cast<int>(Read(RecordOf(b), at, b.raw))) >= 0;
    case Show::Text: {
        const std::span<std::byte> text = FieldBytes(RecordOf(b), at, b.size);
        text.back() = std::byte{0}; // a full field has no terminator of its own
        return SetCtrlVal(panel, b.control, reinterpret_cast<const char*>(text.data())) >= 0;
    }
    case Show::Cells:
        return ScatterCells(panel, b);
    case Show::Custom:
        return SetCtrlVal(panel, b.control, b.read()) >= 0;
    case Show::Fixed:
        Write(RecordOf(b), at, b.raw, b.def);
        return true;
    }
    return false;
}

bool GatherOne(int panel, const FieldBinding& b) {
    const std::size_t at = BaseOf(b);
    if (b.show == Show::Cells) return GatherCells(panel, b);
    if (b.show == Show::Fixed) {
        Write(RecordOf(b), at, b.raw, b.def);
        return true;
    }
    if (b.show == Show::Text) {
        const std::span<std::byte> text = FieldBytes(RecordOf(b), at, b.size);
        return GetCtrlVal(panel, b.control,
                          std::span<char>(reinterpret_cast<char*>(text.data()), text.size())) >= 0;
    }
    double value = 0;
    if (GetCtrlVal(panel, b.control, &value) < 0) return false;
    switch (b.show) {
    case Show::Number:
    case Show::Hex:
        Write(RecordOf(b), at, b.raw, StoredValue(value, DivisorOf(b), b.raw, b.rounding));
        break;
    case Show::Toggle:
        for (std::size_t i = 0; i < b.copies; ++i)
            Write(RecordOf(b), at + i * RawSize(b.raw), b.raw, value != 0 ? 1 : 0);
        break;
    case Show::Bit: {
        const std::int64_t byte = Read(RecordOf(b), at, b.raw);
        Write(RecordOf(b), at, b.raw, value != 0 ? (byte | b.mask) : (byte & ~std::int64_t{b.mask}));
        break;
    }
    case Show::Ring:
        Write(RecordOf(b), at, b.raw, StoredValue(value, 1, b.raw));
        break;
    case Show::Custom:
        b.write(value);
        break;
    case Show::Text:
    case Show::Cells:
    case Show::Fixed:
        break;
    }
    return true;
}

} // namespace

std::int64_t ReadField(Image image, std::size_t offset, Raw raw) {
    return Read(ImageBytes(image), offset, raw);
}

void WriteField(Image image, std::size_t offset, Raw raw, std::int64_t value) {
    Write(ImageBytes(image), offset, raw, value);
}

void InitFields(FieldTable fields) {
    for (const FieldBinding& b : fields) {
        if (b.show == Show::Text || b.show == Show::Custom) continue;
        if (b.show == Show::Cells) {
            for (int r = 0; r < b.rows; ++r)
                for (int c = 0; c < b.cols; ++c)
                    Write(RecordOf(b), CellOffset(b, r, c), b.raw, b.def);
            continue;
        }
        if (b.show == Show::Bit) {
            const std::int64_t byte = Read(RecordOf(b), BaseOf(b), b.raw);
            Write(RecordOf(b), BaseOf(b), b.raw,
                  b.def != 0 ? (byte | b.mask) : (byte & ~std::int64_t{b.mask}));
            continue;
        }
        for (std::size_t i = 0; i < b.copies; ++i)
            Write(RecordOf(b), BaseOf(b) + i * RawSize(b.raw), b.raw, b.def);
    }
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

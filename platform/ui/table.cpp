// Table controls: cells, ranges, rows and columns, the active cell and the selection.
#include "platform/ui/events.h"
#include "platform/ui/layer.h"
#include "platform/ui/tablemodel.h"

#include "platform/sys/textout.h"

#include <QItemSelectionModel>
#include <QLocale>
#include <QTableView>
#include <climits>
#include <cmath>
#include <optional>

namespace ui {
namespace {

struct TableRef {
    Control* control = nullptr;
    Table* table = nullptr;
    int status = UIE_NoError;
};

TableRef GetTable(int panel, int control) {
    TableRef r;
    r.control = FindControl(panel, control, &r.status);
    if (r.control == nullptr) return r;
    if (r.control->kind != CTRL_TABLE) {
        r.status = UIE_BadAttribute;
        r.control = nullptr;
        return r;
    }
    r.table = r.control->table.get();
    return r;
}

bool CellInside(const Table& t, Point p) {
    return p.y >= 1 && p.y <= t.rows && p.x >= 1 && p.x <= t.cols;
}

// 0-based inclusive bounds of a range; a height or width of 0 runs to the last row or column.
struct Bounds {
    int top, left, bottom, right;
    int Rows() const { return bottom - top + 1; }
    int Cols() const { return right - left + 1; }
};

std::optional<Bounds> Resolve(const Table& t, Rect r) {
    if (r.top < 1 || r.left < 1 || r.height < 0 || r.width < 0 || r.top > t.rows || r.left > t.cols)
        return std::nullopt;
    const int h = r.height == 0 ? t.rows - r.top + 1 : r.height;
    const int w = r.width == 0 ? t.cols - r.left + 1 : r.width;
    if (r.top - 1 + h > t.rows || r.left - 1 + w > t.cols) return std::nullopt;
    return Bounds{r.top - 1, r.left - 1, r.top - 2 + h, r.left - 2 + w};
}

// A value of an integer attribute: a whole number within int's range, else nothing (converting anything
// else to int is undefined).
std::optional<int> WholeNumber(double v) {
    if (!(v >= INT_MIN && v <= INT_MAX) || v != std::trunc(v)) return std::nullopt;
    return static_cast<int>(v);
}

// The cell attributes, read and written as numbers (colours and flags are exact in a double). Only the
// integer attributes are converted; the range takes any double.
int SetCellAttr(Cell& cell, int attribute, double v) {
    switch (attribute) {
    case ATTR_TEXT_COLOR:
    case ATTR_TEXT_BGCOLOR: {
        const std::optional<int> colour = WholeNumber(v);
        if (!colour) return UIE_BadValue;
        (attribute == ATTR_TEXT_COLOR ? cell.textColor : cell.bgColor) = *colour;
        return UIE_NoError;
    }
    case ATTR_TEXT_BOLD:
        cell.bold = v != 0;
        return UIE_NoError;
    case ATTR_CELL_DIMMED:
        cell.dimmed = v != 0;
        return UIE_NoError;
    case ATTR_CELL_MODE: {
        const int n = WholeNumber(v).value_or(-1);
        if (n != VAL_HOT && n != VAL_INDICATOR && n != VAL_NORMAL) return UIE_BadValue;
        cell.mode = n;
        return UIE_NoError;
    }
    case ATTR_CELL_TYPE: {
        const int n = WholeNumber(v).value_or(-1);
        if (n != VAL_CELL_NUMERIC && n != VAL_CELL_STRING) return UIE_BadValue;
        if (n != cell.type) {
            if (n == VAL_CELL_STRING)
                cell.text = FromQt(FormatNumber(cell.number, cell.precision));
            else
                cell.number = QLocale::c().toDouble(ToQt(cell.text));
        }
        cell.type = n;
        return UIE_NoError;
    }
    case ATTR_PRECISION: {
        const int n = WholeNumber(v).value_or(-1);
        if (n < 0 || n > 15) return UIE_BadValue;
        cell.precision = n;
        return UIE_NoError;
    }
    case ATTR_MIN_VALUE:
        cell.min = v;
        return UIE_NoError;
    case ATTR_MAX_VALUE:
        cell.max = v;
        return UIE_NoError;
    default:
        return UIE_BadAttribute;
    }
}

int GetCellAttr(const Cell& cell, int attribute, double* v) {
    switch (attribute) {
    case ATTR_TEXT_COLOR:
        *v = cell.textColor;
        return UIE_NoError;
    case ATTR_TEXT_BGCOLOR:
        *v = cell.bgColor;
        return UIE_NoError;
    case ATTR_TEXT_BOLD:
        *v = cell.bold;
        return UIE_NoError;
    case ATTR_CELL_DIMMED:
        *v = cell.dimmed;
        return UIE_NoError;
    case ATTR_CELL_MODE:
        *v = cell.mode;
        return UIE_NoError;
    case ATTR_CELL_TYPE:
        *v = cell.type;
        return UIE_NoError;
    case ATTR_PRECISION:
        *v = cell.precision;
        return UIE_NoError;
    case ATTR_MIN_VALUE:
        *v = cell.min;
        return UIE_NoError;
    case ATTR_MAX_VALUE:
        *v = cell.max;
        return UIE_NoError;
    default:
        return UIE_BadAttribute;
    }
}

int SetRangeAttr(int panel, int control, Rect range, int attribute, double value) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    const std::optional<Bounds> b = Resolve(*r.table, range);
    if (!b) return UIE_BadIndex;
    Cell probe; // checks the attribute and value before any cell changes
    if (const int s = SetCellAttr(probe, attribute, value); s != UIE_NoError) return s;
    for (int row = b->top; row <= b->bottom; ++row)
        for (int col = b->left; col <= b->right; ++col)
            SetCellAttr(r.table->At(row, col), attribute, value);
    r.control->model->CellsChanged(b->top, b->left, b->bottom, b->right);
    return UIE_NoError;
}

int GetCellAttrAt(int panel, int control, Point cell, int attribute, double* value) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    if (!CellInside(*r.table, cell)) return UIE_BadIndex;
    if (value == nullptr) return UIE_BadValue;
    return GetCellAttr(r.table->At(cell.y - 1, cell.x - 1), attribute, value);
}

// Visits the cells of a range in the asked order with their index in the values.
template <typename F>
int ForRange(int panel, int control, Rect range, std::size_t count, int order, F&& visit) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    const std::optional<Bounds> b = Resolve(*r.table, range);
    if (!b) return UIE_BadIndex;
    if (order != VAL_ROW_MAJOR && order != VAL_COLUMN_MAJOR) return UIE_BadValue;
    if (count < static_cast<std::size_t>(b->Rows() * b->Cols())) return UIE_BadValue;
    for (int row = b->top; row <= b->bottom; ++row)
        for (int col = b->left; col <= b->right; ++col)
            if (r.table->At(row, col).type != VAL_CELL_NUMERIC) return UIE_BadValue;
    for (int row = b->top; row <= b->bottom; ++row)
        for (int col = b->left; col <= b->right; ++col) {
            const int i = order == VAL_ROW_MAJOR ? (row - b->top) * b->Cols() + (col - b->left)
                                                 : (col - b->left) * b->Rows() + (row - b->top);
            visit(r.table->At(row, col), static_cast<std::size_t>(i));
        }
    return UIE_NoError;
}

// Rows or columns added or removed.
int Reshape(int panel, int control, bool rows, int index, int count, bool insert, int cellType) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    Table& t = *r.table;
    const int size = rows ? t.rows : t.cols;
    if (insert) {
        if (index == -1) index = size + 1;
        if (index < 1 || index > size + 1 || count < 0) return UIE_BadIndex;
        if (cellType != VAL_CELL_NUMERIC && cellType != VAL_CELL_STRING) return UIE_BadValue;
    } else {
        if (index < 1 || index > size || count < -1) return UIE_BadIndex;
        if (count == -1 || index - 1 + count > size) count = size - index + 1;
    }
    const int newRows = rows ? t.rows + (insert ? count : -count) : t.rows;
    const int newCols = rows ? t.cols : t.cols + (insert ? count : -count);
    Cell fresh = t.defaults;
    fresh.type = cellType;
    std::vector<Cell> cells;
    cells.reserve(static_cast<std::size_t>(newRows * newCols));
    const int first = index - 1; // 0-based first line added or removed
    for (int row = 0; row < newRows; ++row)
        for (int col = 0; col < newCols; ++col) {
            const int k = rows ? row : col; // position along the changed direction
            const bool added = insert && k >= first && k < first + count;
            const int old = !insert && k >= first ? k + count : insert && k >= first + count ? k - count : k;
            cells.push_back(added ? fresh : rows ? t.At(old, col) : t.At(row, old));
        }
    std::vector<Line>& lines = rows ? t.rowLines : t.colLines;
    const auto at = lines.begin() + first;
    if (insert)
        lines.insert(at, static_cast<std::size_t>(count), Line{});
    else
        lines.erase(at, at + count);
    r.control->model->BeginShapeChange();
    t.cells = std::move(cells);
    t.rows = newRows;
    t.cols = newCols;
    t.active = {std::clamp(t.active.x, 1, std::max(t.cols, 1)),
                std::clamp(t.active.y, 1, std::max(t.rows, 1))};
    t.selection = {};
    r.control->model->EndShapeChange();
    SyncLook(*r.control);
    return UIE_NoError;
}

int SetLineAttr(int panel, int control, bool row, int index, int attribute, double number, const char* text) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    Table& t = *r.table;
    std::vector<Line>& lines = row ? t.rowLines : t.colLines;
    if (index < 1 || index > static_cast<int>(lines.size())) return UIE_BadIndex;
    Line& l = lines[static_cast<std::size_t>(index - 1)];
    if ((attribute == ATTR_LABEL_TEXT) != (text != nullptr))
        return attribute == ATTR_LABEL_TEXT ? UIE_BadValue : UIE_BadAttribute;
    switch (attribute) {
    case ATTR_LABEL_TEXT:
        l.label = text;
        break;
    case ATTR_USE_LABEL_TEXT:
        l.useLabel = number != 0;
        break;
    case ATTR_COLUMN_WIDTH:
    case ATTR_ROW_HEIGHT:
        if ((attribute == ATTR_ROW_HEIGHT) != row) return UIE_BadAttribute;
        if (number < 1) return UIE_BadValue;
        l.size = static_cast<int>(number);
        break;
    case ATTR_VISIBLE:
        l.visible = number != 0;
        break;
    case ATTR_CELL_DIMMED:
        return row ? SetRangeAttr(panel, control, {index, 1, 1, 0}, attribute, number)
                   : SetRangeAttr(panel, control, {1, index, 0, 1}, attribute, number);
    default:
        return UIE_BadAttribute;
    }
    r.control->model->HeadersChanged();
    SyncLook(*r.control);
    return UIE_NoError;
}

QTableView* ViewOf(const Control& c) {
    return static_cast<QTableView*>(c.widget.data());
}

} // namespace

// The view follows the record's active cell and selection. With nothing selected it shows the active cell
// selected: the cell that the keys change stands out, also while another window has the keyboard.
void ShowTableCursor(Control& c) {
    const Quiet quiet;
    QTableView* v = ViewOf(c);
    const Table& t = *c.table;
    const bool onCell = CellInside(t, t.active);
    if (onCell)
        v->selectionModel()->setCurrentIndex(c.model->index(t.active.y - 1, t.active.x - 1),
                                             QItemSelectionModel::NoUpdate);
    v->selectionModel()->clearSelection();
    const Rect shown = t.selection != Rect{} || !onCell ? t.selection : Rect{t.active.y, t.active.x, 1, 1};
    if (const std::optional<Bounds> b = Resolve(t, shown); b && shown != Rect{})
        v->selectionModel()->select(
            QItemSelection(c.model->index(b->top, b->left), c.model->index(b->bottom, b->right)),
            QItemSelectionModel::Select);
}

} // namespace ui

using ui::GetTable;
using ui::TableRef;

int InsertTableRows(int panel, int control, int index, int count, int cellType) {
    return ui::Reshape(panel, control, true, index, count, true, cellType);
}
int DeleteTableRows(int panel, int control, int index, int count) {
    return ui::Reshape(panel, control, true, index, count, false, VAL_CELL_NUMERIC);
}
int InsertTableColumns(int panel, int control, int index, int count, int cellType) {
    return ui::Reshape(panel, control, false, index, count, true, cellType);
}
int DeleteTableColumns(int panel, int control, int index, int count) {
    return ui::Reshape(panel, control, false, index, count, false, VAL_CELL_NUMERIC);
}

int GetNumTableRows(int panel, int control, int* rows) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    if (rows == nullptr) return UIE_BadValue;
    *rows = r.table->rows;
    return UIE_NoError;
}

int GetNumTableColumns(int panel, int control, int* columns) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    if (columns == nullptr) return UIE_BadValue;
    *columns = r.table->cols;
    return UIE_NoError;
}

int SetTableCellVal(int panel, int control, Point cell, double value) {
    return SetTableCellRangeVals(panel, control, {cell.y, cell.x, 1, 1}, std::span<const double>(&value, 1),
                                 VAL_ROW_MAJOR);
}

int SetTableCellVal(int panel, int control, Point cell, const char* value) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    if (!ui::CellInside(*r.table, cell)) return UIE_BadIndex;
    ui::Cell& c = r.table->At(cell.y - 1, cell.x - 1);
    if (value == nullptr || c.type != VAL_CELL_STRING) return UIE_BadValue;
    c.text = value;
    r.control->model->CellsChanged(cell.y - 1, cell.x - 1, cell.y - 1, cell.x - 1);
    return UIE_NoError;
}

int GetTableCellVal(int panel, int control, Point cell, double* value) {
    if (value == nullptr) return UIE_BadValue;
    return GetTableCellRangeVals(panel, control, {cell.y, cell.x, 1, 1}, std::span<double>(value, 1),
                                 VAL_ROW_MAJOR);
}

int GetTableCellVal(int panel, int control, Point cell, int* value) {
    double v = 0;
    const int s = GetTableCellVal(panel, control, cell, &v);
    return s != UIE_NoError ? s : ui::StoreInteger(v, value);
}

int GetTableCellVal(int panel, int control, Point cell, std::span<char> value) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    if (!ui::CellInside(*r.table, cell)) return UIE_BadIndex;
    const ui::Cell& c = r.table->At(cell.y - 1, cell.x - 1);
    if (c.type != VAL_CELL_STRING) return UIE_BadValue;
    return CopyText(c.text, value) ? UIE_NoError : UIE_BadValue;
}

int SetTableCellRangeVals(int panel, int control, Rect range, std::span<const double> values, int order) {
    for (const double v : values)
        if (!std::isfinite(v)) return UIE_BadValue;
    const int s = ui::ForRange(panel, control, range, values.size(), order,
                               [&](ui::Cell& c, std::size_t i) { c.number = values[i]; });
    if (s != UIE_NoError) return s;
    const TableRef r = GetTable(panel, control);
    const std::optional<ui::Bounds> b = ui::Resolve(*r.table, range);
    r.control->model->CellsChanged(b->top, b->left, b->bottom, b->right);
    return UIE_NoError;
}

int GetTableCellRangeVals(int panel, int control, Rect range, std::span<double> values, int order) {
    return ui::ForRange(panel, control, range, values.size(), order,
                        [&](const ui::Cell& c, std::size_t i) { values[i] = c.number; });
}

int SetTableCellAttribute(int panel, int control, Point cell, int attribute, int value) {
    return SetTableCellRangeAttribute(panel, control, {cell.y, cell.x, 1, 1}, attribute, value);
}
int SetTableCellAttribute(int panel, int control, Point cell, int attribute, double value) {
    return SetTableCellRangeAttribute(panel, control, {cell.y, cell.x, 1, 1}, attribute, value);
}

int GetTableCellAttribute(int panel, int control, Point cell, int attribute, int* value) {
    double v = 0;
    const int s = ui::GetCellAttrAt(panel, control, cell, attribute, &v);
    return s != UIE_NoError ? s : ui::StoreInteger(v, value);
}

int GetTableCellAttribute(int panel, int control, Point cell, int attribute, double* value) {
    return ui::GetCellAttrAt(panel, control, cell, attribute, value);
}

int SetTableCellRangeAttribute(int panel, int control, Rect range, int attribute, int value) {
    return ui::SetRangeAttr(panel, control, range, attribute, value);
}
int SetTableCellRangeAttribute(int panel, int control, Rect range, int attribute, double value) {
    return ui::SetRangeAttr(panel, control, range, attribute, value);
}

int SetTableRowAttribute(int panel, int control, int row, int attribute, int value) {
    return ui::SetLineAttr(panel, control, true, row, attribute, value, nullptr);
}
int SetTableRowAttribute(int panel, int control, int row, int attribute, const char* value) {
    return value == nullptr ? UIE_BadValue : ui::SetLineAttr(panel, control, true, row, attribute, 0, value);
}
int SetTableColumnAttribute(int panel, int control, int column, int attribute, int value) {
    return ui::SetLineAttr(panel, control, false, column, attribute, value, nullptr);
}
int SetTableColumnAttribute(int panel, int control, int column, int attribute, const char* value) {
    return value == nullptr ? UIE_BadValue
                            : ui::SetLineAttr(panel, control, false, column, attribute, 0, value);
}
int GetTableColumnAttribute(int panel, int control, int column, int attribute, std::span<char> value) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    if (attribute != ATTR_LABEL_TEXT) return UIE_BadAttribute;
    if (column < 1 || column > r.table->cols) return UIE_BadIndex;
    const QString shown =
        r.control->model->headerData(column - 1, Qt::Horizontal, Qt::DisplayRole).toString();
    return CopyText(ui::FromQt(shown), value) ? UIE_NoError : UIE_BadValue;
}

int SetActiveTableCell(int panel, int control, Point cell) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    if (!ui::CellInside(*r.table, cell)) return UIE_BadIndex;
    // The cell shown selected is the cell the keys change: a selection of the active cell alone moves
    // with it, a block the user selected stays.
    ui::Table& t = *r.table;
    if (t.selection == Rect{t.active.y, t.active.x, 1, 1}) t.selection = {cell.y, cell.x, 1, 1};
    t.active = cell;
    ui::ShowTableCursor(*r.control);
    return UIE_NoError;
}

int GetActiveTableCell(int panel, int control, Point* cell) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    if (cell == nullptr) return UIE_BadValue;
    *cell = r.table->active;
    return UIE_NoError;
}

int SetTableSelection(int panel, int control, Rect range) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    if (range != Rect{}) {
        const std::optional<ui::Bounds> b = ui::Resolve(*r.table, range);
        if (!b) return UIE_BadIndex;
        range = {b->top + 1, b->left + 1, b->Rows(), b->Cols()};
    }
    r.table->selection = range;
    ui::ShowTableCursor(*r.control);
    return UIE_NoError;
}

int GetTableSelection(int panel, int control, Rect* range) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    if (range == nullptr) return UIE_BadValue;
    *range = r.table->selection;
    return UIE_NoError;
}

int GetTableCellFromPoint(int panel, int control, Point pixel, Point* cell) {
    const TableRef r = GetTable(panel, control);
    if (!r.table) return r.status;
    if (cell == nullptr) return UIE_BadValue;
    QTableView* v = ui::ViewOf(*r.control);
    const QPoint at = v->viewport()->mapFrom(v->parentWidget(), QPoint(pixel.x, pixel.y));
    const QModelIndex index = v->viewport()->rect().contains(at) ? v->indexAt(at) : QModelIndex();
    *cell = index.isValid() ? Point{index.column() + 1, index.row() + 1} : Point{0, 0};
    return UIE_NoError;
}

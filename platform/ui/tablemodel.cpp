// Table cells as Qt sees them: the text, colours and font of each cell come from its record.
#include "platform/ui/tablemodel.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "platform/ui/events.h"

namespace ui {

TableModel::TableModel(int panel, int control, QObject* parent)
    : QAbstractTableModel(parent), panel_(panel), control_(control) {
    bold_.setBold(true);
}

const Control* TableModel::Record() const {
    return FindControl(panel_, control_, nullptr);
}

int TableModel::rowCount(const QModelIndex& parent) const {
    const Control* c = Record();
    return parent.isValid() || c == nullptr ? 0 : c->table->rows;
}

int TableModel::columnCount(const QModelIndex& parent) const {
    const Control* c = Record();
    return parent.isValid() || c == nullptr ? 0 : c->table->cols;
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    const Control* c = Record();
    if (c == nullptr || !index.isValid()) return {};
    const Cell& cell = c->table->At(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cell.type == VAL_CELL_NUMERIC ? FormatNumber(cell.number, cell.precision) : ToQt(cell.text);
    // A dimmed cell greys its text and its ground alike, whatever colours it has: a blank cell looks
    // dimmed too.
    case Qt::ForegroundRole:
        return cell.dimmed || c->dimmed ? QColor(0xA0, 0xA0, 0xA0) : RgbColor(cell.textColor);
    case Qt::BackgroundRole:
        return cell.dimmed || c->dimmed ? QColor(0xEE, 0xEE, 0xEE) : RgbColor(cell.bgColor);
    case Qt::FontRole:
        return cell.bold ? QVariant(bold_) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(cell.type == VAL_CELL_NUMERIC ? Qt::AlignRight | Qt::AlignVCenter
                                                                 : Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const Control* c = Record();
    if (c == nullptr || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const std::vector<Line>& lines = orientation == Qt::Horizontal ? c->table->colLines : c->table->rowLines;
    if (section < 0 || section >= static_cast<int>(lines.size())) return {};
    const Line& l = lines[static_cast<std::size_t>(section)];
    return l.useLabel ? ToQt(l.label) : QString::number(section + 1);
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
    const Control* c = Record();
    if (c == nullptr || !index.isValid()) return Qt::NoItemFlags;
    const Cell& cell = c->table->At(index.row(), index.column());
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (c->IsHot() && cell.mode == VAL_HOT && !cell.dimmed) f |= Qt::ItemIsEditable;
    return f;
}

bool TableModel::IsNumeric(const QModelIndex& index) const {
    const Control* c = Record();
    return c != nullptr && index.isValid() &&
           c->table->At(index.row(), index.column()).type == VAL_CELL_NUMERIC;
}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    const auto* model = dynamic_cast<const TableModel*>(index.model());
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (model != nullptr && line != nullptr && model->IsNumeric(index)) {
        line->setValidator(new QRegularExpressionValidator(TypedNumberPattern(), line));
    }
    return editor;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) return false;
    return UserEditCell(panel_, control_, {index.column() + 1, index.row() + 1}, FromQt(value.toString()));
}

void TableModel::CellsChanged(int top, int left, int bottom, int right) {
    if (top > bottom || left > right) return;
    emit dataChanged(index(top, left), index(bottom, right));
}

void TableModel::HeadersChanged() {
    if (columnCount() > 0) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    if (rowCount() > 0) emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

} // namespace ui

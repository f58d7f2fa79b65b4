// The model of a table control over its cell records. Internal to platform/ui.
#pragma once

#include "platform/ui/layer.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QStyledItemDelegate>

namespace ui {

class TableModel : public QAbstractTableModel {
  public:
    TableModel(int panel, int control, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Cells changed in rows top..bottom and columns left..right (0-based, inclusive): one repaint request.
    void CellsChanged(int top, int left, int bottom, int right);
    void HeadersChanged();
    // Rows or columns were added or removed: call around the change of the record.
    void BeginShapeChange() { beginResetModel(); }
    void EndShapeChange() { endResetModel(); }
    // Whether the cell holds a number (else text).
    bool IsNumeric(const QModelIndex& index) const;

  private:
    const Control* Record() const;

    int panel_;
    int control_;
    QFont bold_;
};

// The editor of a cell: a numeric cell takes only what can become a number, so that letters are refused
// as they are typed instead of being dropped silently when the edit ends.
class CellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
};

} // namespace ui

// The model of a table control over its cell records. Internal to platform/ui.
#pragma once

#include "platform/ui/layer.h"

#include <QAbstractTableModel>
#include <QFont>

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

  private:
    const Control* Record() const;

    int panel_;
    int control_;
    QFont bold_;
};

} // namespace ui

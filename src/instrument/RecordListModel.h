#pragma once

#include <QAbstractTableModel>

#include "instrument/core/RecordRow.h"

namespace vornex {

// The rows of the uploaded-records list, held as the texts shown; the list grows row by row as
// records arrive, and the export takes exactly these texts.
class RecordListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void append(RecordRow row);
    void clear();
    const RecordTable& table() const { return table_; }

private:
    RecordTable table_;
};

}  // namespace vornex

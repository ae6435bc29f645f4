#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>

#include "instrument/core/RecordRow.h"

namespace vornex {

// The list's headers and row words in the user's language; empty ones keep the fixed words.
struct RecordWords {
    std::array<QString, kRecordColumns> headers;
    QString pass;
    QString deny;
    QString deleted;
    QString failed;
};

// The rows of the uploaded-records list, held as formatted; the list shows them with the headers
// and row words of the user's language, grows row by row as records arrive, and the window's
// export takes exactly the texts shown.
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
    void setWords(RecordWords words);
    // The table as the list shows it.
    RecordTable shownTable() const;

private:
    std::string shown(size_t row, size_t column) const;
    std::string shownHeader(size_t column) const;

    RecordTable table_;
    RecordWords words_;
};

}  // namespace vornex

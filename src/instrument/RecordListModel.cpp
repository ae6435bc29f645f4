#include "instrument/RecordListModel.h"

namespace vornex {

int RecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.rows.size());
}

int RecordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kRecordColumns;
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(
            table_.rows[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kRecordColumns)
        return {};
    return QString::fromStdString(table_.headers[static_cast<size_t>(section)]);
}

void RecordListModel::append(RecordRow row) {
    const int at = rowCount();
    beginInsertRows({}, at, at);
    table_.rows.push_back(std::move(row));
    endInsertRows();
}

void RecordListModel::clear() {
    beginResetModel();
    table_.rows.clear();
    endResetModel();
}

}  // namespace vornex

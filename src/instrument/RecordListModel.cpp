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
            shown(static_cast<size_t>(index.row()), static_cast<size_t>(index.column())));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kRecordColumns)
        return {};
    return QString::fromStdString(shownHeader(static_cast<size_t>(section)));
}

void RecordListModel::setWords(RecordWords words) {
    words_ = std::move(words);
    emit headerDataChanged(Qt::Horizontal, 0, kRecordColumns - 1);
    if (!table_.rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, kRecordColumns - 1));
}

std::string RecordListModel::shownHeader(size_t column) const {
    const QString& word = words_.headers[column];
    return word.isEmpty() ? table_.headers[column] : word.toStdString();
}

std::string RecordListModel::shown(size_t row, size_t column) const {
    const std::string& text = table_.rows[row][column];
    const auto word = [&text](const QString& replacement) {
        return replacement.isEmpty() ? text : replacement.toStdString();
    };
    if (column == 1 && text == "del")
        return word(words_.deleted);
    if (column == 1 && text == "error")
        return word(words_.failed);
    if (column == 4 && text == "pass")
        return word(words_.pass);
    if (column == 4 && text == "Deny")
        return word(words_.deny);
    return text;
}

RecordTable RecordListModel::shownTable() const {
    RecordTable shownRows;
    for (size_t c = 0; c < kRecordColumns; ++c)
        shownRows.headers[c] = shownHeader(c);
    shownRows.rows.reserve(table_.rows.size());
    for (size_t r = 0; r < table_.rows.size(); ++r) {
        RecordRow row;
        for (size_t c = 0; c < kRecordColumns; ++c)
            row[c] = shown(r, c);
        shownRows.rows.push_back(std::move(row));
    }
    return shownRows;
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

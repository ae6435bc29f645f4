#include "registerwin/RegisterTableModel.h"

#include <QColor>
#include <utility>

namespace vornex {

RegisterTableModel::RegisterTableModel(RegisterWords words, std::vector<const char*> headerKeys,
                                       QObject* parent)
    : QAbstractTableModel(parent), words_(std::move(words)), headerKeys_(std::move(headerKeys)) {}

int RegisterTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : entries();
}

int RegisterTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headerKeys_.size());
}

QVariant RegisterTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= entries())
        return {};
    const int row = index.row();
    switch (role) {
        case Qt::ForegroundRole: {
            const std::optional<DueState> state = stateOf(row);
            if (state == DueState::Overdue)
                return QColor(200, 0, 0);
            if (state == DueState::DueSoon)
                return QColor(204, 102, 0);
            return {};
        }
        case registerrole::kState: {
            const std::optional<DueState> state = stateOf(row);
            return state ? QVariant(static_cast<int>(*state)) : QVariant();
        }
        case registerrole::kDueDate:
            return dueOf(row);
        case registerrole::kSearch:
            return searchTextOf(row);
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
        case registerrole::kSort:
            return cell(row, index.column(), role);
        default:
            return {};
    }
}

QVariant RegisterTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(headerKeys_.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    return words_(headerKeys_[static_cast<size_t>(section)]);
}

}  // namespace vornex

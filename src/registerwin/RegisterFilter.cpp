#include "registerwin/RegisterFilter.h"

#include "register/DueDates.h"
#include "registerwin/RegisterTableModel.h"

namespace vornex {

RegisterFilter::RegisterFilter(QObject* parent)
    : QSortFilterProxyModel(parent), today_(QDate::currentDate()) {
    setSortRole(registerrole::kSort);
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setSortLocaleAware(true);
    // Cycles counted later move a tool into a list, or out of one.
    setDynamicSortFilter(true);
}

void RegisterFilter::setText(const QString& text) {
    text_ = text.trimmed();
    invalidateFilter();
}

void RegisterFilter::setList(RegisterList list) {
    list_ = list;
    invalidateFilter();
}

void RegisterFilter::setToday(const QDate& today) {
    today_ = today;
    invalidateFilter();
}

bool RegisterFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    if (!text_.isEmpty() &&
        !index.data(registerrole::kSearch).toString().contains(text_, Qt::CaseInsensitive))
        return false;
    if (list_ == RegisterList::All)
        return true;
    const QVariant state = index.data(registerrole::kState);
    if (!state.isValid())
        return false;
    switch (list_) {
        case RegisterList::Overdue:
            return state.toInt() == static_cast<int>(DueState::Overdue);
        case RegisterList::DueSoon:
            return state.toInt() == static_cast<int>(DueState::DueSoon);
        case RegisterList::NextMonth: {
            const QDate due = index.data(registerrole::kDueDate).toDate();
            const QDate next = today_.addMonths(1);
            return due.isValid() && due.year() == next.year() && due.month() == next.month();
        }
        case RegisterList::All:
            break;
    }
    return true;
}

}  // namespace vornex

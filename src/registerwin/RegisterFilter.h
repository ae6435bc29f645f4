#pragma once

#include <QDate>
#include <QSortFilterProxyModel>
#include <QString>

namespace vornex {

// The lists the register window offers: everything, what is overdue, what is due within its lead
// time (and not overdue yet), and what falls due in the calendar month after today's.
enum class RegisterList { All, Overdue, DueSoon, NextMonth };

// A register table sorted by its columns' own values and cut down to one list and to the entries
// whose identifier, maker, model or serial holds a text (any case).
class RegisterFilter : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit RegisterFilter(QObject* parent = nullptr);

    void setText(const QString& text);
    void setList(RegisterList list);
    void setToday(const QDate& today);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString text_;
    RegisterList list_ = RegisterList::All;
    QDate today_;
};

}  // namespace vornex

#pragma once

#include <QAbstractTableModel>
#include <QDate>
#include <optional>
#include <vector>

#include "register/DueDates.h"
#include "registerwin/RegisterWords.h"

namespace vornex {

// What the register's tables give beyond their texts, for sorting and for the lists.
namespace registerrole {
inline constexpr int kSort = Qt::UserRole + 1;     // a column's value in its own order
inline constexpr int kState = Qt::UserRole + 2;    // DueState as int; nothing when not listed
inline constexpr int kDueDate = Qt::UserRole + 3;  // QDate, invalid when none is known
inline constexpr int kSearch = Qt::UserRole + 4;   // identifier, maker, model and serial
}  // namespace registerrole

// A table of the register's entries with a header row from the language file. Each row has a due
// state, which colours the whole row: overdue red, due soon dark orange.
class RegisterTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    RegisterTableModel(RegisterWords words, std::vector<const char*> headerKeys, QObject* parent);

    virtual int entries() const = 0;
    // Nothing for an entry that is in no list (a retired tool).
    virtual std::optional<DueState> stateOf(int row) const = 0;
    virtual QDate dueOf(int row) const = 0;
    virtual QString searchTextOf(int row) const = 0;
    // The cell's display text, tool tip or sort value.
    virtual QVariant cell(int row, int column, int role) const = 0;

    const RegisterWords words_;

private:
    const std::vector<const char*> headerKeys_;
};

}  // namespace vornex

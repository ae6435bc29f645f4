#pragma once

#include <QDate>
#include <optional>
#include <vector>

#include "register/RegisterRecords.h"
#include "register/ToolCycles.h"
#include "registerwin/RegisterTableModel.h"

namespace vornex {

// The register's tools, one row each. A tool's cycles are counted elsewhere and come in later:
// until they do, its cycles read "counting..." and so does its state unless its date alone makes
// it overdue.
class ToolTableModel : public RegisterTableModel {
    Q_OBJECT

public:
    enum Column {
        kId,
        kMaker,
        kModel,
        kSerial,
        kType,
        kClass,
        kMarked,
        kInterval,
        kLast,
        kDue,
        kCycles,
        kState,
        kColumns
    };

    ToolTableModel(RegisterWords words, QObject* parent = nullptr);

    // The tools as read on `today`, none of their cycles counted yet.
    void setTools(std::vector<RegisteredTool> tools, const QDate& today);
    // The cycles counted for the tool `id`; a tool no longer listed is left alone.
    void setCycles(const QString& id, const ToolCycles& counted);

protected:
    int entries() const override;
    std::optional<DueState> stateOf(int row) const override;
    QDate dueOf(int row) const override;
    QString searchTextOf(int row) const override;
    QVariant cell(int row, int column, int role) const override;

private:
    struct Row {
        RegisteredTool tool;
        std::optional<ToolCycles> counted;
        Due due;
    };
    QString text(const Row& row, int column) const;
    QVariant sortValue(const Row& row, int column) const;

    std::vector<Row> rows_;
    QDate today_;
};

}  // namespace vornex

#pragma once

#include <QDate>
#include <vector>

#include "register/RegisterRecords.h"
#include "registerwin/RegisterTableModel.h"

namespace vornex {

// The register's reference instruments, one row each, due by their certificates' dates within
// a lead of kLeadDays.
class ReferenceTableModel : public RegisterTableModel {
    Q_OBJECT

public:
    static constexpr int kLeadDays = 30;
    enum Column {
        kAsset,
        kMaker,
        kModel,
        kSerial,
        kRange,
        kResolution,
        kUncertainty,
        kLowest,
        kCertificate,
        kDue,
        kState,
        kColumns
    };

    ReferenceTableModel(RegisterWords words, QObject* parent = nullptr);

    void setReferences(std::vector<RegisteredReference> references, const QDate& today);

protected:
    int entries() const override;
    std::optional<DueState> stateOf(int row) const override;
    QDate dueOf(int row) const override;
    QString searchTextOf(int row) const override;
    QVariant cell(int row, int column, int role) const override;

private:
    struct Row {
        RegisteredReference reference;
        Due due;
    };
    QString text(const Row& row, int column) const;

    std::vector<Row> rows_;
};

}  // namespace vornex

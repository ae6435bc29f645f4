#include "registerwin/ReferenceTableModel.h"

#include <utility>

#include "i18n/RegisterKeys.h"
#include "text/NumberText.h"

namespace vornex {

namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

QString withUnit(double value, const std::string& unit) {
    return q(plainNumber(value)) + QLatin1Char(' ') + q(unit);
}

}  // namespace

ReferenceTableModel::ReferenceTableModel(RegisterWords words, QObject* parent)
    : RegisterTableModel(
          std::move(words),
          {langkey::kRegisterColAsset, langkey::kRegisterColMaker, langkey::kRegisterColModel,
           langkey::kRegisterColSerial, langkey::kRegisterColRange, langkey::kRegisterColResolution,
           langkey::kRegisterColUncertainty, langkey::kRegisterColLowest,
           langkey::kRegisterColCertificate, langkey::kRegisterColDue, langkey::kRegisterColState},
          parent) {}

void ReferenceTableModel::setReferences(std::vector<RegisteredReference> references,
                                        const QDate& today) {
    beginResetModel();
    rows_.clear();
    for (RegisteredReference& reference : references) {
        const Due due = referenceDue(reference, today, kLeadDays);
        rows_.push_back(Row{std::move(reference), due});
    }
    endResetModel();
}

int ReferenceTableModel::entries() const {
    return static_cast<int>(rows_.size());
}

std::optional<DueState> ReferenceTableModel::stateOf(int row) const {
    return rows_[static_cast<size_t>(row)].due.state;
}

QDate ReferenceTableModel::dueOf(int row) const {
    return rows_[static_cast<size_t>(row)].due.date;
}

QString ReferenceTableModel::searchTextOf(int row) const {
    const RegisteredReference& r = rows_[static_cast<size_t>(row)].reference;
    return q(r.asset + '\n' + r.maker + '\n' + r.model + '\n' + r.serial);
}

QVariant ReferenceTableModel::cell(int row, int column, int role) const {
    const Row& r = rows_[static_cast<size_t>(row)];
    if (role == Qt::ToolTipRole)
        return {};
    if (role != registerrole::kSort)
        return text(r, column);
    switch (column) {
        case kRange:
            return r.reference.range;
        case kResolution:
            return r.reference.resolution;
        case kUncertainty:
            return r.reference.uncertainty;
        case kLowest:
            return r.reference.lowest;
        case kDue:
            return r.due.date;
        case kState:
            return static_cast<int>(r.due.state);
        default:
            return text(r, column);
    }
}

QString ReferenceTableModel::text(const Row& row, int column) const {
    const RegisteredReference& r = row.reference;
    switch (column) {
        case kAsset:
            return q(r.asset);
        case kMaker:
            return q(r.maker);
        case kModel:
            return q(r.model);
        case kSerial:
            return q(r.serial);
        case kRange:
            return withUnit(r.range, r.unit);
        case kResolution:
            return withUnit(r.resolution, r.unit);
        case kUncertainty:
            return q(plainNumber(r.uncertainty));
        case kLowest:
            return withUnit(r.lowest, r.unit);
        case kCertificate:
            return q(r.certificate);
        case kDue:
            return row.due.date.isValid() ? row.due.date.toString(Qt::ISODate)
                                          : QStringLiteral("-");
        case kState:
            return words_.state(row.due.state);
        default:
            return {};
    }
}

}  // namespace vornex

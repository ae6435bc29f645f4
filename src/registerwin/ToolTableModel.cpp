#include "registerwin/ToolTableModel.h"

#include <utility>

#include "i18n/RegisterKeys.h"
#include "text/NumberText.h"

namespace vornex {

namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

QString number(double value) {
    return q(plainNumber(value));
}

}  // namespace

ToolTableModel::ToolTableModel(RegisterWords words, QObject* parent)
    : RegisterTableModel(
          std::move(words),
          {langkey::kRegisterColId, langkey::kRegisterColMaker, langkey::kRegisterColModel,
           langkey::kRegisterColSerial, langkey::kRegisterColType, langkey::kRegisterColClass,
           langkey::kRegisterColMarked, langkey::kRegisterColInterval, langkey::kRegisterColLast,
           langkey::kRegisterColDue, langkey::kRegisterColCycles, langkey::kRegisterColState},
          parent) {}

void ToolTableModel::setTools(std::vector<RegisteredTool> tools, const QDate& today) {
    beginResetModel();
    today_ = today;
    rows_.clear();
    for (RegisteredTool& tool : tools) {
        Row row{std::move(tool), std::nullopt, Due()};
        row.due = toolDue(row.tool, 0, today_);
        rows_.push_back(std::move(row));
    }
    endResetModel();
}

void ToolTableModel::setCycles(const QString& id, const ToolCycles& counted) {
    for (size_t i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        if (q(row.tool.id) != id)
            continue;
        row.counted = counted;
        row.due = toolDue(row.tool, counted.pulls, today_);
        const int r = static_cast<int>(i);
        emit dataChanged(index(r, 0), index(r, kColumns - 1));
    }
}

int ToolTableModel::entries() const {
    return static_cast<int>(rows_.size());
}

std::optional<DueState> ToolTableModel::stateOf(int row) const {
    const Row& r = rows_[static_cast<size_t>(row)];
    if (r.tool.status == "retired")
        return std::nullopt;
    return r.due.state;
}

QDate ToolTableModel::dueOf(int row) const {
    return rows_[static_cast<size_t>(row)].due.date;
}

QString ToolTableModel::searchTextOf(int row) const {
    const RegisteredTool& t = rows_[static_cast<size_t>(row)].tool;
    return q(t.id + '\n' + t.maker + '\n' + t.model + '\n' + t.serial);
}

QVariant ToolTableModel::cell(int row, int column, int role) const {
    const Row& r = rows_[static_cast<size_t>(row)];
    if (role == registerrole::kSort)
        return sortValue(r, column);
    if (role == Qt::ToolTipRole) {
        if (column == kCycles && r.counted && r.counted->unread > 0)
            return words_(langkey::kRegisterUnreadTests).arg(r.counted->unread);
        if (column == kId && !r.tool.description.empty())
            return q(r.tool.description);
        return {};
    }
    return text(r, column);
}

QString ToolTableModel::text(const Row& row, int column) const {
    const RegisteredTool& t = row.tool;
    switch (column) {
        case kId:
            return q(t.id);
        case kMaker:
            return q(t.maker);
        case kModel:
            return q(t.model);
        case kSerial:
            return q(t.serial);
        case kType:
            return q(t.type);
        case kClass:
            return q(t.toolClass);
        case kMarked:
            return (t.lowest ? number(*t.lowest) + QStringLiteral("–") : QString()) +
                   number(t.maximum) + QLatin1Char(' ') + q(t.unit);
        case kInterval: {
            QStringList parts;
            if (t.intervalMonths)
                parts << words_(langkey::kRegisterMonths).arg(*t.intervalMonths);
            if (t.intervalCycles)
                parts << words_(langkey::kRegisterCycles).arg(*t.intervalCycles);
            return parts.join(QStringLiteral(" / "));
        }
        case kLast:
            return t.lastGood.empty() ? words_(langkey::kRegisterNever) : q(t.lastGood);
        case kDue:
            return row.due.date.isValid() ? row.due.date.toString(Qt::ISODate)
                                          : QStringLiteral("-");
        case kCycles:
            if (!row.counted)
                return words_(langkey::kRegisterCounting);
            return QString::number(row.counted->pulls) + QLatin1Char('/') +
                   (t.intervalCycles ? QString::number(*t.intervalCycles) : QStringLiteral("-"));
        case kState:
            if (t.status == "retired")
                return words_(langkey::kRegisterStateRetired);
            // Only more cycles can make it due sooner: an overdue date is the state already.
            if (!row.counted && row.due.state != DueState::Overdue)
                return words_(langkey::kRegisterCounting);
            return words_.state(row.due.state);
        default:
            return {};
    }
}

QVariant ToolTableModel::sortValue(const Row& row, int column) const {
    const RegisteredTool& t = row.tool;
    switch (column) {
        case kMarked:
            return t.maximum;
        case kInterval:
            return t.intervalMonths ? *t.intervalMonths : 0;
        case kLast:
            return QDate::fromString(q(t.lastGood), Qt::ISODate);
        case kDue:
            return row.due.date;
        case kCycles:
            return row.counted ? static_cast<qlonglong>(row.counted->pulls) : qlonglong(-1);
        case kState:
            return t.status == "retired" ? -1 : static_cast<int>(row.due.state);
        default:
            return text(row, column);
    }
}

}  // namespace vornex

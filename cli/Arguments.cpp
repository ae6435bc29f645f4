#include "Arguments.h"

#include <limits>

#include "link/RegisterMap.h"
#include "text/AddressList.h"
#include "text/NumberText.h"

namespace vornex::cli {

Arguments::Arguments(const QStringList& args, const std::set<QString>& allowed) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QLatin1String("--")) || allowed.count(arg.mid(2)) == 0) {
            error_ = QStringLiteral("unknown argument %1").arg(arg);
            return;
        }
        if (i + 1 >= args.size()) {
            error_ = QStringLiteral("%1 needs a value").arg(arg);
            return;
        }
        values_[arg.mid(2)].append(args[++i]);
    }
}

QString Arguments::value(const QString& name, const QString& fallback) const {
    const auto it = values_.find(name);
    return it == values_.end() ? fallback : it->second.last();
}

QStringList Arguments::values(const QString& name) const {
    const auto it = values_.find(name);
    return it == values_.end() ? QStringList() : it->second;
}

std::optional<int> parseCount(const QString& text) {
    long n = 0;
    if (!parseLong(text.toStdString(), 1, std::numeric_limits<int>::max(), n))
        return std::nullopt;
    return static_cast<int>(n);
}

std::optional<std::vector<int>> parseSlaveList(const QString& text) {
    return parseAddressList(text.toStdString(), regmap::kLastSlave);
}

}  // namespace vornex::cli

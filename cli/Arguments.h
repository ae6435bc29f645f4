#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace vornex::cli {

// Options of the form "--name VALUE", each allowed name possibly given several times. Anything
// else is an error, described by error().
class Arguments {
public:
    Arguments(const QStringList& args, const std::set<QString>& allowed);

    bool ok() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }

    bool has(const QString& name) const { return values_.count(name) != 0; }
    // The last value given for the option, or `fallback`.
    QString value(const QString& name, const QString& fallback = {}) const;
    QStringList values(const QString& name) const;

private:
    std::map<QString, QStringList> values_;
    QString error_;
};

// A positive decimal integer, nothing else.
std::optional<int> parseCount(const QString& text);
// Slave addresses "1,2,3" (or with ranges, "1-30"), each 1 to 30 and named once, in the given
// order.
std::optional<std::vector<int>> parseSlaveList(const QString& text);

}  // namespace vornex::cli

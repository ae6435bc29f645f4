// vornex-cli takes its options from whoever calls it. The input is an argument list, the
// arguments separated by NUL bytes as the kernel hands them over. Options must be taken or
// refused with a message, and the numbers and address lists in them read as documented.
#include <QString>
#include <QStringList>
#include <set>

#include "Arguments.h"
#include "FuzzSupport.h"

using vornex::fuzz::check;

namespace {

// Every option name vornex-cli's commands take through Arguments.
const std::set<QString>& optionNames() {
    static const std::set<QString> names = {QStringLiteral("port"),   QStringLiteral("slaves"),
                                            QStringLiteral("passes"), QStringLiteral("display"),
                                            QStringLiteral("test"),   QStringLiteral("seconds"),
                                            QStringLiteral("home"),   QStringLiteral("csv")};
    return names;
}

QStringList argumentsOf(const uint8_t* data, size_t size) {
    QStringList args;
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0) {
            args.append(QString::fromLocal8Bit(reinterpret_cast<const char*>(data + start),
                                               static_cast<qsizetype>(i - start)));
            start = i + 1;
        }
    }
    return args;
}

void checkOptions(const QStringList& args) {
    const vornex::cli::Arguments arguments(args, optionNames());
    check(arguments.ok() || !arguments.error().isEmpty(), "refused without a message");
    if (!arguments.ok())
        return;
    check(args.size() % 2 == 0, "an option taken without its value");
    for (qsizetype i = 0; i < args.size(); i += 2) {
        const QString name = args[i].mid(2);
        check(arguments.has(name), "an option given but not found");
        check(arguments.values(name).contains(args[i + 1]), "an option's value lost");
    }
    for (const QString& name : optionNames()) {
        const QStringList values = arguments.values(name);
        check(values.isEmpty() ? !arguments.has(name) && arguments.value(name).isNull()
                               : arguments.value(name) == values.last(),
              "value() is not the last value given");
    }
}

void checkNumbers(const QString& text) {
    if (const std::optional<int> count = vornex::cli::parseCount(text))
        check(*count >= 1, "a count below 1");
    if (const auto slaves = vornex::cli::parseSlaveList(text)) {
        std::set<int> seen;
        check(!slaves->empty(), "an empty address list");
        for (int slave : *slaves) {
            check(slave >= 1 && slave <= 30, "an address outside 1..30");
            check(seen.insert(slave).second, "an address named twice");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QStringList args = argumentsOf(data, size);
    checkOptions(args);
    for (const QString& arg : args)
        checkNumbers(arg);
    return 0;
}

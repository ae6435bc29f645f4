#include <array>
#include <cstdio>
#include <optional>
#include <string>

#include "Commands.h"
#include "LinkMessages.h"
#include "instrument/core/InstrumentParameters.h"
#include "link/NumberText.h"

namespace vornex::cli {

namespace {

constexpr const char* kRefused = "目标值或上下限设置错误！";

struct ParamsOptions {
    QString port;
    std::optional<int> slave;
    std::optional<int> mode;
    std::optional<unsigned> unit;
    std::optional<unsigned> measure;
    std::optional<std::array<float, 3>> set;  // target, upper, lower
};

// The code of a name in a table, searched from `first`.
template <size_t N>
std::optional<unsigned> codeOf(const QString& name, const std::string_view (&names)[N],
                               unsigned first, unsigned last) {
    for (unsigned code = first; code <= last && code < N; ++code)
        if (name.toStdString() == names[code])
            return code;
    return std::nullopt;
}

std::optional<int> integer(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= low && value <= high ? std::optional<int>(value) : std::nullopt;
}

// Nullopt for a usage error, described in `error`. Values the dialog refuses are left for the
// caller to refuse, so they get the dialog's message.
std::optional<ParamsOptions> parse(const QStringList& args, QString& error, bool& refused) {
    ParamsOptions o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& name = args[i];
        const int values = name == QLatin1String("--set") ? 3 : 1;
        if (i + values >= args.size()) {
            error = name + QStringLiteral(" needs a value");
            return std::nullopt;
        }
        const QString value = args[i + 1];
        if (name == QLatin1String("--port")) {
            o.port = value;
        } else if (name == QLatin1String("--slave")) {
            o.slave = integer(value, 1, 30);
            if (!o.slave) {
                error = QStringLiteral("--slave takes an address 1 to 30");
                return std::nullopt;
            }
        } else if (name == QLatin1String("--set-mode")) {
            o.mode = integer(value, 0, regmap::kModeNumberCount - 1);
            refused = refused || !o.mode;
        } else if (name == QLatin1String("--set-unit")) {
            o.unit = codeOf(value, regmap::kUnitNames, params::kFirstUnit, params::kLastUnit);
            refused = refused || !o.unit;
        } else if (name == QLatin1String("--set-measure")) {
            o.measure = codeOf(value, regmap::kMeasuringModeNames, params::kFirstMeasuringMode,
                               params::kLastMeasuringMode);
            refused = refused || !o.measure;
        } else if (name == QLatin1String("--set")) {
            std::array<float, 3> v{};
            for (int k = 0; k < 3; ++k)
                v[static_cast<size_t>(k)] =
                    static_cast<float>(parseLeadingNumber(args[i + 1 + k].toStdString()));
            o.set = v;
        } else {
            error = QStringLiteral("unknown option ") + name;
            return std::nullopt;
        }
        i += values;
    }
    if (o.port.isEmpty() || !o.slave) {
        error = QStringLiteral("needs --port PATH and --slave N");
        return std::nullopt;
    }
    return o;
}

QString itemText(int index, const QStringList& items) {
    return index >= 0 && index < items.size() ? items[index] : QString();
}

void printFields(const ParameterFields& f) {
    const QStringList units = {"N.m", "kgf.cm", "ft.lbf", "in.lfb"};
    const QStringList measures = {"T", "P", "1P"};
    std::printf("range: %s\n", f.range.c_str());
    std::printf("mode: %s\n", f.modeIndex >= 0
                                  ? QStringLiteral("Mode_%1").arg(f.modeIndex).toUtf8().constData()
                                  : "");
    std::printf("measure: %s\n", qPrintable(itemText(f.measureIndex, measures)));
    std::printf("unit: %s\n", qPrintable(itemText(f.unitIndex, units)));
    std::printf("target: %s\n", f.target.c_str());
    std::printf("upper: %s\n", f.upper.c_str());
    std::printf("lower: %s\n", f.lower.c_str());
}

int refuse() {
    std::fprintf(stderr, "%s\n", kRefused);
    return 2;
}

}  // namespace

int runParams(const QStringList& args) {
    QString error;
    bool refused = false;
    const auto options = parse(args, error, refused);
    if (!options) {
        std::fprintf(stderr,
                     "vornex-cli params: %s\nusage: vornex-cli params --port PATH --slave N "
                     "[--set-mode M] [--set-unit NAME] [--set-measure NAME] "
                     "[--set TARGET UPPER LOWER]\n",
                     qPrintable(error));
        return 1;
    }
    if (refused)
        return refuse();

    InstrumentParameters parameters;
    switch (parameters.connect(options->port.toStdString(), *options->slave)) {
        case InstrumentParameters::ConnectResult::PortError:
            std::fprintf(stderr, "vornex-cli params: cannot open %s (absent or in use)\n",
                         qPrintable(options->port));
            return 2;
        case InstrumentParameters::ConnectResult::ReadError:
            std::fprintf(stderr, "vornex-cli params: %s\n",
                         slaveFailureText(*options->slave, parameters.linkFailure()).c_str());
            return 2;
        case InstrumentParameters::ConnectResult::Connected:
            break;
    }
    // Target and limits are checked before anything is written, with the unit they will be
    // converted from; the unit of a parameter set switched to is known only after the switch, so
    // Set checks it once more then.
    if (options->set) {
        const auto& [target, upper, lower] = *options->set;
        const unsigned unit =
            options->unit ? *options->unit
                          : (options->mode ? params::kFirstUnit : parameters.settings().unit);
        if (params::checkSetValues(parameters.range(), target, upper, lower, unit) !=
            params::SetCheck::Accepted)
            return refuse();
    }

    using Write = InstrumentParameters::WriteResult;
    Write result = Write::Written;
    if (options->mode && result == Write::Written)
        result = parameters.changeMode(*options->mode);
    if (options->measure && result == Write::Written)
        result = parameters.changeMeasuringMode(*options->measure);
    if (options->unit && result == Write::Written)
        result = parameters.changeUnit(*options->unit);
    if (options->set && result == Write::Written) {
        const auto& [target, upper, lower] = *options->set;
        result = parameters.set(target, upper, lower);
    }
    printFields(parameters.fields());
    if (result == Write::Refused)
        return refuse();
    if (result != Write::Written) {
        std::fprintf(stderr, "vornex-cli params: a write to slave %d failed (%s)\n",
                     *options->slave, parameters.linkFailure().describe().c_str());
        return 2;
    }
    return 0;
}

}  // namespace vornex::cli

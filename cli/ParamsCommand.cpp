#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "Commands.h"
#include "LinkMessages.h"
#include "instrument/core/InstrumentParameters.h"
#include "text/NumberText.h"

namespace vornex::cli {

namespace {

constexpr const char* kRefused = "目标值或上下限设置错误！";

struct ParamsOptions {
    QString port;
    std::optional<int> slave;
    std::optional<int> mode;
    std::optional<unsigned> unit;
    std::optional<unsigned> measure;
    std::optional<TypedSettings> set;
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
    long value = 0;
    return parseLong(text.toStdString(), low, high, value)
               ? std::optional<int>(static_cast<int>(value))
               : std::nullopt;
}

// Nullopt for a usage error, described in `error`. A mode, unit or measure the window does not
// offer is named in `refused`; target and limits are left for the caller to check against the
// instrument.
std::optional<ParamsOptions> parse(const QStringList& args, QString& error, QString& refused) {
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
            if (!o.mode && refused.isEmpty())
                refused = QStringLiteral("--set-mode takes a parameter set 0 to 9, not ") + value;
        } else if (name == QLatin1String("--set-unit")) {
            o.unit = codeOf(value, regmap::kUnitNames, params::kFirstUnit, params::kLastUnit);
            if (!o.unit && refused.isEmpty())
                refused =
                    QStringLiteral("--set-unit takes N.m, kgf.cm, ft.lbf or in.lfb, not ") + value;
        } else if (name == QLatin1String("--set-measure")) {
            o.measure = codeOf(value, regmap::kMeasuringModeNames, params::kFirstMeasuringMode,
                               params::kLastMeasuringMode);
            if (!o.measure && refused.isEmpty())
                refused = QStringLiteral("--set-measure takes T, P or 1P, not ") + value;
        } else if (name == QLatin1String("--set")) {
            o.set = TypedSettings{args[i + 1].toStdString(), args[i + 2].toStdString(),
                                  args[i + 3].toStdString()};
            for (const std::string* field : {&o.set->target, &o.set->upper, &o.set->lower}) {
                if (!parseNumber(*field)) {
                    error = QStringLiteral(
                                "--set takes three decimal numbers (target, upper "
                                "and lower limit); \"%1\" is not one")
                                .arg(QString::fromStdString(*field));
                    return std::nullopt;
                }
            }
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

// The fixed refusal, and the targets the typed limits allow, in the unit they were checked in.
int refuse(const params::SetPlan& plan, unsigned unit, float range) {
    std::fprintf(stderr, "%s\n", kRefused);
    if (plan.check == params::SetCheck::OutOfWindow || plan.check == params::SetCheck::BadLimit) {
        const int precision =
            std::max(0, params::displayPrecision(regmap::decimalsForRange(range), unit));
        std::fprintf(stderr,
                     "allowed target with these limits: %s to %s %s; limits 0.0 to 25.5 %%\n",
                     formatFixed(plan.lowestTarget, precision).c_str(),
                     formatFixed(plan.highestTarget, precision).c_str(),
                     std::string(regmap::unitName(unit)).c_str());
    }
    return 2;
}

int failed(int slave, const char* what, const LinkResult& why) {
    std::fprintf(stderr, "vornex-cli params: slave %d: %s (%s)\n", slave, what,
                 why.describe().c_str());
    return 2;
}

}  // namespace

int runParams(const QStringList& args) {
    QString error;
    QString refused;
    const auto options = parse(args, error, refused);
    if (!options) {
        std::fprintf(stderr,
                     "vornex-cli params: %s\nusage: vornex-cli params --port PATH --slave N "
                     "[--set-mode M] [--set-unit NAME] [--set-measure NAME] "
                     "[--set TARGET UPPER LOWER]\n",
                     qPrintable(error));
        return 1;
    }
    if (!refused.isEmpty()) {
        std::fprintf(stderr, "vornex-cli params: %s\n", qPrintable(refused));
        return 2;
    }

    InstrumentParameters parameters;
    switch (const OpenResult opened =
                parameters.connect(options->port.toStdString(), *options->slave)) {
        case OpenResult::Opened:
            break;
        case OpenResult::NoAnswer:
            std::fprintf(stderr, "vornex-cli params: %s\n",
                         slaveFailureText(*options->slave, parameters.linkFailure()).c_str());
            return 2;
        case OpenResult::UnknownHost:
        case OpenResult::Refused:
            printNetworkRefusal("params", options->port.toStdString(),
                                opened == OpenResult::UnknownHost);
            return 2;
        case OpenResult::InUse:
        case OpenResult::CannotOpen:
        case OpenResult::StillStopping:
            std::fprintf(stderr, "vornex-cli params: cannot open %s (absent or in use)\n",
                         qPrintable(options->port));
            printPortAccessHint(options->port.toStdString());
            return 2;
    }
    // Target and limits are checked before anything is written, with the unit they will be
    // converted from; the unit of a parameter set switched to is known only after the switch, so
    // Set checks it once more then.
    if (options->set) {
        const unsigned unit =
            options->unit ? *options->unit
                          : (options->mode ? params::kFirstUnit : parameters.settings().unit);
        const params::SetPlan plan = parameters.planSet(*options->set, unit);
        if (plan.check != params::SetCheck::Accepted)
            return refuse(plan, unit, parameters.range());
    }

    using Write = InstrumentParameters::WriteResult;
    Write result = Write::Written;
    if (options->mode && result == Write::Written)
        result = parameters.changeMode(*options->mode);
    if (options->measure && result == Write::Written)
        result = parameters.changeMeasuringMode(*options->measure);
    if (options->unit && result == Write::Written)
        result = parameters.changeUnit(*options->unit);
    params::SetPlan plan;
    if (options->set && result == Write::Written)
        result = parameters.set(*options->set, &plan);
    printFields(parameters.fields());
    switch (result) {
        case Write::Written:
            return 0;
        case Write::Refused:
            return refuse(plan, parameters.settings().unit, parameters.range());
        case Write::Differs:
            std::fprintf(stderr,
                         "vornex-cli params: slave %d holds other settings than were written\n",
                         *options->slave);
            return 2;
        case Write::Unconfirmed:
            return failed(*options->slave, "the settings written could not be read back",
                          parameters.linkFailure());
        case Write::NotRead:
            return failed(*options->slave, "the settings could not be read",
                          parameters.linkFailure());
        case Write::WriteFailed:
        case Write::NotConnected:
            break;
    }
    std::fprintf(stderr, "vornex-cli params: a write to slave %d failed (%s)\n", *options->slave,
                 parameters.linkFailure().describe().c_str());
    return 2;
}

}  // namespace vornex::cli

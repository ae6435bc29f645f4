#include "config/BenchConfig.h"

#include <QSysInfo>
#include <algorithm>
#include <filesystem>

#include "config/PrivateProfile.h"
#include "record/CurvePoint.h"

namespace vornex {

namespace {

const QString kNewTest = QStringLiteral("NewTest");
const QString kPorts = QStringLiteral("Ports");
const QString kCalibrationDue = QStringLiteral("CalibrationDue");
const QString kControlChart = QStringLiteral("ControlChart");

QString namesSection(const std::string& port) {
    return QStringLiteral("Names:") + QString::fromStdString(BenchConfig::configPortName(port));
}

QString devicesSection(const std::string& port) {
    return QStringLiteral("Devices:") + QString::fromStdString(BenchConfig::configPortName(port));
}

const QString kAddresses = QStringLiteral("Addresses");

struct RememberedKey {
    const char* key;
    std::string TestTrace::*field;
};

constexpr RememberedKey kRemembered[] = {
    {"Operator", &TestTrace::operatorName},
    {"Tool", &TestTrace::toolId},
    {"ToolDescription", &TestTrace::toolDescription},
    {"Note", &TestTrace::note},
};

}  // namespace

std::string BenchConfig::bench() const {
    const QString name =
        PrivateProfile(configFile_)
            .read(QStringLiteral("Setting"), QStringLiteral("Bench"), QString(), kMaxText)
            .trimmed();
    return (name.isEmpty() ? QSysInfo::machineHostName() : name).toStdString();
}

std::string BenchConfig::lab() const {
    return PrivateProfile(configFile_)
        .read(QStringLiteral("Setting"), QStringLiteral("Lab"), QString(), kMaxText)
        .trimmed()
        .toStdString();
}

std::string BenchConfig::labAddress() const {
    return PrivateProfile(configFile_)
        .read(QStringLiteral("Setting"), QStringLiteral("LabAddress"), QString(), kMaxText)
        .trimmed()
        .toStdString();
}

bool BenchConfig::fastPass() const {
    return PrivateProfile(configFile_)
               .read(QStringLiteral("Setting"), QStringLiteral("FastPass"), QString(), kMaxText)
               .trimmed() == QLatin1String("1");
}

bool BenchConfig::setFastPass(bool on) const {
    return PrivateProfile(configFile_)
        .write(QStringLiteral("Setting"), QStringLiteral("FastPass"),
               on ? QStringLiteral("1") : QStringLiteral("0"));
}

TestTrace BenchConfig::lastTrace() const {
    const PrivateProfile file(configFile_);
    TestTrace trace;
    for (const RememberedKey& entry : kRemembered) {
        trace.*entry.field =
            file.read(kNewTest, QString::fromLatin1(entry.key), QString(), kMaxText).toStdString();
    }
    return trace;
}

bool BenchConfig::rememberTrace(const TestTrace& trace) const {
    const PrivateProfile file(configFile_);
    bool written = true;
    for (const RememberedKey& entry : kRemembered) {
        written = file.write(kNewTest, QString::fromLatin1(entry.key),
                             QString::fromStdString(trace.*entry.field)) &&
                  written;
    }
    return written;
}

std::string BenchConfig::configPortName(const std::string& port) {
    const std::filesystem::path path(port);
    const std::string folder = path.parent_path().filename().string();
    const std::string prefix = "vornex-sim-";
    const bool simulated = path.filename() == "line" && folder.size() == prefix.size() + 6 &&
                           folder.compare(0, prefix.size(), prefix) == 0;
    return simulated ? std::string(kSimulatedPortName) : port;
}

std::map<int, std::string> BenchConfig::deviceNames(const std::string& port) const {
    const PrivateProfile file(configFile_);
    const QString section = namesSection(port);
    std::map<int, std::string> names;
    for (int address = 1; address <= kCurveSlots; ++address) {
        const QString name = file.read(section, QString::number(address), QString(), kMaxText);
        if (!name.isEmpty())
            names[address] = name.toStdString();
    }
    return names;
}

bool BenchConfig::setDeviceName(const std::string& port, int address,
                                const std::string& name) const {
    return PrivateProfile(configFile_)
        .write(namesSection(port), QString::number(address), QString::fromStdString(name));
}

std::optional<std::vector<int>> BenchConfig::deviceList(const std::string& port) const {
    // No line of the file holds a line break: this default says that the key is absent.
    const QString absent = QStringLiteral("\n");
    const QString kept =
        PrivateProfile(configFile_).read(devicesSection(port), kAddresses, absent, kMaxText);
    if (kept == absent)
        return std::nullopt;
    std::vector<int> addresses;
    for (const QString& field : kept.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool number = false;
        const int address = field.trimmed().toInt(&number);
        if (number && address >= 1 && address <= kCurveSlots &&
            std::find(addresses.begin(), addresses.end(), address) == addresses.end())
            addresses.push_back(address);
    }
    return addresses;
}

bool BenchConfig::setDeviceList(const std::string& port, const std::vector<int>& addresses) const {
    QStringList fields;
    for (const int address : addresses)
        fields << QString::number(address);
    return PrivateProfile(configFile_)
        .write(devicesSection(port), kAddresses, fields.join(QLatin1Char(',')));
}

std::vector<std::string> BenchConfig::typedPorts() const {
    const PrivateProfile file(configFile_);
    std::vector<std::string> ports;
    for (int slot = 1; slot <= kMaxTypedPorts; ++slot) {
        const QString port = file.read(kPorts, QString::number(slot), QString(), kMaxText);
        if (!port.isEmpty())
            ports.push_back(port.toStdString());
    }
    return ports;
}

bool BenchConfig::rememberTypedPort(const std::string& port) const {
    std::vector<std::string> ports = typedPorts();
    ports.erase(std::remove(ports.begin(), ports.end(), port), ports.end());
    ports.insert(ports.begin(), port);
    if (ports.size() > static_cast<size_t>(kMaxTypedPorts))
        ports.resize(static_cast<size_t>(kMaxTypedPorts));
    // The list only grows or keeps its length, so no slot is ever left empty.
    const PrivateProfile file(configFile_);
    bool written = true;
    for (size_t index = 0; index < ports.size(); ++index) {
        written =
            file.write(kPorts, QString::number(index + 1), QString::fromStdString(ports[index])) &&
            written;
    }
    return written;
}

std::string BenchConfig::calibrationDue(const std::string& key) const {
    return PrivateProfile(configFile_)
        .read(kCalibrationDue, QString::fromStdString(key), QString(), kMaxText)
        .trimmed()
        .toStdString();
}

bool BenchConfig::setCalibrationDue(const std::string& key, const std::string& date) const {
    return PrivateProfile(configFile_)
        .write(kCalibrationDue, QString::fromStdString(key), QString::fromStdString(date));
}

ControlChartSettings BenchConfig::controlChart() const {
    const PrivateProfile file(configFile_);
    ControlChartSettings settings;
    bool number = false;
    const int subgroup =
        file.read(kControlChart, QStringLiteral("Subgroup"), QString(), kMaxText).toInt(&number);
    if (number && subgroup >= 2 && subgroup <= 25)
        settings.subgroup = subgroup;
    settings.bySd = file.read(kControlChart, QStringLiteral("Chart"), QString(), kMaxText) ==
                    QLatin1String("sd");
    // No rule on is a choice too: only a key not there at all keeps every rule on.
    const QString notThere = QStringLiteral("?");
    const QString rules = file.read(kControlChart, QStringLiteral("Rules"), notThere, kMaxText);
    if (rules != notThere)
        settings.rules = rules.trimmed().toStdString();
    return settings;
}

bool BenchConfig::setControlChart(const ControlChartSettings& settings) const {
    const PrivateProfile file(configFile_);
    const bool subgroup =
        file.write(kControlChart, QStringLiteral("Subgroup"), QString::number(settings.subgroup));
    const bool chart = file.write(kControlChart, QStringLiteral("Chart"),
                                  settings.bySd ? QStringLiteral("sd") : QStringLiteral("range"));
    return file.write(kControlChart, QStringLiteral("Rules"),
                      QString::fromStdString(settings.rules)) &&
           subgroup && chart;
}

}  // namespace vornex

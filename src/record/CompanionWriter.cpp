#include "record/CompanionWriter.h"

#include <QDateTime>

namespace vornex {

bool CompanionWriter::started(const std::string& testPath, const Poller& poller,
                              uint32_t timeBase) {
    if (testPath != testPath_) {
        testPath_ = testPath;
        path_ = companionPath(testPath);
        companion_ = Companion();
        const size_t slash = testPath.rfind('/');
        const std::string file = slash == std::string::npos ? testPath : testPath.substr(slash + 1);
        companion_.testName = file.substr(0, file.rfind(".pdat"));
        companion_.started = QDateTime::currentDateTime()
                                 .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                 .toStdString();
        seen_.clear();
    }
    take(poller, TickClock::secondsBetween(timeBase, clock_.now()));
    return write();
}

bool CompanionWriter::refresh(const Poller& poller, uint32_t timeBase) {
    return !path_.empty() && take(poller, TickClock::secondsBetween(timeBase, clock_.now())) &&
           write();
}

bool CompanionWriter::take(const Poller& poller, double seconds) {
    bool changed = false;
    for (size_t i = 0; i < poller.deviceCount(); ++i) {
        const DeviceRecord& record = poller.device(i);
        const uint8_t address = record.address();
        const uint32_t generation = record.settingsGeneration();
        const auto seen = seen_.find(address);
        if (seen != seen_.end() && seen->second == generation)
            continue;
        seen_[address] = generation;
        const DeviceRecord::PublishedSettings published = record.publishedSettings();
        if (!published.known)
            continue;
        const InstrumentSettings settings = settingsOf(published, seconds);
        const auto held = companion_.instruments.find(address);
        if (held != companion_.instruments.end() && held->second.sameSettings(settings))
            continue;
        companion_.instruments[address] = settings;
        changed = true;
    }
    return changed;
}

bool CompanionWriter::write() {
    const bool worked = error_.empty();
    error_.clear();
    return !writeCompanion(path_, companion_, &error_) && worked;
}

}  // namespace vornex

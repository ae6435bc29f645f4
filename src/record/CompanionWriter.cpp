#include "record/CompanionWriter.h"

#include <QDateTime>

namespace vornex {

CompanionWriter::News CompanionWriter::started(const std::string& testPath, const Poller& poller,
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

CompanionWriter::News CompanionWriter::refresh(const Poller& poller, uint32_t timeBase) {
    if (path_.empty())
        return News::None;
    const bool changed = take(poller, TickClock::secondsBetween(timeBase, clock_.now()));
    const bool retry =
        !error_.empty() && static_cast<uint32_t>(clock_.now() - lastTry_) >= kRetryMs;
    return changed || retry ? write() : News::None;
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

CompanionWriter::News CompanionWriter::write() {
    const bool worked = error_.empty();
    error_.clear();
    lastTry_ = clock_.now();
    const bool works = writeCompanion(path_, companion_, &error_);
    if (works == worked)
        return News::None;
    return works ? News::Recovered : News::Failed;
}

}  // namespace vornex

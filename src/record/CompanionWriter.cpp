#include "record/CompanionWriter.h"

#include <sys/stat.h>

#include <QByteArray>
#include <QDateTime>
#include <cerrno>

#include "VornexVersion.h"
#include "record/TestFile.h"

namespace vornex {

CompanionWriter::News CompanionWriter::started(const std::string& testPath, const Poller& poller,
                                               uint32_t timeBase) {
    if (testPath != testPath_) {
        testPath_ = testPath;
        path_ = companionPath(testPath);
        companion_ = Companion();
        companion_.uuid = testId_;
        const size_t slash = testPath.rfind('/');
        const std::string file = slash == std::string::npos ? testPath : testPath.substr(slash + 1);
        companion_.testName = file.substr(0, file.rfind(".pdat"));
        companion_.started = QDateTime::currentDateTime()
                                 .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                 .toStdString();
        companion_.trace = trace_;
        companion_.trace.version = VORNEX_VERSION;
        seen_.clear();
    }
    // Recording again: the file grows, so a hash taken before no longer holds.
    companion_.trace.sha256.clear();
    take(poller, TickClock::secondsBetween(timeBase, clock_.now()));
    return write();
}

CompanionWriter::News CompanionWriter::refresh(const Poller& poller, uint32_t timeBase) {
    if (path_.empty())
        return News::None;
    const bool changed = take(poller, TickClock::secondsBetween(timeBase, clock_.now()));
    return changed || dueAgain() ? write() : News::None;
}

CompanionWriter::News CompanionWriter::closed() {
    if (path_.empty())
        return News::None;
    // A reading polled just before Stop may reach the file after it was hashed; the hash is taken
    // again when the file has grown since. A test file removed for holding no reading takes its
    // companion with it, and nothing writes that again.
    struct stat status {};
    if (::stat(testPath_.c_str(), &status) != 0 ||
        (!companion_.trace.sha256.empty() && status.st_size == hashedSize_))
        return News::None;
    hashedSize_ = status.st_size;
    companion_.trace.sha256 = TestFile(testPath_).sha256();
    return write();
}

bool CompanionWriter::dueAgain() {
    const uint32_t now = clock_.now();
    if (static_cast<uint32_t>(now - lastLook_) < kRetryMs)
        return false;
    lastLook_ = now;
    struct stat status {};
    return !lastWrite_.ok() || (::lstat(path_.c_str(), &status) != 0 && errno == ENOENT);
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
        const std::string identification =
            QByteArray(reinterpret_cast<const char*>(published.identification.data()),
                       static_cast<qsizetype>(published.identification.size()))
                .toHex()
                .toStdString();
        std::string& recorded = companion_.identities[address].identification;
        changed = changed || recorded != identification;
        recorded = identification;
        const InstrumentSettings settings = settingsOf(published, seconds);
        std::vector<InstrumentSettings>& history = companion_.instruments[address];
        if (!history.empty() && history.back().sameSettings(settings))
            continue;
        history.push_back(settings);
        changed = true;
    }
    return changed;
}

CompanionWriter::News CompanionWriter::write() {
    const bool worked = lastWrite_.ok();
    lastLook_ = clock_.now();
    // The day folder went away under the test: it is made again, one level, as appending to the
    // test file makes it, so that the settings stay beside the readings.
    const size_t slash = path_.rfind('/');
    if (slash != std::string::npos && slash != 0)
        ::mkdir(path_.substr(0, slash).c_str(), 0755);
    nameInstruments();
    lastWrite_ = writeCompanion(path_, companion_);
    const bool works = lastWrite_.ok();
    if (works == worked)
        return News::None;
    return works ? News::Recovered : News::Failed;
}

void CompanionWriter::nameInstruments() {
    for (const auto& [address, settings] : companion_.instruments)
        companion_.identities[address];
    for (auto& [address, identity] : companion_.identities) {
        const auto named = names_.find(address);
        identity.name = named != names_.end() ? named->second : std::string();
    }
}

}  // namespace vornex

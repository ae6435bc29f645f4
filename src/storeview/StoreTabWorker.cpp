#include "storeview/StoreTabWorker.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <utility>

#include "record/CompanionFile.h"
#include "sign/CopyReview.h"

namespace vornex {

namespace {

// A search or fetch waits this long for a server that does not answer.
constexpr int kConnectSeconds = 5;

// A name the companion holds that can be a file's name; anything else keeps the UUID.
bool fileNameFor(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) &&
           std::none_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20; }) &&
           QFile::encodeName(name).size() + 5 <= 255;
}

// The window's title, the report and the printed page name a test by its file: the copy takes the
// test's name, in a folder of its UUID that keeps two tests of one name apart. Nothing, with the
// reason, when the copy was not made.
QString namedCopy(store::PgConnection& connection, const QString& copiesFolder, const QString& uuid,
                  std::string& error) {
    const QString folder = copiesFolder + uuid + QLatin1Char('/');
    QDir().mkpath(folder);
    const std::string fetched =
        QFile::encodeName(folder + uuid + QStringLiteral(".pdat")).toStdString();
    if (const store::StoreAnswer<std::string> kind =
            store::fetchStoredFile(connection, uuid.toStdString(), fetched);
        !kind) {
        error = kind.result.text;
        return QString();
    }
    const std::optional<Companion> companion = readCompanion(companionPath(fetched)).companion;
    const QString name = companion ? QString::fromStdString(companion->testName) : QString();
    std::string path = fetched;
    if (fileNameFor(name)) {
        path = QFile::encodeName(folder + name + QStringLiteral(".pdat")).toStdString();
        std::error_code failed;
        std::filesystem::rename(fetched, path, failed);
        if (!failed)
            std::filesystem::rename(companionPath(fetched), companionPath(path), failed);
        if (failed) {
            error = "cannot name the copy " + path + ": " + failed.message();
            return QString();
        }
    }
    // A copy of what the store holds: opened to be seen, never recorded into.
    ::chmod(path.c_str(), 0444);
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// Asked after the copy, on its connection: a store whose schema keeps no review yet still gives
// the test, and says why its review is missing.
RecordReview reviewOf(store::PgConnection& connection, const QString& uuid) {
    RecordReview review;
    const store::StoreAnswer<std::vector<store::Amendment>> amendments =
        store::amendmentsOf(connection, uuid.toStdString());
    const store::StoreAnswer<std::vector<store::StoredSignature>> signatures =
        amendments ? store::signaturesOf(connection, uuid.toStdString())
                   : store::StoreAnswer<std::vector<store::StoredSignature>>{{}, amendments.result};
    if (!signatures) {
        review.error = QString::fromStdString(signatures.result.text);
        return review;
    }
    review.amendments = amendments.value;
    review.signatures = signatures.value;
    return review;
}

}  // namespace

StoreTabWorker::StoreTabWorker(std::string conninfo, QString copiesFolder)
    : conninfo_(std::move(conninfo)), copiesFolder_(std::move(copiesFolder)) {}

StoreTabWorker::~StoreTabWorker() {
    const std::lock_guard<std::mutex> lock(mutex_);
    worker_.stop();
    if (running_)
        running_->interrupt();
}

void StoreTabWorker::search(uint64_t serial, const store::FindFilter& filter) {
    Job job;
    job.serial = serial;
    job.filter = filter;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        job.asked = ++searchesAsked_;
        if (running_ && runningSearch_)
            running_->interrupt();
    }
    worker_.post([this, job] { runJob(job); });
}

void StoreTabWorker::fetch(const QString& uuid, bool report) {
    Job job;
    job.kind = Job::Kind::Fetch;
    job.uuid = uuid;
    job.report = report;
    worker_.post([this, job] { runJob(job); });
}

void StoreTabWorker::review(const QString& uuid) {
    Job job;
    job.kind = Job::Kind::Review;
    job.uuid = uuid;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        job.asked = ++reviewsAsked_;
    }
    worker_.post([this, job] { runJob(job); });
}

void StoreTabWorker::history(const QString& tool) {
    Job job;
    job.kind = Job::Kind::History;
    job.uuid = tool;
    worker_.post([this, job] { runJob(job); });
}

// The interrupt lives here, outside the lock: ending it may wait a moment for a cancel request.
void StoreTabWorker::runJob(const Job& job) {
    store::PgInterrupt interrupt;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        // A later one of its kind was asked for before this one began.
        const bool superseded = (job.kind == Job::Kind::Search && job.asked != searchesAsked_) ||
                                (job.kind == Job::Kind::Review && job.asked != reviewsAsked_);
        if (worker_.stopping() || superseded)
            return;
        running_ = &interrupt;
        runningSearch_ = job.kind == Job::Kind::Search;
    }
    store::PgConnection connection(conninfo_, kConnectSeconds, &interrupt);
    const store::StoreResult reached = connection.reached();
    if (job.kind == Job::Kind::Search) {
        const store::StoreAnswer<std::vector<store::FoundResult>> found =
            reached ? store::findResults(connection, job.filter)
                    : store::StoreAnswer<std::vector<store::FoundResult>>{{}, reached};
        emit searched(job.serial, found.value, QString::fromStdString(found.result.text));
    } else if (job.kind == Job::Kind::History) {
        const store::StoreAnswer<store::ToolHistory> read =
            reached ? store::toolHistory(connection, job.uuid.toStdString())
                    : store::StoreAnswer<store::ToolHistory>{{}, reached};
        emit historyRead(job.uuid, read.value, QString::fromStdString(read.result.text));
    } else if (job.kind == Job::Kind::Review) {
        RecordReview review;
        if (reached)
            review = reviewOf(connection, job.uuid);
        else
            review.error = QString::fromStdString(reached.text);
        emit reviewed(job.uuid, review);
    } else {
        std::string error = reached.text;
        QString path = reached ? namedCopy(connection, copiesFolder_, job.uuid, error) : QString();
        const RecordReview review =
            path.isEmpty() ? RecordReview() : reviewOf(connection, job.uuid);
        // A report of the copy without the amendments the store holds would be a wrong one.
        if (!path.isEmpty() &&
            !sign::writeCopyReview(QFile::encodeName(path).toStdString(),
                                   store::copyReviewOf(review.amendments, review.signatures),
                                   error))
            path.clear();
        emit fetched(path, job.report, QString::fromStdString(error));
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    running_ = nullptr;
}

}  // namespace vornex

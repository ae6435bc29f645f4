#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "store/ResultQuery.h"
#include "store/Review.h"
#include "store/ToolHistory.h"
#include "work/BackgroundWorker.h"

namespace vornex {

// What the store holds of a fetched record's review: every amendment of the record and its
// signatures, or in `error` why they could not be read.
struct RecordReview {
    std::vector<store::Amendment> amendments;
    std::vector<store::StoredSignature> signatures;
    QString error;
};

// The Store tab's talks with the server, on a thread of its own: a server can take the whole
// connect timeout to answer, or hold a statement, and the window must not wait for it. What is
// asked runs one at a time in the order asked, but the newest search wins: a search drops the
// searches still waiting and interrupts one under way; a record's review asked for drops the
// reviews still waiting. A fetch is never dropped while the worker lives. Answers come as queued
// signals, each search's with the serial it was asked with, so that the tab can tell the answer it
// waits for from one it has superseded.
class StoreTabWorker : public QObject {
    Q_OBJECT

public:
    // Fetched tests go to `copiesFolder` (ends in "/"), each as "UUID/NAME.pdat" with the review
    // the store holds of it beside it (sign::CopyReview), for its documents to print.
    StoreTabWorker(std::string conninfo, QString copiesFolder);
    // Interrupts what is under way and joins: a statement ends at once, a connection being made
    // within its timeout.
    ~StoreTabWorker() override;
    StoreTabWorker(const StoreTabWorker&) = delete;
    StoreTabWorker& operator=(const StoreTabWorker&) = delete;

    void search(uint64_t serial, const store::FindFilter& filter);
    void fetch(const QString& uuid, bool report);
    void review(const QString& uuid);
    void history(const QString& tool);

signals:
    // On the worker's thread; `error` is empty when the search ran.
    void searched(uint64_t serial, std::vector<store::FoundResult> found, QString error);
    // On the worker's thread; `path` is empty when the copy was not made, and `error` says why.
    void fetched(QString path, bool report, QString error);
    // On the worker's thread: the review of the record `uuid`.
    void reviewed(QString uuid, RecordReview review);
    // On the worker's thread: the pulls of `tool` the store holds, or in `error` why not.
    void historyRead(QString tool, store::ToolHistory history, QString error);

private:
    struct Job {
        enum class Kind { Search, Fetch, Review, History } kind = Kind::Search;
        uint64_t asked = 0;  // the searches, or the reviews, asked for up to this one
        uint64_t serial = 0;
        store::FindFilter filter;
        QString uuid;  // or the tool whose history is read
        bool report = false;
    };

    void runJob(const Job& job);

    const std::string conninfo_;
    const QString copiesFolder_;
    std::mutex mutex_;
    // How many searches and reviews were asked for: one whose count is not the last of its kind
    // is superseded.
    uint64_t searchesAsked_ = 0;
    uint64_t reviewsAsked_ = 0;
    // What interrupts the job under way, and whether it is a search; null between jobs.
    store::PgInterrupt* running_ = nullptr;
    bool runningSearch_ = false;
    BackgroundWorker worker_;  // last: it ends first, before what its jobs use
};

}  // namespace vornex

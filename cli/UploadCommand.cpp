#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "Commands.h"
#include "LinkMessages.h"
#include "instrument/core/RecordExport.h"
#include "instrument/core/RecordUpload.h"
#include "text/NumberText.h"

namespace vornex::cli {

namespace {

// Collects the rows as they arrive and draws a progress bar on a terminal.
class UploadCollector : public UploadObserver {
public:
    explicit UploadCollector(bool showProgress) : showProgress_(showProgress) {}

    void recordUploaded(const UploadedRecord& item) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            table_.rows.push_back(item.record ? formatRecord(item.order, *item.record)
                                              : failedRecordRow(item.order));
            if (!item.record)
                lastFailure_ = item.failure;
        }
        if (showProgress_)
            drawProgress(item.order, item.count);
    }

    void uploadEnded(unsigned, UploadEnd end, unsigned failed) override {
        if (showProgress_)
            std::fputc('\n', stderr);
        std::lock_guard<std::mutex> lock(mutex_);
        end_ = end;
        failed_ = failed;
        ended_ = true;
        done_.notify_all();
    }

    void waitForEnd() {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return ended_; });
    }

    const RecordTable& table() const { return table_; }
    UploadEnd end() const { return end_; }
    unsigned failed() const { return failed_; }
    const LinkResult& lastFailure() const { return lastFailure_; }

private:
    static void drawProgress(unsigned k, unsigned n) {
        constexpr unsigned kWidth = 40;
        const unsigned filled = n == 0 ? kWidth : k * kWidth / n;
        char bar[kWidth + 1];
        for (unsigned i = 0; i < kWidth; ++i)
            bar[i] = i < filled ? '#' : '.';
        bar[kWidth] = '\0';
        std::fprintf(stderr, "\r[%s] %u/%u", bar, k, n);
        std::fflush(stderr);
    }

    const bool showProgress_;
    std::mutex mutex_;
    std::condition_variable done_;
    bool ended_ = false;
    UploadEnd end_ = UploadEnd::Completed;
    unsigned failed_ = 0;
    LinkResult lastFailure_;
    RecordTable table_;
};

}  // namespace

int runUpload(const QStringList& args) {
    QString port, xlsx, csv;
    int slave = 0;
    long address = 0;
    bool fast = false;
    bool usage = false;
    for (int i = 0; i < args.size() && !usage; ++i) {
        const QString& name = args[i];
        if (name == QLatin1String("--fast")) {
            fast = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            usage = true;
            break;
        }
        const QString& value = args[++i];
        if (name == QLatin1String("--port"))
            port = value;
        else if (name == QLatin1String("--slave"))
            slave = static_cast<int>(parseLong(value.toStdString(), 1, 30, address) ? address : 0);
        else if (name == QLatin1String("--xlsx"))
            xlsx = value;
        else if (name == QLatin1String("--csv"))
            csv = value;
        else
            usage = true;
    }
    if (usage || port.isEmpty() || slave < 1 || slave > 30 || xlsx.isEmpty() == csv.isEmpty()) {
        std::fputs(
            "usage: vornex-cli upload --port PATH --slave N (--xlsx OUT | --csv OUT) [--fast]\n",
            stderr);
        return 1;
    }

    UploadCollector collector(::isatty(STDERR_FILENO) == 1);
    RecordUpload upload(collector);
    switch (const OpenResult opened = upload.link(port.toStdString(), slave)) {
        case OpenResult::Opened:
            break;
        case OpenResult::NoAnswer:
            std::fprintf(stderr, "vornex-cli upload: %s\n",
                         slaveFailureText(slave, upload.linkFailure()).c_str());
            return 2;
        case OpenResult::UnknownHost:
        case OpenResult::Refused:
            printNetworkRefusal("upload", port.toStdString(), opened == OpenResult::UnknownHost);
            return 2;
        case OpenResult::InUse:
        case OpenResult::CannotOpen:
        case OpenResult::StillStopping:
            std::fprintf(stderr, "vornex-cli upload: cannot open %s (absent or in use)\n",
                         qPrintable(port));
            printPortAccessHint(port.toStdString());
            return 2;
    }
    upload.start(fast ? std::chrono::milliseconds(0) : std::chrono::milliseconds(50));
    collector.waitForEnd();
    upload.unlink();

    const std::string asked = (xlsx.isEmpty() ? csv : xlsx).toStdString();
    const size_t rows = collector.table().rows.size();
    // Rows of a transfer cut short go beside the output, which keeps an earlier complete list.
    const bool finished = collector.end() == UploadEnd::Completed;
    const std::string out = finished ? asked : partialOutputPath(asked);
    if (finished || rows > 0) {
        const std::string error = xlsx.isEmpty() ? writeRecordCsv(out, collector.table())
                                                 : writeRecordWorkbook(out, collector.table());
        if (!error.empty()) {
            std::fprintf(stderr, "vornex-cli upload: %s\n", error.c_str());
            return 2;
        }
    }
    std::printf("records: %zu\n", rows);
    if (!finished) {
        std::fprintf(stderr, "vornex-cli upload: the upload did not finish; %s is not written",
                     asked.c_str());
        if (rows > 0)
            std::fprintf(stderr, ", the %zu records read are in %s", rows, out.c_str());
        std::fputc('\n', stderr);
    }
    if (collector.failed() > 0)
        std::fprintf(stderr, "vornex-cli upload: %u records could not be read (last: %s)\n",
                     collector.failed(), collector.lastFailure().describe().c_str());
    if (collector.end() == UploadEnd::LineLost) {
        std::fputs("vornex-cli upload: the port went away during the upload\n", stderr);
        return 2;
    }
    return collector.failed() > 0 ? 2 : 0;
}

}  // namespace vornex::cli

#include "instrument/core/RecordUpload.h"

namespace vornex {

RecordUpload::~RecordUpload() {
    unlink();
}

OpenResult RecordUpload::link(const std::string& port, int slave) {
    unlink();
    linkFailure_ = LinkResult::success();
    if (const OpenResult opened = link_.open(port); opened != OpenResult::Opened)
        return opened;
    uint16_t range[regmap::kInRangeCount] = {};
    uint16_t info[regmap::kInInfo1011Count] = {};
    // Without the count the upload would not know how many records to fetch, so a failed count
    // read fails the link as a failed range read does.
    linkFailure_ = link_.setSlave(slave);
    if (linkFailure_)
        linkFailure_ = link_.readInputRegisters(regmap::kInRange, regmap::kInRangeCount, range);
    if (linkFailure_)
        linkFailure_ =
            link_.readInputRegisters(regmap::kInInfo1011, regmap::kInInfo1011Count, info);
    if (!linkFailure_) {
        link_.close();
        return OpenResult::NoAnswer;
    }
    range_ = regmap::decodeFloat(range);
    count_ = info[regmap::kInRecordCount - regmap::kInInfo1011];
    return OpenResult::Opened;
}

void RecordUpload::unlink() {
    stop();
    link_.close();
}

unsigned RecordUpload::start(std::chrono::milliseconds period) {
    stop();
    const unsigned run = ++runs_;
    if (!link_.isOpen())
        return run;
    running_ = true;
    BackgroundWorker& worker = worker_.emplace();
    worker.post(
        [this, &worker, run, period, count = count_] { this->run(worker, run, count, period); });
    return run;
}

void RecordUpload::stop() {
    worker_.reset();
    running_ = false;
}

void RecordUpload::run(BackgroundWorker& worker, unsigned run, uint16_t count,
                       std::chrono::milliseconds period) {
    using Clock = std::chrono::steady_clock;
    UploadEnd end = UploadEnd::Completed;
    unsigned failed = 0;
    // Like a window timer: the first request one period after the start, then one per period,
    // and a slow exchange delays the next one instead of letting requests pile up.
    Clock::time_point due = Clock::now() + period;
    for (uint32_t k = 1; k <= count; ++k) {
        if (!worker.pauseUntil(due)) {
            end = UploadEnd::Stopped;
            break;
        }
        UploadedRecord item;
        item.run = run;
        item.order = static_cast<uint16_t>(k);
        item.count = count;
        uint16_t regs[regmap::kInStoredRecordCount] = {};
        item.failure = link_.writeRegister(regmap::kHoldRecordSelector, item.order);
        if (item.failure)
            item.failure = link_.readInputRegisters(regmap::kInStoredRecord,
                                                    regmap::kInStoredRecordCount, regs);
        if (item.failure)
            item.record = regmap::StoredRecord::decode(regs);
        else
            ++failed;
        observer_.recordUploaded(item);
        if (item.failure.isLineGone()) {
            end = k == count ? UploadEnd::Completed : UploadEnd::LineLost;
            break;
        }
        due += period;
        const Clock::time_point now = Clock::now();
        if (due < now)
            due = now;
    }
    running_ = false;
    observer_.uploadEnded(run, end, failed);
}

}  // namespace vornex

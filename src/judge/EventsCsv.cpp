#include "judge/EventsCsv.h"

#include "files/AtomicFile.h"

namespace vornex {

namespace {

std::string formatted(double value, int decimals) {
    return judge::figureText(value, decimals);
}

}  // namespace

std::string eventFields(const InstrumentResult& instrument, const judge::JudgedEvent& event) {
    return formatted(event.event.peakTime, 3) + ' ' +
           formatted(event.event.peak, instrument.decimalsOf(event)) + ' ' +
           std::string(judge::verdictName(event.verdict));
}

std::string eventsCsv(const TestResults& results) {
    std::string csv = "slave,event,time,peak,unit,verdict\n";
    for (const InstrumentResult& instrument : results.instruments) {
        for (const judge::JudgedEvent& event : instrument.events) {
            csv += std::to_string(instrument.slave) + ',' + std::to_string(event.number) + ',' +
                   formatted(event.event.peakTime, 3) + ',' +
                   formatted(event.event.peak, instrument.decimalsOf(event)) + ',' +
                   instrument.unitNameOf(event) + ',' +
                   std::string(judge::verdictName(event.verdict)) + '\n';
        }
    }
    return csv;
}

FileResult writeEventsCsv(const TestResults& results, const std::string& path) {
    std::string error;
    if (writeWholeFile(path, eventsCsv(results), &error))
        return FileResult();
    return FileResult::failed(FileResultKind::Unwritable, error);
}

}  // namespace vornex

// The simulator reads whatever arrives on its serial line. The input is that byte stream, cut into
// reads of varying size, some sealed with a CRC, with pauses between some of them. Every byte must
// end up in a frame or be counted as dropped, every frame must check, and every request an
// instrument takes must get a well-formed reply.
#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>

#include "FuzzSupport.h"
#include "sim/Crc16.h"
#include "sim/Instrument.h"
#include "sim/RequestHandler.h"
#include "sim/RtuFramer.h"

using vornex::fuzz::check;
using vornex::sim::Instrument;

namespace {

constexpr size_t kMaxAdu = 256;

struct Line {
    vornex::sim::RtuFramer framer;
    Instrument instrument;
    Instrument::Clock::time_point now;
    size_t fed = 0;
    size_t framed = 0;

    explicit Line(Instrument::Clock::time_point start)
        : instrument(vornex::sim::InstrumentConfig{}, start), now(start) {}

    void answer(const std::vector<uint8_t>& frame) {
        check(frame.size() >= 4 && frame.size() <= kMaxAdu, "a frame of impossible length");
        check(vornex::sim::hasValidCrc(frame.data(), frame.size()), "a frame that does not check");
        framed += frame.size();
        vornex::sim::Transaction taken;
        const std::vector<uint8_t> reply =
            vornex::sim::RequestHandler::respond(instrument, frame, now, taken);
        check(reply.size() >= 5 && reply.size() <= kMaxAdu, "a reply of impossible length");
        check(vornex::sim::hasValidCrc(reply.data(), reply.size()), "a reply that does not check");
        check(reply[0] == frame[0] && (reply[1] | 0x80) == (frame[1] | 0x80),
              "a reply to another address or function");
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    Line line(Instrument::Clock::time_point{} + std::chrono::hours(1));
    while (input.remaining_bytes() > 0) {
        std::vector<uint8_t> chunk =
            input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(1, 300));
        // A mutated frame almost never checks; sealing some pieces with their CRC lets requests of
        // any content through to the instrument.
        if (input.ConsumeBool())
            vornex::sim::appendCrc(chunk);
        line.framer.feed(chunk.data(), chunk.size());
        line.fed += chunk.size();
        line.now += std::chrono::milliseconds(input.ConsumeIntegralInRange(0, 5000));
        while (auto frame = line.framer.takeFrame())
            line.answer(*frame);
        if (input.ConsumeBool()) {
            while (auto frame = line.framer.onSilence())
                line.answer(*frame);
            check(!line.framer.pending(), "bytes left after the silence");
        }
    }
    while (auto frame = line.framer.onSilence())
        line.answer(*frame);
    check(line.fed == line.framed + line.framer.discardedBytes(), "bytes lost by the framer");
    return 0;
}

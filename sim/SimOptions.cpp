#include "SimOptions.h"

#include "text/AddressList.h"
#include "text/NumberText.h"

namespace vornex::sim {

namespace {

// The whole Modbus range: the simulator also serves addresses the program never polls.
constexpr int kMaxAddress = 247;

}  // namespace

std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args,
                                          std::string& error) {
    SimOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        auto bad = [&](const std::string& v) {
            error = "invalid value for " + a + ": " + v;
            return std::nullopt;
        };
        std::string v;
        long n = 0;
        double d = 0;
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--baud-emulate") {
            o.baudEmulate = true;
        } else if (!value(v)) {
            if (a.rfind("--", 0) != 0)
                error = "unexpected argument: " + a;
            return std::nullopt;
        } else if (a == "--link") {
            o.linkPath = v;
        } else if (a == "--device") {
            o.devicePath = v;
        } else if (a == "--log") {
            o.logPath = v;
        } else if (a == "--slaves") {
            auto list = parseAddressList(v, kMaxAddress);
            if (!list)
                return bad(v);
            o.slaves = *list;
        } else if (a == "--silent") {
            auto list = parseAddressList(v, kMaxAddress);
            if (!list)
                return bad(v);
            o.silent.insert(o.silent.end(), list->begin(), list->end());
        } else if (a == "--no-merge") {
            auto list = parseAddressList(v, kMaxAddress);
            if (!list)
                return bad(v);
            o.noMerge.insert(o.noMerge.end(), list->begin(), list->end());
        } else if (a == "--records") {
            if (!parseLong(v, 0, 65535, n))
                return bad(v);
            o.records = static_cast<int>(n);
        } else if (a == "--range") {
            if (!parseDouble(v, 0.001, 1e9, d))
                return bad(v);
            o.range = static_cast<float>(d);
        } else if (a == "--decimals") {
            if (!parseLong(v, 0, 9, n))
                return bad(v);
            o.decimals = static_cast<int>(n);
        } else if (a == "--value") {
            if (!parseDouble(v, -1e9, 1e9, d))
                return bad(v);
            o.fixedValue = static_cast<float>(d);
        } else if (a == "--keypad-every") {
            if (!parseLong(v, 0, 86400000, n))
                return bad(v);
            o.keypadEveryMs = static_cast<int>(n);
        } else if (a == "--hold") {
            if (!parseDouble(v, 0.001, 86400, d))
                return bad(v);
            o.holdSeconds = d;
        } else if (a == "--peak-threshold") {
            if (!parseDouble(v, 0.001, 100, d))
                return bad(v);
            o.peakThresholdPercent = d;
        } else if (a == "--seed") {
            if (!parseLong(v, 0, 2147483647, n))
                return bad(v);
            o.seed = static_cast<uint64_t>(n);
        } else if (a == "--drop") {
            if (!parseDouble(v, 0, 1, d))
                return bad(v);
            o.dropFraction = d;
        } else if (a == "--crc") {
            if (!parseDouble(v, 0, 1, d))
                return bad(v);
            o.badCrcFraction = d;
        } else if (a == "--tcp" || a == "--rtu-tcp") {
            if (!parseLong(v, 0, 65535, n))
                return bad(v);
            (a == "--tcp" ? o.tcpPort : o.rtuTcpPort) = static_cast<int>(n);
        } else if (a == "--delay") {
            if (!parseLong(v, 0, 60000, n))
                return bad(v);
            o.delayMs = static_cast<int>(n);
        } else {
            error = "unknown option: " + a;
            return std::nullopt;
        }
    }
    if (!o.help && !o.linkPath.empty() && !o.devicePath.empty()) {
        error = "--link and --device exclude each other";
        return std::nullopt;
    }
    return o;
}

SimConfig SimOptions::toConfig() const {
    SimConfig config;
    config.baudEmulate = baudEmulate;
    config.faultSeed = seed;
    for (int address : slaves) {
        InstrumentConfig c;
        c.address = address;
        c.range = range;
        c.decimals = decimals;
        c.recordCount = records;
        c.fixedValue = fixedValue;
        c.keypadEveryMs = keypadEveryMs;
        c.holdSeconds = holdSeconds;
        c.peakThresholdPercent = peakThresholdPercent;
        c.seed = seed;
        config.instruments.push_back(c);
    }
    return config;
}

std::string simUsage() {
    return R"(Usage: vornex-sim [--link PATH | --device DEV] [options]

Simulates torque instruments on a Modbus RTU line (19200 8E1). With --link (or neither), it
serves a new pseudo-terminal, making PATH a symbolic link to it; with --device it serves a real
serial port. Once serving it prints "ready PATH" and then serves until standard input ends or it
is sent SIGTERM or SIGINT. With --tcp or --rtu-tcp the same instruments are also reached through
a gateway on 127.0.0.1, announced as "gateway ADDRESS" before "ready"; --baud-emulate then paces
the serial side behind the gateway.

Options:
  --link PATH          symbolic link to the new pty (replaces an older link there)
  --device DEV         serve this serial device instead of a pty
  --slaves LIST        instrument addresses, e.g. 1,2,3 or 1-30 (default 1)
  --records N          stored records in each instrument (default 20)
  --range R            full scale in N.m (default 500)
  --decimals D         decimal places of the live value (default: from range and unit)
  --value X            hold every live value at X instead of the torque profile
  --keypad-every MS    change the unit "on the keypad" every MS ms, raising status 5
  --hold S             seconds a peak held in measuring mode P or 1P stays (default 2)
  --peak-threshold P   percent of the range from which mode 1P looks for a click (default 5)
  --seed N             seed of the torque profiles, records and fault dice (default 1)
  --baud-emulate       pace requests and replies as on a real 19200 baud line
  --tcp PORT           a Modbus TCP gateway on PORT (0: any free port)
  --rtu-tcp PORT       a gateway passing RTU frames over TCP on PORT (0: any free port)
  --log FILE           append "SLAVE FUNCTION FIRST COUNT FATE" per request taken
  --drop F             drop a fraction F (0..1) of replies
  --crc F              send a fraction F of replies with a bad CRC
  --delay MS           delay every reply by MS ms
  --silent LIST        addresses that do not answer
  --no-merge LIST      addresses that refuse a read spanning more than one register group
                       (exception 2), as instruments read only one group at a time do
  --version            print the version
  -h, --help           this text

Commands on standard input, one a line; each is answered "ok" or "error: ...":
  drop F | crc F | delay MS          change the faults above
  silent ADDR on|off                 make one address silent or let it answer again
  lock ADDR on|off                   let one address keep its settings whatever is written
  merge ADDR on|off                  let one address answer merged reads, or refuse them
  range ADDR R                       another full scale R at input registers 1002..1003
  value ADDR X | value ADDR model    hold a live value, or return it to the profile
  keypad ADDR KEY VALUE...           change settings on the keypad and raise status 5;
                                     KEY: mode, unit, measure, upper, lower, target
  spike ADDR PEAK MS                 a triangular pull of PEAK lasting MS ms, from now
  pull ADDR PEAK [MS]                a click wrench's pull: up to PEAK in MS ms (default 100),
                                     2 % down at once (the click), back to 0 in MS ms
  slip ADDR PEAK                     up to PEAK in 100 ms and back to 0 in 100 ms, no click
  reset ADDR                         let a held peak go, as the reset key does
  unplug                             close the pty and remove the link; close the gateways'
                                     listening sockets and every connection
  replug                             open a new pty at the same link; the gateways listen again
  stats                              counters of the line
)";
}

}  // namespace vornex::sim

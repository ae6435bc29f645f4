#include "SimCommands.h"

#include <chrono>
#include <sstream>
#include <vector>

#include "text/NumberText.h"

namespace vornex::sim {

namespace {

bool parseKeypad(const std::vector<std::string>& words, KeypadChange& change, std::string& error) {
    if (words.size() < 4 || words.size() % 2 != 0) {
        error = "keypad ADDR KEY VALUE [KEY VALUE...]";
        return false;
    }
    for (std::size_t i = 2; i < words.size(); i += 2) {
        const std::string& key = words[i];
        long v = 0;
        const long max = key == "target" ? 4294967295L : (key == "mode" ? 9 : 255);
        if (!parseLong(words[i + 1], 0, max, v)) {
            error = "bad value for " + key + ": " + words[i + 1];
            return false;
        }
        if (key == "mode") {
            change.modeNumber = static_cast<uint16_t>(v);
        } else if (key == "unit") {
            change.unit = static_cast<uint8_t>(v);
        } else if (key == "measure") {
            change.measuringMode = static_cast<uint8_t>(v);
        } else if (key == "upper") {
            change.upperLimit = static_cast<uint8_t>(v);
        } else if (key == "lower") {
            change.lowerLimit = static_cast<uint8_t>(v);
        } else if (key == "target") {
            change.target = static_cast<uint32_t>(v);
        } else {
            error = "unknown keypad setting: " + key;
            return false;
        }
    }
    return true;
}

}  // namespace

std::string SimCommands::execute(const std::string& commandLine) {
    std::istringstream in(commandLine);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    if (words.empty())
        return {};

    const std::string& command = words[0];
    const auto argc = words.size();
    double f = 0;
    long n = 0;
    std::string error;
    if ((command == "drop" || command == "crc") && argc == 2) {
        if (!parseDouble(words[1], f) || f < 0 || f > 1)
            return "error: a fraction 0..1 expected";
        if (command == "drop") {
            line_.faults().setDropFraction(f);
        } else {
            line_.faults().setBadCrcFraction(f);
        }
        return "ok";
    }
    if (command == "delay" && argc == 2) {
        if (!parseLong(words[1], 0, 60000, n))
            return "error: milliseconds 0..60000 expected";
        line_.faults().setDelayMs(static_cast<int>(n));
        return "ok";
    }
    if ((command == "silent" || command == "lock") && argc == 3 &&
        (words[2] == "on" || words[2] == "off")) {
        if (!parseLong(words[1], 1, 247, n))
            return "error: address 1..247 expected";
        if (command == "silent")
            line_.faults().setSilent(static_cast<int>(n), words[2] == "on");
        else
            line_.faults().setSettingsLocked(static_cast<int>(n), words[2] == "on");
        return "ok";
    }
    if (command == "merge" && argc == 3 && (words[2] == "on" || words[2] == "off")) {
        if (!parseLong(words[1], 1, 247, n))
            return "error: address 1..247 expected";
        line_.faults().setMergeRefused(static_cast<int>(n), words[2] == "off");
        return "ok";
    }
    if (command == "range" && argc == 3) {
        if (!parseLong(words[1], 1, 247, n))
            return "error: address 1..247 expected";
        if (!parseDouble(words[2], 0.001, 1e9, f))
            return "error: a range 0.001..1e9 expected";
        if (!line_.setRange(static_cast<int>(n), static_cast<float>(f)))
            return "error: no such instrument";
        return "ok";
    }
    if ((command == "late" || command == "ignore") && argc == 3) {
        long value = 0;
        if (!parseLong(words[1], 1, 247, n))
            return "error: address 1..247 expected";
        if (command == "late") {
            if (!parseLong(words[2], 0, 60000, value))
                return "error: milliseconds 0..60000 expected";
            line_.faults().setLateOnce(static_cast<int>(n), static_cast<int>(value));
        } else {
            if (!parseLong(words[2], 0, 65535, value))
                return "error: register 0..65535 expected";
            line_.faults().setIgnoreOnce(static_cast<int>(n), static_cast<int>(value));
        }
        return "ok";
    }
    if (command == "value" && argc == 3) {
        if (!parseLong(words[1], 1, 247, n))
            return "error: address 1..247 expected";
        std::optional<float> value;
        if (words[2] != "model") {
            if (!parseDouble(words[2], f))
                return "error: a number or \"model\" expected";
            value = static_cast<float>(f);
        }
        if (!line_.setLiveValue(static_cast<int>(n), value))
            return "error: no such instrument";
        return "ok";
    }
    if (command == "spike" && argc == 4) {
        long ms = 0;
        if (!parseLong(words[1], 1, 247, n))
            return "error: address 1..247 expected";
        if (!parseDouble(words[2], -1e9, 1e9, f))
            return "error: a peak -1e9..1e9 expected";
        if (!parseLong(words[3], 1, 60000, ms))
            return "error: milliseconds 1..60000 expected";
        if (!line_.spike(static_cast<int>(n), static_cast<float>(f), std::chrono::milliseconds(ms)))
            return "error: no such instrument";
        return "ok";
    }
    if ((command == "pull" && (argc == 3 || argc == 4)) || (command == "slip" && argc == 3)) {
        long ms = 100;
        if (!parseLong(words[1], 1, 247, n))
            return "error: address 1..247 expected";
        if (!parseDouble(words[2], -1e9, 1e9, f))
            return "error: a peak -1e9..1e9 expected";
        if (argc == 4 && !parseLong(words[3], 1, 60000, ms))
            return "error: milliseconds 1..60000 expected";
        if (!line_.pull(static_cast<int>(n), static_cast<float>(f), std::chrono::milliseconds(ms),
                        command == "pull"))
            return "error: no such instrument";
        return "ok";
    }
    if (command == "reset" && argc == 2) {
        if (!parseLong(words[1], 1, 247, n))
            return "error: address 1..247 expected";
        if (!line_.resetHold(static_cast<int>(n)))
            return "error: no such instrument";
        return "ok";
    }
    if (command == "keypad" && argc >= 2) {
        KeypadChange change;
        if (!parseLong(words[1], 1, 247, n))
            return "error: address 1..247 expected";
        if (!parseKeypad(words, change, error))
            return "error: " + error;
        if (!line_.changeOnKeypad(static_cast<int>(n), change))
            return "error: no such instrument";
        return "ok";
    }
    if (command == "unplug" && argc == 1) {
        for (NetworkGateway* gateway : gateways_)
            gateway->close();
        line_.unplug();
        return "ok";
    }
    if (command == "replug" && argc == 1) {
        if (!line_.startPty(relinkPath_, error))
            return "error: " + error;
        for (NetworkGateway* gateway : gateways_) {
            if (!gateway->listening() && !gateway->open(error))
                return "error: " + error;
        }
        return "ok " + line_.portPath();
    }
    if (command == "stats" && argc == 1) {
        const LineCounters c = line_.counters();
        std::ostringstream out;
        out << "ok frames " << c.frames << " answered " << c.answered << " exceptions "
            << c.exceptions << " dropped " << c.dropped << " badcrc " << c.badCrc << " ignored "
            << c.ignored << " noise " << c.noiseBytes;
        return out.str();
    }
    return "error: unknown command or wrong arguments: " + commandLine;
}

}  // namespace vornex::sim

#include "SoakLedger.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "link/RegisterMap.h"
#include "record/CurvePoint.h"

namespace vornex::soak {

namespace {

// Alone or at the head of the fast pass's merged read.
bool isLiveReading(const sim::Transaction& t) {
    return t.fate == sim::ReplyFate::Answered && t.function == 4 &&
           t.first == regmap::kInLiveValue && t.count >= regmap::kInLiveValueCount;
}

}  // namespace

void SoakLedger::addTest(const std::string& path) {
    tests_.push_back(Test{path, 0});
}

std::vector<SoakLedger::Reading> SoakLedger::readNew(Test& test) {
    std::vector<Reading> found;
    std::ifstream in(test.path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(test.offset));
    CurvePoint point;
    while (in.read(reinterpret_cast<char*>(&point), sizeof point)) {
        found.push_back(Reading{point.slave, static_cast<float>(point.value)});
        test.offset += sizeof point;
    }
    return found;
}

void SoakLedger::check(const std::vector<sim::Transaction>& taken, int target) {
    std::vector<Reading> answered;
    for (const sim::Transaction& t : taken) {
        if (isLiveReading(t))
            answered.push_back(
                Reading{static_cast<uint8_t>(t.slave), regmap::decodeFloat(t.answered.data())});
    }
    (target >= 0 ? figures_.answered : figures_.answeredStopped) += answered.size();
    for (size_t i = 0; i < tests_.size(); ++i) {
        const std::vector<Reading> found = readNew(tests_[i]);
        if (static_cast<int>(i) == target) {
            figures_.recorded += found.size();
            compare(answered, found);
        } else {
            figures_.misfiled += found.size();
        }
    }
}

// Slave by slave: the same values in the same order; otherwise what is missing, what is there
// too often (or was never answered), and what is there as often as answered but out of place.
void SoakLedger::compare(const std::vector<Reading>& answered,
                         const std::vector<Reading>& recorded) {
    std::vector<float> want[256];
    std::vector<float> got[256];
    for (const Reading& r : answered)
        want[r.slave].push_back(r.value);
    for (const Reading& r : recorded)
        got[r.slave].push_back(r.value);
    for (int slave = 0; slave < 256; ++slave) {
        if (want[slave] == got[slave])
            continue;
        std::vector<float> a = want[slave];
        std::vector<float> b = got[slave];
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        std::vector<float> common;
        std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(common));
        figures_.lost += a.size() - common.size();
        figures_.duplicated += b.size() - common.size();
        if (common.size() == a.size() && a.size() == b.size()) {
            for (size_t i = 0; i < want[slave].size(); ++i)
                figures_.outOfOrder += want[slave][i] == got[slave][i] ? 0 : 1;
        }
    }
}

}  // namespace vornex::soak

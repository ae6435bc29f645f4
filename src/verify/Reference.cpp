#include "verify/Reference.h"

#include <vector>

#include "text/NumberText.h"
#include "verify/Deviation.h"

namespace vornex::verify {

std::string Reference::description() const {
    return "slave " + std::to_string(address) + " on " + port + ", mode " + mode + ", range " +
           plainNumber(range) + " N.m";
}

std::string referenceDifferences(const Reference& run, const Reference& now) {
    std::vector<std::string> differences;
    const auto differ = [&differences](const char* what, const std::string& was,
                                       const std::string& is) {
        if (was != is)
            differences.push_back(std::string(what) + " " + (is.empty() ? "none" : is) +
                                  " (run: " + (was.empty() ? "none" : was) + ")");
    };
    differ("port", run.port, now.port);
    differ("address", std::to_string(run.address), std::to_string(now.address));
    differ("name", run.name, now.name);
    differ("identification", run.identification, now.identification);
    differ("range", plainNumber(run.range) + " N.m", plainNumber(now.range) + " N.m");
    differ("decimals", std::to_string(run.decimals), std::to_string(now.decimals));
    differ("mode", run.mode, now.mode);
    differ("unit", run.unit, now.unit);
    std::string text;
    for (const std::string& d : differences)
        text += (text.empty() ? "" : ", ") + d;
    return text;
}

}  // namespace vornex::verify

#pragma once

#include <cstdio>
#include <map>
#include <regex>
#include <string>

namespace vornex::test {

// One member of a zip file, read back with unzip.
inline std::string zipMember(const std::string& zip, const std::string& member) {
    const std::string command = "unzip -p '" + zip + "' '" + member + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return {};
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, n);
    ::pclose(pipe);
    return text;
}

// The cells of the first sheet of a workbook: reference (A1) -> type and text.
struct SheetCell {
    std::string type;
    std::string text;
};

inline std::map<std::string, SheetCell> readSheet(const std::string& xml) {
    std::map<std::string, SheetCell> cells;
    static const std::regex cell(
        R"re(<c r="([A-Z]+[0-9]+)"[^>]*?(?: t="([a-zA-Z]+)")?[^>]*>(.*?)</c>)re");
    static const std::regex text(R"re(<t[^>]*>(.*?)</t>)re");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), cell); it != std::sregex_iterator();
         ++it) {
        std::smatch t;
        const std::string body = (*it)[3];
        std::regex_search(body, t, text);
        cells[(*it)[1]] = {(*it)[2], t.size() > 1 ? std::string(t[1]) : std::string()};
    }
    return cells;
}

}  // namespace vornex::test

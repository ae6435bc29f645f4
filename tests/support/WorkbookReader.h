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

// The cells of the first sheet of a workbook: reference (A1) -> type ("" for a number), text (a
// number's value) and style index.
struct SheetCell {
    std::string type;
    std::string text;
    int style = 0;
};

inline std::map<std::string, SheetCell> readSheet(const std::string& xml) {
    std::map<std::string, SheetCell> cells;
    static const std::regex cell(R"re(<c r="([A-Z]+[0-9]+)"([^>]*)>(.*?)</c>)re");
    static const std::regex type(R"re( t="([a-zA-Z]+)")re");
    static const std::regex style(R"re( s="([0-9]+)")re");
    static const std::regex text(R"re(<[tv][^>]*>(.*?)</[tv]>)re");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), cell); it != std::sregex_iterator();
         ++it) {
        const std::string attributes = (*it)[2];
        const std::string body = (*it)[3];
        std::smatch t, s, v;
        std::regex_search(attributes, t, type);
        std::regex_search(attributes, s, style);
        std::regex_search(body, v, text);
        cells[(*it)[1]] = {t.size() > 1 ? std::string(t[1]) : std::string(),
                           v.size() > 1 ? std::string(v[1]) : std::string(),
                           s.size() > 1 ? std::stoi(s[1]) : 0};
    }
    return cells;
}

// The number formats of a workbook's cell styles, by style index ("General" for none).
inline std::map<int, std::string> readCellFormats(const std::string& stylesXml) {
    std::map<int, std::string> codes{{14, "m/d/yyyy"}};
    static const std::regex numFmt(R"re(<numFmt numFmtId="([0-9]+)" formatCode="([^"]*)")re");
    for (auto it = std::sregex_iterator(stylesXml.begin(), stylesXml.end(), numFmt);
         it != std::sregex_iterator(); ++it)
        codes[std::stoi((*it)[1])] = (*it)[2];
    std::map<int, std::string> formats;
    const size_t xfs = stylesXml.find("<cellXfs");
    static const std::regex xf(R"re(<xf numFmtId="([0-9]+)")re");
    int index = 0;
    for (auto it =
             std::sregex_iterator(stylesXml.begin() + static_cast<long>(xfs), stylesXml.end(), xf);
         it != std::sregex_iterator(); ++it, ++index) {
        const auto code = codes.find(std::stoi((*it)[1]));
        formats[index] = code != codes.end() ? code->second : "General";
    }
    return formats;
}

}  // namespace vornex::test

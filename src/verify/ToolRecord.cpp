#include "verify/ToolRecord.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/AtomicFile.h"
#include "link/NumberText.h"
#include "verify/IniLines.h"

namespace vornex::verify {

bool ToolStore::validId(const std::string& id) {
    return !id.empty() && id.size() <= 100 && id != "." && id != ".." &&
           id.find('/') == std::string::npos && fitsIniLine(id);
}

std::optional<Tool> ToolStore::load(const std::string& id) const {
    if (!validId(id))
        return std::nullopt;
    std::ifstream in(path(id), std::ios::binary);
    if (!in.is_open())
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    const IniLines lines = IniLines::parse(text.str());
    if (lines.badLine != 0)
        return std::nullopt;
    Tool tool;
    tool.id = id;
    for (const IniEntry& e : lines.entries) {
        if (e.section != "Tool")
            continue;
        double number = 0.0;
        if (e.key == "Description")
            tool.description = e.value;
        else if (e.key == "Type")
            tool.type = e.value;
        else if (e.key == "Class")
            tool.toolClass = e.value;
        else if (e.key == "Unit")
            tool.unit = e.value;
        else if (e.key == "Direction")
            tool.direction = e.value;
        else if (e.key == "Lowest" && parseDouble(e.value, 0.0, 1e9, number))
            tool.lowest = number;
        else if (e.key == "Maximum" && parseDouble(e.value, 0.0, 1e9, number))
            tool.maximum = number;
    }
    return tool;
}

bool ToolStore::save(const Tool& tool, std::string& error) const {
    if (!validId(tool.id)) {
        error = "the identifier cannot name a file";
        return false;
    }
    for (const std::string* text :
         {&tool.description, &tool.type, &tool.toolClass, &tool.unit, &tool.direction}) {
        if (!fitsIniLine(*text)) {
            error = "\"" + *text + "\" holds a line break or blanks around it";
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (ec) {
        error = folder_ + ": " + ec.message();
        return false;
    }
    std::ostringstream out;
    out << "[Tool]\nDescription = " << tool.description << "\nType = " << tool.type
        << "\nClass = " << tool.toolClass << "\n";
    if (tool.lowest)
        out << "Lowest = " << formatFixed(*tool.lowest, 6) << "\n";
    out << "Maximum = " << formatFixed(tool.maximum, 6) << "\nUnit = " << tool.unit
        << "\nDirection = " << tool.direction << "\n";
    return writeWholeFile(path(tool.id), out.str(), &error);
}

}  // namespace vornex::verify

#include "verify/ToolFolder.h"

#include <filesystem>
#include <set>
#include <sstream>

#include "files/AtomicFile.h"
#include "files/IniLines.h"
#include "text/NumberText.h"
#include "verify/Deviation.h"

namespace vornex::verify {

namespace {

// Far beyond any hand torque tool in any unit: a larger number is a slip of the keyboard.
constexpr double kMaxTorque = 1e9;

}  // namespace

bool ToolFolder::validId(const std::string& id) {
    return !id.empty() && id.size() <= 100 && id != "." && id != ".." &&
           id.find('/') == std::string::npos && fitsIniLine(id);
}

std::optional<Tool> ToolFolder::load(const std::string& id, std::string& error) const {
    error.clear();
    if (!validId(id))
        return std::nullopt;
    const std::string file = path(id);
    const std::optional<std::string> text = readIniFile(file, error);
    if (!text)
        return std::nullopt;
    const IniLines lines = IniLines::parse(*text);
    if (lines.problem) {
        error = lines.problem->at(file);
        return std::nullopt;
    }
    Tool tool;
    tool.id = id;
    std::set<std::string> seen;
    for (const IniEntry& e : lines.entries) {
        const std::string at = file + " line " + std::to_string(e.line) + ": ";
        if (!sameIniName(e.section, "Tool")) {
            error = at + "unknown section [" + e.section + "]";
            return std::nullopt;
        }
        if (!seen.insert(foldedIniName(e.key)).second) {
            error = at + e.key + " is given twice";
            return std::nullopt;
        }
        double number = 0.0;
        const bool isNumber = sameIniName(e.key, "Lowest") || sameIniName(e.key, "Maximum");
        if (isNumber && !parseDouble(e.value, number)) {
            error = at + e.key + " \"" + e.value + "\" is no number";
            return std::nullopt;
        }
        if (isNumber && !(number >= 0.0 && number <= kMaxTorque)) {
            error = at + e.key + " " + e.value + " is not from 0 to " + plainNumber(kMaxTorque);
            return std::nullopt;
        }
        if (sameIniName(e.key, "Description"))
            tool.description = e.value;
        else if (sameIniName(e.key, "Type"))
            tool.type = e.value;
        else if (sameIniName(e.key, "Class"))
            tool.toolClass = e.value;
        else if (sameIniName(e.key, "Unit"))
            tool.unit = e.value;
        else if (sameIniName(e.key, "Direction"))
            tool.direction = e.value;
        else if (sameIniName(e.key, "Lowest"))
            tool.lowest = number;
        else if (sameIniName(e.key, "Maximum"))
            tool.maximum = number;
        else {
            error = at + "unknown key " + e.key + " in [Tool]";
            return std::nullopt;
        }
    }
    return tool;
}

bool ToolFolder::save(const Tool& tool, std::string& error) const {
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

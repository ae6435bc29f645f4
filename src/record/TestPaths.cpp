#include "record/TestPaths.h"

namespace vornex::testpaths {

namespace {

std::string formatLocal(std::time_t moment, const char* format) {
    std::tm local{};
    localtime_r(&moment, &local);
    char text[32];
    const size_t n = std::strftime(text, sizeof text, format, &local);
    return std::string(text, n);
}

}  // namespace

std::time_t systemNow() {
    return std::time(nullptr);
}

std::string dayName(std::time_t moment) {
    return formatLocal(moment, "%Y%m%d");
}

std::string dayFolder(const std::string& dataFolder, std::time_t moment) {
    return dataFolder + dayName(moment) + "/";
}

std::string proposedName(std::time_t moment) {
    return formatLocal(moment, "%Y%m%d%H%M");
}

std::string testFile(const std::string& dayFolderPath, const std::string& name) {
    return dayFolderPath + name + ".pdat";
}

bool isSafeName(const std::string& name) {
    // A NUL would end the path early for the system, so the file opened would not be the one named.
    return name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

NameProblem checkName(const std::string& name) {
    if (!isSafeName(name))
        return NameProblem::LeavesFolder;
    static const std::string kIdeographicSpace = "\u3000";
    bool blank = true;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        // C0 controls, DEL, and C1 controls (U+0080..U+009F: 0xC2 0x80..0x9F in UTF-8).
        if (byte < 0x20 || byte == 0x7F ||
            (byte == 0xC2 && i + 1 < name.size() &&
             static_cast<unsigned char>(name[i + 1]) >= 0x80 &&
             static_cast<unsigned char>(name[i + 1]) <= 0x9F))
            return NameProblem::ControlCharacter;
        if (byte == ' ')
            continue;
        if (name.compare(i, kIdeographicSpace.size(), kIdeographicSpace) == 0) {
            i += kIdeographicSpace.size() - 1;
            continue;
        }
        blank = false;
    }
    if (blank)
        return NameProblem::Blank;
    if (name.size() + std::string(".pdat").size() > kMaxFileNameBytes)
        return NameProblem::TooLong;
    return NameProblem::None;
}

}  // namespace vornex::testpaths

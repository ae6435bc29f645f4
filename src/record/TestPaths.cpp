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

}  // namespace vornex::testpaths

#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <string>

namespace vornex {

// Where tests live: DATA/YYYYMMDD/NAME.pdat, the day taken from the local date.
namespace testpaths {

// The wall clock, injectable so tests can stand at any local date.
using WallClock = std::function<std::time_t()>;
std::time_t systemNow();

// "YYYYMMDD" of the local date of `moment`.
std::string dayName(std::time_t moment);

// data folder + "YYYYMMDD" + "/" for the local date of `moment`; `dataFolder` ends in "/".
std::string dayFolder(const std::string& dataFolder, std::time_t moment);

// The name proposed for a new test: local date and time as "YYYYMMDDHHMM".
std::string proposedName(std::time_t moment);

// day folder + name + ".pdat".
std::string testFile(const std::string& dayFolderPath, const std::string& name);

// The longest file name the file system takes, in bytes.
inline constexpr size_t kMaxFileNameBytes = 255;

// Why a test name (UTF-8) cannot name a test file, if it cannot.
enum class NameProblem {
    None,
    LeavesFolder,      // holds a path separator or NUL, or is "." or ".."
    Blank,             // empty, or only spaces
    ControlCharacter,  // a newline, tab or other control character
    TooLong,           // name + ".pdat" longer than kMaxFileNameBytes
};
NameProblem checkName(const std::string& name);

// A name that stays inside the day folder: no path separator, not "." or "..".
bool isSafeName(const std::string& name);

}  // namespace testpaths
}  // namespace vornex

#pragma once

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

// A name that stays inside the day folder: no path separator, not "." or "..". Anything else,
// the empty name included, is used as typed.
bool isSafeName(const std::string& name);

}  // namespace testpaths
}  // namespace vornex

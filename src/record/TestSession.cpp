#include "record/TestSession.h"

#include <sys/stat.h>

namespace vornex {

namespace {

bool exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

}  // namespace

TestSession::TestSession(std::string dataFolder, testpaths::WallClock clock)
    : dataFolder_(std::move(dataFolder)), clock_(std::move(clock)) {}

std::string TestSession::proposeName() const {
    const std::time_t now = clock_();
    const std::string folder = testpaths::dayFolder(dataFolder_, now);
    if (!exists(folder))
        ::mkdir(folder.c_str(), 0755);
    return testpaths::proposedName(now);
}

TestSession::AddResult TestSession::add(const std::string& name) {
    if (!testpaths::isSafeName(name))
        return AddResult::BadName;
    // The day is taken again: the dialog may have been opened before midnight.
    const std::string path = testpaths::testFile(testpaths::dayFolder(dataFolder_, clock_()), name);
    if (exists(path))
        return AddResult::Exists;
    currentPath_ = path;
    open_ = true;
    return AddResult::Added;
}

bool TestSession::close() {
    if (!open_)
        return false;
    open_ = false;
    return true;
}

}  // namespace vornex

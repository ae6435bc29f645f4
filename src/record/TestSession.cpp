#include "record/TestSession.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

TestSession::AddResult TestSession::checkName(const std::string& name) {
    switch (testpaths::checkName(name)) {
        case testpaths::NameProblem::None:
            break;
        case testpaths::NameProblem::LeavesFolder:
            return AddResult::BadName;
        case testpaths::NameProblem::Blank:
            return AddResult::BlankName;
        case testpaths::NameProblem::ControlCharacter:
            return AddResult::ControlCharacter;
        case testpaths::NameProblem::TooLong:
            return AddResult::NameTooLong;
    }
    return AddResult::Added;
}

TestSession::Addition TestSession::add(const std::string& name) {
    if (const AddResult refused = checkName(name); refused != AddResult::Added)
        return Addition{refused, FileResult()};
    // The day is taken again: the dialog may have been opened before midnight.
    const std::string folder = testpaths::dayFolder(dataFolder_, clock_());
    const std::string path = testpaths::testFile(folder, name);
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
        return Addition{
            AddResult::CannotCreate,
            FileResult::systemError(FileResultKind::Unwritable, "cannot create", folder, errno)};
    }
    // Exclusive creation: of two programs adding the same name at once, exactly one wins.
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (file < 0) {
        if (errno == EEXIST)
            return Addition{AddResult::Exists, FileResult()};
        if (errno == ENAMETOOLONG)
            return Addition{AddResult::NameTooLong, FileResult()};
        return Addition{
            AddResult::CannotCreate,
            FileResult::systemError(FileResultKind::Unwritable, "cannot create", path, errno)};
    }
    struct stat status {};
    created_ = Created{path, 0, 0};
    if (::fstat(file, &status) == 0) {
        created_.device = status.st_dev;
        created_.inode = status.st_ino;
    }
    ::close(file);
    currentPath_ = path;
    open_ = true;
    return Addition();
}

bool TestSession::close() {
    if (!open_)
        return false;
    open_ = false;
    return true;
}

bool TestSession::removeIfEmpty() {
    if (open_ || created_.path.empty())
        return false;
    struct stat status {};
    if (::lstat(created_.path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_dev != created_.device || status.st_ino != created_.inode ||
        status.st_size != 0 || ::unlink(created_.path.c_str()) != 0) {
        return false;
    }
    created_ = Created();
    return true;
}

}  // namespace vornex

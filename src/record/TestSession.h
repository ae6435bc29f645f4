#pragma once

#include <sys/types.h>

#include <string>

#include "files/FileResult.h"
#include "record/TestPaths.h"

namespace vornex {

// Whether a test is open and which file it records into. A test is opened by proposing a name
// (which also makes sure today's folder exists) and adding a name that no file has yet; adding
// creates the file at once, so the name is the test's from then on.
class TestSession {
public:
    enum class AddResult {
        Added,
        Exists,            // a file or folder of that name is there, or another program won it
        BadName,           // the name would leave the day folder
        BlankName,         // empty or only spaces
        ControlCharacter,  // a newline, tab or other control character
        NameTooLong,       // longer than a file name may be
        CannotCreate,      // the system refused the folder or file
    };

    // What add() came to, and with CannotCreate, what the system said.
    struct Addition {
        AddResult result = AddResult::Added;
        FileResult file;

        // Compares as its verdict: most callers only ask whether the name was added.
        bool operator==(AddResult other) const { return result == other; }
        bool operator!=(AddResult other) const { return result != other; }
    };

    // `dataFolder` ends in "/".
    explicit TestSession(std::string dataFolder, testpaths::WallClock clock = testpaths::systemNow);

    // The dialog opens: creates today's folder if nothing is there yet (a failure shows later,
    // when the first append cannot open the file) and returns the proposed name.
    std::string proposeName() const;

    // The name is accepted when the file can be created, exclusively, in the folder of the day of
    // this call (made if missing); the test is then open with that path, which stays its path
    // whatever the date becomes.
    Addition add(const std::string& name);
    // What add would answer for the name alone, before anything is created: Added when the name
    // can name a test file.
    static AddResult checkName(const std::string& name);

    // Ends the open test; false when none was open. The path stays as it was.
    bool close();
    // Removes the file the last add() created once its test is closed, when it is still that file
    // and holds nothing; false, with nothing removed, otherwise. Nothing may be appended to it any
    // more: a recording that never took a reading leaves its name free this way.
    bool removeIfEmpty();

    bool isOpen() const { return open_; }
    const std::string& currentPath() const { return currentPath_; }
    // The saved-data browser points the path at a file it loads.
    void setCurrentPath(std::string path) { currentPath_ = std::move(path); }
    const std::string& dataFolder() const { return dataFolder_; }

private:
    std::string dataFolder_;
    testpaths::WallClock clock_;
    bool open_ = false;
    std::string currentPath_;
    // The file the last add() created, known by its device and inode: a file made anew under that
    // name is another file.
    struct Created {
        std::string path;
        dev_t device = 0;
        ino_t inode = 0;
    } created_;
};

}  // namespace vornex

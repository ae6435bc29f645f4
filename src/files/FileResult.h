#pragma once

#include <string>
#include <utility>

namespace vornex {

// What the callers of the file layer tell apart when a file cannot be read or written.
enum class FileResultKind {
    Ok,
    Missing,     // nothing of that name
    NotRegular,  // a folder, pipe or device where a regular file was expected
    Unreadable,  // the system refused to open or read it
    Unwritable,  // it, or its folder, could not be created or written (whole)
};

// What one file operation came to. A failure keeps the errno it was made from, when there was one,
// and the message shown to users, which names the file and the reason.
struct FileResult {
    FileResultKind kind = FileResultKind::Ok;
    int error = 0;  // errno, 0 when none or not known
    std::string text;

    bool ok() const { return kind == FileResultKind::Ok; }
    explicit operator bool() const { return ok(); }

    static FileResult failed(FileResultKind kind, std::string text, int error = 0) {
        return FileResult{kind, error, std::move(text)};
    }
    // "WHAT PATH: the system's reason".
    static FileResult systemError(FileResultKind kind, const std::string& what,
                                  const std::string& path, int error);
};

}  // namespace vornex

#pragma once

#include <string>
#include <vector>

namespace vornex {

// A tab-separated file of the home folder (signatures, document numbers, the lab's register) that
// only ever grows by whole lines. Read whole; a line
// is added by writing the file anew beside it and renaming it into place, so that a crash leaves
// the file as it was or with the whole new line, never half of it. A lock file beside it keeps two
// programs adding at once from losing one's line.
class TsvFile {
public:
    TsvFile(std::string path, std::string header);

    // The lines after the header, each split at its tabs; nothing for a file not there yet.
    // False with the reason in `error` when it is there but cannot be read.
    bool read(std::vector<std::vector<std::string>>& rows, std::string& error) const;

    const std::string& path() const { return path_; }

private:
    friend class TsvAppend;
    std::string path_, header_;
};

// Holds the file's lock while a line is chosen and added: what read() gives inside it is what
// add() adds to.
class TsvAppend {
public:
    explicit TsvAppend(const TsvFile& file);
    ~TsvAppend();
    TsvAppend(const TsvAppend&) = delete;
    TsvAppend& operator=(const TsvAppend&) = delete;

    bool add(const std::vector<std::string>& fields, std::string& error);

private:
    const TsvFile& file_;
    int lock_ = -1;
};

// A field as a line can hold it: tabs and line breaks become spaces, nothing becomes "-".
std::string tsvField(const std::string& text);

}  // namespace vornex

#pragma once

#include <optional>
#include <string>

namespace vornex::sign {

// The record a printed document and its signatures belong to: a test file (its companion's UUID
// when it has one) or a verification run file (known by its path: the UUID the store gives a run
// is made from its contents, so a changed run would be another). Read as the file is now.
struct DocumentRecord {
    enum class Kind { Test, Run } kind = Kind::Test;
    std::string path;  // absolute
    std::string uuid;  // empty when not known
    std::string operatorName;
    std::string sha256;  // of the file's bytes now
};

// Nothing, with the reason in `error`, when the file cannot be read. A file named *.pdat is a
// test; any other must read as a run file.
std::optional<DocumentRecord> readDocumentRecord(const std::string& path, std::string& error);

}  // namespace vornex::sign

#include "files/FileResult.h"

#include <cstring>

namespace vornex {

FileResult FileResult::systemError(FileResultKind kind, const std::string& what,
                                   const std::string& path, int error) {
    return failed(kind, what + " " + path + ": " + std::strerror(error), error);
}

}  // namespace vornex

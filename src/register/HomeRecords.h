#pragma once

#include <functional>
#include <string>
#include <system_error>

namespace vornex {

// Visits the test files (*.pdat) and verification run files (*.txt) under the home folder's Data/
// (home ends in "/"), regular files only, in no set order. What stopped the walk, if anything; a
// home without Data/ has nothing to visit, and says so as no_such_file_or_directory.
std::error_code forEachRecordFile(const std::string& home,
                                  const std::function<void(const std::string& path)>& onTest,
                                  const std::function<void(const std::string& path)>& onRun);

}  // namespace vornex

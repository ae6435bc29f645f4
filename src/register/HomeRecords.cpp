#include "register/HomeRecords.h"

#include <filesystem>

namespace vornex {

std::error_code forEachRecordFile(const std::string& home,
                                  const std::function<void(const std::string& path)>& onTest,
                                  const std::function<void(const std::string& path)>& onRun) {
    std::error_code failed;
    const auto options = std::filesystem::directory_options::skip_permission_denied;
    for (std::filesystem::recursive_directory_iterator it(home + "Data", options, failed), end;
         !failed && it != end; it.increment(failed)) {
        if (!it->is_regular_file(failed))
            continue;
        const std::filesystem::path& path = it->path();
        if (path.extension() == ".pdat")
            onTest(path.string());
        else if (path.extension() == ".txt")
            onRun(path.string());
    }
    return failed;
}

}  // namespace vornex

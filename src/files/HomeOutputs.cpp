#include "files/HomeOutputs.h"

#include <unistd.h>

#include <filesystem>

namespace vornex {

namespace {

namespace fs = std::filesystem;

// The path with every link that exists on the way resolved.
fs::path resolved(const fs::path& path) {
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return ec ? fs::absolute(path).lexically_normal() : real;
}

bool inside(const fs::path& path, const fs::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (f->empty())
            continue;
        if (p == path.end() || *p != *f)
            return false;
    }
    return true;
}

}  // namespace

std::string homeOutputRefusal(const std::string& home, const std::string& output) {
    if (output.empty())
        return "no file named";
    const fs::path target = resolved(output);
    const fs::path base = resolved(home);
    if (target == base / "config.ini")
        return output + " is the bench's config.ini; it is not written";
    if (std::string refused = signedRecordsRefusal(home, output); !refused.empty())
        return refused;
    for (const char* own : {"Data", "Tools", "Profiles", "Outbox", "Language"}) {
        if (inside(target, base / own))
            return output + " lies in the bench's own folder " + own +
                   "/; choose a place outside it";
    }
    std::error_code ec;
    if (fs::is_directory(target, ec))
        return output + " is a folder";
    const fs::path folder = target.parent_path();
    if (!fs::is_directory(folder, ec))
        return "the folder " + folder.string() + " does not exist";
    if (::access(folder.c_str(), W_OK) != 0)
        return "the folder " + folder.string() + " cannot be written in";
    return {};
}

std::string signedRecordsRefusal(const std::string& home, const std::string& output) {
    if (output.empty())
        return {};
    const fs::path target = resolved(output);
    const fs::path base = resolved(home);
    for (const char* own : {"Signatures.tsv", "DocumentNumbers.tsv"}) {
        if (target == base / own)
            return output + " is the lab's " + own + "; it is not written";
    }
    return {};
}

}  // namespace vornex

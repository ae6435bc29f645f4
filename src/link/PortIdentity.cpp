#include "link/PortIdentity.h"

#include <dirent.h>

#include <climits>
#include <cstdlib>

#include "link/NetworkPort.h"

namespace vornex {

namespace {

// The file a path leads to after every link; empty when it leads nowhere.
std::string resolved(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : std::string();
}

}  // namespace

PortIdentity::PortIdentity(std::string path, const std::string& byIdFolder)
    : path_(std::move(path)) {
    // A network port is its address; nothing under /dev stands for it.
    if (NetworkPort::named(path_))
        return;
    const std::string node = resolved(path_);
    DIR* folder = node.empty() ? nullptr : ::opendir(byIdFolder.c_str());
    if (folder == nullptr)
        return;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = byIdFolder + "/" + entry->d_name;
        if (entry->d_name[0] != '.' && resolved(name) == node) {
            byId_ = name;
            break;
        }
    }
    ::closedir(folder);
}

std::string PortIdentity::current() const {
    if (!byId_.empty()) {
        std::string node = resolved(byId_);
        if (!node.empty())
            return node;
    }
    return path_;
}

}  // namespace vornex

#pragma once

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace vornex::test {

// A tmpfs of a few kilobytes mounted on an empty folder, so that a test can fill a disk. Mounting
// needs privileges; without them mounted() is false and reason() says why.
class SmallFileSystem {
public:
    SmallFileSystem(const std::string& folder, unsigned kilobytes) : folder_(folder) {
        const std::string size = "size=" + std::to_string(kilobytes) + "k";
        mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, size.c_str()) == 0;
        if (!mounted_)
            reason_ = std::string("cannot mount a small tmpfs: ") + std::strerror(errno);
    }
    ~SmallFileSystem() {
        if (mounted_)
            ::umount2(folder_.c_str(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& reason() const { return reason_; }

private:
    std::string folder_;
    bool mounted_ = false;
    std::string reason_;
};

}  // namespace vornex::test

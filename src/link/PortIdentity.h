#pragma once

#include <string>

namespace vornex {

// Which port a link was opened on, so that it can be found again after it went away: a USB
// adapter by its udev identity (its name under /dev/serial/by-id, made of vendor, model and serial
// number), which it keeps when it comes back at another node; any other port by its path, a
// network port by its address.
class PortIdentity {
public:
    static constexpr const char* kByIdFolder = "/dev/serial/by-id";

    PortIdentity() = default;
    explicit PortIdentity(std::string path, const std::string& byIdFolder = kByIdFolder);

    const std::string& path() const { return path_; }
    // The adapter's name under the by-id folder; empty for a port that has none.
    const std::string& byId() const { return byId_; }
    // The path to open now: the node the adapter's by-id name leads to while it is there,
    // otherwise the path the link was opened on.
    std::string current() const;

private:
    std::string path_;
    std::string byId_;
};

}  // namespace vornex

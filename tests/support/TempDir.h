#pragma once

#include <stdlib.h>

#include <QString>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace vornex::test {

// A new folder under the system's temporary folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vornex-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a temporary folder");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // A folder inside, made with its parents when missing; the path ends in '/'.
    std::string folder(const std::string& name) const {
        std::filesystem::create_directories(file(name));
        return file(name) + "/";
    }
    QString qPath() const { return QString::fromStdString(path_); }
    QString qFile(const QString& name) const { return qPath() + '/' + name; }

private:
    std::string path_;
};

}  // namespace vornex::test

#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "record/CurvePoint.h"

namespace vornex::testing {

// A home folder with its Data/ folder, removed with everything in it at the end.
class TempHome {
public:
    TempHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vornex-rec-XXXXXX");
        root_ = ::mkdtemp(pattern.data());
        std::filesystem::create_directory(root_ + "/Data");
    }
    ~TempHome() { std::filesystem::remove_all(root_); }
    const std::string& root() const { return root_; }
    std::string data() const { return root_ + "/Data/"; }

private:
    std::string root_;
};

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Reads a test file without the code under test.
inline std::vector<CurvePoint> readRecords(const std::string& path) {
    const std::string bytes = readBytes(path);
    std::vector<CurvePoint> points(bytes.size() / sizeof(CurvePoint));
    std::memcpy(points.data(), bytes.data(), points.size() * sizeof(CurvePoint));
    return points;
}

inline CurvePoint point(double time, double value, uint8_t slave) {
    return CurvePoint{time, value, slave, {}};
}

}  // namespace vornex::testing

#pragma once

#include <optional>
#include <string>

namespace vornex::verify {

// A setting torque tool as the lab knows it, remembered by its identifier.
struct Tool {
    std::string id;
    std::string description;
    std::string type = "II";
    std::string toolClass = "A";
    std::optional<double> lowest;  // lowest marked torque, when marked
    double maximum = 0.0;          // 0 while not known
    std::string unit;              // an instrument unit name, empty while not known
    std::string direction = "clockwise";
};

// Where each tool is kept: one ini file per identifier in a folder.
class ToolFolder {
public:
    explicit ToolFolder(std::string folder) : folder_(std::move(folder)) {}

    // An identifier names a file: not empty, no "/", no control character, not "." or "..", at
    // most 100 bytes, no blanks around it.
    static bool validId(const std::string& id);

    // The tool remembered under `id`. Nothing with `error` empty when none is; nothing with
    // `error` naming the file, and the line and key at fault, when its record cannot be read whole
    // (no regular file, too large, a line that is no "key = value", a value that is no number, an
    // unknown section or key, a key given twice): such a record is the lab's to mend, and is never
    // taken in part.
    std::optional<Tool> load(const std::string& id, std::string& error) const;
    // Remembers the tool, replacing what was kept under its identifier; false with the reason.
    bool save(const Tool& tool, std::string& error) const;

private:
    std::string path(const std::string& id) const { return folder_ + "/" + id + ".ini"; }

    std::string folder_;
};

}  // namespace vornex::verify

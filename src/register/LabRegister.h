#pragma once

#include <optional>
#include <string>
#include <vector>

#include "register/RegisterRecords.h"

namespace vornex {

// One line of a register file as entered: its number in the file (2 for the first after the
// header), its fields as written and the entry they make.
template <typename Entry>
struct RegisterLine {
    int number = 0;
    std::vector<std::string> fields;
    Entry entry;
};

// The lab's register of tools and references as a home folder keeps it: Register/Tools.tsv and
// Register/References.tsv, one line per entry made, never rewritten. An entry made again for the
// same identifier is its new state; the earlier lines stay as its history.
class LabRegister {
public:
    explicit LabRegister(std::string home);  // ends in "/"

    // The latest state of each entry, in the order first entered. False with the reason when a
    // file cannot be read; lines it cannot read are named in `problems`.
    bool tools(std::vector<RegisteredTool>& found, std::string& error,
               std::vector<std::string>* problems = nullptr) const;
    bool references(std::vector<RegisteredReference>& found, std::string& error,
                    std::vector<std::string>* problems = nullptr) const;
    // Every line that is an entry, oldest first; lines it cannot read are named in `problems`.
    bool toolLines(std::vector<RegisterLine<RegisteredTool>>& found, std::string& error,
                   std::vector<std::string>* problems = nullptr) const;
    bool referenceLines(std::vector<RegisterLine<RegisteredReference>>& found, std::string& error,
                        std::vector<std::string>* problems = nullptr) const;
    std::optional<RegisteredTool> tool(const std::string& id, std::string& error) const;
    std::optional<RegisteredReference> reference(const std::string& asset,
                                                 std::string& error) const;

    // Enters a tool's or a reference's state; false with the reason (an entry that is not whole,
    // a file that cannot be written).
    bool enter(const RegisteredTool& tool, std::string& error) const;
    bool enter(const RegisteredReference& reference, std::string& error) const;

    // The tool records of the home's Tools/ folder (ID.ini) that the register does not know yet,
    // entered once: the number entered, or nothing with the reason.
    std::optional<int> takeToolFolder(std::string& error) const;

    std::string toolsPath() const;
    std::string referencesPath() const;

private:
    std::string home_;
};

}  // namespace vornex

#include "register/LabRegister.h"

#include <QDate>
#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "files/TsvFile.h"
#include "text/NumberText.h"
#include "verify/ToolFolder.h"

namespace vornex {

namespace {

constexpr const char* kToolsHeader =
    "ID\tMAKER\tMODEL\tSERIAL\tTYPE\tCLASS\tMIN\tMAX\tUNIT\tDIRECTION\tMONTHS\tCYCLES\tLEADDAYS\t"
    "STATUS\tLAST\tDESCRIPTION";
constexpr size_t kToolFields = 16;
constexpr const char* kReferencesHeader =
    "ASSET\tMAKER\tMODEL\tSERIAL\tRANGE\tUNIT\tRESOLUTION\tCERTIFICATE\tUNCERTAINTY\tLOWEST\tDUE";
constexpr size_t kReferenceFields = 11;

// "-" stands for nothing in a field, as tsvField writes it.
std::string unfield(const std::string& field) {
    return field == "-" ? std::string() : field;
}

bool validDay(const std::string& text) {
    return text.empty() || QDate::fromString(QString::fromStdString(text), Qt::ISODate).isValid();
}

std::optional<double> numberOf(const std::string& field) {
    const std::string text = unfield(field);
    if (text.empty())
        return std::nullopt;
    return parseNumber(text);
}

std::optional<long> countOf(const std::string& field) {
    const std::optional<double> n = numberOf(field);
    if (!n || *n < 1 || *n != static_cast<double>(static_cast<long>(*n)))
        return std::nullopt;
    return static_cast<long>(*n);
}

std::optional<RegisteredTool> toolOf(const std::vector<std::string>& f) {
    if (f.size() != kToolFields || unfield(f[0]).empty())
        return std::nullopt;
    RegisteredTool t;
    t.id = f[0];
    t.maker = unfield(f[1]);
    t.model = unfield(f[2]);
    t.serial = unfield(f[3]);
    t.type = f[4];
    t.toolClass = f[5];
    t.lowest = numberOf(f[6]);
    const std::optional<double> maximum = numberOf(f[7]);
    t.unit = unfield(f[8]);
    t.direction = f[9];
    const std::optional<long> months = countOf(f[10]);
    t.intervalMonths = months ? std::optional<int>(static_cast<int>(*months)) : std::nullopt;
    t.intervalCycles = countOf(f[11]);
    const std::optional<double> lead = numberOf(f[12]);
    t.status = f[13];
    t.lastGood = unfield(f[14]);
    t.description = unfield(f[15]);
    if (!maximum || !lead || *lead < 0 || (!t.intervalMonths && !t.intervalCycles) ||
        !validToolStatus(t.status) || !validDay(t.lastGood))
        return std::nullopt;
    t.maximum = *maximum;
    t.leadDays = static_cast<int>(*lead);
    return t;
}

std::optional<RegisteredReference> referenceOf(const std::vector<std::string>& f) {
    if (f.size() != kReferenceFields || unfield(f[0]).empty())
        return std::nullopt;
    RegisteredReference r;
    r.asset = f[0];
    r.maker = unfield(f[1]);
    r.model = unfield(f[2]);
    r.serial = unfield(f[3]);
    const std::optional<double> range = numberOf(f[4]), resolution = numberOf(f[6]),
                                uncertainty = numberOf(f[8]), lowest = numberOf(f[9]);
    r.unit = unfield(f[5]);
    r.certificate = unfield(f[7]);
    r.due = unfield(f[10]);
    if (!range || !resolution || !uncertainty || !lowest || !validDay(r.due))
        return std::nullopt;
    r.range = *range;
    r.resolution = *resolution;
    r.uncertainty = *uncertainty;
    r.lowest = *lowest;
    return r;
}

std::string optionalNumber(const std::optional<double>& n) {
    return n ? plainNumber(*n) : std::string();
}

template <typename Entry, typename Read>
bool lines(const std::string& path, const char* header, Read read,
           std::vector<RegisterLine<Entry>>& found, std::string& error,
           std::vector<std::string>* problems) {
    found.clear();
    std::vector<std::vector<std::string>> rows;
    if (!TsvFile(path, header).read(rows, error))
        return false;
    for (size_t line = 0; line < rows.size(); ++line) {
        const std::optional<Entry> entry = read(rows[line]);
        const int number = static_cast<int>(line) + 2;
        if (entry)
            found.push_back({number, rows[line], *entry});
        else if (problems != nullptr)
            problems->push_back(path + " line " + std::to_string(number) +
                                ": not an entry of the register; left out");
    }
    return true;
}

// The latest line of each key, in the order the keys were first entered.
template <typename Entry, typename Read, typename Key>
bool latest(const std::string& path, const char* header, Read read, Key key,
            std::vector<Entry>& found, std::string& error, std::vector<std::string>* problems) {
    found.clear();
    std::vector<RegisterLine<Entry>> all;
    if (!lines<Entry>(path, header, read, all, error, problems))
        return false;
    std::map<std::string, size_t> at;
    for (const RegisterLine<Entry>& line : all) {
        const auto [place, added] = at.emplace(key(line.entry), found.size());
        if (added)
            found.push_back(line.entry);
        else
            found[place->second] = line.entry;
    }
    return true;
}

bool enterLine(const std::string& path, const char* header, const std::vector<std::string>& fields,
               std::string& error) {
    std::error_code failed;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), failed);
    if (failed) {
        error = "cannot make the folder of " + path + ": " + failed.message();
        return false;
    }
    const TsvFile file(path, header);
    TsvAppend append(file);
    return append.add(fields, error);
}

}  // namespace

bool validToolStatus(const std::string& status) {
    return status == "in-service" || status == "out-of-service" || status == "retired";
}

LabRegister::LabRegister(std::string home) : home_(std::move(home)) {}

std::string LabRegister::toolsPath() const {
    return home_ + "Register/Tools.tsv";
}

std::string LabRegister::referencesPath() const {
    return home_ + "Register/References.tsv";
}

bool LabRegister::tools(std::vector<RegisteredTool>& found, std::string& error,
                        std::vector<std::string>* problems) const {
    return latest<RegisteredTool>(
        toolsPath(), kToolsHeader, toolOf, [](const RegisteredTool& t) { return t.id; }, found,
        error, problems);
}

bool LabRegister::references(std::vector<RegisteredReference>& found, std::string& error,
                             std::vector<std::string>* problems) const {
    return latest<RegisteredReference>(
        referencesPath(), kReferencesHeader, referenceOf,
        [](const RegisteredReference& r) { return r.asset; }, found, error, problems);
}

bool LabRegister::toolLines(std::vector<RegisterLine<RegisteredTool>>& found, std::string& error,
                            std::vector<std::string>* problems) const {
    return lines<RegisteredTool>(toolsPath(), kToolsHeader, toolOf, found, error, problems);
}

bool LabRegister::referenceLines(std::vector<RegisterLine<RegisteredReference>>& found,
                                 std::string& error, std::vector<std::string>* problems) const {
    return lines<RegisteredReference>(referencesPath(), kReferencesHeader, referenceOf, found,
                                      error, problems);
}

std::optional<RegisteredTool> LabRegister::tool(const std::string& id, std::string& error) const {
    std::vector<RegisteredTool> all;
    if (!tools(all, error))
        return std::nullopt;
    const auto found =
        std::find_if(all.begin(), all.end(), [&](const RegisteredTool& t) { return t.id == id; });
    return found == all.end() ? std::nullopt : std::optional<RegisteredTool>(*found);
}

std::optional<RegisteredReference> LabRegister::reference(const std::string& asset,
                                                          std::string& error) const {
    std::vector<RegisteredReference> all;
    if (!references(all, error))
        return std::nullopt;
    const auto found = std::find_if(all.begin(), all.end(),
                                    [&](const RegisteredReference& r) { return r.asset == asset; });
    return found == all.end() ? std::nullopt : std::optional<RegisteredReference>(*found);
}

bool LabRegister::enter(const RegisteredTool& t, std::string& error) const {
    const std::vector<std::string> fields{
        t.id,
        t.maker,
        t.model,
        t.serial,
        t.type,
        t.toolClass,
        optionalNumber(t.lowest),
        plainNumber(t.maximum),
        t.unit,
        t.direction,
        t.intervalMonths ? std::to_string(*t.intervalMonths) : std::string(),
        t.intervalCycles ? std::to_string(*t.intervalCycles) : std::string(),
        std::to_string(t.leadDays),
        t.status,
        t.lastGood,
        t.description};
    if (!verify::ToolFolder::validId(t.id) ||
        !toolOf(std::vector<std::string>(fields.begin(), fields.end()))) {
        error = "the tool " + t.id +
                " is not a whole entry: an identifier, a maximum, an "
                "interval in months or cycles, a status and dates as YYYY-MM-DD are needed";
        return false;
    }
    return enterLine(toolsPath(), kToolsHeader, fields, error);
}

bool LabRegister::enter(const RegisteredReference& r, std::string& error) const {
    const std::vector<std::string> fields{r.asset,
                                          r.maker,
                                          r.model,
                                          r.serial,
                                          plainNumber(r.range),
                                          r.unit,
                                          plainNumber(r.resolution),
                                          r.certificate,
                                          plainNumber(r.uncertainty),
                                          plainNumber(r.lowest),
                                          r.due};
    if (!verify::ToolFolder::validId(r.asset) || !referenceOf(fields)) {
        error = "the reference " + r.asset +
                " is not a whole entry: an asset, its due date as "
                "YYYY-MM-DD and numbers for its range, resolution, uncertainty and lowest torque "
                "are needed";
        return false;
    }
    return enterLine(referencesPath(), kReferencesHeader, fields, error);
}

std::optional<int> LabRegister::takeToolFolder(std::string& error) const {
    std::vector<RegisteredTool> known;
    if (!tools(known, error))
        return std::nullopt;
    const std::string folder = home_ + "Tools";
    std::error_code failed;
    std::vector<std::string> ids;
    for (std::filesystem::directory_iterator it(folder, failed), end; !failed && it != end;
         it.increment(failed)) {
        if (it->path().extension() == ".ini")
            ids.push_back(it->path().stem().string());
    }
    std::sort(ids.begin(), ids.end());
    int entered = 0;
    const verify::ToolFolder tools(folder);
    for (const std::string& id : ids) {
        if (std::any_of(known.begin(), known.end(),
                        [&](const RegisteredTool& t) { return t.id == id; }))
            continue;
        std::string why;
        const std::optional<verify::Tool> record = tools.load(id, why);
        if (!record) {
            error = why;
            return std::nullopt;
        }
        RegisteredTool t;
        t.id = record->id;
        t.description = record->description;
        t.type = record->type;
        t.toolClass = record->toolClass;
        t.lowest = record->lowest;
        t.maximum = record->maximum;
        t.unit = record->unit;
        t.direction = record->direction;
        if (!enter(t, error))
            return std::nullopt;
        ++entered;
    }
    return entered;
}

}  // namespace vornex

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <system_error>
#include <tuple>

#include "files/Sha256.h"
#include "judge/TestResults.h"
#include "record/CompanionFile.h"
#include "register/HomeRecords.h"
#include "store/Impact.h"
#include "store/ResultSender.h"
#include "verify/RunFile.h"

namespace vornex::store {

namespace {

constexpr const char* kRunFirstLine = "Vornex tool verification run";

std::string escaped(const std::string& field) {
    if (field.empty())
        return "-";
    std::string out;
    for (char c : field) {
        switch (c) {
            case ' ':
                out += "%20";
                break;
            case '\t':
                out += "%09";
                break;
            case '\n':
                out += "%0A";
                break;
            case '%':
                out += "%25";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string fileSha256(const std::string& path) {
    std::string ignored;
    return fileSha256Hex(path, ignored);
}

// The value of a "Key: value" line of a run file's header (the lines before its first event).
std::string headerValue(const std::string& path, const std::string& key) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    const std::string prefix = key + ": ";
    while (std::getline(in, line) && !(!line.empty() && line[0] >= '0' && line[0] <= '9')) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return line.substr(prefix.size());
    }
    return {};
}

bool isRunFile(const std::string& path) {
    std::ifstream in(path);
    std::string first;
    return std::getline(in, first) && first == kRunFirstLine;
}

std::optional<ImpactEntry> testEntry(const std::string& path, const ImpactSubject& subject,
                                     const std::string& since, std::vector<std::string>& unread) {
    if (subject.kind != ImpactSubject::Kind::Tool)
        return std::nullopt;
    const std::optional<Companion> companion = readCompanion(companionPath(path)).companion;
    if (!companion || companion->trace.toolId != subject.id)
        return std::nullopt;
    std::string time = companion->started;
    std::replace(time.begin(), time.end(), ' ', 'T');
    if (time < since)
        return std::nullopt;
    const JudgedFile judged = judgeTestFile(path, JudgeOverrides());
    if (!judged.file) {
        unread.push_back(path + ": " + judged.file.text);
        return std::nullopt;
    }
    size_t pass = 0, low = 0, high = 0;
    for (const InstrumentResult& i : judged.results.instruments) {
        pass += i.pass;
        low += i.low;
        high += i.high;
    }
    return ImpactEntry{"test",
                       path,
                       companion->trace.bench,
                       time,
                       companion->trace.operatorName,
                       testResultWord(pass, low, high),
                       fileSha256(path)};
}

std::optional<ImpactEntry> runEntry(const std::string& path, const ImpactSubject& subject,
                                    const std::string& since, const std::string& bench,
                                    std::vector<std::string>& unread) {
    if (!isRunFile(path))
        return std::nullopt;
    const bool ours = subject.kind == ImpactSubject::Kind::Tool
                          ? headerValue(path, "Tool") == subject.id
                          : headerValue(path, "Reference asset") == subject.id;
    if (!ours)
        return std::nullopt;
    std::string error;
    const std::optional<verify::StoredRun> run = verify::readRunFile(path, error);
    if (!run) {
        unread.push_back(error);
        return std::nullopt;
    }
    if (run->started < since)
        return std::nullopt;
    return ImpactEntry{
        "run",           path, bench, run->started, run->plan.operatorName, runResultWord(*run),
        fileSha256(path)};
}

}  // namespace

std::string impactLine(const ImpactEntry& e) {
    return e.kind + ' ' + escaped(e.where) + ' ' + escaped(e.bench) + ' ' + escaped(e.time) + ' ' +
           escaped(e.operatorName) + ' ' + escaped(e.result);
}

std::vector<ImpactEntry> impactInFiles(const std::string& home, const ImpactSubject& subject,
                                       const std::string& since, const std::string& bench,
                                       std::vector<std::string>& unread) {
    std::vector<ImpactEntry> found;
    const auto keep = [&](std::optional<ImpactEntry> entry) {
        if (entry)
            found.push_back(std::move(*entry));
    };
    const std::error_code failed = forEachRecordFile(
        home, [&](const std::string& path) { keep(testEntry(path, subject, since, unread)); },
        [&](const std::string& path) { keep(runEntry(path, subject, since, bench, unread)); });
    if (failed && failed != std::errc::no_such_file_or_directory)
        unread.push_back(home + "Data: " + failed.message());
    return found;
}

std::vector<ImpactEntry> mergedImpact(std::vector<ImpactEntry> files,
                                      std::vector<ImpactEntry> stored) {
    std::set<std::string> held;
    for (const ImpactEntry& e : stored)
        held.insert(e.sha256);
    for (ImpactEntry& e : files) {
        if (held.count(e.sha256) == 0)
            stored.push_back(std::move(e));
    }
    std::sort(stored.begin(), stored.end(), [](const ImpactEntry& a, const ImpactEntry& b) {
        return std::tie(a.time, a.kind, a.where) < std::tie(b.time, b.kind, b.where);
    });
    return stored;
}

}  // namespace vornex::store

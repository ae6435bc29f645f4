#include "store/RegisterSender.h"

#include <QCryptographicHash>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#include "register/LabRegister.h"
#include "text/NumberText.h"

namespace vornex::store {

namespace {

// The line as its fields were written: what makes it the same line when sent again.
std::string lineHash(const std::vector<std::string>& fields) {
    QByteArray text;
    for (const std::string& field : fields)
        text += QByteArray::fromStdString(field) + '\t';
    return QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().toStdString();
}

PgParam optionalText(const std::string& text) {
    return text.empty() ? PgParam::null() : PgParam::text(text);
}

PgParam optionalCount(const std::optional<long>& n) {
    return n ? PgParam::text(std::to_string(*n)) : PgParam::null();
}

std::vector<PgParam> toolParams(const RegisteredTool& t) {
    return {PgParam::text(t.id),
            PgParam::text(t.maker),
            PgParam::text(t.model),
            PgParam::text(t.serial),
            PgParam::text(t.type),
            PgParam::text(t.toolClass),
            t.lowest ? PgParam::text(plainNumber(*t.lowest)) : PgParam::null(),
            PgParam::text(plainNumber(t.maximum)),
            PgParam::text(t.unit),
            PgParam::text(t.direction),
            optionalCount(t.intervalMonths ? std::optional<long>(*t.intervalMonths) : std::nullopt),
            optionalCount(t.intervalCycles),
            PgParam::text(std::to_string(t.leadDays)),
            PgParam::text(t.status),
            optionalText(t.lastGood),
            PgParam::text(t.description)};
}

std::vector<PgParam> referenceParams(const RegisteredReference& r) {
    return {PgParam::text(r.asset),
            PgParam::text(r.maker),
            PgParam::text(r.model),
            PgParam::text(r.serial),
            PgParam::text(plainNumber(r.range)),
            PgParam::text(r.unit),
            PgParam::text(plainNumber(r.resolution)),
            PgParam::text(r.certificate),
            PgParam::text(plainNumber(r.uncertainty)),
            PgParam::text(plainNumber(r.lowest)),
            optionalText(r.due)};
}

constexpr const char* kToolInsert =
    "INSERT INTO vornex_register_tools (id, maker, model, serial, type, tool_class, lowest, "
    "maximum, unit, direction, interval_months, interval_cycles, lead_days, status, last_good, "
    "description, bench, line, line_sha256) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, "
    "$11, $12, $13, $14, $15, $16, $17, $18, $19) "
    "ON CONFLICT ON CONSTRAINT vornex_register_tools_once DO NOTHING";
constexpr const char* kReferenceInsert =
    "INSERT INTO vornex_register_references (asset, maker, model, serial, range, unit, "
    "resolution, certificate, uncertainty, lowest, due, bench, line, line_sha256) VALUES ($1, "
    "$2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14) "
    "ON CONFLICT ON CONSTRAINT vornex_register_references_once DO NOTHING";

// The lines of one file: those the store holds for the bench are passed over without a word to
// the server, so that a pass over an unchanged register inserts nothing.
template <typename Entry>
bool sendLines(PgConnection& connection, const std::string& table, const char* insert,
               const std::string& path, const std::string& bench,
               const std::vector<RegisterLine<Entry>>& lines,
               std::vector<PgParam> (*params)(const Entry&), RegisterSent& sent) {
    std::set<std::pair<std::string, std::string>> held;
    if (!bench.empty()) {
        const PgResult known =
            connection.exec("SELECT line::text, line_sha256 FROM " + table + " WHERE bench = $1",
                            {PgParam::text(bench)});
        if (connection.check(known).kind == StoreResultKind::Unreachable) {
            sent.result = connection.check(known);
            return false;
        }
        for (int row = 0; known.ok() && row < known.rows(); ++row)
            held.emplace(known.value(row, 0), known.value(row, 1));
    }
    for (const RegisterLine<Entry>& line : lines) {
        const std::string hash = lineHash(line.fields);
        if (held.count({std::to_string(line.number), hash}) != 0) {
            ++sent.known;
            continue;
        }
        std::vector<PgParam> values = params(line.entry);
        values.push_back(PgParam::text(bench));
        values.push_back(PgParam::text(std::to_string(line.number)));
        values.push_back(PgParam::text(hash));
        const PgResult result = connection.exec(insert, values);
        const StoreResult checked = connection.check(result);
        if (checked.kind == StoreResultKind::Unreachable) {
            sent.result = checked;
            return false;
        }
        if (!checked)
            sent.refused.push_back("the register's " + path + " line " +
                                   std::to_string(line.number) + " is refused: " + checked.text);
        else if (result.affected() == 0)
            ++sent.known;
        else
            ++sent.sent;
    }
    return true;
}

}  // namespace

RegisterSent sendRegister(PgConnection& connection, const std::string& home,
                          const std::string& bench) {
    RegisterSent sent;
    const LabRegister lab(home);
    std::string error;
    std::vector<RegisterLine<RegisteredTool>> tools;
    std::vector<RegisterLine<RegisteredReference>> references;
    if (!lab.toolLines(tools, error) || !lab.referenceLines(references, error)) {
        sent.result = StoreResult::failed(StoreResultKind::Files, error);
        return sent;
    }
    if (sendLines(connection, "vornex_register_tools", kToolInsert, lab.toolsPath(), bench, tools,
                  toolParams, sent))
        sendLines(connection, "vornex_register_references", kReferenceInsert, lab.referencesPath(),
                  bench, references, referenceParams, sent);
    return sent;
}

RegisterSent sendHomeRegister(const std::string& home, const std::string& conninfo,
                              const std::string& bench, PgInterrupt* interrupt) {
    const LabRegister lab(home);
    std::error_code ignored;
    if (!std::filesystem::exists(lab.toolsPath(), ignored) &&
        !std::filesystem::exists(lab.referencesPath(), ignored))
        return {};
    PgConnection connection(conninfo, 10, interrupt);
    if (const StoreResult reached = connection.reached(); !reached) {
        RegisterSent unreached;
        unreached.result = reached;
        return unreached;
    }
    return sendRegister(connection, home, bench);
}

}  // namespace vornex::store

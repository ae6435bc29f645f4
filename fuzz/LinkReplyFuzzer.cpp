// Whatever an instrument answers is taken as it comes: the registers of a reply may hold any bits.
// The input is a run of register images, decoded as the poller, the settings window and the
// record upload decode theirs: live value and decimals, range and settings block, typed targets
// checked against them, and stored records made into rows of the list.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>

#include "FuzzSupport.h"
#include "instrument/core/InstrumentParameters.h"
#include "instrument/core/RecordExport.h"
#include "instrument/core/RecordRow.h"
#include "link/RegisterMap.h"
#include "text/NumberText.h"

using vornex::fuzz::check;
namespace regmap = vornex::regmap;
namespace params = vornex::params;

namespace {

template <size_t N>
std::array<uint16_t, N> registers(FuzzedDataProvider& input) {
    std::array<uint16_t, N> regs{};
    for (uint16_t& reg : regs)
        reg = input.ConsumeIntegral<uint16_t>();
    return regs;
}

// A number text must read back as a number, or be one of the words for no number.
void checkNumberText(const std::string& text) {
    double back = 0.0;
    check(text.size() < 400, "a number text without end");
    check(vornex::parseDouble(text, back) || text == "nan" || text == "-nan" || text == "inf" ||
              text == "-inf",
          "a number text that does not read back");
}

void liveValue(FuzzedDataProvider& input) {
    const auto value = registers<regmap::kInLiveValueCount>(input);
    const uint16_t decimals = input.ConsumeIntegral<uint16_t>();
    checkNumberText(vornex::formatValueText(regmap::decodeFloat(value.data()), decimals));
}

params::SetField typedField(FuzzedDataProvider& input, std::optional<uint32_t> shownRaw) {
    params::SetField field;
    field.typed = vornex::parseNumber(input.ConsumeRandomLengthString(24)).value_or(std::nan(""));
    if (input.ConsumeBool())
        field.unchangedRaw = shownRaw;
    return field;
}

void settings(FuzzedDataProvider& input) {
    const auto range = registers<regmap::kInRangeCount>(input);
    const uint16_t mode = input.ConsumeIntegral<uint16_t>();
    const auto block = registers<regmap::kHoldSettingsCount>(input);
    const float r = regmap::decodeFloat(range.data());
    const regmap::Settings s = regmap::Settings::decode(block.data());
    const vornex::ParameterFields f = vornex::parameterFields(r, mode, s);
    checkNumberText(f.range);
    checkNumberText(f.target);
    checkNumberText(f.upper);
    checkNumberText(f.lower);

    const unsigned unit = input.ConsumeIntegralInRange<unsigned>(0, 5);
    const params::SetPlan plan =
        params::planSet(r, typedField(input, s.target), typedField(input, s.upperLimit),
                        typedField(input, s.lowerLimit), unit);
    if (plan.check == params::SetCheck::Accepted) {
        check(unit >= params::kFirstUnit && unit <= params::kLastUnit, "a plan in no unit");
        check(std::isfinite(r), "a plan for an instrument without a range");
    }
}

void storedRecords(FuzzedDataProvider& input) {
    vornex::RecordTable table;
    for (uint16_t order = 1; input.remaining_bytes() > 0; ++order) {
        if (input.ConsumeBool()) {
            table.rows.push_back(vornex::failedRecordRow(order));
            continue;
        }
        const auto regs = registers<regmap::kInStoredRecordCount>(input);
        const regmap::StoredRecord record = regmap::StoredRecord::decode(regs.data());
        table.rows.push_back(vornex::formatRecord(order, record));
        if (!record.deleted())
            checkNumberText(table.rows.back()[1]);
    }
    for (const vornex::RecordRow& row : table.rows)
        check(vornex::fittedColumnWidth(row[vornex::kRecordColumns - 1]) >= 1.0,
              "a column without width");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    liveValue(input);
    settings(input);
    storedRecords(input);
    return 0;
}

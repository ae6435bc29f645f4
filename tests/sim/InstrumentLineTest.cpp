#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <tuple>

#include "Files.h"
#include "LineFixture.h"
#include "Wait.h"
#include "link/RegisterMap.h"

namespace vornex::sim {
namespace {

namespace rm = regmap;
using test::holding;
using test::LineFixture;
using test::ModbusClient;
using InstrumentLine = LineFixture;

// The settings block as held now.
rm::Settings settingsOf(modbus_t* ctx) {
    uint16_t regs[4] = {};
    EXPECT_EQ(modbus_read_registers(ctx, rm::kHoldSettings, 4, regs), 4);
    return rm::Settings::decode(regs);
}

TEST_F(InstrumentLine, AnswersTheRegisterMapAtManyAddressesAndStaysSilentForOthers) {
    startLine(
        {test::instrument(1, 1.5f, 2), test::instrument(2, -2.25f), test::instrument(30, 300.0f)});
    ModbusClient client(linkPath, 1);
    ASSERT_TRUE(client.connected());
    modbus_t* ctx = client.get();
    uint8_t id[rm::kIdentificationSize] = {};
    ASSERT_GT(modbus_report_slave_id(ctx, rm::kIdentificationSize, id), 0);
    EXPECT_EQ(id[1], 0xFF);
    uint16_t regs[2] = {};
    ASSERT_EQ(modbus_read_input_registers(ctx, rm::kInRange, 2, regs), 2);
    EXPECT_EQ(rm::decodeFloat(regs), 500.0f);
    EXPECT_EQ(settingsOf(ctx).target, 25000u);  // half of 500 N.m at 2 decimals
    for (auto [address, value] : {std::pair{1, 1.5f}, {2, -2.25f}, {30, 300.0f}, {1, 1.5f}}) {
        client.setSlave(address);
        EXPECT_EQ(test::liveValue(ctx), value) << "address " << address;
    }
    client.setSlave(3);
    EXPECT_EQ(modbus_report_slave_id(ctx, rm::kIdentificationSize, id), -1);
    EXPECT_EQ(errno, ETIMEDOUT);
    EXPECT_EQ(line->counters().ignored, 1u);
    EXPECT_EQ(line->log().countFor(3), 0u);

    // The line is still in step after the unanswered request.
    client.setSlave(2);
    EXPECT_EQ(test::liveValue(ctx), -2.25f);
}

TEST_F(InstrumentLine, AnswersIllegalRequestsWithExceptions) {
    startLine({test::instrument(4, 0.0f)});
    ModbusClient client(linkPath, 4);
    modbus_t* ctx = client.get();
    uint16_t regs[16];
    uint8_t bits[8];
    const auto error = [](int rc) { return rc == -1 ? errno : 0; };
    // Braced lists are evaluated in order: each errno is read right after its request.
    const std::pair<int, int> refused[] = {
        {error(modbus_read_registers(ctx, 0, 9, regs)), EMBXILADD},
        {error(modbus_read_input_registers(ctx, 999, 2, regs)), EMBXILADD},
        {error(modbus_read_input_registers(ctx, 1020, 2, regs)), EMBXILADD},
        {error(modbus_write_register(ctx, 8, 1)), EMBXILADD},
        {error(modbus_write_register(ctx, rm::kHoldModeNumber, 10)), EMBXILVAL},
        {error(modbus_read_bits(ctx, 0, 8, bits)), EMBXILFUN},  // Read Coils: not an instrument's
    };
    for (size_t i = 0; i < std::size(refused); ++i)
        EXPECT_EQ(refused[i].first, refused[i].second) << "request " << i;
    EXPECT_EQ(holding(ctx, rm::kHoldModeNumber), 0);
    // Nor an unknown function whose length only the silence after it tells.
    const uint8_t raw[] = {4, 0x2B, 0x0E, 0x01, 0x00};
    ASSERT_GT(modbus_send_raw_request(ctx, raw, sizeof raw), 0);
    uint8_t reply[MODBUS_RTU_MAX_ADU_LENGTH];
    EXPECT_EQ(modbus_receive_confirmation(ctx, reply), 5);
    EXPECT_EQ(reply[1], 0x2B | 0x80);
    EXPECT_EQ(line->counters().exceptions, 7u);
    ASSERT_EQ(modbus_read_input_registers(ctx, 1019, 2, regs), 2);
}

// Instrument 3 steps its unit on a schedule, as if its keypad were used now and then.
TEST_F(InstrumentLine, KeypadChangeRaisesStatusFiveUntilThePcAcknowledges) {
    InstrumentConfig scheduled = test::instrument(3, 5.0f);
    scheduled.keypadEveryMs = 20;
    startLine({test::instrument(1, 5.0f), test::instrument(2, 5.0f), scheduled});
    ModbusClient client(linkPath, 1);
    modbus_t* ctx = client.get();

    KeypadChange change = test::unitChange(3);
    change.upperLimit = 125;
    ASSERT_TRUE(line->changeOnKeypad(1, change));
    EXPECT_EQ(holding(ctx, rm::kHoldStatus), rm::kStatusSettingsChanged);
    const rm::Settings s = settingsOf(ctx);
    EXPECT_EQ(s.unit, 3);
    EXPECT_EQ(s.upperLimit, 125);
    EXPECT_EQ(s.measuringMode, 1);  // untouched fields stay
    ASSERT_EQ(modbus_write_register(ctx, rm::kHoldStatus, rm::kStatusAcknowledged), 1);
    EXPECT_EQ(line->holdingRegisters(2)->at(rm::kHoldStatus), 0);  // the other one is unchanged

    // A keypad change of the mode number switches the parameter set.
    change = {};
    change.modeNumber = 6;
    ASSERT_TRUE(line->changeOnKeypad(1, change));
    EXPECT_EQ(holding(ctx, rm::kHoldStatus), rm::kStatusSettingsChanged);
    EXPECT_EQ(holding(ctx, rm::kHoldModeNumber), 6);
    const rm::Settings set6 = *line->parameterSet(1, 6);
    EXPECT_EQ(settingsOf(ctx).unit, set6.unit);
    EXPECT_EQ(settingsOf(ctx).target, set6.target);

    client.setSlave(3);
    ASSERT_TRUE(test::waitUntil(
        [&] { return holding(ctx, rm::kHoldStatus) == rm::kStatusSettingsChanged; }));
    EXPECT_EQ(rm::highByte(holding(ctx, rm::kHoldSettings)), 2);  // N.m stepped to kgf.cm
}

TEST_F(InstrumentLine, SettingsWriteThenStatusThreeStoresIntoTheActiveSet) {
    startLine({test::instrument(1, 5.0f)});
    ModbusClient client(linkPath, 1);
    modbus_t* ctx = client.get();
    auto selectMode = [&](int mode) {
        ASSERT_EQ(modbus_write_register(ctx, rm::kHoldModeNumber, static_cast<uint16_t>(mode)), 1);
        ASSERT_EQ(modbus_write_register(ctx, rm::kHoldStatus, rm::kStatusModeWritten), 1);
    };
    uint16_t block[4], read[4];
    rm::Settings{3, 4, 255, 22, 123456}.encode(block);

    // A mode number takes effect with status 2, not before.
    ASSERT_EQ(modbus_write_register(ctx, rm::kHoldModeNumber, 2), 1);
    EXPECT_EQ(settingsOf(ctx).target, line->parameterSet(1, 0)->target);
    selectMode(2);
    EXPECT_EQ(settingsOf(ctx).target, line->parameterSet(1, 2)->target);
    ASSERT_EQ(modbus_write_registers(ctx, rm::kHoldSettings, 4, block), 4);
    ASSERT_EQ(modbus_write_register(ctx, rm::kHoldStatus, rm::kStatusSettingsWritten), 1);

    // Kept in set 2 across a switch to another set and back.
    selectMode(5);
    ASSERT_EQ(modbus_read_registers(ctx, rm::kHoldSettings, 4, read), 4);
    EXPECT_FALSE(std::equal(block, block + 4, read));
    selectMode(2);
    ASSERT_EQ(modbus_read_registers(ctx, rm::kHoldSettings, 4, read), 4);
    EXPECT_TRUE(std::equal(block, block + 4, read));
    EXPECT_EQ(line->parameterSet(1, 2)->target, 123456u);

    // A block written without status 3 is not stored.
    rm::Settings{3, 4, 255, 22, 1}.encode(block);
    ASSERT_EQ(modbus_write_registers(ctx, rm::kHoldSettings, 4, block), 4);
    selectMode(2);
    EXPECT_EQ(line->parameterSet(1, 2)->target, 123456u);
}

TEST_F(InstrumentLine, PresentsTheSelectedStoredRecord) {
    InstrumentConfig c = test::instrument(9, 0.0f);
    c.recordCount = 30;
    startLine({c});
    ModbusClient client(linkPath, 9);
    modbus_t* ctx = client.get();
    uint16_t regs[8];
    ASSERT_EQ(modbus_read_input_registers(ctx, rm::kInInfo1011, 2, regs), 2);
    ASSERT_EQ(regs[1], 30);

    std::vector<rm::StoredRecord> records;
    std::set<int> verdicts;
    for (int k = 1; k <= 30; ++k) {
        ASSERT_EQ(modbus_write_register(ctx, rm::kHoldRecordSelector, static_cast<uint16_t>(k)), 1);
        ASSERT_EQ(modbus_read_input_registers(ctx, rm::kInStoredRecord, 8, regs), 8);
        const rm::StoredRecord& r = records.emplace_back(rm::StoredRecord::decode(regs));
        verdicts.insert(r.passed());
        EXPECT_TRUE(r.month >= 1 && r.month <= 12 && r.day >= 1 && r.day <= 31 && r.hour < 24 &&
                    r.minute < 60 && r.second < 60)
            << "record " << k;
    }
    EXPECT_EQ(verdicts.size(), 2u);

    // The halves of the raw torque read on their own agree with the whole record.
    ASSERT_EQ(modbus_write_register(ctx, rm::kHoldRecordSelector, 5), 1);
    ASSERT_EQ(modbus_read_input_registers(ctx, 1015, 2, regs), 2);
    EXPECT_EQ(static_cast<int32_t>(rm::decodeU32(regs)), records[4].rawTorque);
    // No record outside 1..N.
    for (int k : {0, 31}) {
        ASSERT_EQ(modbus_write_register(ctx, rm::kHoldRecordSelector, static_cast<uint16_t>(k)), 1);
        ASSERT_EQ(modbus_read_input_registers(ctx, rm::kInStoredRecord, 8, regs), 8);
        EXPECT_EQ(std::count(regs, regs + 8, 0), 8) << "selector " << k;
    }
}

// The live value one read at instant `t` gets.
float liveAt(Instrument& instrument, Instrument::Clock::time_point t) {
    uint16_t regs[2] = {};
    EXPECT_EQ(instrument.readInput(rm::kInLiveValue, 2, regs, t), ModbusException::None);
    return rm::decodeFloat(regs);
}

TEST(MeasuringModes, AFiveMillisecondSpikeBetweenTwoReadsIsHeldInPAndFirstPeak) {
    const Instrument::Clock::time_point start{};
    const auto at = [start](int ms) { return start + std::chrono::milliseconds(ms); };
    // Tracked, held at its top (104.5 ms), held from its click (105.5 ms, 40 % down).
    for (const auto& [measure, held, letGoAt] :
         {std::tuple{1, 0.0f, 0}, {2, 300.0f, 605}, {3, 300.0f, 606}}) {
        InstrumentConfig c = test::instrument(1, 0.0f);
        c.holdSeconds = 0.5;
        Instrument instrument(c, start);
        KeypadChange change;
        change.measuringMode = static_cast<uint8_t>(measure);
        instrument.changeOnKeypad(change, start);
        EXPECT_EQ(liveAt(instrument, at(100)), 0.0f);
        instrument.spike(300.0f, std::chrono::milliseconds(5), at(102));
        EXPECT_EQ(liveAt(instrument, at(110)), held) << "mode " << measure;
        if (measure == 1)
            continue;
        EXPECT_EQ(liveAt(instrument, at(letGoAt - 1)), held) << "mode " << measure;
        EXPECT_EQ(liveAt(instrument, at(letGoAt)), 0.0f) << "mode " << measure;
    }
}

// Mode 1P looks for a click from the instrument's own threshold: a click at 8 % of the range is
// held by an instrument set to 5 %, and passed over by one set to 10 %.
TEST(MeasuringModes, FirstPeakLooksForAClickFromTheInstrumentsOwnThreshold) {
    const Instrument::Clock::time_point start{};
    const auto at = [start](int ms) { return start + std::chrono::milliseconds(ms); };
    for (const auto& [percent, held] : {std::pair{5.0, 40.0f}, {10.0, 0.0f}}) {
        InstrumentConfig c = test::instrument(1, 0.0f);
        c.range = 500.0f;
        c.peakThresholdPercent = percent;
        Instrument instrument(c, start);
        KeypadChange change;
        change.measuringMode = rm::kMeasureFirstPeak;
        instrument.changeOnKeypad(change, start);
        int ms = 10;
        for (const float torque : {20.0f, 40.0f, 38.0f, 0.0f})
            instrument.setFixedValue(torque, at(ms += 10));
        EXPECT_EQ(liveAt(instrument, at(ms + 10)), held) << percent << " %";
    }
}

// A click wrench's pull set by value commands with no read between them: the first peak is the
// top before the first fall of 2 %, the peak the largest; the reset key lets them go.
TEST_F(InstrumentLine, HoldsTheClickAndTheLargestPeakOfValuesNoReadSaw) {
    InstrumentConfig peak = test::instrument(1, 0.0f);
    InstrumentConfig first = test::instrument(2, 0.0f);
    peak.holdSeconds = first.holdSeconds = 3600;
    startLine({peak, first});
    ModbusClient client(linkPath, 2);
    modbus_t* ctx = client.get();
    // The measuring mode as the parameters dialog and the tool set it.
    uint16_t block[4];
    rm::Settings s = settingsOf(ctx);
    s.measuringMode = rm::kMeasureFirstPeak;
    s.encode(block);
    ASSERT_EQ(modbus_write_registers(ctx, rm::kHoldSettings, 4, block), 4);
    ASSERT_EQ(modbus_write_register(ctx, rm::kHoldStatus, rm::kStatusSettingsWritten), 1);
    KeypadChange change;
    change.measuringMode = rm::kMeasurePeak;
    ASSERT_TRUE(line->changeOnKeypad(1, change));

    for (const float torque : {120.0f, 200.0f, 198.0f, 205.0f, 200.0f, 260.0f, 0.0f}) {
        ASSERT_TRUE(line->setLiveValue(1, torque));
        ASSERT_TRUE(line->setLiveValue(2, torque));
    }
    EXPECT_EQ(test::liveValue(ctx), 205.0f);
    client.setSlave(1);
    EXPECT_EQ(test::liveValue(ctx), 260.0f);
    ASSERT_TRUE(line->resetHold(1));
    EXPECT_EQ(test::liveValue(ctx), 0.0f);
    client.setSlave(2);
    EXPECT_EQ(test::liveValue(ctx), 205.0f);
}

TEST_F(InstrumentLine, LinkReplacesAStaleSymlinkButNeverAFile) {
    // Left behind by a simulator that was killed.
    ASSERT_EQ(symlink("/dev/pts/nonexistent", linkPath.c_str()), 0);
    startLine({test::instrument(1, 7.0f)});
    ModbusClient client(linkPath, 1);
    EXPECT_TRUE(client.connected());

    const std::string file = dir.path() + "/notes.txt";
    test::writeBytes(file, "keep me");
    SimulatedLine other(SimConfig{});
    std::string error;
    EXPECT_FALSE(other.startPty(file, error));
    EXPECT_NE(error.find("not a symbolic link"), std::string::npos) << error;
    EXPECT_EQ(test::readBytes(file), "keep me");
}

}  // namespace
}  // namespace vornex::sim

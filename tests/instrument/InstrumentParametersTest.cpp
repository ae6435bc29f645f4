#include <gtest/gtest.h>

#include "LineFixture.h"
#include "instrument/core/InstrumentParameters.h"

namespace vornex {
namespace {

using Write = InstrumentParameters::WriteResult;

class InstrumentParametersTest : public test::LineFixture {
protected:
    void SetUp() override {
        sim::InstrumentConfig c;
        c.address = 3;
        c.range = 500.0f;
        startLine({c});
        ASSERT_EQ(parameters.connect(linkPath, 3), InstrumentParameters::ConnectResult::Connected);
    }

    // Sets the active parameter set as if on the instrument's keypad, then reconnects.
    void keypad(const sim::KeypadChange& change) {
        ASSERT_TRUE(line->changeOnKeypad(3, change));
        parameters.disconnect();
        ASSERT_EQ(parameters.connect(linkPath, 3), InstrumentParameters::ConnectResult::Connected);
    }

    regmap::Settings held() const {
        const auto regs = line->holdingRegisters(3);
        return regmap::Settings::decode(&(*regs)[regmap::kHoldSettings]);
    }
    regmap::Settings committed() const { return *line->parameterSet(3, 0); }

    InstrumentParameters parameters;
};

TEST_F(InstrumentParametersTest, ShowsTargetInTheInstrumentsUnit) {
    const char* expected[] = {"500.00", "5098.5", "368.780", "4426"};
    for (uint8_t unit = 1; unit <= 4; ++unit) {
        sim::KeypadChange change;
        change.unit = unit;
        change.target = 50000;
        change.upperLimit = 22;
        change.lowerLimit = 255;
        keypad(change);
        const ParameterFields f = parameters.fields();
        EXPECT_EQ(f.range, "500.0");
        EXPECT_EQ(f.unitIndex, unit - 1);
        EXPECT_EQ(f.target, expected[unit - 1]);
        EXPECT_EQ(f.upper, "2.2");
        EXPECT_EQ(f.lower, "25.5");
    }
}

TEST_F(InstrumentParametersTest, SetWritesTheRawTargetAndLimitBytes) {
    EXPECT_EQ(parameters.set(400.00f, 2.3f, 2.5f), Write::Written);
    EXPECT_EQ(committed().target, 40000u);
    EXPECT_EQ(committed().upperLimit, 22);
    EXPECT_EQ(committed().lowerLimit, 25);
    EXPECT_EQ(line->holdingRegisters(3)->at(regmap::kHoldStatus), regmap::kStatusSettingsWritten);

    EXPECT_EQ(parameters.set(500.00f, 0, 25.5f), Write::Written);
    EXPECT_EQ(committed().target, 50000u);
    EXPECT_EQ(committed().lowerLimit, 255);

    sim::KeypadChange ftlbf;
    ftlbf.unit = 3;
    keypad(ftlbf);
    EXPECT_EQ(parameters.set(368.780f, 0, 0), Write::Written);
    EXPECT_EQ(committed().target, 50000u);
}

TEST_F(InstrumentParametersTest, RefusedSetWritesNothing) {
    const regmap::Settings before = committed();
    const uint64_t frames = line->counters().frames;
    params::SetCheck why{};
    sim::KeypadChange kgf;
    kgf.unit = 2;
    kgf.target = 50000;
    keypad(kgf);
    const uint64_t afterConnect = line->counters().frames;
    EXPECT_GT(afterConnect, frames);
    EXPECT_EQ(parameters.set(5098.5f, 0, 0, &why), Write::Refused);
    EXPECT_EQ(why, params::SetCheck::OutOfWindow);
    EXPECT_EQ(parameters.set(300, 26, 0, &why), Write::Refused);
    EXPECT_EQ(why, params::SetCheck::BadLimit);
    EXPECT_EQ(line->counters().frames, afterConnect);
    EXPECT_EQ(committed().upperLimit, before.upperLimit);

    sim::KeypadChange noUnit;
    noUnit.unit = 0;
    keypad(noUnit);
    EXPECT_EQ(parameters.set(300, 0, 0, &why), Write::Refused);
    EXPECT_EQ(why, params::SetCheck::BadUnit);
    EXPECT_EQ(committed().target, 50000u);
}

TEST_F(InstrumentParametersTest, OutOfRangeCodesSelectNothing) {
    sim::KeypadChange change;
    change.unit = 5;
    change.measuringMode = 0;
    keypad(change);
    EXPECT_EQ(parameters.fields().unitIndex, -1);
    EXPECT_EQ(parameters.fields().measureIndex, -1);
    change.unit = 0;
    change.measuringMode = 4;
    keypad(change);
    EXPECT_EQ(parameters.fields().unitIndex, -1);
    EXPECT_EQ(parameters.fields().measureIndex, -1);
}

TEST_F(InstrumentParametersTest, UnitChangeKeepsTheRawTarget) {
    sim::KeypadChange change;
    change.unit = 1;
    change.target = 50000;
    keypad(change);
    EXPECT_EQ(parameters.changeUnit(3), Write::Written);
    EXPECT_EQ(held().unit, 3);
    EXPECT_EQ(held().target, 50000u);
    EXPECT_EQ(committed().unit, 3);
    EXPECT_EQ(parameters.fields().target, "368.780");

    EXPECT_EQ(parameters.changeMeasuringMode(2), Write::Written);
    EXPECT_EQ(committed().measuringMode, 2);
    EXPECT_EQ(committed().target, 50000u);
}

TEST_F(InstrumentParametersTest, ModeChangeShowsTheChosenSet) {
    EXPECT_EQ(parameters.changeMode(4), Write::Written);
    EXPECT_EQ(line->holdingRegisters(3)->at(regmap::kHoldModeNumber), 4);
    EXPECT_EQ(parameters.modeNumber(), 4);
    EXPECT_EQ(parameters.settings().target, line->parameterSet(3, 4)->target);
    EXPECT_EQ(parameters.fields().modeIndex, 4);
}

TEST_F(InstrumentParametersTest, FailedWriteCommitsNothing) {
    line->faults().setSilent(3, true);
    EXPECT_EQ(parameters.changeUnit(2), Write::WriteFailed);
    EXPECT_EQ(parameters.set(250, 0, 0), Write::WriteFailed);
    line->faults().setSilent(3, false);
    EXPECT_EQ(committed().unit, 1);
    EXPECT_EQ(line->holdingRegisters(3)->at(regmap::kHoldStatus), 0);
}

TEST_F(InstrumentParametersTest, ConnectFailures) {
    InstrumentParameters second;
    EXPECT_EQ(second.connect(linkPath, 3), InstrumentParameters::ConnectResult::PortError);
    EXPECT_EQ(second.connect("", 3), InstrumentParameters::ConnectResult::PortError);
    parameters.disconnect();
    EXPECT_EQ(second.connect(linkPath, 4), InstrumentParameters::ConnectResult::ReadError);
    EXPECT_FALSE(second.connected());
    EXPECT_EQ(second.connect(linkPath, 3), InstrumentParameters::ConnectResult::Connected);
}

}  // namespace
}  // namespace vornex

#include <gtest/gtest.h>

#include "LineFixture.h"
#include "instrument/core/InstrumentParameters.h"
#include "text/NumberText.h"

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
        ASSERT_EQ(parameters.connect(linkPath, 3), OpenResult::Opened);
    }

    // Sets the active parameter set as if on the instrument's keypad, then reconnects.
    void keypad(const sim::KeypadChange& change) {
        ASSERT_TRUE(line->changeOnKeypad(3, change));
        parameters.disconnect();
        ASSERT_EQ(parameters.connect(linkPath, 3), OpenResult::Opened);
    }

    regmap::Settings committed() const { return *line->parameterSet(3, 0); }
    Write set(const char* target, const char* upper, const char* lower,
              params::SetPlan* plan = nullptr) {
        return parameters.set(TypedSettings{target, upper, lower}, plan);
    }

    InstrumentParameters parameters;
};

TEST_F(InstrumentParametersTest, ShowsTargetInTheInstrumentsUnitAndRefusesWhatItCannotTake) {
    const char* expected[] = {"500.00", "5098.5", "368.780", "4426"};
    for (uint8_t unit = 1; unit <= 4; ++unit) {
        sim::KeypadChange change = test::unitChange(unit, 50000);
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
    // A set the instrument cannot take is refused without a word on the line.
    params::SetPlan why;
    keypad(test::unitChange(2, 50000));
    const uint64_t frames = line->counters().frames;
    EXPECT_EQ(set("5100", "0", "0", &why), Write::Refused);
    EXPECT_EQ(why.check, params::SetCheck::OutOfWindow);
    EXPECT_EQ(set("300", "26", "0", &why), Write::Refused);
    EXPECT_EQ(why.check, params::SetCheck::BadLimit);
    EXPECT_EQ(line->counters().frames, frames);

    for (auto [unit, mode] : {std::pair<uint8_t, uint8_t>{5, 0}, {0, 4}}) {
        sim::KeypadChange change = test::unitChange(unit);
        change.measuringMode = mode;
        keypad(change);
        EXPECT_EQ(parameters.fields().unitIndex, -1);
        EXPECT_EQ(parameters.fields().measureIndex, -1);
    }
    EXPECT_EQ(set("300", "0", "0", &why), Write::Refused);
    EXPECT_EQ(why.check, params::SetCheck::BadUnit);
    EXPECT_EQ(committed().target, 50000u);
}

TEST_F(InstrumentParametersTest, UnitAndMeasureChangesKeepTheRawTargetAModeChangeShowsItsSet) {
    keypad(test::unitChange(1, 50000));
    EXPECT_EQ(parameters.changeUnit(3), Write::Written);
    EXPECT_EQ(committed().unit, 3);
    EXPECT_EQ(parameters.fields().target, "368.780");

    EXPECT_EQ(parameters.changeMeasuringMode(2), Write::Written);
    EXPECT_EQ(committed().measuringMode, 2);
    EXPECT_EQ(committed().target, 50000u);

    // A mode change shows the chosen set.
    EXPECT_EQ(parameters.changeMode(4), Write::Written);
    EXPECT_EQ(line->holdingRegisters(3)->at(regmap::kHoldModeNumber), 4);
    EXPECT_EQ(parameters.settings().target, line->parameterSet(3, 4)->target);
    EXPECT_EQ(parameters.fields().modeIndex, 4);
}

size_t writesTo(sim::SimulatedLine& line, int slave) {
    size_t writes = 0;
    for (const sim::Transaction& t : line.log().entries())
        if (t.slave == slave && (t.function == 6 || t.function == 16))
            ++writes;
    return writes;
}

// Every raw target shown in each unit and set back as shown leaves the instrument's block as it
// was, as do limits left as shown; a changed field is written as typed.
TEST_F(InstrumentParametersTest, SettingWhatIsShownChangesNothing) {
    // On a 1 N.m instrument (4 decimals) raw targets 1000 to 4900 are 0.1 to 0.49 N.m, all
    // inside its window.
    parameters.disconnect();
    sim::InstrumentConfig small;
    small.address = 3;
    small.range = 1.0f;
    startLine({small});
    ASSERT_EQ(parameters.connect(linkPath, 3), OpenResult::Opened);
    for (uint8_t unit = 1; unit <= 4; ++unit) {
        int drifted = 0;
        for (uint32_t raw = 1000; raw <= 4900; ++raw) {
            sim::KeypadChange change = test::unitChange(unit, raw);
            change.upperLimit = 23;
            change.lowerLimit = 0;
            ASSERT_TRUE(line->changeOnKeypad(3, change));
            ASSERT_EQ(parameters.changeMode(0), Write::Written);
            const ParameterFields f = parameters.fields();
            ASSERT_EQ(set(f.target.c_str(), f.upper.c_str(), f.lower.c_str()), Write::Written)
                << f.target;
            const regmap::Settings after = committed();
            if (after.target != raw || after.upperLimit != 23 || after.lowerLimit != 0)
                ++drifted;
        }
        EXPECT_EQ(drifted, 0) << "unit " << int(unit);
    }
    keypad(test::unitChange(1));
    EXPECT_EQ(set("0.4321", "2.3", "0"), Write::Written);
    EXPECT_EQ(committed().target, 4321u);
    EXPECT_EQ(committed().upperLimit, 23);
    keypad(test::unitChange(2));
    EXPECT_EQ(set("3.0591", "0", "0"), Write::Written);  // 0.3 N.m, typed in kgf.cm
    EXPECT_EQ(committed().target, 3000u);
}

// Failed writes commit nothing, and connect failures are told: the port held, the instrument
// silent, or its settings unreadable.
TEST_F(InstrumentParametersTest, OnlyABlockReadFromTheInstrumentIsWritten) {
    line->faults().setSilent(3, true);
    EXPECT_EQ(parameters.changeUnit(2), Write::WriteFailed);
    EXPECT_EQ(set("250", "0", "0"), Write::NotRead);
    line->faults().setSilent(3, false);
    EXPECT_EQ(committed().unit, 1);
    EXPECT_EQ(line->holdingRegisters(3)->at(regmap::kHoldStatus), 0);

    InstrumentParameters second;
    EXPECT_EQ(second.connect(linkPath, 3), OpenResult::InUse);
    EXPECT_EQ(second.connect("", 3), OpenResult::CannotOpen);
    parameters.disconnect();
    EXPECT_EQ(second.connect(linkPath, 4), OpenResult::NoAnswer);
    line->faults().setIgnoreOnce(3, regmap::kHoldSettings);
    EXPECT_EQ(second.connect(linkPath, 3), OpenResult::NoAnswer);
    EXPECT_FALSE(second.connected());
    ASSERT_EQ(parameters.connect(linkPath, 3), OpenResult::Opened);

    // The read-back of a mode change fails: the fields show nothing, and a unit change writes
    // only once the block has been read again.
    line->faults().setIgnoreOnce(3, regmap::kHoldSettings);
    EXPECT_EQ(parameters.changeMode(2), Write::Unconfirmed);
    EXPECT_EQ(parameters.fields().target, "");
    EXPECT_EQ(parameters.fields().unitIndex, -1);
    const size_t writes = writesTo(*line, 3);
    line->faults().setIgnoreOnce(3, regmap::kHoldSettings);
    EXPECT_EQ(parameters.changeUnit(3), Write::NotRead);
    EXPECT_EQ(set("300", "0", "0"), Write::NotRead);
    EXPECT_EQ(writesTo(*line, 3), writes);
    EXPECT_EQ(parameters.changeUnit(3), Write::Written);
    EXPECT_EQ(line->parameterSet(3, 2)->unit, 3);
    EXPECT_EQ(parameters.settings().target, line->parameterSet(3, 2)->target);

    // After a failed block write what the instrument holds is unknown until it is read again.
    line->faults().setIgnoreOnce(3, regmap::kHoldSettings);
    EXPECT_EQ(parameters.changeMeasuringMode(2), Write::WriteFailed);
    EXPECT_EQ(parameters.fields().target, "");
    EXPECT_EQ(parameters.changeMeasuringMode(2), Write::Written);
    EXPECT_EQ(line->parameterSet(3, 2)->measuringMode, 2);
}

}  // namespace
}  // namespace vornex

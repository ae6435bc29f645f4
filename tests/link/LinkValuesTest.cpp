#include <gtest/gtest.h>

#include "Files.h"
#include "TempDir.h"
#include "link/PortDiscovery.h"
#include "link/PortTable.h"
#include "link/RegisterMap.h"
#include "text/NumberText.h"

namespace vornex {
namespace {

TEST(LiveValueText, DecodesLowWordFirstAndFormatsWithTheInstrumentsDecimals) {
    const uint16_t regs[2] = {0x0000, 0x41A0};
    const float value = regmap::decodeFloat(regs);
    EXPECT_EQ(value, 20.0f);
    EXPECT_EQ(formatValueText(value, 2), "20.00");
    EXPECT_EQ(formatValueText(value, 0), "20");
    EXPECT_EQ(formatValueText(-1.25f, 3), "-1.250");
    // An absurd decimals register is shown with six decimals, not 65535.
    EXPECT_EQ(formatValueText(1.0f, 400), "1.000000");
    EXPECT_EQ(formatValueText(1.5f, 65535), "1.500000");
}

// Every number a user gives goes through these, so a text that is not wholly a decimal number
// must never come out as some value, 0 least of all.
TEST(NumberText, TakesAWholeDecimalNumberAndNothingElse) {
    const std::pair<const char*, double> numbers[] = {
        {"250", 250.0}, {" 12.5\t", 12.5}, {"+4", 4.0},        {"-3", -3.0},
        {".5", 0.5},    {"5.", 5.0},       {"1.5e3", 1500.0},  {"2E-2", 0.02},
        {"-0", -0.0},   {"000.000", 0.0},  {"1e-310", 1e-310}, {"0e999999", 0.0},
    };
    for (const auto& [text, value] : numbers) {
        ASSERT_TRUE(parseNumber(text).has_value()) << text;
        EXPECT_EQ(*parseNumber(text), value) << text;
    }
    for (const char* text :
         {"",       " ",     "abc", "0x10",  "nan",   "-inf",        "infinity", "1e309",
          "1e-400", "250,7", "1 2", "12abc", "+",     "-",           ".",        "1e",
          "1e+",    "+-5",   "--5", "٣",     "1_000", "\xef\xbc\x91"}) {
        EXPECT_FALSE(parseNumber(text).has_value()) << text;
        EXPECT_FALSE(parseWholeNumber(text).has_value()) << text;
    }
    EXPECT_EQ(parseWholeNumber(" +30 "), 30);
    EXPECT_EQ(parseWholeNumber("-7"), -7);
    for (const char* text : {"3.0", "1e2", "9223372036854775808"})
        EXPECT_FALSE(parseWholeNumber(text).has_value()) << text;
    long address = 0;
    EXPECT_FALSE(parseLong("31", 1, 30, address));
    EXPECT_TRUE(parseLong("30", 1, 30, address));
    EXPECT_EQ(address, 30);
}

TEST(PortList, HoldsTwentyEntriesNamedOnesFirstAndSelectsTheFirstAfterEveryFill) {
    std::vector<std::string> many;
    for (int i = 0; i < 25; ++i)
        many.push_back("/dev/ttyUSB" + std::to_string(i));
    PortTable table;
    EXPECT_EQ(table.selectedIndex(), -1);
    table.fill(many);
    ASSERT_EQ(table.entries().size(), 20u);
    EXPECT_EQ(table.entries().back(), "/dev/ttyUSB19");
    EXPECT_EQ(table.selected(), "/dev/ttyUSB0");

    // A refresh keeps a selected port that is still there, and falls back to the first otherwise.
    ASSERT_TRUE(table.select("/dev/ttyUSB3"));
    EXPECT_TRUE(table.refresh({"/dev/ttyACM0", "/dev/ttyUSB3"}));
    EXPECT_EQ(table.selected(), "/dev/ttyUSB3");
    EXPECT_FALSE(table.refresh({"/dev/ttyACM0"}));
    EXPECT_EQ(table.selected(), "/dev/ttyACM0");

    table.fill({});
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(table.selected(), "");

    // Named ports come first, and no port twice.
    EXPECT_EQ(mergePorts({"/tmp/sim-line", "/dev/ttyUSB0"}, {"/dev/ttyS0", "/dev/ttyUSB0"}),
              (std::vector<std::string>{"/tmp/sim-line", "/dev/ttyUSB0", "/dev/ttyS0"}));
}

TEST(PortList, BuiltInPortsWithoutUartAreLeftOut) {
    test::TempDir sys;
    test::writeBytes(sys.folder("ttyS0") + "type", "4\n");
    test::writeBytes(sys.folder("ttyS1") + "type", "0\n");
    const std::string& root = sys.path();
    EXPECT_TRUE(hasUart(root, "ttyS0"));
    EXPECT_FALSE(hasUart(root, "ttyS1"));
    EXPECT_TRUE(hasUart(root, "ttyUSB0"));
}

}  // namespace
}  // namespace vornex

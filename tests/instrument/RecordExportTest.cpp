#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "Files.h"
#include "SmallFileSystem.h"
#include "TempDir.h"
#include "WorkbookReader.h"
#include "instrument/core/RecordExport.h"

namespace vornex {
namespace {

RecordTable twelveRecords() {
    RecordTable table;
    for (uint16_t k = 1; k <= 12; ++k) {
        regmap::StoredRecord r;
        r.rawTorque = 1000 * k;
        r.decimals = 2;
        r.unit = 1 + k % 4;
        r.verdict = k % 2 ? 2 : 1;
        r.deletedMark = k == 4;
        r.year = 26, r.month = 1, r.day = 31, r.hour = 23, r.minute = static_cast<uint8_t>(k),
        r.second = 5;
        table.rows.push_back(formatRecord(k, r));
    }
    return table;
}

TEST(RecordExport, WorkbookLayout) {
    test::TempDir dir;
    const std::string path = dir.path() + "/records.xlsx";
    RecordTable table = twelveRecords();
    table.rows[11][4] = "Deny, really \"not\" <ok> & 合格";
    ASSERT_EQ(writeRecordWorkbook(path, table), "");

    const std::string xml = test::zipMember(path, "xl/worksheets/sheet1.xml");
    ASSERT_FALSE(xml.empty());
    const auto cells = test::readSheet(xml);
    EXPECT_EQ(cells.size(), 13u * 5u);
    const char* headers[] = {"Order Num", "Torque", "Unit", "Time", "Pass"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(cells.at(std::string(1, char('A' + c)) + "1").text, headers[c]);
    EXPECT_EQ(cells.at("A2").text, "1");
    EXPECT_EQ(cells.at("B2").text, "10.00");
    EXPECT_EQ(cells.at("B5").text, "del");
    EXPECT_EQ(cells.at("D2").text, "26-01-31 23:01:05");
    EXPECT_EQ(cells.at("A13").text, "12");
    EXPECT_EQ(cells.at("E13").text, "Deny, really \"not\" &lt;ok&gt; &amp; 合格");
    EXPECT_EQ(cells.count("A14"), 0u);
    for (const auto& [ref, cell] : cells)
        EXPECT_EQ(cell.type, "inlineStr") << ref;

    // Only the last column is fitted, to its longest text (the CJK word counts double).
    std::smatch col;
    ASSERT_TRUE(std::regex_search(
        xml, col, std::regex(R"re(<col min="(\d+)" max="(\d+)" width="([0-9.]+)")re")));
    EXPECT_EQ(col[1], "5");
    EXPECT_EQ(col[2], "5");
    const double width = std::stod(col[3]);
    EXPECT_GE(width, fittedColumnWidth(table.rows[11][4]));
    EXPECT_EQ(fittedColumnWidth(table.rows[11][4]), 31.0);
    EXPECT_LT(width, 33.0);
}

TEST(RecordExport, CsvQuotesWhatNeedsItAndAnUnwritablePlaceIsReported) {
    test::TempDir dir;
    const std::string path = dir.path() + "/records.csv";
    RecordTable table;
    table.rows.push_back({"1", "1,5", "say \"x\"", "26-01-31 23:01:05", "pass"});
    ASSERT_EQ(writeRecordCsv(path, table), "");
    EXPECT_EQ(
        test::readBytes(path),
        "Order Num,Torque,Unit,Time,Pass\n1,\"1,5\",\"say \"\"x\"\"\",26-01-31 23:01:05,pass\n");
    EXPECT_NE(writeRecordCsv("/nonexistent-folder/x.csv", table), "");
    EXPECT_NE(writeRecordWorkbook("/nonexistent-folder/x.xlsx", table), "");
}

TEST(RecordExport, FullDiskLeavesTheEarlierFileAsItWas) {
    test::TempDir dir;
    const test::SmallFileSystem disk(dir.path(), 64);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    RecordTable many;
    const RecordTable twelve = twelveRecords();
    for (int k = 0; k < 3000; ++k) {
        many.rows.push_back(twelve.rows[static_cast<size_t>(k % 12)]);
        many.rows.back()[0] = std::to_string(k + 1);
    }
    const std::string earlier(40000, 'e');
    for (const char* name : {"/r.csv", "/r.xlsx"}) {
        const std::string path = dir.path() + name;
        test::writeBytes(path, earlier);
        const bool csv = path.back() == 'v';
        const std::string error =
            csv ? writeRecordCsv(path, many) : writeRecordWorkbook(path, many);
        EXPECT_NE(error, "") << name;
        EXPECT_TRUE(test::readBytes(path) == earlier) << name << " is not the earlier file";
        std::remove(path.c_str());
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "unfinished files are removed";
}

}  // namespace
}  // namespace vornex

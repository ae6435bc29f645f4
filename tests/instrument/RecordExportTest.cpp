#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>

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

TEST(RecordExport, WorkbookAndCsvLayout) {
    test::TempDir dir;
    const std::string path = dir.path() + "/records.xlsx";
    RecordTable table = twelveRecords();
    table.rows[11][4] = "Deny, really \"not\" <ok> & 合格";
    // A record of an impossible day keeps its text; an exchange that failed says so in words.
    table.rows.push_back({"13", "error", "", "26-02-30 23:01:05", ""});
    ASSERT_EQ(writeRecordWorkbook(path, table), "");

    const std::string xml = test::zipMember(path, "xl/worksheets/sheet1.xml");
    ASSERT_FALSE(xml.empty());
    const auto cells = test::readSheet(xml);
    EXPECT_EQ(cells.size(), 13u * 5u + 3u);
    const char* headers[] = {"Order Num", "Torque", "Unit", "Time", "Pass"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(cells.at(std::string(1, char('A' + c)) + "1").text, headers[c]);
    // Numbers and times are cells a spreadsheet can sum and chart, shown as the list shows them.
    const auto formats = test::readCellFormats(test::zipMember(path, "xl/styles.xml"));
    struct Expected {
        const char* ref;
        const char* type;
        const char* text;
        const char* format;
    } expected[] = {
        {"A2", "", "1", "0"},
        {"B2", "", "10", "0.00"},
        {"B5", "inlineStr", "del", "General"},
        {"C2", "inlineStr", "kgf.cm", "General"},
        {"D2", "", "46053.95", "yy-mm-dd hh:mm:ss"},
        {"E2", "inlineStr", "pass", "General"},
        {"A13", "", "12", "0"},
        {"E13", "inlineStr", "Deny, really \"not\" &lt;ok&gt; &amp; 合格", "General"},
        {"D14", "inlineStr", "26-02-30 23:01:05", "General"},
        {"B14", "inlineStr", "error", "General"},
    };
    for (const Expected& e : expected) {
        const test::SheetCell& cell = cells.at(e.ref);
        EXPECT_EQ(cell.type, e.type) << e.ref;
        EXPECT_EQ(cell.text.substr(0, std::string(e.text).size()), e.text) << e.ref;
        EXPECT_EQ(formats.at(cell.style), e.format) << e.ref;
    }
    EXPECT_EQ(cells.count("A15"), 0u);

    // The dates fit their column, and the last column its longest text (CJK counts double).
    std::map<std::string, double> widths;
    const std::regex col(R"re(<col min="(\d+)" max="\d+" width="([0-9.]+)")re");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), col); it != std::sregex_iterator();
         ++it)
        widths[(*it)[1]] = std::stod((*it)[2]);
    ASSERT_EQ(widths.size(), 2u);
    EXPECT_GE(widths.at("4"), 18.0);
    EXPECT_EQ(fittedColumnWidth(table.rows[11][4]), 31.0);
    EXPECT_GE(widths.at("5"), 31.0);
    EXPECT_LT(widths.at("5"), 33.0);

    // The list as CSV quotes what needs it; an unwritable place is reported.
    const std::string csv = dir.path() + "/records.csv";
    RecordTable one;
    one.rows.push_back({"1", "1,5", "say \"x\"", "26-01-31 23:01:05", "pass"});
    ASSERT_EQ(writeRecordCsv(csv, one), "");
    EXPECT_EQ(
        test::readBytes(csv),
        "Order Num,Torque,Unit,Time,Pass\n1,\"1,5\",\"say \"\"x\"\"\",26-01-31 23:01:05,pass\n");
    EXPECT_NE(writeRecordCsv("/nonexistent-folder/x.csv", one), "");
    EXPECT_NE(writeRecordWorkbook("/nonexistent-folder/x.xlsx", one), "");
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

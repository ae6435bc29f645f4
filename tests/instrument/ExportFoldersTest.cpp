#include <gtest/gtest.h>

#include <utime.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "instrument/ExportFolders.h"

namespace vornex {
namespace {

void age(const QString& path, int days) {
    const time_t then = time(nullptr) - days * 86400;
    utimbuf times{then, then};
    ASSERT_EQ(utime(QFile::encodeName(path).constData(), &times), 0);
}

TEST(ExportFoldersTest, OnlyOwnExportFoldersADayOldGoAndNamesAreSafe) {
    QTemporaryDir temp;
    const QString old = exportfolders::makeFolder(temp.path());
    const QString fresh = exportfolders::makeFolder(temp.path());
    ASSERT_FALSE(old.isEmpty());
    QFile workbook(old + "/Slave_1-20261207.xlsx");
    ASSERT_TRUE(workbook.open(QIODevice::WriteOnly));
    workbook.close();
    workbook.setPermissions(QFileDevice::ReadOwner);
    age(old, 2);
    const QString other = temp.filePath("someone-else");
    QDir().mkpath(other);
    age(other, 2);
    QTemporaryDir outside;
    ASSERT_TRUE(QFile::link(outside.path(), temp.filePath("vornex-export-link")));

    EXPECT_EQ(exportfolders::removeStale(temp.path(), QDateTime::currentDateTime().addDays(-1)), 1);
    EXPECT_FALSE(QDir(old).exists());
    EXPECT_TRUE(QDir(fresh).exists());
    EXPECT_TRUE(QDir(other).exists());
    EXPECT_TRUE(QDir(outside.path()).exists());

    EXPECT_EQ(exportfolders::proposedName("Slave_3", QDate(2026, 12, 7)), "Slave_3-20261207.xlsx");
    EXPECT_EQ(exportfolders::proposedName("a/b", QDate(2026, 1, 2)), "a_b-20260102.xlsx");
}

}  // namespace
}  // namespace vornex

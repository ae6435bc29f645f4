#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace vornex {

// Where exports go. A workbook handed to a spreadsheet application is written, read-only, into a
// folder of its own under the temporary folder, so the application's Save asks where to save; the
// program removes those folders once they are a day old.
namespace exportfolders {

inline constexpr const char* kPrefix = "vornex-export-";

// "<slave>-<yyyyMMdd>.xlsx", with characters a file name cannot hold replaced.
QString proposedName(const QString& slave, const QDate& date);

// A new folder for one handed-over workbook under `tempFolder`; empty when it cannot be made.
QString makeFolder(const QString& tempFolder);

// Removes this user's export folders under `tempFolder` last changed before `olderThan`, with
// what they hold; links and other people's folders are left. Returns how many went.
int removeStale(const QString& tempFolder, const QDateTime& olderThan);

}  // namespace exportfolders

}  // namespace vornex

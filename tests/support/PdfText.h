#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <string>

namespace vornex::test {

// A PDF as its reader finds it: its text by poppler's pdftotext, laid out, pages ended by '\f'.
inline QString pdfText(const std::string& pdf) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), QString::fromStdString(pdf), QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(30000)) << "poppler-utils is in the set-up's packages";
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

}  // namespace vornex::test

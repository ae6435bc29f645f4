#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "Files.h"
#include "TempDir.h"
#include "i18n/Language.h"

namespace vornex {
namespace {

TEST(LanguageTexts, LookupsFromSeveralThreadsWhileTheFileIsReplaced) {
    test::TempDir dir;
    const QString file = dir.qFile("lang.ini");
    const QString next = dir.qFile("next.ini");
    auto contents = [](const char* text) {
        return QByteArray("[String]\nIDS_MESSAGE_TIP=") + text + "\n";
    };
    test::writeFile(file, contents("first"));

    std::atomic<bool> done{false};
    std::atomic<int> wrong{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 3; ++i) {
        readers.emplace_back([&] {
            while (!done) {
                const QString text = GetLangString(file, QStringLiteral("IDS_MESSAGE_TIP"));
                if (text != QLatin1String("first") && text != QLatin1String("second"))
                    ++wrong;
            }
        });
    }
    for (int round = 0; round < 50; ++round) {
        test::writeFile(next, contents(round % 2 ? "first" : "second"));
        std::rename(next.toUtf8().constData(), file.toUtf8().constData());
    }
    done = true;
    for (std::thread& reader : readers)
        reader.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(GetLangString(file, QStringLiteral("IDS_MESSAGE_TIP")), "first");
}

}  // namespace
}  // namespace vornex

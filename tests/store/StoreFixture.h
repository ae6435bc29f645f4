#pragma once

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <cmath>
#include <string>
#include <vector>

#include "Files.h"
#include "PgCluster.h"
#include "RecordFiles.h"
#include "TempDir.h"
#include "record/CompanionFile.h"
#include "store/Outbox.h"
#include "store/PgConnection.h"
#include "store/Schema.h"

namespace vornex::test {

// One cluster for the suite; each case works in a database of its own.
class StoreTest : public ::testing::Test {
protected:
    using PgConnection = store::PgConnection;
    using Outbox = store::Outbox;
    using PgResult = store::PgResult;

    static void SetUpTestSuite() { cluster = new PgCluster; }
    static void TearDownTestSuite() { delete cluster; }

    // A new database, migrated to `version`.
    std::string database(int version = store::latestSchemaVersion()) {
        static int made = 0;
        const std::string name = "case" + std::to_string(++made);
        PgConnection admin(cluster->uri());
        EXPECT_TRUE(admin.exec("CREATE DATABASE " + name).ok());
        PgConnection connection(cluster->uri(name));
        EXPECT_EQ(store::migrateSchema(connection, version).result.text, "");
        return name;
    }

    // A closed test of one pull on tool 4711, with its companion file holding its hash (and a UUID
    // unless `uuid` is empty, as in companions written before tests had one).
    std::string closedTest(const std::string& name, const std::string& uuid,
                           const std::string& bench = "bench-a") {
        const std::string path = home.folder("Data/20261207") + name + ".pdat";
        std::vector<CurvePoint> points;
        for (int i = 0; i <= 40; ++i)
            points.push_back(point(i * 0.05, 10.0 - std::abs(i - 20) * 0.5, 1));
        writeRecords(path, points);
        Companion companion;
        companion.uuid = uuid;
        companion.testName = name;
        companion.started = "2026-12-07 10:00:00";
        companion.trace.bench = bench;
        companion.trace.toolId = "4711";
        // 12 ± 1: the pull's peak of 10 is low.
        InstrumentSettings settings;
        settings.unit = 1;
        settings.range = 20.0;
        settings.decimals = 2;
        settings.target = 12.0;
        settings.upper = settings.lower = 5.0;
        companion.instruments[1] = {settings};
        companion.trace.sha256 =
            QCryptographicHash::hash(QByteArray::fromStdString(readBytes(path)),
                                     QCryptographicHash::Sha256)
                .toHex()
                .toStdString();
        EXPECT_TRUE(writeCompanion(companionPath(path), companion).ok());
        return path;
    }

    static long count(const std::string& db, const std::string& table) {
        PgConnection connection(cluster->uri(db));
        const PgResult result = connection.exec("SELECT count(*) FROM " + table);
        return result.ok() ? std::stol(result.value(0, 0)) : -1;
    }

    inline static PgCluster* cluster = nullptr;
    TempDir home;
    Outbox outbox{home.path() + "/"};
};

}  // namespace vornex::test

#pragma once

#include <QDate>
#include <QDialog>
#include <QString>

#include <optional>
#include <string>

#include "record/CompanionFile.h"
#include "record/SlaveCounts.h"

class QComboBox;
class QLabel;
class QDateEdit;
class QLineEdit;
class QTabWidget;

namespace vornex {

// The saved-data browser (dialog 326): picks a day and one of that day's test files, shows how
// many points each instrument has in it and, from the test's companion file, the settings the
// chosen instrument recorded with, and on OK hands back the chosen file for loading. It is
// refused while a test is open, and OK is refused while recording or when the day has no file.
// Its Store tab finds tests of every bench in the store and hands back a fetched copy the same way.
class CDlgSelData : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogNumber = 326;

    // dataFolder ends in "/"; today is the day shown first (the local date by default).
    CDlgSelData(const QString& languageFile, const QString& dataFolder, bool testOpen,
                bool recording, QWidget* parent = nullptr, QDate today = QDate::currentDate());

    // Refuses with a message, and returns Rejected at once, while a test is open.
    int exec() override;

    // The Store tab searches the store `conninfo` names (none configured: empty) and fetches the
    // chosen test into `copiesFolder`; its search is kept in `configFile` (empty: not kept).
    void addStoreTab(const std::string& conninfo, const QString& copiesFolder,
                     const QString& configFile = QString());
    // The test was fetched from the store to make its report.
    bool reportWanted() const { return reportWanted_; }

    // The file to load after an accepted run.
    const QString& filePath() const { return filePath_; }
    const QString& folderPath() const { return folderPath_; }

private:
    void buildControls();
    void onDateChanged(const QDate& date);
    void onFileChosen(int index);
    void onCurveChosen(int index);
    void onOk();
    int listFolder();
    void chooseFile(int index);
    QString dayFolder(const QDate& date) const;
    void showSettings(int slave);
    void onFetched(const QString& path, bool report);

    const QString languageFile_;
    const QString dataFolder_;
    const bool testOpen_;
    const bool recording_;
    QString folderPath_;
    QString filePath_;
    SlaveCounts counts_;
    CompanionRead companion_;
    bool reportWanted_ = false;

    QDateEdit* date_ = nullptr;
    QComboBox* files_ = nullptr;
    QComboBox* curves_ = nullptr;
    QLineEdit* points_ = nullptr;
    QLabel* settings_ = nullptr;
    QTabWidget* tabs_ = nullptr;
};

}  // namespace vornex

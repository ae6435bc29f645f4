#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "store/ResultQuery.h"
#include "store/ToolHistory.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace vornex {

class ControlChartView;
class StoreTabWorker;
struct RecordReview;

// The saved-data browser's Store tab: searches the store by tool, bench, operator, days and
// verdict, lists what it finds (start, bench, operator, tool, test name, kind, result), and
// shows under the list what the store holds of the chosen record's review (its amendments and
// signatures), and fetches a chosen test into a folder of copies, with that review beside it, for
// the window to open read-only in the graph or to report on. The last search's fields are kept in
// config.ini for the next opening. The server is asked on a worker thread, so that the window goes
// on while it answers: a search says that it is under way, and a newer one replaces it.
class StoreTab : public QWidget {
    Q_OBJECT

public:
    // `conninfo` empty: no store is configured and the tab says so. Fetched tests go to
    // `copiesFolder` (ends in "/"), each as "UUID/NAME.pdat" with the name its companion holds.
    // The search is kept in `configFile`'s [StoreSearch]; an empty one keeps nothing.
    StoreTab(const QString& languageFile, std::string conninfo, QString copiesFolder,
             QString configFile, QWidget* parent = nullptr);
    // Interrupts what the server is being asked.
    ~StoreTab() override;

    // Asks and returns at once; the rows follow.
    void search();

signals:
    // A test was fetched to `path`; `report` when its report is wanted.
    void fetched(const QString& path, bool report);

private:
    QString text(const char* key, const char* fallback) const;
    QString shown(const std::string& word) const;
    void showFound(uint64_t serial, const std::vector<store::FoundResult>& found,
                   const QString& error);
    // The chosen row's test fetched and handed on.
    void fetch(bool report);
    void showFetched(const QString& path, bool report, const QString& error);
    void showReviewed(const QString& uuid, const RecordReview& review);
    void showReview(const RecordReview& review);
    void showFailed(const QString& error);
    // The tool typed charted across its stored tests, in a window of its own.
    void chartTool();
    void showHistory(const QString& tool, const store::ToolHistory& history, const QString& error);
    void chosenChanged();
    void restoreSearch();
    void keepSearch() const;

    const QString languageFile_;
    const bool configured_;
    const QString configFile_;
    QLineEdit* tool_;
    QLineEdit* bench_;
    QLineEdit* operator_;
    QLineEdit* since_;
    QLineEdit* until_;
    QComboBox* verdict_;
    QTableWidget* found_;
    QPlainTextEdit* notes_;
    QLabel* message_;
    QPushButton* open_;
    QPushButton* report_;
    QPushButton* chart_;
    ControlChartView* chartView_ = nullptr;
    // The last search asked; the answers of earlier ones are not shown.
    uint64_t searchSerial_ = 0;
    // The record whose review the notes wait for: the chosen row's.
    QString reviewed_;
    std::unique_ptr<StoreTabWorker> worker_;
};

}  // namespace vornex

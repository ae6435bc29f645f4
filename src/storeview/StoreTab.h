#pragma once

#include <QString>
#include <QWidget>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace vornex {

// The saved-data browser's Store tab: searches the store by tool, bench, operator, days and
// verdict, lists what it finds (start, bench, operator, tool, test name, kind, result), and
// fetches a chosen test into a folder of copies for the window to open read-only in the graph, or
// to report on. The last search's fields are kept in config.ini for the next opening.
class StoreTab : public QWidget {
    Q_OBJECT

public:
    // `conninfo` empty: no store is configured and the tab says so. Fetched tests go to
    // `copiesFolder` (ends in "/"), each as "UUID/NAME.pdat" with the name its companion holds.
    // The search is kept in `configFile`'s [StoreSearch]; an empty one keeps nothing.
    StoreTab(const QString& languageFile, std::string conninfo, QString copiesFolder,
             QString configFile, QWidget* parent = nullptr);

    void search();

signals:
    // A test was fetched to `path`; `report` when its report is wanted.
    void fetched(const QString& path, bool report);

private:
    QString text(const char* key, const char* fallback) const;
    QString shown(const std::string& word) const;
    // The chosen row's test fetched and handed on.
    void fetch(bool report);
    void chosenChanged();
    void restoreSearch();
    void keepSearch() const;
    // Where the fetched copy of `uuid` is named by its test, or nothing with the reason.
    QString namedCopy(const QString& uuid, std::string& error) const;

    const QString languageFile_;
    const std::string conninfo_;
    const QString copiesFolder_;
    const QString configFile_;
    QLineEdit* tool_;
    QLineEdit* bench_;
    QLineEdit* operator_;
    QLineEdit* since_;
    QLineEdit* until_;
    QComboBox* verdict_;
    QTableWidget* found_;
    QLabel* message_;
    QPushButton* open_;
    QPushButton* report_;
};

}  // namespace vornex

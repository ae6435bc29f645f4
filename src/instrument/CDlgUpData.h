#pragma once

#include <QDialog>
#include <chrono>
#include <functional>

#include "instrument/PortRefusal.h"
#include "instrument/core/RecordUpload.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;

namespace vornex {

class RecordListModel;

// The upload window (dialog 327): links to one instrument on the control panel's current port,
// fetches the records the instrument keeps into a list while a progress bar runs, and exports the
// list to a spreadsheet. The fetching runs on a thread of its own; the window stays responsive.
class CDlgUpData : public QDialog, private UploadObserver {
    Q_OBJECT

public:
    static constexpr int kDialogNumber = 327;
    static constexpr std::chrono::milliseconds kDefaultPeriod{50};
    // Opens a written workbook in the desktop's spreadsheet application; false when none takes it.
    using WorkbookOpener = std::function<bool(const QString& path)>;
    // Asks where to save (caption, proposed path, filters); empty when the user cancelled.
    using SaveChooser = std::function<QString(const QString& caption, const QString& proposed,
                                              const QString& filters, QString* chosenFilter)>;

    // portText: the control panel's current port; panelConnected: its polling link is open.
    CDlgUpData(const QString& languageFile, const QString& portText, bool panelConnected,
               QWidget* parent = nullptr);
    ~CDlgUpData() override;

    void setPeriod(std::chrono::milliseconds period) { period_ = period; }
    void setWorkbookOpener(WorkbookOpener opener) { opener_ = std::move(opener); }
    void setSaveChooser(SaveChooser chooser) { chooser_ = std::move(chooser); }
    // Lets a refused Confirm say when the port is held by this window's own polling.
    void setPolledPort(PolledPort polled) { polled_ = std::move(polled); }

    // Writes the list as a workbook, or as CSV when the path ends in ".csv". Empty on success.
    QString saveAs(const QString& path) const;
    // Where the last export put its workbook: a read-only copy handed to the spreadsheet
    // application, or the file the user chose when there is none.
    const QString& lastExport() const { return lastExport_; }

    bool isLinked() const { return linked_; }
    bool isUploading() const { return upload_.running() || uploading_; }
    const RecordListModel& records() const { return *model_; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void onConfirm();
    void onUpload();
    void onExport();
    void onSaveAs();
    // Saves through the file dialog; true when a file was written.
    bool saveThroughDialog(const QString& caption, const QString& proposed);
    // The name a file of the list gets: a list of a transfer that did not finish is saved under
    // its partial name, beside any complete list of that name and never over it.
    QString outputName(const QString& path) const;
    QString text(const char* key) const;
    void showLinked(bool linked);
    void fitColumns();

    void recordUploaded(const UploadedRecord& item) override;
    void uploadEnded(unsigned run, UploadEnd end, unsigned failed) override;
    void addRecord(const UploadedRecord& item);
    void endUpload(unsigned run, UploadEnd end, unsigned failed);

    const QString languageFile_;
    const QString portText_;
    const bool panelConnected_;
    std::chrono::milliseconds period_ = kDefaultPeriod;
    WorkbookOpener opener_;
    SaveChooser chooser_;
    PolledPort polled_;
    QString lastExport_;

    RecordUpload upload_{*this};
    bool linked_ = false;
    bool uploading_ = false;
    bool complete_ = false;  // the list holds every record of a finished transfer
    unsigned run_ = 0;

    QComboBox* slave_ = nullptr;
    QPushButton* confirm_ = nullptr;
    QTableView* list_ = nullptr;
    RecordListModel* model_ = nullptr;
    QPushButton* uploadButton_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* saveAs_ = nullptr;
    QLineEdit* count_ = nullptr;
    QLineEdit* range_ = nullptr;
    QProgressBar* progress_ = nullptr;
};

}  // namespace vornex

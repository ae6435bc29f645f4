#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "config/AppPaths.h"
#include "register/RegisterRecords.h"
#include "verify/VerificationRun.h"
#include "verifywin/RunSearch.h"
#include "verifywin/VerifyFeed.h"

class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace vornex {

class AcquisitionSession;

// One station of the verification window: the run of one tool on one instrument of the session's
// line. Before the run: the tool (a remembered identifier fills in the rest), the profile, the
// operator, the ambient conditions and the reference's calibration due date, or an unfinished run
// of this instrument to resume, or an ended one to make its certificate again. During the run:
// what to do next in large letters, the last reading with its deviation, the readings so far, a
// slip to count or repeat, and abort with a reason. At its end: the result, its certificate and a
// new run. Nothing in it waits for the user in a way that holds another station.
class StationPane : public QWidget, private verify::RunListener {
    Q_OBJECT

public:
    StationPane(AcquisitionSession& session, uint8_t address, const AppPaths& paths,
                const QString& languageFile, QWidget* parent = nullptr);
    ~StationPane() override;

    uint8_t address() const { return address_; }
    // The width at which every field of a station reads whole in this language and font.
    static int comfortableWidth(const QString& languageFile, const QFont& font);
    // Takes the instrument's values since the last call into the run; the line's news.
    void feed();
    void lineLost();
    void lineBack();

    const verify::VerificationRun* run() const { return run_.get(); }
    // The search for this instrument's runs has not answered yet.
    bool searching() const { return search_.searching(); }
    // The station's instrument as it is now: a stored run is offered only when it matches.
    verify::Reference currentReference() const;
    // Takes the certificate to `path` as Save as... does; false with the reason in the message.
    bool saveCertificate(const QString& path);
    // The same for any ended run file.
    bool saveCertificate(const QString& runPath, const QString& path);

signals:
    // The run ended or was abandoned; its file is complete.
    void runFinished(const QString& path);

private:
    enum class Field {
        ToolId,
        Description,
        Class,
        Lowest,
        Maximum,
        Unit,
        Operator,
        Temperature,
        Humidity,
        Due,
        OverdueReason,
        Reason,
        Indication
    };
    enum class Button {
        Start,
        Resume,
        SlipCount,
        SlipRepeat,
        Abort,
        Certificate,
        NewRun,
        EndedCertificate,
        Sign,
        EndedSign,
        Indicate
    };

    QLineEdit* field(Field which) const { return fields_[static_cast<int>(which)]; }
    QPushButton* button(Button which) const { return buttons_[static_cast<int>(which)]; }
    // The Certificate... dialog open for the run file `runPath`, or nullptr.
    QFileDialog* certificateDialog(const QString& runPath) const;

    void said(const std::string& line) override;
    void warned(const std::string& text) override;
    void changed() override;

    QString text(const char* key) const;
    void buildSetup(QWidget* page);
    void buildRun(QWidget* page);
    void fillFromTool();
    void findUnfinished();
    void foundRuns(const verify::FoundRuns& found);
    void refreshProfiles();
    void newRun();
    void start();
    void resume();
    void begin(std::unique_ptr<verify::VerificationRun> run);
    // The station's instrument as it is now, to bind a run to it.
    // The register's reference asset the instrument is named as, if it is one.
    std::optional<RegisteredReference> referenceAsset() const;
    verify::Reference instrumentNow() const;
    void askForCertificate(const QString& runPath, const QString& toolId, const QString& started);
    // Sign...: the run file signed in the home folder's Signatures.tsv; the message says how.
    void askToSign(const QString& runPath);
    void showReadings();
    void showLast();
    // What the operator does before a sub-test's series, in the window's language.
    QString subtestInstruction(const verify::SubtestStep& step) const;
    // The indication typed in, given to the run; one that is no number is asked again.
    void indicate();

    AcquisitionSession& session_;
    const uint8_t address_;
    const AppPaths paths_;
    const QString languageFile_;
    VerifyFeed feed_;
    std::unique_ptr<verify::VerificationRun> run_;
    std::optional<verify::Showing> showing_;  // as the instrument last told it
    std::optional<std::time_t> silentSince_;
    std::string notHeld_;  // the value of the last pull not held, until the next reading
    QString refused_;      // why the last pull was asked again, until the run says more
    bool finishAnnounced_ = false;
    QString confirmed_;  // the warnings confirmed by a second Start
    std::vector<QString> unfinishedPaths_;
    std::vector<verify::FoundRun> endedRuns_;
    QString baseTitle_;  // the slave and its name
    // The Certificate... dialogs open, by run file.
    std::map<QString, QPointer<QFileDialog>> certificateDialogs_;

    QLineEdit* fields_[13] = {};
    QPushButton* buttons_[11] = {};
    QComboBox* direction_ = nullptr;
    QComboBox* condition_ = nullptr;  // as found, as left
    QComboBox* profiles_ = nullptr;
    QComboBox* unfinished_ = nullptr;
    QComboBox* ended_ = nullptr;
    QLabel* title_ = nullptr;
    QWidget* setup_ = nullptr;
    QWidget* running_ = nullptr;
    QLabel* warning_ = nullptr;
    QLabel* prompt_ = nullptr;
    QLabel* last_ = nullptr;
    QWidget* slip_ = nullptr;
    QWidget* indication_ = nullptr;  // an indicating tool's indication, asked after each pull
    QTableWidget* table_ = nullptr;
    QLabel* message_ = nullptr;
    RunSearch search_{*this};  // last: it goes first, before what its answer fills
};

}  // namespace vornex

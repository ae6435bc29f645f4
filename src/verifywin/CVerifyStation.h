#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "i18n/AppPaths.h"
#include "link/Sample.h"
#include "verify/VerificationRun.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace vornex {

class AcquisitionSession;

// One station of the verification window: the run of one tool on one instrument of the session's
// line. Before the run: the tool (a remembered identifier fills in the rest), the profile, the
// operator, the ambient conditions and the reference's calibration due date, or an unfinished run
// of this instrument to resume. During the run: what to do next in large letters, the last
// reading with its deviation, the readings so far, a slip to count or repeat, and abort with a
// reason. At its end: the result and its certificate. Nothing in it waits for the user in a way
// that holds another station.
class CVerifyStation : public QWidget, private verify::RunListener {
    Q_OBJECT

public:
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
        Reason
    };
    enum class Button { Start, Resume, SlipCount, SlipRepeat, Abort, Certificate };

    CVerifyStation(AcquisitionSession& session, uint8_t address, const AppPaths& paths,
                   const QString& languageFile, QWidget* parent = nullptr);
    ~CVerifyStation() override;

    uint8_t address() const { return address_; }
    // The instrument's values since the last call; the line's news.
    void feed(const std::vector<Sample>& samples);
    void lineLost();
    void lineBack();

    const verify::VerificationRun* run() const { return run_.get(); }
    QLineEdit* field(Field which) const { return fields_[static_cast<int>(which)]; }
    QPushButton* button(Button which) const { return buttons_[static_cast<int>(which)]; }
    QComboBox* profiles() const { return profiles_; }
    QComboBox* unfinished() const { return unfinished_; }
    QLabel* prompt() const { return prompt_; }
    QLabel* message() const { return message_; }
    QTableWidget* readings() const { return table_; }
    // Takes the certificate to `path` as Save as... does; false with the reason in the message.
    bool saveCertificate(const QString& path);

signals:
    // The run ended or was abandoned; its file is complete.
    void runFinished(const QString& path);

private:
    void said(const std::string&) override {}
    void changed() override;

    QString text(const char* key) const;
    void buildSetup(QWidget* page);
    void buildRun(QWidget* page);
    void fillFromTool();
    void findUnfinished();
    void start();
    void resume();
    void begin(std::unique_ptr<verify::VerificationRun> run);
    void askForCertificate();
    void showReadings();
    void showLast();

    AcquisitionSession& session_;
    const uint8_t address_;
    const AppPaths paths_;
    const QString languageFile_;
    std::unique_ptr<verify::VerificationRun> run_;
    bool finishAnnounced_ = false;
    QString confirmed_;  // the warnings confirmed by a second Start
    std::vector<QString> unfinishedPaths_;

    QLineEdit* fields_[11] = {};
    QPushButton* buttons_[6] = {};
    QComboBox* direction_ = nullptr;
    QComboBox* profiles_ = nullptr;
    QComboBox* unfinished_ = nullptr;
    QLabel* title_ = nullptr;
    QWidget* setup_ = nullptr;
    QWidget* running_ = nullptr;
    QLabel* warning_ = nullptr;
    QLabel* prompt_ = nullptr;
    QLabel* last_ = nullptr;
    QWidget* slip_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* message_ = nullptr;
};

}  // namespace vornex

#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "judge/LiveResults.h"
#include "session/SessionObserver.h"

class QWidget;

namespace vornex {

class AcquisitionSession;
class CXGraph;
class JudgeMarks;
class ResultsPanel;

// Judges the curves of the session as they grow and shows the results in the panel and as marks
// on the graph; writes the report of the open or loaded test. Everything runs on the interface
// thread: the view's ticks and the session's test news drive it.
class ResultsController : public QObject, private SessionObserver {
    Q_OBJECT

public:
    // Subscribes to the session until it is destroyed; the session must outlive it.
    ResultsController(AcquisitionSession& session, CXGraph& graph, ResultsPanel& panel);
    ~ResultsController() override;

    void setLanguageFile(const QString& languageFile);
    // The home folder whose DocumentNumbers.tsv numbers the reports and whose Signatures.tsv they
    // show; without one a report is printed unnumbered.
    void setHome(const QString& home, const QString& configFile);

    // Takes the points the curves gained; the view calls it after every tick.
    void update();
    // A saved test was loaded into the curves: it is judged whole, to its end.
    void testLoaded();

    // Asks where to save the report of the open or loaded test and writes it there as PDF, with
    // its events beside it as CSV (same name, ".csv"); says what became of them.
    void report(QWidget* parent);
    // Says what of the test's companion file was refused, when something was.
    void tellRefusals(QWidget* parent) const;
    // Writes both without asking; false with the reason in `error`.
    bool writeReport(const QString& pdfPath, QString* error);

    const LiveResults& results() const { return results_; }

private:
    void recordingChanged(RecordingState state) override;
    void testOpened(const std::string& path) override;
    void testClosed(const std::string& path) override;
    void restart();
    void refresh();
    void showPeakSources();
    const Companion* companion();
    JudgeOverrides overrides() const;

    AcquisitionSession& session_;
    CXGraph& graph_;
    ResultsPanel& panel_;
    std::unique_ptr<JudgeMarks> marks_;
    LiveResults results_;
    QString languageFile_;
    QString home_, configFile_;
    // Why the report written last lacks its number or signatures; empty when it has them.
    std::string unnumbered_;
    // The companion of a loaded test, read once when it was loaded.
    std::optional<Companion> loadedCompanion_;
    // What of the companion file of the test loaded or reported last was refused, one line each.
    std::vector<std::string> refusals_;
    int displayed_ = 0;
};

}  // namespace vornex

#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "graph/CXGraph.h"
#include "graph/GraphPrinter.h"
#include "record/Recorder.h"
#include "record/RecordingObserver.h"

namespace vornex {

class TestSession;

// The graph pane: hosts the graph over its whole area and owns the recording state. Start,
// Stop and Close test run here; a 10 ms timer moves queued samples into the curves and the
// test file's queue.
class CVornexView : public QWidget, private RecordingObserver {
    Q_OBJECT

public:
    static constexpr int kTickMs = 10;
    static constexpr unsigned kCursorFlags = 14;

    explicit CVornexView(TestSession& session, QWidget* parent = nullptr);
    ~CVornexView() override;

    // Every curve empty, the time axis at 0..20 s, the value axis automatic.
    void OnInitialUpdate();

    // Messages are taken from this language file.
    void setLanguageFile(const QString& languageFile) { languageFile_ = languageFile; }

    CXGraph& graph() { return *graph_; }
    Recorder& recorder() { return *recorder_; }
    GraphPrinter& printer() { return *printer_; }
    bool recording() const { return recorder_->signal().recording(); }

public slots:
    // Refused with a message while no test is open.
    void start();
    void stop();
    // False when no test was open.
    bool closeTest();
    void print();
    void printPreview();
    void printSetup();

signals:
    // The header toolbar is to show this row.
    void toolbarState(ToolbarState state);
    // After every timer tick: how long its work took on this thread.
    void ticked(qint64 nanoseconds);

private:
    void tick();

    // RecordingObserver; the append calls may come from the file-writer thread.
    void toolbarStateChanged(ToolbarState state) override;
    void appendFailed(const std::string& path, const std::string& reason) override;
    void appendRecovered(const std::string& path) override;
    void pointsDropped(const std::string& path, size_t count) override;

    CXGraph* graph_;
    std::unique_ptr<Recorder> recorder_;
    std::unique_ptr<GraphPrinter> printer_;
    QTimer timer_;
    QString languageFile_;
};

}  // namespace vornex

#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#include "graph/CXGraph.h"
#include "graph/GraphPrinter.h"
#include "session/SessionObserver.h"

namespace vornex {

class AcquisitionSession;

// The graph pane: hosts the graph that the session draws on over its whole area. Start and Stop
// go to the session, whose driver moves the queued samples into the curves.
class CVornexView : public QWidget, private SessionObserver {
    Q_OBJECT

public:
    static constexpr unsigned kCursorFlags = 14;

    // Takes `graph` in as its child; the session must end before the view.
    CVornexView(AcquisitionSession& session, CXGraph* graph, QWidget* parent = nullptr);

    // Every curve empty, the time axis at 0..20 s, the value axis automatic.
    void OnInitialUpdate();

    // Messages are taken from this language file.
    void setLanguageFile(const QString& languageFile) { languageFile_ = languageFile; }

    CXGraph& graph() { return *graph_; }
    GraphPrinter& printer() { return *printer_; }
    bool recording() const;

public slots:
    // Refused with a message while no test is open.
    void start();
    void stop();
    void print();
    void printPreview();
    void printSetup();

private:
    // SessionObserver. A recording that starts, by Start or after a lost line, leaves any mouse
    // mode. Append failures may come from the file-writer thread.
    void recordingChanged(RecordingState state) override;
    void appendFailed(const std::string& path, const std::string& reason) override;
    void appendRecovered(const std::string& path) override;
    void pointsUnwritten(const std::string& path, size_t count, const std::string& reason) override;

    AcquisitionSession& session_;
    CXGraph* graph_;
    std::unique_ptr<GraphPrinter> printer_;
    QString languageFile_;
};

}  // namespace vornex

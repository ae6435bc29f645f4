#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace vornex {

class CXGraph;

// The Test menu's exports of the graph. Each asks for the output file, then writes the graph at
// its current view or the whole test (PNG, or PDF when the name ends in .pdf), or the points of
// the current view as CSV, at the size of the graph on screen; a failure is shown with the reason.
// The file and companion of the test on show are never written.
class GraphExportMenu {
public:
    // Asks for an output path: caption, proposed name, filters; empty when cancelled.
    using Chooser = std::function<QString(const QString&, const QString&, const QString&)>;

    GraphExportMenu(QWidget* window, CXGraph& graph, std::function<QString()> languageFile,
                    std::function<std::string()> testPath);

    void exportImage(bool wholeTest);
    void exportViewPoints();

    // Tests answer the file dialog.
    void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }

private:
    // The file dialog's title: the menu item's text, plain.
    QString title(const char* menuKey) const;
    // Shows why a chosen output is refused, if it is.
    bool refused(const QString& path) const;
    void reportFailure(const QString& failure) const;

    QWidget* window_;
    CXGraph& graph_;
    std::function<QString()> languageFile_;
    std::function<std::string()> testPath_;
    Chooser chooser_;
};

}  // namespace vornex

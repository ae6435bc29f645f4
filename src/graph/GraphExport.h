#pragma once

#include <QString>
#include <optional>

#include "draw/PictureFile.h"

class QCPRange;

namespace vornex {

class CXGraph;

// Writes what the graph shows to files: the graph as a PNG image or a vector PDF page, and the
// points of every series within the visible time range as CSV (`time,value,slave`, numbers that
// read back to the same doubles). An output is replaced whole or not at all, and each function
// returns an empty string or why nothing was written.
class GraphExport {
public:
    static constexpr int kDefaultWidth = kPictureWidth;
    static constexpr int kDefaultHeight = kPictureHeight;

    explicit GraphExport(CXGraph& graph) : graph_(graph) {}

    QString savePng(const QString& path, int width, int height) const;
    QString savePdf(const QString& path, int width, int height) const;
    QString saveCsv(const QString& path) const;

private:
    CXGraph& graph_;
};

// While it lives, the graph shows the whole test (both axes fitted to every point); then the view
// goes back to what it was.
class WholeTestView {
public:
    explicit WholeTestView(CXGraph& graph);
    ~WholeTestView();
    WholeTestView(const WholeTestView&) = delete;
    WholeTestView& operator=(const WholeTestView&) = delete;

private:
    CXGraph& graph_;
    double keys_[2];
    double values_[2];
};

}  // namespace vornex

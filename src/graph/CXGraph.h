#pragma once

#include <qcustomplot.h>

#include <QTimer>
#include <array>
#include <vector>

#include "draw/CurveHistory.h"
#include "graph/CXGraphAxis.h"
#include "graph/CurveGraph.h"
#include "graph/LegendDrag.h"
#include "graph/MeasureCursor.h"
#include "graph/SeriesLabels.h"
#include "record/CurvePoint.h"
#include "record/GraphControl.h"

class QPrinter;

namespace vornex {

// The torque graph: one series per slave address (series = address - 1, each in its own colour,
// named in the legend), a time axis that the program positions and a value axis that follows the
// data, titled with the displayed instrument's unit. The mouse zooms, pans or measures, and a
// double-click shows all data. However often the data change, the graph redraws at most about
// thirty times a second. Each series keeps the whole test it was given and draws, at every
// redraw, at most about two points per pixel column of it (ColumnDecimator), all of them drawn
// by one CurvePainter (CurveLayer).
class CXGraph : public QCustomPlot, public GraphControl {
    Q_OBJECT

public:
    enum class MouseMode { None, Zoom, Pan, Cursor };
    Q_ENUM(MouseMode)
    static constexpr int kSeriesCount = kCurveSlots;
    static constexpr int kMinRedrawIntervalMs = 33;

    explicit CXGraph(QWidget* parent = nullptr);

    // Series `series` shows a copy of points[0 .. count - 1] instead of what it showed, as for a
    // test loaded whole; appendPoints adds to what it shows. A series is created when first given
    // points. Points whose time or value is not a finite number are left out. The line breaks
    // across a gap (GapFinder) and the legend lists the series that show points.
    void SetData(const CurvePoint* points, int count, int series);
    void appendPoints(const CurvePoint* points, int count, int series) override;
    // Also takes the measuring cross-hairs and their readout away.
    void clearCurves() override;
    void breakCurves() override;

    // The graph has one axis of each kind; every index names it.
    CXGraphAxis& GetXAxis(int index) override;
    CXGraphAxis& GetYAxis(int index);

    // Schedules a redraw; redraws already scheduled absorb it.
    void Redraw() override;
    // Redraws at once, with automatic scaling applied.
    void replotNow();

    // Mouse modes. NoOp also hides the measuring cursors and gives the view back to the program.
    void NoOp();
    void Zoom();
    void Pan();
    void Cursor();
    MouseMode mouseMode() const { return mode_; }

    // Bits of MeasureCursor::Flag.
    void SetCursorFlags(unsigned flags);

    // Axis titles, legend, readout and hints in the user's language.
    void setTexts(const GraphTexts& texts);
    // The unit and decimals of each series' instrument and the displayed series.
    void setSeriesUnits(const std::array<SeriesUnit, kSeriesCount>& units, int displayedSeries);
    const SeriesLabels& labels() const { return labels_; }
    // One line on what the mouse does in the current mode; empty without a mode.
    QString hint() const;

    // Both axes to the extent of all data; the program's and the automatic ranges apply again.
    void showFullView();
    // Both axes to the extent of all data, and nothing else changes.
    void fitToData();

    // Draws the graph with its axes and legend onto one page of `printer`, filling the page's
    // printable area. False when the printer cannot be painted on.
    bool PrintGraph(QPrinter& printer);

    // The plottable of a series, or nullptr before the series was first given data. It holds the
    // points drawn at the last redraw.
    QCPGraph* seriesGraph(int series) const;
    // Every point a series shows, whatever the view; empty for a series never given data.
    const CurveHistory& seriesCurve(int series) const;
    // What each series draws for the visible time range on `columns` pixel columns; the width
    // of the plot area when 0. Redraws do this by themselves; exports and printing at another
    // size call it first.
    void refreshCurves(int columns = 0);
    const MeasureCursor& measureCursor() const { return cursor_; }

signals:
    // The mouse mode changed, or the hint of the measuring mode did.
    void modeChanged(vornex::CXGraph::MouseMode mode);

private:
    // False, with a warning, for a series that does not exist or points that are not there.
    bool accepts(const CurvePoint* points, int count, int series) const;
    void applyLabels();
    int seriesOf(const QCPGraph* graph) const;
    QCPGraph* ensureSeries(int series);
    void updateLegend();
    void setMouseMode(MouseMode mode);
    void applyAutoScale();
    void updateSmoothing();
    std::vector<const CurveHistory*> allCurves() const;
    void fitKeysToData();
    void fitValuesToData();
    void onMousePress(QMouseEvent* event);
    void onMouseMove(QMouseEvent* event);

    // What a series drew last, so that a redraw with nothing changed reuses it.
    struct Drawn {
        uint64_t version = 0;
        double lower = 0.0;
        double upper = 0.0;
        int columns = 0;
    };

    CXGraphAxis xAxis_;
    CXGraphAxis yAxis_;
    std::array<CurveGraph*, kSeriesCount> graphs_{};
    std::array<CurveHistory, kSeriesCount> curves_{};
    // Changes whenever the points of its series do.
    std::array<uint64_t, kSeriesCount> versions_{};
    std::array<Drawn, kSeriesCount> drawn_{};
    std::vector<CurveSample> scratch_;
    CurveLayer curveLayer_;
    SeriesLabels labels_;
    MeasureCursor cursor_;
    LegendDrag legendDrag_{*this};
    QTimer redrawTimer_;
    MouseMode mode_ = MouseMode::None;
    // The user zoomed or panned: automatic scaling waits until the program or a double-click
    // takes the view back.
    bool userView_ = false;
};

}  // namespace vornex

#pragma once

#include <qcustomplot.h>

namespace vornex {

// A legend entry of a CachedLegend: on screen the legend paints it from its picture, so the
// entry draws itself only for vector output (PDF, printing) and images exported without
// caching. Its size is kept until its name, font or colour change: the text of thirty entries
// laid out again at every redraw costs more than the curves of a live view.
class CachedLegendItem : public QCPPlottableLegendItem {
public:
    // What the entry's look depends on.
    struct Look {
        QString name;
        QFont font;
        QColor text;
        QColor pen;
        QRect rect;

        bool operator==(const Look& o) const {
            return name == o.name && font == o.font && text == o.text && pen == o.pen &&
                   rect == o.rect;
        }
    };

    CachedLegendItem(QCPLegend* legend, QCPAbstractPlottable* plottable);

    QSize minimumOuterSizeHint() const override;
    Look look() const { return lookAt(mRect); }
    // Paints the entry as QCustomPlot does, with its own smoothing.
    void paint(QCPPainter* painter);

protected:
    void draw(QCPPainter* painter) override;

private:
    Look lookAt(const QRect& rect) const;

    mutable Look sizedFor_;
    mutable QSize size_;
};

// The legend's box and every entry painted from one picture, made again when any of them
// changes: one image laid onto the graph at a redraw instead of a box and thirty entries.
class CachedLegend : public QCPLegend {
    Q_OBJECT

public:
    // Whether the legend paints its entries from its picture on `painter`.
    static bool paintsFromPicture(const QCPPainter& painter);

protected:
    void draw(QCPPainter* painter) override;

private:
    std::vector<CachedLegendItem*> entries() const;

    std::vector<CachedLegendItem::Look> paintedFor_;
    QRect paintedRect_;
    double paintedRatio_ = 0.0;
    QPixmap picture_;
};

}  // namespace vornex

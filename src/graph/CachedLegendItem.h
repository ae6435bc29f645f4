#pragma once

#include <qcustomplot.h>

#include <QPixmap>

namespace vornex {

// A legend entry painted from a picture made when its name, font, colour or place change: the
// text of thirty entries laid out again at every redraw costs more than the curves of a live
// view. Vector output (PDF, printing) draws the entry itself.
class CachedLegendItem : public QCPPlottableLegendItem {
public:
    CachedLegendItem(QCPLegend* legend, QCPAbstractPlottable* plottable);

    QSize minimumOuterSizeHint() const override;

protected:
    void draw(QCPPainter* painter) override;

private:
    // What the entry's look depends on.
    struct Look {
        QString name;
        QFont font;
        QColor text;
        QColor pen;
        QRect rect;
        double pixelRatio = 0.0;

        bool operator==(const Look& o) const {
            return name == o.name && font == o.font && text == o.text && pen == o.pen &&
                   rect == o.rect && pixelRatio == o.pixelRatio;
        }
    };
    Look look(const QRect& rect, double pixelRatio) const;

    mutable Look sizedFor_;
    mutable QSize size_;
    Look paintedFor_;
    QPixmap picture_;
};

}  // namespace vornex

#include "graph/CachedLegendItem.h"

namespace vornex {

CachedLegendItem::CachedLegendItem(QCPLegend* legend, QCPAbstractPlottable* plottable)
    : QCPPlottableLegendItem(legend, plottable) {}

CachedLegendItem::Look CachedLegendItem::look(const QRect& rect, double pixelRatio) const {
    return Look{mPlottable->name(),        getFont(), getTextColor(),
                mPlottable->pen().color(), rect,      pixelRatio};
}

QSize CachedLegendItem::minimumOuterSizeHint() const {
    const Look now = look(QRect(), 1.0);
    if (!(now == sizedFor_)) {
        size_ = QCPPlottableLegendItem::minimumOuterSizeHint();
        sizedFor_ = now;
    }
    return size_;
}

void CachedLegendItem::draw(QCPPainter* painter) {
    if (painter->modes().testFlag(QCPPainter::pmVectorized) ||
        painter->modes().testFlag(QCPPainter::pmNoCaching) || !mRect.isValid()) {
        QCPPlottableLegendItem::draw(painter);
        return;
    }
    const double ratio = painter->device()->devicePixelRatioF();
    const Look now = look(mRect, ratio);
    if (!(now == paintedFor_)) {
        picture_ = QPixmap((QSizeF(mRect.size()) * ratio).toSize());
        picture_.setDevicePixelRatio(ratio);
        picture_.fill(Qt::transparent);
        QCPPainter inPicture(&picture_);
        inPicture.setRenderHints(painter->renderHints());
        inPicture.translate(-mRect.topLeft());
        QCPPlottableLegendItem::draw(&inPicture);
        inPicture.end();
        paintedFor_ = now;
    }
    painter->drawPixmap(mRect.topLeft(), picture_);
}

}  // namespace vornex

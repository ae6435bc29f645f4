#include "graph/CachedLegendItem.h"

namespace vornex {

CachedLegendItem::CachedLegendItem(QCPLegend* legend, QCPAbstractPlottable* plottable)
    : QCPPlottableLegendItem(legend, plottable) {}

CachedLegendItem::Look CachedLegendItem::lookAt(const QRect& rect) const {
    return Look{mPlottable->name(), getFont(), getTextColor(), mPlottable->pen().color(), rect};
}

QSize CachedLegendItem::minimumOuterSizeHint() const {
    const Look now = lookAt(QRect());
    if (!(now == sizedFor_)) {
        size_ = QCPPlottableLegendItem::minimumOuterSizeHint();
        sizedFor_ = now;
    }
    return size_;
}

void CachedLegendItem::paint(QCPPainter* painter) {
    painter->save();
    applyDefaultAntialiasingHint(painter);
    QCPPlottableLegendItem::draw(painter);
    painter->restore();
}

void CachedLegendItem::draw(QCPPainter* painter) {
    if (!CachedLegend::paintsFromPicture(*painter) ||
        qobject_cast<CachedLegend*>(mParentLegend) == nullptr) {
        QCPPlottableLegendItem::draw(painter);
    }
}

bool CachedLegend::paintsFromPicture(const QCPPainter& painter) {
    return !painter.modes().testFlag(QCPPainter::pmVectorized) &&
           !painter.modes().testFlag(QCPPainter::pmNoCaching);
}

std::vector<CachedLegendItem*> CachedLegend::entries() const {
    std::vector<CachedLegendItem*> shown;
    for (int i = 0; i < itemCount(); ++i) {
        auto* entry = dynamic_cast<CachedLegendItem*>(item(i));
        if (entry != nullptr && entry->realVisibility()) {
            shown.push_back(entry);
        }
    }
    return shown;
}

void CachedLegend::draw(QCPPainter* painter) {
    if (!paintsFromPicture(*painter) || !mOuterRect.isValid()) {
        QCPLegend::draw(painter);
        return;
    }
    const std::vector<CachedLegendItem*> shown = entries();
    std::vector<CachedLegendItem::Look> now;
    now.reserve(shown.size());
    for (const CachedLegendItem* entry : shown) {
        now.push_back(entry->look());
    }
    const double ratio = painter->device()->devicePixelRatioF();
    // The border's pen reaches a pixel beyond the rectangle at the right and the bottom.
    const QRect area = mOuterRect.adjusted(-1, -1, 2, 2);
    if (now != paintedFor_ || mOuterRect != paintedRect_ || ratio != paintedRatio_) {
        picture_ = QPixmap((QSizeF(area.size()) * ratio).toSize());
        picture_.setDevicePixelRatio(ratio);
        picture_.fill(Qt::transparent);
        QCPPainter inPicture(&picture_);
        inPicture.setRenderHints(painter->renderHints());
        inPicture.translate(-area.topLeft());
        QCPLegend::draw(&inPicture);
        for (CachedLegendItem* entry : shown) {
            entry->paint(&inPicture);
        }
        inPicture.end();
        paintedFor_ = std::move(now);
        paintedRect_ = mOuterRect;
        paintedRatio_ = ratio;
    }
    painter->drawPixmap(area.topLeft(), picture_);
}

}  // namespace vornex

#pragma once

#include <QRectF>
#include <functional>

class QPagedPaintDevice;
class QPainter;

namespace vornex {

// Blocks laid out top to bottom over pages of one size. Laid out without a painter it only counts
// the pages, so that a second pass with a painter can print "page N of M" on each.
class PageFlow {
public:
    // `footer` draws the foot of page N (from 1) when the flow leaves it.
    PageFlow(QPagedPaintDevice& device, QPainter* painter, const QRectF& body,
             std::function<void(QPainter&, int)> footer);

    // Null while counting: nothing is drawn then.
    QPainter* painter() const { return painter_; }
    const QRectF& body() const { return body_; }
    double y() const { return y_; }
    int page() const { return page_; }

    // Starts a new page when fewer than `height` remain on this one (a page holds any block that
    // is taller than a page).
    void keep(double height);
    bool fits(double height) const { return y_ + height <= body_.bottom(); }
    void advance(double height) { y_ += height; }
    void newPage();
    // The foot of the last page.
    void finish();

private:
    QPagedPaintDevice& device_;
    QPainter* painter_;
    QRectF body_;
    std::function<void(QPainter&, int)> footer_;
    double y_;
    int page_ = 1;
};

}  // namespace vornex

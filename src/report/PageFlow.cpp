#include "report/PageFlow.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace vornex {

PageFlow::PageFlow(QPagedPaintDevice& device, QPainter* painter, const QRectF& body,
                   std::function<void(QPainter&, int)> footer)
    : device_(device), painter_(painter), body_(body), footer_(std::move(footer)), y_(body.top()) {}

void PageFlow::keep(double height) {
    if (y_ > body_.top() && y_ + height > body_.bottom())
        newPage();
}

void PageFlow::newPage() {
    if (painter_ != nullptr) {
        footer_(*painter_, page_);
        device_.newPage();
    }
    ++page_;
    y_ = body_.top();
}

void PageFlow::finish() {
    if (painter_ != nullptr)
        footer_(*painter_, page_);
}

}  // namespace vornex

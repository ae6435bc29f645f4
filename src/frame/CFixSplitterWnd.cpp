#include "frame/CFixSplitterWnd.h"

#include <QMouseEvent>

namespace vornex {

namespace {

class FixedHandle : public QSplitterHandle {
public:
    FixedHandle(Qt::Orientation orientation, QSplitter* parent)
        : QSplitterHandle(orientation, parent) {
        setCursor(Qt::ArrowCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { event->ignore(); }
    void mouseMoveEvent(QMouseEvent* event) override { event->ignore(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->ignore(); }
};

}  // namespace

CFixSplitterWnd::CFixSplitterWnd(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {
    setHandleWidth(1);
    setChildrenCollapsible(false);
}

void CFixSplitterWnd::fixPane(int index, int pixels) {
    QWidget* pane = widget(index);
    if (pane == nullptr)
        return;
    if (orientation() == Qt::Horizontal)
        pane->setFixedWidth(pixels);
    else
        pane->setFixedHeight(pixels);
    for (int i = 0; i < count(); ++i)
        setStretchFactor(i, i == index ? 0 : 1);
}

QSplitterHandle* CFixSplitterWnd::createHandle() {
    return new FixedHandle(orientation(), this);
}

}  // namespace vornex

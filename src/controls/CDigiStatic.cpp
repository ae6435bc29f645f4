#include "controls/CDigiStatic.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "controls/CreateCell.h"
#include "controls/DigiLayout.h"

namespace vornex {

namespace {
const QString kCaptionText = QStringLiteral("?");

int32_t totalGridWidth(const std::vector<std::unique_ptr<CDigiChar>>& cells) {
    int32_t total = 0;
    for (const auto& cell : cells) {
        total += cell->width();
    }
    return total;
}
}  // namespace

CDigiStatic::CDigiStatic(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {
    // Every paint covers the whole widget, so nothing is erased beforehand and a new reading
    // replaces the old one without flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CDigiStatic::~CDigiStatic() = default;

void CDigiStatic::SetText(const QString& text) {
    if (text == text_) {
        return;
    }
    // Only a change of the row's width moves the size hint; most readings keep it.
    const bool resized = gridWidthOf(text) != gridWidthOf(text_);
    text_ = text;
    modified_ = true;
    if (resized) {
        updateGeometry();
    }
    update();
}

void CDigiStatic::setCaption(const QString& caption) {
    if (caption == caption_) {
        return;
    }
    caption_ = caption;
    if (text_ == kCaptionText) {
        changed();
    }
}

void CDigiStatic::ModifyDigiStyle(uint32_t remove, uint32_t add) {
    style_ = (style_ & ~remove) | add;
    changed();
}

void CDigiStatic::changed() {
    modified_ = true;
    updateGeometry();
    update();
}

QColor CDigiStatic::OutlineColor(QColor segment, QColor background, uint32_t style) {
    if (!(style & DIGI_SOFT_OUTLINE)) {
        return segment;
    }
    auto blend = [](int back, int front) { return static_cast<int>(0.25 * back + 0.75 * front); };
    return QColor(blend(background.red(), segment.red()),
                  blend(background.green(), segment.green()),
                  blend(background.blue(), segment.blue()));
}

void CDigiStatic::rebuildCells() {
    const QString& shown = text_ == kCaptionText ? caption_ : text_;
    cells_ = CreateCells(shown, style_);
    modified_ = false;
}

void CDigiStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width();
    const int h = height();
    painter.fillRect(0, 0, w, h, backgroundColor_);

    const SegmentInk off{QPen(OutlineColor(offColor_, backgroundColor_, style_), 1),
                         QBrush(offColor_)};
    const SegmentInk on{QPen(OutlineColor(onColor_, backgroundColor_, style_), 1),
                        QBrush(onColor_)};

    if (modified_) {
        rebuildCells();
    }
    const DigiLayout layout = DigiLayout::Compute(w, h, totalGridWidth(cells_), style_);
    double x = layout.x0;
    for (const auto& cell : cells_) {
        const double cellWidth = cell->width() * layout.sx;
        cell->Draw(painter, QRectF(x, layout.y0, cellWidth, kDigiGridHeight * layout.sy), on, off);
        x += cellWidth;
    }
}

int32_t CDigiStatic::gridWidthOf(const QString& text) const {
    return totalGridWidth(CreateCells(text == kCaptionText ? caption_ : text, style_));
}

QSize CDigiStatic::sizeHint() const {
    // Tall enough that the segments read clearly at the widget's font size.
    const int h = std::max(32, 2 * fontMetrics().height());
    const int32_t grid = std::max(gridWidthOf(text_), kDigiWideCell);
    return {static_cast<int>(std::ceil(static_cast<double>(grid) * h / kDigiGridHeight)), h};
}

QSize CDigiStatic::minimumSizeHint() const {
    const int h = 16;
    const int32_t grid = std::max(gridWidthOf(text_), kDigiWideCell);
    return {static_cast<int>(std::ceil(static_cast<double>(grid) * h / kDigiGridHeight)), h};
}

}  // namespace vornex

#include "results/WrappingHeader.h"

#include <QPainter>
#include <QStyleOptionHeader>
#include <algorithm>

namespace vornex {

namespace {

constexpr int kTextFlags = Qt::AlignCenter | Qt::TextWordWrap;

}  // namespace

WrappingHeader::WrappingHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setDefaultAlignment(Qt::AlignCenter);
}

QString WrappingHeader::title(int logicalIndex) const {
    return model() != nullptr
               ? model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString()
               : QString();
}

QSize WrappingHeader::margins() const {
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    return {margin, margin / 2};
}

QRect WrappingHeader::textRect(const QRect& section) const {
    const QSize m = margins();
    return section.adjusted(m.width(), m.height(), -m.width(), -m.height());
}

QSize WrappingHeader::sectionSizeFromContents(int logicalIndex) const {
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString& word : title(logicalIndex).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    const int height =
        metrics.boundingRect(QRect(0, 0, widest, 10000), kTextFlags, title(logicalIndex)).height();
    return QSize(widest, height) + 2 * margins();
}

// As tall as the title that breaks into the most lines at its section's width.
QSize WrappingHeader::sizeHint() const {
    QSize hint = QHeaderView::sizeHint();
    const QFontMetrics metrics(font());
    int height = metrics.height();
    for (int section = 0; section < count(); ++section) {
        const QRect text = textRect(QRect(0, 0, sectionSize(section), 10000));
        height = std::max(height, metrics.boundingRect(text, kTextFlags, title(section)).height());
    }
    hint.setHeight(std::max(hint.height(), height + 2 * margins().height()));
    return hint;
}

void WrappingHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid())
        return;
    QStyleOptionHeader option;
    initStyleOption(&option);
    initStyleOptionForIndex(&option, logicalIndex);
    option.rect = rect;
    option.text.clear();
    painter->save();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    painter->restore();
    // The style may leave a clip of its own behind; the title goes inside the section.
    painter->save();
    painter->setClipRect(rect);
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->setFont(font());
    painter->drawText(textRect(rect), kTextFlags, title(logicalIndex));
    painter->restore();
}

}  // namespace vornex

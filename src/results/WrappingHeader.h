#pragma once

#include <QHeaderView>

namespace vornex {

// A horizontal header whose titles break between words: a section needs only its longest word's
// width, and the header grows to as many lines as its most broken title takes at the widths the
// sections have.
class WrappingHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit WrappingHeader(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    QString title(int logicalIndex) const;
    // Between a section's edges and its title, across and down.
    QSize margins() const;
    // The rectangle a title is drawn into within its section's rectangle.
    QRect textRect(const QRect& section) const;
};

}  // namespace vornex

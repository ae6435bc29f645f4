#include "report/ReportTable.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <algorithm>
#include <numeric>

#include "report/PageFlow.h"

namespace vornex {

namespace {

// Widths of texts in one font, each text measured once. A figure (digits, sign, point) is the sum
// of its characters' advances, which neither kern nor join: a table of thousands of different
// figures is measured without laying out each.
class TextWidths {
public:
    TextWidths(const QFont& font, const QPaintDevice& device) : metrics_(font, &device) {}

    double of(const QString& text) {
        if (isFigure(text)) {
            double width = 0.0;
            for (const QChar c : text) {
                auto found = chars_.find(c);
                if (found == chars_.end())
                    found = chars_.insert(c, metrics_.horizontalAdvance(c));
                width += *found;
            }
            return width;
        }
        auto found = texts_.find(text);
        if (found == texts_.end())
            found = texts_.insert(text, metrics_.horizontalAdvance(text));
        return *found;
    }

private:
    static bool isFigure(const QString& text) {
        return std::all_of(text.begin(), text.end(), [](QChar c) {
            return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
                   c == QLatin1Char('-');
        });
    }

    QFontMetricsF metrics_;
    QHash<QChar, double> chars_;
    QHash<QString, double> texts_;
};

}  // namespace

double ReportTable::Layout::x(size_t column) const {
    return std::accumulate(widths.begin(), widths.begin() + static_cast<long>(column), 0.0);
}

void ReportTable::addRow(QStringList cells, bool failed) {
    rows_.push_back(Row{std::move(cells), failed});
}

ReportTable::Layout ReportTable::layOut(const QFont& base, const QPaintDevice& device,
                                        double width) const {
    Layout layout;
    layout.font = base;
    const auto measure = [&] {
        const QFontMetricsF metrics(layout.font, &device);
        TextWidths widths(layout.font, device);
        layout.line = metrics.height();
        layout.ascent = metrics.ascent();
        layout.padding = metrics.averageCharWidth() * 0.8;
        layout.widths.assign(columns_.size(), 0.0);
        layout.figures.clear();
        const auto take = [&](size_t column, const QString& text) {
            const double advance = widths.of(text);
            if (columns_[column].kind == Kind::Figures)
                layout.figures.push_back(advance);
            layout.widths[column] = std::max(layout.widths[column], advance + 2 * layout.padding);
        };
        for (size_t c = 0; c < columns_.size(); ++c) {
            layout.widths[c] =
                std::max(layout.widths[c], widths.of(columns_[c].header) + 2 * layout.padding);
        }
        for (const Row& row : rows_) {
            // A spanning cell takes the room the columns it spans leave.
            const size_t whole = static_cast<size_t>(row.cells.size()) < columns_.size()
                                     ? static_cast<size_t>(row.cells.size()) - 1
                                     : columns_.size();
            for (size_t c = 0; c < whole; ++c)
                take(c, row.cells[static_cast<qsizetype>(c)]);
        }
    };
    measure();
    for (int attempt = 0; attempt < 4 && layout.total() > width; ++attempt) {
        const double scale = std::max(width / layout.total() * 0.99,
                                      kSmallest * base.pointSizeF() / layout.font.pointSizeF());
        if (scale >= 1.0)
            break;
        layout.font.setPointSizeF(layout.font.pointSizeF() * scale);
        measure();
    }
    const double excess = layout.total() - width;
    if (excess <= 0.0)
        return layout;
    // The columns of words give up the excess in proportion to their width, none below its
    // longest word.
    const QFontMetricsF metrics(layout.font, &device);
    double wordsWidth = 0.0;
    for (size_t c = 0; c < columns_.size(); ++c) {
        if (columns_[c].kind == Kind::Words)
            wordsWidth += layout.widths[c];
    }
    for (size_t c = 0; c < columns_.size() && wordsWidth > 0.0; ++c) {
        if (columns_[c].kind != Kind::Words)
            continue;
        double longestWord = 0.0;
        for (const Row& row : rows_) {
            if (static_cast<qsizetype>(c) >= row.cells.size())
                continue;
            for (const QString& word : row.cells[static_cast<qsizetype>(c)].split(QLatin1Char(' ')))
                longestWord = std::max(longestWord, metrics.horizontalAdvance(word));
        }
        layout.widths[c] = std::max(layout.widths[c] - excess * layout.widths[c] / wordsWidth,
                                    longestWord + 2 * layout.padding);
        layout.wraps = true;
    }
    return layout;
}

void ReportTable::print(PageFlow& flow, const QFont& font, const QPaintDevice& device) {
    if (!layout_)
        layout_ = layOut(font, device, flow.body().width());
    const Layout& layout = *layout_;
    size_t figure = 0;  // the next right-aligned cell's width in layout.figures
    const QFontMetricsF metrics(layout.font, &device);
    const double padding = layout.padding;
    const double single = layout.line + padding;
    const auto cellRect = [&](const Row& row, qsizetype c, double left, double y, double height) {
        const size_t from = static_cast<size_t>(c);
        const size_t to = c + 1 == row.cells.size() ? columns_.size() : from + 1;
        return QRectF(left + layout.x(from), y, layout.x(to) - layout.x(from), height);
    };
    const auto heightOf = [&](const Row& row) {
        if (!layout.wraps)
            return single;
        double height = single;
        for (qsizetype c = 0; c < row.cells.size(); ++c) {
            const QRectF room = cellRect(row, c, 0, 0, 1e6).adjusted(padding, 0, -padding, 0);
            height = std::max(
                height,
                metrics.boundingRect(room, Qt::TextWordWrap, row.cells[c]).height() + padding);
        }
        return height;
    };
    QStringList names;
    for (const Column& column : columns_)
        names << column.header;
    const Row header{names, false};
    const double headerHeight = heightOf(header);
    QPainter* painter = flow.painter();

    const auto drawRow = [&](const Row& row, double left, double y, double height, bool isHeader) {
        if (painter == nullptr)
            return;
        if (isHeader) {
            painter->setFont(layout.font);
            painter->fillRect(QRectF(left, y, layout.total(), height), QColor(0xdd, 0xe4, 0xee));
            painter->setPen(QPen(Qt::black, 0));
            painter->drawLine(QPointF(left, y), QPointF(left + layout.total(), y));
        }
        painter->setPen(row.failed ? QColor(0xc0, 0, 0) : QColor(Qt::black));
        for (qsizetype c = 0; c < row.cells.size(); ++c) {
            const QRectF rect =
                cellRect(row, c, left, y, height).adjusted(padding, padding / 2, -padding, 0);
            const bool spans =
                c + 1 == row.cells.size() && row.cells.size() < qsizetype(columns_.size());
            const bool right =
                !isHeader && !spans && columns_[static_cast<size_t>(c)].kind == Kind::Figures;
            if (layout.wraps) {
                painter->drawText(rect,
                                  static_cast<int>(right ? Qt::AlignRight : Qt::AlignLeft) |
                                      Qt::AlignTop | Qt::TextWordWrap,
                                  row.cells[c]);
            } else {
                // Without a rectangle to format in: thousands of rows draw several times faster.
                const double x = right ? rect.right() - layout.figures[figure++] : rect.left();
                painter->drawText(QPointF(x, rect.top() + layout.ascent), row.cells[c]);
            }
        }
        painter->setPen(QPen(Qt::black, 0));
        painter->drawLine(QPointF(left, y + height), QPointF(left + layout.total(), y + height));
    };
    // The column rules of a part of the table, drawn once its rows are.
    const auto rules = [&](double left, double top, double bottom) {
        if (painter == nullptr)
            return;
        painter->setPen(QPen(Qt::black, 0));
        for (size_t c = 0; c <= columns_.size(); ++c)
            painter->drawLine(QPointF(left + layout.x(c), top),
                              QPointF(left + layout.x(c), bottom));
    };

    // A narrow table longer than the room left on the page goes on in parts side by side, as
    // many as fit across, the rows of its last page shared evenly between them.
    const double gap = layout.line * 2;
    const size_t across =
        layout.wraps
            ? 1
            : std::max<size_t>(
                  1, static_cast<size_t>((flow.body().width() + gap) / (layout.total() + gap)));
    flow.keep(headerHeight + (rows_.empty() ? 0.0 : heightOf(rows_.front())));
    size_t next = 0;
    do {
        const double top = flow.y();
        double bottom = top + headerHeight;
        size_t rows = 0;  // in each part
        if (layout.wraps) {
            drawRow(header, flow.body().left(), top, headerHeight, true);
            for (; next < rows_.size(); ++next) {
                const double height = heightOf(rows_[next]);
                if (bottom + height > flow.body().bottom() && bottom > top + headerHeight)
                    break;
                drawRow(rows_[next], flow.body().left(), bottom, height, false);
                bottom += height;
            }
            rules(flow.body().left(), top, bottom);
        } else {
            const size_t room = static_cast<size_t>(
                std::max(1.0, std::floor((flow.body().bottom() - top - headerHeight) / single)));
            const size_t left = rows_.size() - next;
            rows = left <= room ? left : std::min(room, (left + across - 1) / across);
            for (size_t part = 0; part < across && (part == 0 || next < rows_.size()); ++part) {
                const double x =
                    flow.body().left() + static_cast<double>(part) * (layout.total() + gap);
                const size_t here = std::min(rows, rows_.size() - next);
                drawRow(header, x, top, headerHeight, true);
                for (size_t i = 0; i < here; ++i)
                    drawRow(rows_[next + i], x,
                            top + headerHeight + static_cast<double>(i) * single, single, false);
                rules(x, top, top + headerHeight + static_cast<double>(here) * single);
                next += here;
            }
            bottom = top + headerHeight + static_cast<double>(rows) * single;
        }
        flow.advance(bottom - top);
        if (next < rows_.size())
            flow.newPage();
    } while (next < rows_.size());
    flow.advance(single * 0.6);
}

}  // namespace vornex

#pragma once

#include <QFont>
#include <QStringList>
#include <optional>
#include <vector>

class QPaintDevice;

namespace vornex {

class PageFlow;

// A table of the report whose column widths follow from the longest text in each column, header
// included, in the font it is printed with, so that no word and no figure is ever broken. A table
// too wide for the page is printed in a smaller font, down to kSmallest of the base font; beyond
// that the columns of words wrap between words. Its header is repeated on every page it covers.
class ReportTable {
public:
    static constexpr double kSmallest = 0.7;

    enum class Kind { Text, Words, Figures };  // Words may wrap; Figures are aligned right
    struct Column {
        QString header;
        Kind kind = Kind::Text;
    };

    explicit ReportTable(std::vector<Column> columns) : columns_(std::move(columns)) {}

    // A row with fewer cells than columns has its last cell span the columns left.
    void addRow(QStringList cells, bool failed = false);
    bool empty() const { return rows_.empty(); }

    // Laid out on the first call; a second call (the flow counting pages first) reuses it.
    void print(PageFlow& flow, const QFont& font, const QPaintDevice& device);

private:
    struct Row {
        QStringList cells;
        bool failed;
    };
    struct Layout {
        QFont font;
        std::vector<double> widths;   // of the columns
        std::vector<double> figures;  // of each row's cells aligned right, for drawing
        double padding = 0.0;
        double line = 0.0;
        double ascent = 0.0;
        bool wraps = false;

        double x(size_t column) const;
        double total() const { return x(widths.size()); }
    };

    Layout layOut(const QFont& font, const QPaintDevice& device, double width) const;

    std::vector<Column> columns_;
    std::vector<Row> rows_;
    std::optional<Layout> layout_;
};

}  // namespace vornex

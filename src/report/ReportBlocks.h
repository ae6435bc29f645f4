#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "files/FileResult.h"

class QPagedPaintDevice;
class QPainter;
class QPdfWriter;

namespace vornex {

class PageFlow;

inline constexpr int kReportDotsPerInch = 300;

// "Test:" from "Test: %1": a header field's label is its text without the value.
QString labelOf(const QString& format);

// The printed blocks every document of the bench is made of, in its fonts: paragraphs, headings
// kept with what follows, label-value fields, the signature lines and the foot of a page.
class ReportBlocks {
public:
    struct Field {
        QString label, value;
        int wrap = Qt::TextWordWrap;
    };

    explicit ReportBlocks(QPagedPaintDevice& device);

    const QFont& body() const { return body_; }
    const QFont& bold() const { return bold_; }
    const QFont& title() const { return title_; }
    const QFont& headingFont() const { return heading_; }
    double line() const;
    // The room the foot of a page takes.
    double footerHeight() const;

    void paragraph(PageFlow& flow, const QFont& font, const QString& text,
                   int wrap = Qt::TextWordWrap, const QColor& colour = Qt::black) const;
    // A heading is never the last line of a page: it stays with `next` of what it heads.
    void heading(PageFlow& flow, const QString& text, double next = 0.0) const;
    void fields(PageFlow& flow, const std::vector<Field>& all) const;
    // A line to sign per role, each with the date and the signature, kept together at the end.
    void signatures(PageFlow& flow, const QStringList& roles, const QString& date,
                    const QString& signature) const;
    // `issue` (the document's number, issue date and lab) on its own line above the others.
    void footer(QPainter& p, const QRectF& paper, const QString& issue, const QString& left,
                const QString& right) const;

private:
    QPagedPaintDevice& device_;
    QFont body_, bold_, heading_, title_, small_;
};

// An A4 PDF drawn by `draw` in memory first, as the PDF writer does not tell when a write to its
// file fails, then written to `path` whole or not at all.
FileResult writeA4Pdf(const QString& title, const std::string& path,
                      const std::function<void(QPdfWriter&)>& draw);

}  // namespace vornex

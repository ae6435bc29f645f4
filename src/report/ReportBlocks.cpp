#include "report/ReportBlocks.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <string_view>

#include "files/AtomicFile.h"
#include "report/PageFlow.h"

namespace vornex {

namespace {

constexpr double kMarginMm = 15.0;
constexpr double kBodyPoints = 9.0;

}  // namespace

QString labelOf(const QString& format) {
    const qsizetype at = format.indexOf(QLatin1String("%1"));
    return (at < 0 ? format : format.left(at)).trimmed();
}

ReportBlocks::ReportBlocks(QPagedPaintDevice& device) : device_(device) {
    body_.setPointSizeF(kBodyPoints);
    bold_ = body_;
    bold_.setBold(true);
    heading_ = bold_;
    heading_.setPointSizeF(kBodyPoints * 1.3);
    title_ = bold_;
    title_.setPointSizeF(kBodyPoints * 1.9);
    small_ = body_;
    small_.setPointSizeF(kBodyPoints * 0.85);
}

double ReportBlocks::line() const {
    return QFontMetricsF(body_, &device_).height();
}

double ReportBlocks::footerHeight() const {
    return QFontMetricsF(small_, &device_).height() * 3.0;
}

void ReportBlocks::paragraph(PageFlow& flow, const QFont& font, const QString& text, int wrap,
                             const QColor& colour) const {
    const QRectF room(0, 0, flow.body().width(), 1e6);
    const double height = QFontMetricsF(font, &device_).boundingRect(room, wrap, text).height();
    flow.keep(height);
    if (QPainter* p = flow.painter()) {
        p->setFont(font);
        p->setPen(colour);
        p->drawText(QRectF(0, flow.y(), room.width(), height), wrap, text);
    }
    flow.advance(height + line() * 0.3);
}

void ReportBlocks::heading(PageFlow& flow, const QString& text, double next) const {
    const double height = QFontMetricsF(heading_, &device_).height();
    flow.advance(line() * 0.4);
    flow.keep(height + std::max(next, line() * 4));
    paragraph(flow, heading_, text);
}

void ReportBlocks::fields(PageFlow& flow, const std::vector<Field>& all) const {
    const QFontMetricsF labels(bold_, &device_);
    const QFontMetricsF values(body_, &device_);
    double labelWidth = 0.0;
    for (const Field& f : all)
        labelWidth = std::max(labelWidth, labels.horizontalAdvance(f.label));
    labelWidth += line();
    const double valueWidth = flow.body().width() - labelWidth;
    // A value wrapped anywhere is a path or a hash, read and copied character by character: no
    // two of its letters may be drawn as one ligature.
    QFont literal = body_;
    literal.setStyleStrategy(QFont::PreferNoShaping);
    for (const Field& f : all) {
        const double height =
            values.boundingRect(QRectF(0, 0, valueWidth, 1e6), f.wrap, f.value).height();
        flow.keep(height);
        if (QPainter* p = flow.painter()) {
            p->setPen(Qt::black);
            p->setFont(bold_);
            p->drawText(QRectF(0, flow.y(), labelWidth, height), Qt::AlignLeft, f.label);
            p->setFont(f.wrap == Qt::TextWrapAnywhere ? literal : body_);
            p->drawText(QRectF(labelWidth, flow.y(), valueWidth, height), f.wrap, f.value);
        }
        flow.advance(height + line() * 0.15);
    }
}

void ReportBlocks::signatures(PageFlow& flow, const QStringList& roles, const QString& date,
                              const QString& signature) const {
    const double rowHeight = line() * 3;
    flow.advance(line());
    flow.keep(rowHeight * static_cast<double>(roles.size()));
    const double third = flow.body().width() / 3;
    for (const QString& role : roles) {
        flow.advance(rowHeight - line());
        if (QPainter* p = flow.painter()) {
            p->setFont(body_);
            p->setPen(QPen(Qt::black, 0));
            const QFontMetricsF metrics(body_, &device_);
            int column = 0;
            for (const QString& label : {role, date, signature}) {
                const double x = third * column++;
                p->drawText(QPointF(x, flow.y() + metrics.ascent()), label);
                const double lineY = flow.y() + metrics.ascent() + metrics.descent() * 0.5;
                p->drawLine(QPointF(x + metrics.horizontalAdvance(label) + line() * 0.3, lineY),
                            QPointF(x + third - line(), lineY));
            }
        }
        flow.advance(line());
    }
}

void ReportBlocks::footer(QPainter& p, const QRectF& paper, const QString& issue,
                          const QString& left, const QString& right) const {
    const QFontMetricsF metrics(small_, &device_);
    const double top = paper.height() - metrics.height() * 1.2;
    const double rule = top - metrics.height() * (issue.isEmpty() ? 0.3 : 1.3);
    p.setPen(QPen(Qt::black, 0));
    p.drawLine(QPointF(0, rule), QPointF(paper.width(), rule));
    p.setFont(small_);
    const QRectF room(0, top, paper.width(), metrics.height());
    if (!issue.isEmpty())
        p.drawText(room.translated(0, -metrics.height()), Qt::AlignLeft, issue);
    p.drawText(room, Qt::AlignLeft, left);
    p.drawText(room, Qt::AlignRight, right);
}

FileResult writeA4Pdf(const QString& title, const std::string& path,
                      const std::function<void(QPdfWriter&)>& draw) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                              QPageLayout::Millimeter);
        writer.setResolution(kReportDotsPerInch);
        writer.setTitle(title);
        draw(writer);
    }
    if (bytes.isEmpty())
        return FileResult::failed(FileResultKind::Unwritable, "cannot draw " + title.toStdString());
    std::string error;
    if (writeWholeFile(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                       &error)) {
        return FileResult();
    }
    return FileResult::failed(FileResultKind::Unwritable, error);
}

}  // namespace vornex

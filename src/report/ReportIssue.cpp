#include "report/ReportIssue.h"

#include <QStringList>
#include <algorithm>

#include "report/PageFlow.h"

namespace vornex {

namespace {

// The 16 first hex digits tell one file from another at a glance; the whole hash is in the
// signature file.
constexpr int kPrintedHashDigits = 16;

QString labOf(const sign::DocumentIssue& issue, const ReportTexts& t) {
    const QString lab = QString::fromStdString(issue.lab);
    const QString address = QString::fromStdString(issue.labAddress);
    if (lab.isEmpty() || address.isEmpty())
        return lab + address;
    return t.docLabAddress.arg(lab, address);
}

const QString& signedText(const ReportTexts& t, sign::Meaning meaning) {
    switch (meaning) {
        case sign::Meaning::Reviewed:
            return t.signedReviewed;
        case sign::Meaning::Approved:
            return t.signedApproved;
        case sign::Meaning::Performed:
            break;
    }
    return t.signedPerformed;
}

const QString& roleText(const ReportTexts& t, sign::Meaning meaning) {
    return meaning == sign::Meaning::Performed ? t.testedBy : t.reviewedBy;
}

// "Amendment 2 to B7-2027-000123" for a copy of an amended record, else the number.
QString numberOf(const sign::DocumentIssue& issue, const ReportTexts& t) {
    const QString number = QString::fromStdString(issue.number);
    if (issue.changes.empty() || number.isEmpty())
        return number;
    return t.docAmendment.arg(issue.changes.back().number).arg(number);
}

QString fieldName(const ReportTexts& t, const std::string& field) {
    const auto name = t.amendedFields.find(field);
    return name == t.amendedFields.end() ? QString::fromStdString(field) : name->second;
}

}  // namespace

QString amendedValue(const sign::DocumentIssue& issue, const char* field, const QString& value) {
    for (auto c = issue.changes.rbegin(); c != issue.changes.rend(); ++c)
        if (c->field == field)
            return c->newValue.empty() ? QStringLiteral("-") : QString::fromStdString(c->newValue);
    return value;
}

void printChanges(const ReportBlocks& blocks, PageFlow& flow, const sign::DocumentIssue& issue,
                  const ReportTexts& t) {
    if (issue.changes.empty())
        return;
    blocks.heading(flow, t.docChanges, blocks.line());
    for (const sign::Change& c : issue.changes)
        blocks.paragraph(
            flow, blocks.body(),
            t.docChange.arg(QString::number(c.number), fieldName(t, c.field),
                            QString::fromStdString(c.oldValue), QString::fromStdString(c.newValue),
                            QString::fromStdString(c.by),
                            QString::fromStdString(sign::printedTime(c.time)),
                            QString::fromStdString(c.reason)));
}

QString issueFooter(const sign::DocumentIssue& issue, const ReportTexts& t) {
    QStringList parts;
    if (!issue.number.empty())
        parts << t.docNumber.arg(numberOf(issue, t));
    if (!issue.issued.empty())
        parts << t.docIssued.arg(QString::fromStdString(issue.issued));
    if (const QString lab = labOf(issue, t); !lab.isEmpty())
        parts << lab;
    return parts.join(QStringLiteral(" · "));
}

std::vector<ReportBlocks::Field> issueFields(const sign::DocumentIssue& issue,
                                             const ReportTexts& t) {
    std::vector<ReportBlocks::Field> fields;
    if (!issue.number.empty())
        fields.push_back({labelOf(t.docNumber), numberOf(issue, t)});
    if (!issue.issued.empty())
        fields.push_back({labelOf(t.docIssued), QString::fromStdString(issue.issued)});
    if (const QString lab = labOf(issue, t); !lab.isEmpty())
        fields.push_back({labelOf(t.docLab), lab});
    return fields;
}

void printSignatures(const ReportBlocks& blocks, PageFlow& flow, const sign::DocumentIssue& issue,
                     const ReportTexts& t, const std::vector<sign::Meaning>& roles) {
    if (!issue.signatures.empty())
        flow.advance(blocks.line());
    for (const sign::DocumentIssue::SignedBy& s : issue.signatures) {
        const sign::Signature& signature = s.signature;
        QString line = signedText(t, signature.meaning)
                           .arg(QString::fromStdString(signature.name),
                                QString::fromStdString(sign::printedTime(signature.time)),
                                QString::fromStdString(signature.sha256).left(kPrintedHashDigits) +
                                    QChar(0x2026));
        if (s.changed)
            line += QStringLiteral(" — ") + t.signedChanged;
        blocks.paragraph(flow, blocks.body(), line, Qt::TextWordWrap,
                         s.changed ? QColor(0xc0, 0, 0) : QColor(Qt::black));
    }
    QStringList unsigned_;
    for (const sign::Meaning role : roles) {
        const bool signed_ = std::any_of(issue.signatures.begin(), issue.signatures.end(),
                                         [role](const sign::DocumentIssue::SignedBy& s) {
                                             return s.signature.meaning == role && !s.changed;
                                         });
        if (!signed_)
            unsigned_ << roleText(t, role);
    }
    if (!unsigned_.isEmpty())
        blocks.signatures(flow, unsigned_, t.date, t.signature);
}

}  // namespace vornex

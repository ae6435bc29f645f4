#include "controls/DialogTexts.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMetaProperty>
#include <QPushButton>
#include <QRegularExpression>
#include <QWidget>

#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/LanguageTexts.h"

namespace vornex {

namespace {

QString dialogText(const LanguageTexts& texts, const QString& key) {
    return texts.value(QStringLiteral("String"), key, QString(), kLanguageBufferSize);
}

void setControlText(QWidget* control, const QString& text) {
    if (auto* box = qobject_cast<QGroupBox*>(control)) {
        box->setTitle(text);
        return;
    }
    const QMetaObject* meta = control->metaObject();
    const int index = meta->indexOfProperty("text");
    if (index >= 0 && meta->property(index).isWritable()) {
        control->setProperty("text", text);
    }
}

void retitleControls(const LanguageTexts& texts, QWidget* parent, int dialogNumber) {
    for (QObject* child : parent->children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (!control || control->isWindow() || control->property(kDialogNumberProperty).isValid()) {
            continue;
        }
        bool numbered = false;
        const int id = control->property(kControlIdProperty).toInt(&numbered);
        if (numbered) {
            const QString text = dialogText(texts, dialogControlKey(dialogNumber, id));
            if (!text.isEmpty()) {
                setControlText(control, text);
            }
        }
        retitleControls(texts, control, dialogNumber);
    }
}

}  // namespace

void setControlId(QWidget* control, int id) {
    control->setProperty(kControlIdProperty, id);
}

QLabel* numberedLabel(const QString& text, int id, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    setControlId(label, id);
    return label;
}

QPushButton* numberedButton(const QString& text, int id, QWidget* parent, const char* objectName) {
    auto* button = new QPushButton(text, parent);
    setControlId(button, id);
    if (objectName != nullptr)
        button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

QPushButton* cancelButton(QDialog* dialog) {
    auto* cancel = numberedButton(QStringLiteral("取消"), 2, dialog, "cancel");
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return cancel;
}

void addLabelledField(QGridLayout* grid, int row, int column, const QString& label, int labelId,
                      QWidget* field) {
    grid->addWidget(numberedLabel(label, labelId, field->parentWidget()), row, column);
    grid->addWidget(field, row, column + 1);
}

void SetDialogTexts(const QString& languageFile, QWidget* window, int dialogNumber) {
    const std::shared_ptr<const LanguageTexts> texts = LanguageTexts::of(languageFile);
    const QString caption = dialogText(*texts, dialogTitleKey(dialogNumber));
    if (!caption.isEmpty()) {
        window->setWindowTitle(caption);
    }
    retitleControls(*texts, window, dialogNumber);
}

QString titleOfCommand(const QString& text) {
    QString title = text.section(QLatin1Char('\t'), 0, 0);
    // The East Asian form puts the mnemonic in brackets after the words: "报告(&R)".
    static const QRegularExpression bracketed(QStringLiteral("\\(&[^&]\\)"));
    title.remove(bracketed);
    QString plain;
    for (qsizetype i = 0; i < title.size(); ++i) {
        if (title[i] == QLatin1Char('&') && i + 1 < title.size())
            ++i;
        plain += title[i];
    }
    plain = plain.trimmed();
    while (plain.endsWith(QLatin1Char('.')) || plain.endsWith(QChar(0x2026)))
        plain.chop(1);
    return plain.trimmed();
}

}  // namespace vornex

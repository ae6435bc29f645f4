#include "controls/DialogTexts.h"

#include <QGroupBox>
#include <QLabel>
#include <QMetaProperty>
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

void SetDialogTexts(const QString& languageFile, QWidget* window, int dialogNumber) {
    const std::shared_ptr<const LanguageTexts> texts = LanguageTexts::of(languageFile);
    const QString caption = dialogText(*texts, dialogTitleKey(dialogNumber));
    if (!caption.isEmpty()) {
        window->setWindowTitle(caption);
    }
    retitleControls(*texts, window, dialogNumber);
}

}  // namespace vornex

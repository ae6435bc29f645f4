#include "app/CAboutDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/Icons.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"

namespace vornex {

CAboutDlg::CAboutDlg(const QString& languageFile, QWidget* parent) : QDialog(parent) {
    const auto text = [&languageFile](const char* key, const char* builtIn) {
        return langStringOr(languageFile, QString::fromLatin1(key), QString::fromUtf8(builtIn));
    };
    setWindowTitle(text(langkey::kAboutTitle, "关于 Vornex"));
    auto* icon = new QLabel(this);
    icon->setPixmap(vornexIcon(128).pixmap(48, 48));
    auto* version = new QLabel(text(langkey::kAboutText, "Vornex，1.0 版"), this);
    auto* ok = new QPushButton(text(langkey::kAboutOk, "确定"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addWidget(version, 1, Qt::AlignTop);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addStretch(1);
    layout->addLayout(bottom);
    resize(300, 120);
}

}  // namespace vornex

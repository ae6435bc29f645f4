#include "registerwin/RegisterWindow.h"

#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "i18n/RegisterKeys.h"
#include "register/LabRegister.h"
#include "registerwin/CycleCounter.h"
#include "registerwin/ReferenceTableModel.h"
#include "registerwin/RegisterFilter.h"
#include "registerwin/ToolTableModel.h"

namespace vornex {

RegisterWindow::RegisterWindow(const AppPaths& paths, const QString& languageFile, QWidget* parent)
    : QWidget(parent, Qt::Window),
      paths_(paths),
      words_(languageFile),
      counter_(std::make_unique<CycleCounter>(paths.home.toStdString())),
      tools_(new ToolTableModel(words_, this)),
      references_(new ReferenceTableModel(words_, this)),
      toolFilter_(new RegisterFilter(this)),
      referenceFilter_(new RegisterFilter(this)) {
    setWindowTitle(words_(langkey::kRegisterTitle));
    toolFilter_->setSourceModel(tools_);
    referenceFilter_->setSourceModel(references_);
    connect(counter_.get(), &CycleCounter::counted, this, &RegisterWindow::cyclesCounted);

    auto* layout = new QVBoxLayout(this);
    problems_ = new QLabel;
    problems_->setObjectName(QStringLiteral("registerProblems"));
    problems_->setWordWrap(true);
    problems_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    problems_->setStyleSheet(QStringLiteral("color: #c80000"));
    problems_->hide();
    layout->addWidget(problems_);

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(words_(langkey::kRegisterFind)));
    find_ = new QLineEdit;
    find_->setObjectName(QStringLiteral("registerFind"));
    find_->setPlaceholderText(words_(langkey::kRegisterFindHint));
    find_->setClearButtonEnabled(true);
    find_->setMinimumWidth(find_->fontMetrics().horizontalAdvance(find_->placeholderText()) + 40);
    bar->addWidget(find_);
    bar->addSpacing(12);
    bar->addWidget(new QLabel(words_(langkey::kRegisterList)));
    list_ = new QComboBox;
    list_->setObjectName(QStringLiteral("registerList"));
    list_->addItem(words_(langkey::kRegisterListAll), static_cast<int>(RegisterList::All));
    list_->addItem(words_(langkey::kRegisterListOverdue), static_cast<int>(RegisterList::Overdue));
    list_->addItem(words_(langkey::kRegisterListDueSoon), static_cast<int>(RegisterList::DueSoon));
    list_->addItem(words_(langkey::kRegisterListNextMonth),
                   static_cast<int>(RegisterList::NextMonth));
    list_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    bar->addWidget(list_);
    bar->addStretch(1);
    auto* again = new QPushButton(words_(langkey::kRegisterRefresh));
    again->setObjectName(QStringLiteral("registerRefresh"));
    bar->addWidget(again);
    layout->addLayout(bar);

    tabs_ = new QTabWidget;
    layout->addWidget(tabs_, 1);
    addTable(toolFilter_, langkey::kRegisterTools, QStringLiteral("registerTools"));
    addTable(referenceFilter_, langkey::kRegisterReferences, QStringLiteral("registerReferences"));
    shown_ = new QLabel;
    shown_->setObjectName(QStringLiteral("registerShown"));
    layout->addWidget(shown_);

    connect(find_, &QLineEdit::textChanged, this, [this](const QString& text) {
        toolFilter_->setText(text);
        referenceFilter_->setText(text);
    });
    connect(list_, &QComboBox::currentIndexChanged, this, [this] {
        const auto list = static_cast<RegisterList>(list_->currentData().toInt());
        toolFilter_->setList(list);
        referenceFilter_->setList(list);
    });
    connect(again, &QPushButton::clicked, this, &RegisterWindow::refresh);
    connect(tabs_, &QTabWidget::currentChanged, this, &RegisterWindow::showCount);
    for (RegisterFilter* filter : {toolFilter_, referenceFilter_}) {
        connect(filter, &QAbstractItemModel::rowsInserted, this, &RegisterWindow::showCount);
        connect(filter, &QAbstractItemModel::rowsRemoved, this, &RegisterWindow::showCount);
        connect(filter, &QAbstractItemModel::modelReset, this, &RegisterWindow::showCount);
        connect(filter, &QAbstractItemModel::layoutChanged, this, &RegisterWindow::showCount);
    }
    refresh();
    resize(1280, 560);
}

// The counting thread is joined before the models it answers go.
RegisterWindow::~RegisterWindow() {
    counter_.reset();
}

QTableView* RegisterWindow::addTable(RegisterFilter* filter, const char* titleKey,
                                     const QString& name) {
    auto* table = new QTableView;
    table->setObjectName(name);
    table->setModel(filter);
    table->setSortingEnabled(true);
    table->sortByColumn(0, Qt::AscendingOrder);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    // Columns sized to their contents would otherwise touch: "0.001 N.m" ran into the next.
    table->setStyleSheet(QStringLiteral("QTableView::item { padding: 0 8px 0 4px; }"));
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tabs_->addTab(table, words_(titleKey));
    return table;
}

void RegisterWindow::refresh() {
    const QDate today = QDate::currentDate();
    const LabRegister lab(paths_.home.toStdString());
    std::vector<RegisteredTool> tools;
    std::vector<RegisteredReference> references;
    std::vector<std::string> unread;
    std::string error;
    QStringList problems;
    if (!lab.tools(tools, error, &unread)) {
        problems << words_(langkey::kRegisterUnreadable).arg(QString::fromStdString(error));
        tools.clear();
    }
    if (!lab.references(references, error, &unread)) {
        problems << words_(langkey::kRegisterUnreadable).arg(QString::fromStdString(error));
        references.clear();
    }
    if (!unread.empty()) {
        // The register names a line as "PATH line N: why"; the window names it in its language.
        static const QRegularExpression named(QStringLiteral("^(.*) line (\\d+): "));
        QStringList lines;
        for (const std::string& line : unread) {
            const QString text = QString::fromStdString(line);
            const QRegularExpressionMatch match = named.match(text);
            lines << (match.hasMatch()
                          ? words_(langkey::kRegisterLine).arg(match.captured(1), match.captured(2))
                          : text);
        }
        problems << words_(langkey::kRegisterBadLines).arg(lines.join(QStringLiteral("; ")));
    }
    showProblems(problems);
    toolFilter_->setToday(today);
    referenceFilter_->setToday(today);
    tools_->setTools(tools, today);
    references_->setReferences(std::move(references), today);
    counter_->count(++serial_, tools);
}

void RegisterWindow::showProblems(const QStringList& problems) {
    problems_->setText(problems.join(QLatin1Char('\n')));
    problems_->setVisible(!problems.isEmpty());
}

void RegisterWindow::showCount() {
    const auto* filter = tabs_->currentIndex() == 0 ? toolFilter_ : referenceFilter_;
    shown_->setText(words_(langkey::kRegisterShown)
                        .arg(filter->rowCount())
                        .arg(filter->sourceModel()->rowCount()));
}

void RegisterWindow::cyclesCounted(quint64 serial, const QString& id, qlonglong pulls, int tests,
                                   int unread) {
    if (serial != serial_)
        return;
    tools_->setCycles(id, ToolCycles{static_cast<long>(pulls), tests, unread});
}

}  // namespace vornex

#include "graph/CVornexView.h"

#include <QElapsedTimer>
#include <QVBoxLayout>

#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"

namespace vornex {

CVornexView::CVornexView(TestSession& session, QWidget* parent)
    : QWidget(parent), graph_(new CXGraph(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(graph_);

    recorder_ =
        std::make_unique<Recorder>(*graph_, session, static_cast<RecordingObserver&>(*this));
    printer_ = std::make_unique<GraphPrinter>(*graph_);
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &CVornexView::tick);

    graph_->SetData(nullptr, 0, 0);
    graph_->SetCursorFlags(kCursorFlags);
    OnInitialUpdate();
}

// The recorder appends what is still queued to its own test before the graph goes.
CVornexView::~CVornexView() {
    timer_.stop();
    recorder_.reset();
}

void CVornexView::OnInitialUpdate() {
    graph_->GetYAxis(0).SetAutoScale(true);
    graph_->GetXAxis(0).SetAutoScale(false);
    recorder_->initialUpdate();
}

void CVornexView::start() {
    if (recorder_->start() == Recorder::StartResult::NoTestOpen) {
        ShowMessage(this, QString::fromUtf8(Recorder::kNoTestText),
                    QString::fromUtf8(Recorder::kNoTestCaption), MessageIcon::Information);
        return;
    }
    timer_.start();
}

void CVornexView::stop() {
    recorder_->stop();
}

bool CVornexView::closeTest() {
    return recorder_->closeTest();
}

void CVornexView::print() {
    printer_->print(this);
}

void CVornexView::printPreview() {
    printer_->printPreview(this);
}

void CVornexView::printSetup() {
    printer_->printSetup(this);
}

void CVornexView::tick() {
    QElapsedTimer clock;
    clock.start();
    recorder_->tick();
    emit ticked(clock.nsecsElapsed());
}

void CVornexView::toolbarStateChanged(ToolbarState state) {
    emit toolbarState(state);
}

void CVornexView::appendFailed(const std::string& path, const std::string& reason) {
    QMetaObject::invokeMethod(
        this,
        [this, what = QString::fromStdString(path + "\n" + reason)] {
            ShowMessage(
                this,
                GetLangString(languageFile_, QString::fromUtf8(langkey::kMessageWriteError)) +
                    QStringLiteral("\n\n") + what,
                GetLangString(languageFile_, QString::fromUtf8(langkey::kMessageTip)),
                MessageIcon::Warning);
        },
        Qt::QueuedConnection);
}

void CVornexView::appendRecovered(const std::string& path) {
    qInfo("vornex: appending to %s works again", path.c_str());
}

// Comes while the recording state is torn down, when no window can show a message any more.
void CVornexView::pointsDropped(const std::string& path, size_t count) {
    qWarning("vornex: %zu points could not be written to %s", count, path.c_str());
}

}  // namespace vornex

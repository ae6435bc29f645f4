#include "graph/CVornexView.h"

#include <QVBoxLayout>

#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/MessageTexts.h"
#include "session/AcquisitionSession.h"

namespace vornex {

CVornexView::CVornexView(AcquisitionSession& session, CXGraph* graph, QWidget* parent)
    : QWidget(parent), session_(session), graph_(graph) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(graph_);

    printer_ = std::make_unique<GraphPrinter>(*graph_);
    session_.addObserver(*this);

    graph_->SetData(nullptr, 0, 0);
    graph_->SetCursorFlags(kCursorFlags);
    OnInitialUpdate();
}

void CVornexView::OnInitialUpdate() {
    graph_->GetYAxis(0).SetAutoScale(true);
    graph_->GetXAxis(0).SetAutoScale(false);
    session_.initialUpdate();
}

bool CVornexView::recording() const {
    return session_.recording();
}

void CVornexView::start() {
    if (session_.start() == Recorder::StartResult::NoTestOpen) {
        ShowMessage(this,
                    langStringOr(languageFile_, QString::fromLatin1(langkey::kMessageNoTest),
                                 QString::fromUtf8(kNoTestText)),
                    langStringOr(languageFile_, QString::fromLatin1(langkey::kMessageTip),
                                 QString::fromUtf8(kNoTestCaption)),
                    MessageIcon::Information);
    }
}

void CVornexView::stop() {
    session_.stop();
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

void CVornexView::recordingChanged(RecordingState state) {
    if (state == RecordingState::Recording)
        graph_->NoOp();
}

void CVornexView::appendFailed(const std::string& path, const std::string& reason) {
    QMetaObject::invokeMethod(
        this,
        [this, what = QString::fromStdString(path + "\n" + reason)] {
            showLangMessage(this, languageFile_, langkey::kMessageWriteError, MessageIcon::Warning,
                            what);
        },
        Qt::QueuedConnection);
}

void CVornexView::appendRecovered(const std::string& path) {
    qInfo("vornex: appending to %s works again", path.c_str());
}

// Comes while the session ends; the main frame offers to save the points elsewhere.
void CVornexView::pointsUnwritten(const std::string& path, size_t count,
                                  const std::string& reason) {
    qWarning("vornex: %zu points could not be written to %s (%s)", count, path.c_str(),
             reason.c_str());
}

}  // namespace vornex

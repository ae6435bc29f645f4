#include "frame/WindowStatus.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <algorithm>

#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "record/CurvePoint.h"
#include "session/qt/SessionSignals.h"

namespace vornex {

namespace {

const QString kProgram = QStringLiteral("Vornex");

QString sizeText(qint64 bytes) {
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg(
            QString::number(static_cast<double>(bytes) / 1024.0, 'f', 1));
    return QStringLiteral("%1 MB").arg(
        QString::number(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 1));
}

QString clockText(qint64 at) {
    return QDateTime::fromSecsSinceEpoch(at).toString(QStringLiteral("HH:mm:ss"));
}

QLabel* statusField(QStatusBar* bar) {
    auto* label = new QLabel(bar);
    label->setTextFormat(Qt::PlainText);
    // Unframed, one field's end reads as the start of the next ("since 12:00:00 Recording").
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setContentsMargins(3, 0, 3, 0);
    bar->addPermanentWidget(label);
    return label;
}

}  // namespace

WindowStatus::WindowStatus(QMainWindow& window, SessionSignals& live,
                           std::function<QString()> portText)
    : QObject(nullptr),
      window_(window),
      live_(live),
      portText_(std::move(portText)),
      line_(statusField(window.statusBar())),
      recording_(statusField(window.statusBar())),
      problem_(statusField(window.statusBar())) {
    line_->setObjectName(QStringLiteral("statusLine"));
    recording_->setObjectName(QStringLiteral("statusRecording"));
    problem_->setObjectName(QStringLiteral("statusProblem"));
    connect(&live_, &SessionSignals::changed, this, &WindowStatus::showState);
    connect(&live_, &SessionSignals::lostLine, this, &WindowStatus::lineLost);
    connect(&live_, &SessionSignals::regainedLine, this,
            [this](qint64 at, double seconds, const QString&) { lineBack(at, seconds); });
    connect(&live_, &SessionSignals::passCounted, this, &WindowStatus::onPass);
    connect(&live_, &SessionSignals::writeFailed, this,
            [this](const QString&, const QString& reason) { writeFailed(reason); });
    connect(&live_, &SessionSignals::writeRecovered, this, &WindowStatus::writeRecovered);
    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &WindowStatus::refresh);
    timer_.start();
    calm_.setSingleShot(true);
    calm_.setInterval(kLineBackNoticeMs);
    connect(&calm_, &QTimer::timeout, this, &WindowStatus::calmProblem);
    lastRefreshMs_ = QDateTime::currentMSecsSinceEpoch();
}

void WindowStatus::setLanguageFile(const QString& languageFile) {
    languageFile_ = languageFile;
    refresh();
}

QString WindowStatus::text(const char* key) const {
    return GetLangString(languageFile_, QString::fromLatin1(key));
}

void WindowStatus::showLoadedFile(const QString& path) {
    shownFile_ = QFileInfo(path).fileName();
    refresh();
}

void WindowStatus::showHint(const QString& hint) {
    if (hint.isEmpty())
        window_.statusBar()->clearMessage();
    else
        window_.statusBar()->showMessage(hint);
}

// The port held by the link, even while it is gone from the port list; else the panel's choice.
QString WindowStatus::lineText() const {
    const SessionState& state = live_.state();
    const QString port = state.lineHeld() ? QString::fromStdString(state.port) : portText_();
    QStringList parts;
    parts << (port.isEmpty() ? text(langkey::kStatusNoPort) : text(langkey::kStatusPort).arg(port));
    switch (state.line) {
        case LineState::Waiting:
            parts << text(langkey::kStatusWaiting).arg(clockText(state.lostAt));
            break;
        case LineState::Connecting:
            parts << text(langkey::kStatusConnected);
            break;
        case LineState::Polling: {
            const auto answering =
                std::count_if(state.instruments.begin(), state.instruments.end(),
                              [](const InstrumentState& instrument) {
                                  return instrument.presence == PresenceState::Identified;
                              });
            parts << text(langkey::kStatusConnected);
            parts << text(langkey::kStatusAnswering)
                         .arg(answering)
                         .arg(static_cast<qsizetype>(state.instruments.size()));
            parts << text(langkey::kStatusPassRate).arg(QString::number(passRate_, 'f', 1));
            break;
        }
        case LineState::None:
        case LineState::Ending:
            parts << text(langkey::kStatusDisconnected);
            break;
    }
    return parts.join(QStringLiteral(" | "));
}

QString WindowStatus::recordingText() const {
    const SessionState& state = live_.state();
    if (!state.testOpen())
        return text(langkey::kStatusNoTest);
    const qint64 bytes = QFileInfo(QString::fromStdString(state.testPath)).size();
    const qint64 points = bytes / static_cast<qint64>(sizeof(CurvePoint));
    return text(state.test == TestState::Recording ? langkey::kStatusRecording
                                                   : langkey::kStatusStopped) +
           QStringLiteral(" | ") + text(langkey::kStatusPoints).arg(points).arg(sizeText(bytes));
}

QString WindowStatus::problemText() const {
    if (problemKey_.isEmpty())
        return {};
    QString problem = GetLangString(languageFile_, problemKey_);
    for (const QString& detail : problemDetails_)
        problem = problem.arg(detail);
    return problem;
}

void WindowStatus::refresh() {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now > lastRefreshMs_) {
        passRate_ = 1000.0 * passesSinceRefresh_ / static_cast<double>(now - lastRefreshMs_);
        passesSinceRefresh_ = 0;
        lastRefreshMs_ = now;
    }
    show();
}

void WindowStatus::show() {
    const SessionState& state = live_.state();
    QString name;
    if (state.testOpen())
        name = QFileInfo(QString::fromStdString(state.testPath)).completeBaseName();
    else if (!shownFile_.isEmpty())
        name = shownFile_;
    window_.setWindowTitle(name.isEmpty() ? kProgram : kProgram + QStringLiteral(" — ") + name);
    line_->setText(lineText());
    recording_->setText(recordingText());
    const QString problem = problemText();
    problem_->setText(problem);
    problem_->setVisible(!problem.isEmpty());
    problem_->setStyleSheet(highlighted_ ? QStringLiteral("color: #b00000") : QString());
    emit refreshed();
}

void WindowStatus::setProblem(QString problem, QStringList details) {
    problemKey_ = std::move(problem);
    problemDetails_ = std::move(details);
    highlighted_ = !problemKey_.isEmpty();
    calm_.stop();
    show();
}

void WindowStatus::calmProblem() {
    highlighted_ = false;
    show();
}

void WindowStatus::onPass(unsigned pass) {
    if (pass > lastPass_)
        passesSinceRefresh_ += pass - lastPass_;
    lastPass_ = pass;
}

// A new link counts its passes from 1; the news of a lost line ends with the wait for it, by the
// link that follows or by Disconnect.
void WindowStatus::showState(const SessionState& state) {
    if (state.line == LineState::Connecting)
        lastPass_ = 0;
    if (state.testOpen())
        shownFile_.clear();
    const bool lineBackShown = problemKey_ == QLatin1String(langkey::kStatusLineBack);
    if (problemKey_ == QLatin1String(langkey::kStatusLineLost) && state.line != LineState::Waiting)
        problemKey_.clear();
    else if (lineBackShown && !state.lineHeld())
        problemKey_.clear();
    else if (lineBackShown && highlighted_ && state.test != testAtLineBack_)
        highlighted_ = false;
    show();
}

void WindowStatus::lineLost(qint64 at) {
    setProblem(QString::fromLatin1(langkey::kStatusLineLost), {clockText(at)});
}

void WindowStatus::lineBack(qint64 at, double secondsWithoutReadings) {
    testAtLineBack_ = live_.state().test;
    setProblem(QString::fromLatin1(langkey::kStatusLineBack),
               {clockText(at), QString::number(secondsWithoutReadings, 'f', 0)});
    calm_.start();
}

void WindowStatus::writeFailed(const QString& reason) {
    setProblem(QString::fromLatin1(langkey::kStatusWriteFailed), {reason});
}

void WindowStatus::writeRecovered() {
    if (problemKey_ == QLatin1String(langkey::kStatusWriteFailed))
        setProblem(QString());
}

}  // namespace vornex

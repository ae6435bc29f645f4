#include "frame/WindowStatus.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "record/AcquisitionSession.h"
#include "record/CurvePoint.h"

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

QString clockText(std::time_t at) {
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(at))
        .toString(QStringLiteral("HH:mm:ss"));
}

QLabel* statusField(QStatusBar* bar) {
    auto* label = new QLabel(bar);
    label->setTextFormat(Qt::PlainText);
    bar->addPermanentWidget(label);
    return label;
}

}  // namespace

WindowStatus::WindowStatus(QMainWindow& window, AcquisitionSession& session,
                           std::function<QString()> portText)
    : QObject(nullptr),
      window_(window),
      session_(session),
      portText_(std::move(portText)),
      line_(statusField(window.statusBar())),
      recording_(statusField(window.statusBar())),
      problem_(statusField(window.statusBar())) {
    line_->setObjectName(QStringLiteral("statusLine"));
    recording_->setObjectName(QStringLiteral("statusRecording"));
    problem_->setObjectName(QStringLiteral("statusProblem"));
    problem_->setStyleSheet(QStringLiteral("color: #b00000"));
    session_.addObserver(*this);
    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &WindowStatus::refresh);
    timer_.start();
    lastRefreshMs_ = QDateTime::currentMSecsSinceEpoch();
}

WindowStatus::~WindowStatus() {
    session_.removeObserver(*this);
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

QString WindowStatus::lineText() const {
    const QString port = portText_();
    QStringList parts;
    parts << (port.isEmpty() ? text(langkey::kStatusNoPort) : text(langkey::kStatusPort).arg(port));
    parts << text(connected_ ? langkey::kStatusConnected : langkey::kStatusDisconnected);
    if (connected_) {
        size_t answering = 0;
        for (size_t i = 0; i < session_.deviceCount(); ++i)
            answering += session_.device(i).presence() == PresenceState::Identified ? 1 : 0;
        parts << text(langkey::kStatusAnswering).arg(answering).arg(session_.deviceCount());
        parts << text(langkey::kStatusPassRate).arg(QString::number(passRate_, 'f', 1));
    }
    return parts.join(QStringLiteral(" | "));
}

QString WindowStatus::recordingText() const {
    if (!session_.testOpen())
        return text(langkey::kStatusNoTest);
    const qint64 bytes = QFileInfo(QString::fromStdString(session_.testPath())).size();
    const qint64 points = bytes / static_cast<qint64>(sizeof(CurvePoint));
    return text(session_.recording() ? langkey::kStatusRecording : langkey::kStatusStopped) +
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
    QString name;
    if (session_.testOpen())
        name = QFileInfo(QString::fromStdString(session_.testPath())).completeBaseName();
    else if (!shownFile_.isEmpty())
        name = shownFile_;
    window_.setWindowTitle(name.isEmpty() ? kProgram : kProgram + QStringLiteral(" — ") + name);
    line_->setText(lineText());
    recording_->setText(recordingText());
    const QString problem = problemText();
    problem_->setText(problem);
    problem_->setVisible(!problem.isEmpty());
    emit refreshed();
}

void WindowStatus::setProblem(QString problem, QStringList details) {
    problemKey_ = std::move(problem);
    problemDetails_ = std::move(details);
    refresh();
}

void WindowStatus::onPass(unsigned pass) {
    if (pass > lastPass_)
        passesSinceRefresh_ += pass - lastPass_;
    lastPass_ = pass;
}

// Controlling thread.
void WindowStatus::linkConnected() {
    connected_ = true;
    lastPass_ = 0;
    if (problemKey_ == QLatin1String(langkey::kStatusLineLost) ||
        problemKey_ == QLatin1String(langkey::kStatusLineBack))
        problemKey_.clear();
    refresh();
}

void WindowStatus::linkDisconnected() {
    connected_ = false;
    refresh();
}

void WindowStatus::testOpened(const std::string&) {
    shownFile_.clear();
    refresh();
}

void WindowStatus::testClosed(const std::string&) {
    refresh();
}

void WindowStatus::lineLost(std::time_t at) {
    connected_ = false;
    setProblem(QString::fromLatin1(langkey::kStatusLineLost), {clockText(at)});
}

void WindowStatus::lineBack(std::time_t at, double secondsWithoutReadings, const std::string&) {
    setProblem(QString::fromLatin1(langkey::kStatusLineBack),
               {clockText(at), QString::number(secondsWithoutReadings, 'f', 0)});
}

// Acquisition thread.
void WindowStatus::passEnded(unsigned pass, const std::vector<RecordSnapshot>&) {
    QMetaObject::invokeMethod(
        this, [this, pass] { onPass(pass); }, Qt::QueuedConnection);
}

// File-writer or controlling thread.
void WindowStatus::appendFailed(const std::string&, const std::string& reason) {
    QMetaObject::invokeMethod(
        this,
        [this, what = QString::fromStdString(reason)] {
            setProblem(QString::fromLatin1(langkey::kStatusWriteFailed), {what});
        },
        Qt::QueuedConnection);
}

void WindowStatus::appendRecovered(const std::string&) {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (problemKey_ == QLatin1String(langkey::kStatusWriteFailed))
                setProblem(QString());
        },
        Qt::QueuedConnection);
}

}  // namespace vornex

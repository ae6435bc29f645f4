#include "verifywin/VerifyWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "report/ReportTexts.h"
#include "session/AcquisitionSession.h"
#include "session/qt/SessionSignals.h"
#include "verifywin/StationPane.h"

namespace vornex {

VerifyWindow::VerifyWindow(SessionSignals& live, const AppPaths& paths, const QString& languageFile,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), live_(live), paths_(paths), languageFile_(languageFile) {
    setWindowTitle(GetLangString(languageFile_, QString::fromLatin1(langkey::kVerifyTitle)));
    auto* layout = new QVBoxLayout(this);
    chooser_ = new QWidget(this);
    layout->addWidget(chooser_);
    new QHBoxLayout(chooser_);
    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    auto* stations = new QWidget(scroll_);
    stationRow_ = new QHBoxLayout(stations);
    scroll_->setWidget(stations);
    layout->addWidget(scroll_, 1);
    QSize size = sizeHint();
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);

    connect(&live_, &SessionSignals::changed, this, &VerifyWindow::showInstruments);
    connect(&live_, &SessionSignals::lostLine, this, [this] {
        for (auto& [address, station] : stations_)
            station->lineLost();
    });
    connect(&live_, &SessionSignals::regainedLine, this, [this] {
        for (auto& [address, station] : stations_)
            station->lineBack();
    });
    connect(&feedTimer_, &QTimer::timeout, this, &VerifyWindow::feed);
    feedTimer_.start(kFeedMs);
    showInstruments(live_.state());
}

VerifyWindow::~VerifyWindow() = default;

QSize VerifyWindow::sizeHint() const {
    constexpr int kStations = 3;
    const int station = StationPane::comfortableWidth(languageFile_, font());
    const QMargins row = stationRow_->contentsMargins();
    const QMargins outer = layout()->contentsMargins();
    // The stations, their spacing, the scroll area's frame and a vertical scroll bar, in the
    // window's margins.
    const int width = kStations * station + (kStations - 1) * stationRow_->spacing() + row.left() +
                      row.right() + 2 * scroll_->frameWidth() +
                      style()->pixelMetric(QStyle::PM_ScrollBarExtent) + outer.left() +
                      outer.right();
    return QSize(std::min(width, 1920), 760);
}

int VerifyWindow::runsUnderWay() const {
    int count = 0;
    for (const auto& [address, station] : stations_)
        count += station->run() && !station->run()->finished() ? 1 : 0;
    return count;
}

void VerifyWindow::closeEvent(QCloseEvent* event) {
    // The runs stay in their files, each to be resumed from its station: closing only asks.
    if (const int count = runsUnderWay(); count > 0) {
        const auto text = [this](const char* key) {
            return GetLangString(languageFile_, QString::fromLatin1(key));
        };
        const QString question = count == 1 ? text(langkey::kVerifyCloseOne)
                                            : text(langkey::kVerifyCloseMany).arg(count);
        if (AskMessage(this, question, windowTitle(),
                       {text(langkey::kVerifyCloseWindow), text(langkey::kVerifyKeepWindow)}) !=
            0) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
}

QPushButton* VerifyWindow::instrumentButton(uint8_t address) const {
    const auto it = buttons_.find(address);
    return it == buttons_.end() ? nullptr : it->second;
}

StationPane* VerifyWindow::station(uint8_t address) const {
    const auto it = stations_.find(address);
    return it == stations_.end() ? nullptr : it->second;
}

void VerifyWindow::showInstruments(const SessionState& state) {
    std::map<uint8_t, QPushButton*> kept;
    auto* row = static_cast<QHBoxLayout*>(chooser_->layout());
    if (buttons_.empty() && row->count() == 0) {
        row->addWidget(new QLabel(
            GetLangString(languageFile_, QString::fromLatin1(langkey::kVerifyInstruments)),
            chooser_));
    }
    const ReportTexts t = reportTexts(languageFile_);
    for (const InstrumentState& instrument : state.instruments) {
        QPushButton*& button = buttons_[instrument.address];
        if (!button) {
            button = new QPushButton(slaveText(t, instrument.address, {}), chooser_);
            const uint8_t address = instrument.address;
            connect(button, &QPushButton::clicked, this, [this, address] { openStation(address); });
            row->addWidget(button);
        }
        // A station is opened on an instrument that has told what it is.
        button->setEnabled(stations_.count(instrument.address) == 0 &&
                           live_.session().instrumentFacts(instrument.address).has_value());
        kept[instrument.address] = button;
    }
    for (auto& [address, button] : buttons_) {
        if (kept.count(address) == 0)
            delete button;
    }
    buttons_ = kept;
}

StationPane* VerifyWindow::openStation(uint8_t address) {
    if (StationPane* open = station(address))
        return open;
    auto* station = new StationPane(live_.session(), address, paths_, languageFile_, this);
    stationRow_->addWidget(station, 1);
    stations_[address] = station;
    connect(station, &StationPane::runFinished, this, &VerifyWindow::runFinished);
    showInstruments(live_.state());
    return station;
}

void VerifyWindow::feed() {
    for (auto& [address, station] : stations_)
        station->feed();
}

}  // namespace vornex

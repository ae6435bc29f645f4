#include "verifywin/CVerifyWnd.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "record/AcquisitionSession.h"
#include "report/ReportTexts.h"
#include "session/SessionSignals.h"
#include "verifywin/CVerifyStation.h"

namespace vornex {

CVerifyWnd::CVerifyWnd(SessionSignals& live, const AppPaths& paths, const QString& languageFile,
                       QWidget* parent)
    : QWidget(parent, Qt::Window),
      live_(live),
      paths_(paths),
      languageFile_(languageFile),
      feed_(live.session()) {
    setWindowTitle(GetLangString(languageFile_, QString::fromLatin1(langkey::kVerifyTitle)));
    auto* layout = new QVBoxLayout(this);
    chooser_ = new QWidget(this);
    layout->addWidget(chooser_);
    new QHBoxLayout(chooser_);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto* stations = new QWidget(scroll);
    stationRow_ = new QHBoxLayout(stations);
    scroll->setWidget(stations);
    layout->addWidget(scroll, 1);
    resize(1200, 760);

    connect(&live_, &SessionSignals::changed, this, &CVerifyWnd::showInstruments);
    connect(&live_, &SessionSignals::lostLine, this, [this] {
        for (auto& [address, station] : stations_)
            station->lineLost();
    });
    connect(&live_, &SessionSignals::regainedLine, this, [this] {
        for (auto& [address, station] : stations_)
            station->lineBack();
    });
    connect(&feedTimer_, &QTimer::timeout, this, &CVerifyWnd::feed);
    feedTimer_.start(kFeedMs);
    showInstruments(live_.state());
}

CVerifyWnd::~CVerifyWnd() = default;

QPushButton* CVerifyWnd::instrumentButton(uint8_t address) const {
    const auto it = buttons_.find(address);
    return it == buttons_.end() ? nullptr : it->second;
}

CVerifyStation* CVerifyWnd::station(uint8_t address) const {
    const auto it = stations_.find(address);
    return it == stations_.end() ? nullptr : it->second;
}

void CVerifyWnd::showInstruments(const SessionState& state) {
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

CVerifyStation* CVerifyWnd::openStation(uint8_t address) {
    if (CVerifyStation* open = station(address))
        return open;
    auto* station = new CVerifyStation(live_.session(), address, paths_, languageFile_, this);
    stationRow_->addWidget(station, 1);
    stations_[address] = station;
    connect(station, &CVerifyStation::runFinished, this, &CVerifyWnd::runFinished);
    showInstruments(live_.state());
    return station;
}

void CVerifyWnd::feed() {
    for (auto& [address, station] : stations_)
        station->feed(feed_.take(address));
}

}  // namespace vornex

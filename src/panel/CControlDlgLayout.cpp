#include "panel/CControlDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/CDigiStatic.h"
#include "controls/CListCtrlEx.h"
#include "controls/DialogTexts.h"

namespace vornex {

namespace {

constexpr int kLedHeight = 46;

}  // namespace

void CControlDlg::buildLayout() {
    value_->setMinimumHeight(kLedHeight);
    unit_->setMinimumHeight(kLedHeight);
    auto* leds = new QHBoxLayout;
    leds->setSpacing(2);
    leds->addWidget(value_, 53);
    leds->addWidget(unit_, 35);

    auto* display = new QHBoxLayout;
    display->addWidget(numberedLabel(QStringLiteral("显示:"), 1062, this));
    display->addWidget(displayList_, 1);

    auto* group = new QGroupBox(QStringLiteral("连接"), this);
    setControlId(group, 1061);
    devices_->setMinimumHeight(120);
    auto* editButtons = new QHBoxLayout;
    editButtons->addWidget(add_);
    editButtons->addWidget(delete_);
    auto* port = new QHBoxLayout;
    port->addWidget(numberedLabel(QStringLiteral("串口:"), 1063, this));
    port->addWidget(ports_, 1);
    auto* linkButtons = new QHBoxLayout;
    linkButtons->addWidget(connect_);
    linkButtons->addWidget(disconnect_);
    auto* inGroup = new QVBoxLayout(group);
    inGroup->addWidget(devices_, 1);
    inGroup->addLayout(editButtons);
    inGroup->addSpacing(8);
    inGroup->addLayout(port);
    inGroup->addWidget(fastPass_);
    inGroup->addLayout(linkButtons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(leds);
    layout->addLayout(display);
    layout->addWidget(group, 1);
}

}  // namespace vornex

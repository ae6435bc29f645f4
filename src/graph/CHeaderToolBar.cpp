#include "graph/CHeaderToolBar.h"

#include <QPushButton>

#include "controls/DialogTexts.h"
#include "controls/Icons.h"

namespace vornex {

namespace {

struct ButtonSpec {
    int controlNumber;
    const char* text;
    int x;  // dialog units
    int icon;
    void (CHeaderToolBar::*clicked)();
};

// In ToolBarButton order.
const ButtonSpec kButtons[kToolBarButtonCount] = {
    {1001, "开 始", 19, 316, &CHeaderToolBar::startClicked},
    {1006, "停 止", 91, 317, &CHeaderToolBar::stopClicked},
    {1002, "放 大", 163, 318, &CHeaderToolBar::zoomClicked},
    {1003, "移 动", 235, 315, &CHeaderToolBar::moveClicked},
    {1008, "测 量", 307, 319, &CHeaderToolBar::measureClicked},
    {1005, "打 印", 379, 313, &CHeaderToolBar::printClicked},
};

// The strip is laid out in dialog units of an 8-point dialog font: 1.5 px across, 1.625 px down.
int unitsAcross(int units) {
    return (units * 3 + 1) / 2;
}
int unitsDown(int units) {
    return (units * 13 + 4) / 8;
}

constexpr int kButtonWidthUnits = 61;
constexpr int kButtonHeightUnits = 26;
constexpr int kButtonTopUnits = 2;
constexpr int kStripWidthUnits = 482;

// Enabled flags of the six buttons, indexed by ToolBarButton, in one state.
std::array<bool, kToolBarButtonCount> toolBarEnabling(ToolbarState state) {
    switch (state) {
        case ToolbarState::Linked:
            return {true, false, false, false, false, false};
        case ToolbarState::Recording:
            return {false, true, false, false, false, false};
        case ToolbarState::Stopped:
            return {true, false, true, true, true, true};
        case ToolbarState::Viewing:
            return {false, false, true, true, true, true};
        case ToolbarState::Initial:
        case ToolbarState::Unlinked:
            break;
    }
    return {false, false, false, false, false, false};
}

}  // namespace

CHeaderToolBar::CHeaderToolBar(QWidget* parent) : QWidget(parent) {
    setProperty(kDialogNumberProperty, kDialogNumber);
    setFixedHeight(kHeight);
    setMinimumWidth(unitsAcross(kStripWidthUnits));
    for (int i = 0; i < kToolBarButtonCount; ++i) {
        const ButtonSpec& spec = kButtons[i];
        auto* button = new QPushButton(QString::fromUtf8(spec.text), this);
        setControlId(button, spec.controlNumber);
        button->setIcon(vornexIcon(spec.icon));
        button->setIconSize(QSize(24, 24));
        button->setGeometry(unitsAcross(spec.x), unitsDown(kButtonTopUnits),
                            unitsAcross(kButtonWidthUnits), unitsDown(kButtonHeightUnits));
        connect(button, &QPushButton::clicked, this, spec.clicked);
        const auto which = static_cast<ToolBarButton>(i);
        button->setCheckable(which == ToolBarButton::Zoom || which == ToolBarButton::Move ||
                             which == ToolBarButton::Measure);
        buttons_[i] = button;
    }
    setState(ToolbarState::Initial);
}

QPushButton* CHeaderToolBar::button(ToolBarButton which) const {
    return buttons_[static_cast<int>(which)];
}

void CHeaderToolBar::setState(ToolbarState state) {
    state_ = state;
    const auto enabling = toolBarEnabling(state);
    for (int i = 0; i < kToolBarButtonCount; ++i) {
        buttons_[i]->setEnabled(enabling[i]);
    }
}

void CHeaderToolBar::showMode(ToolBarButton mode) {
    for (const ToolBarButton each :
         {ToolBarButton::Zoom, ToolBarButton::Move, ToolBarButton::Measure})
        button(each)->setChecked(each == mode);
}

}  // namespace vornex

#pragma once

#include <QWidget>
#include <array>

#include "graph/ToolbarState.h"

class QPushButton;

namespace vornex {

// The toolbar's buttons in their order on the strip.
enum class ToolBarButton { Start, Stop, Zoom, Move, Measure, Print };
constexpr int kToolBarButtonCount = 6;

// The strip above the graph: Start, Stop, Zoom, Move, Measure and Print. It only reports presses;
// whoever owns the recording and the graph acts on them. The rows show a session's state, or are
// set by hand.
class CHeaderToolBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int kHeight = 50;
    static constexpr int kDialogNumber = 312;

    explicit CHeaderToolBar(QWidget* parent = nullptr);

    // Every change sets all six buttons as the state says, whatever they were before.
    void setState(ToolbarState state);
    void setLinked() { setState(ToolbarState::Linked); }
    void setRecording() { setState(ToolbarState::Recording); }
    void setStopped() { setState(ToolbarState::Stopped); }
    void setUnlinked() { setState(ToolbarState::Unlinked); }

    void showState(const SessionState& state) { setState(toolbarStateFor(state)); }

    // Zoom, Move and Measure stay pressed while their mode is on. `mode` names one of them, or
    // any other button for no mode.
    void showMode(ToolBarButton mode);

    ToolbarState state() const { return state_; }
    QPushButton* button(ToolBarButton which) const;

signals:
    void startClicked();
    void stopClicked();
    void zoomClicked();
    void moveClicked();
    void measureClicked();
    void printClicked();

private:
    ToolbarState state_ = ToolbarState::Initial;
    std::array<QPushButton*, kToolBarButtonCount> buttons_{};
};

}  // namespace vornex

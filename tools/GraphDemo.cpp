// Three simulated torque curves growing live under the header toolbar. With --screenshot FILE the
// window is grabbed after a few seconds, with both measuring cursors placed, and the demo ends.
#include <QApplication>
#include <QCommandLineParser>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <vector>

#include "graph/CHeaderToolBar.h"
#include "graph/CXGraph.h"
#include "graph/GraphModeBinding.h"

using namespace vornex;

namespace {

constexpr int kSlaves = 3;
constexpr int kPoints = 18000;

// A wrench pulled to a peak and released, again and again; each slave at its own pace.
double torque(int slave, double t) {
    const double period = 6.0 + 2.5 * slave;
    const double phase = std::fmod(t + slave * 1.7, period) / period;
    const double peak = 20.0 + 12.0 * slave;
    return phase < 0.7 ? peak * std::pow(phase / 0.7, 1.6) : peak * (1.0 - (phase - 0.7) / 0.3);
}

void clickAt(QWidget* widget, QPointF at, Qt::MouseButton button) {
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), button,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"screenshot", "Save a screenshot to FILE and quit.", "FILE"});
    parser.process(app);

    QWidget window;
    window.setWindowTitle("Vornex graph");
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* toolBar = new CHeaderToolBar;
    auto* graph = new CXGraph;
    layout->addWidget(toolBar);
    layout->addWidget(graph, 1);
    bindGraphModes(*toolBar, *graph);
    graph->SetCursorFlags(14);
    toolBar->setRecording();

    std::vector<std::vector<CurvePoint>> curves(kSlaves, std::vector<CurvePoint>(kPoints));
    int count = 0;
    double now = 0.0;
    auto addPass = [&] {
        for (int s = 0; s < kSlaves; ++s) {
            curves[s][count] = CurvePoint{now, torque(s + 1, now), static_cast<uint8_t>(s + 1), {}};
        }
        ++count;
        now += 0.1;
        for (int s = 0; s < kSlaves; ++s) {
            graph->appendPoints(&curves[s][count - 1], 1, s);
        }
        if (now > 20.0) {
            graph->GetXAxis(0).SetCurrentRange(now - 20.0, now, 0.0);
        }
        graph->Redraw();
    };
    while (now < 26.0) {
        addPass();
    }
    QTimer feeder;
    QObject::connect(&feeder, &QTimer::timeout, [&] {
        if (count < kPoints) {
            addPass();
        }
    });
    feeder.start(100);
    QObject::connect(toolBar, &CHeaderToolBar::stopClicked, [&] {
        feeder.stop();
        toolBar->setStopped();
    });
    QObject::connect(toolBar, &CHeaderToolBar::startClicked, [&] {
        graph->NoOp();
        feeder.start(100);
        toolBar->setRecording();
    });

    window.resize(1370, 850);
    window.show();

    const QString shot = parser.value("screenshot");
    if (!shot.isEmpty()) {
        QTimer::singleShot(3000, [&] {
            feeder.stop();
            toolBar->setStopped();
            graph->Cursor();
            graph->replotNow();
            const double t1 = now - 14.0;
            const double t2 = now - 6.0;
            auto pixel = [&](double t, int slave) {
                return QPointF(graph->xAxis->coordToPixel(t),
                               graph->yAxis->coordToPixel(torque(slave, t)));
            };
            clickAt(graph, pixel(t1, 3), Qt::LeftButton);
            clickAt(graph, pixel(t2, 3), Qt::RightButton);
            graph->replotNow();
        });
        QTimer::singleShot(3500, [&] {
            const QPixmap pixmap = window.screen()->grabWindow(window.winId());
            app.exit(pixmap.save(shot) ? 0 : 1);
        });
    }
    return app.exec();
}

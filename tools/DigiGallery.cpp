// Shows LED displays at the sizes the program uses and beyond, and saves a screenshot of the
// window: vornex-digi-gallery OUTPUT.png (run under a real X server, e.g. xvfb-run).
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "controls/CDigiStatic.h"

namespace {

using vornex::CDigiStatic;
using vornex::DIGI_14SEG_DIGITS;
using vornex::DIGI_KEEP_ASPECT;

CDigiStatic* display(const QString& text, uint32_t remove, uint32_t add, QSize size) {
    auto* d = new CDigiStatic(text);
    d->ModifyDigiStyle(remove, add);
    d->setFixedSize(size);
    return d;
}

// One row: value displays with "500.00" and "-12.50" in the value display's style, and a unit
// display with "kgf.cm".
void addRow(QGridLayout* grid, int row, const QString& title, QSize value, QSize unit,
            uint32_t remove) {
    grid->addWidget(new QLabel(title), row, 0);
    grid->addWidget(display("500.00", remove, DIGI_14SEG_DIGITS, value), row, 1);
    grid->addWidget(display("-12.50", remove, DIGI_14SEG_DIGITS, value), row, 2);
    grid->addWidget(display("kgf.cm", remove, 0, unit), row, 3);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);

    QWidget window;
    window.setWindowTitle("LED display gallery");
    auto* grid = new QGridLayout(&window);
    addRow(grid, 0, "control panel", QSize(132, 32), QSize(88, 32), 0);
    addRow(grid, 1, "large", QSize(380, 110), QSize(300, 110), 0);
    addRow(grid, 2, "wide, aspect kept", QSize(380, 50), QSize(300, 50), 0);
    addRow(grid, 3, "wide, stretched", QSize(380, 50), QSize(300, 50), DIGI_KEEP_ASPECT);
    addRow(grid, 4, "tall, stretched", QSize(200, 110), QSize(150, 110), DIGI_KEEP_ASPECT);
    window.show();

    int status = 1;
    QTimer::singleShot(500, &app, [&] {
        const QPixmap shot = window.screen()->grabWindow(window.winId());
        status = shot.save(output) ? 0 : 1;
        app.quit();
    });
    app.exec();
    return status;
}

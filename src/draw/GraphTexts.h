#pragma once

#include <QString>

namespace vornex {

// The graph's texts in the user's language. %1 of `slave` is the slave address; `point` takes
// the cursor's letter, time, value with unit and curve name; `delta` the differences in time and
// value. The hints say what the mouse does in each mode.
struct GraphTexts {
    QString time = QStringLiteral("Time (s)");
    QString torque = QStringLiteral("Torque");
    QString slave = QStringLiteral("Slave_%1");
    QString point = QStringLiteral("%1: time %2 s, torque %3 (%4)");
    QString delta = QStringLiteral("Difference: time %1 s, torque %2");
    QString hintZoom;
    QString hintPan;
    QString hintFirst;
    QString hintSecond;
    QString hintMove;
};

}  // namespace vornex

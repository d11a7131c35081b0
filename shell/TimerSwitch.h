#pragma once

#include <QTimer>

// Switching on a timer that already runs keeps its period; QTimer::start would restart it.
inline void switchOn(QTimer& timer) {
    if (!timer.isActive()) timer.start();
}

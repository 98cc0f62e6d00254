// The keep-awake nudge: a pointer left alone for a minute is moved by one pixel.
#pragma once

#include <QPoint>
#include <optional>

namespace plx {

struct NudgeResult {
    std::optional<QPoint> moveTo;  // where to put the pointer, when it has not moved
    QPoint remember;               // the position to compare with next time
};

// `pointer` is where the pointer is now, `remembered` where it was a minute ago. A pointer that
// has not moved swings between two neighbouring pixels: right from an even x, left from an odd one.
NudgeResult NextNudge(QPoint pointer, QPoint remembered);

}  // namespace plx

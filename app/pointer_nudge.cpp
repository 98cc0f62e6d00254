// The keep-awake nudge.
#include "app/pointer_nudge.h"

namespace plx {

NudgeResult NextNudge(QPoint pointer, QPoint remembered) {
    if (pointer != remembered) return {std::nullopt, pointer};
    // x % 2 is -1 for odd negative x on a left-hand screen, which also counts as odd.
    QPoint moved(pointer.x() % 2 == 0 ? pointer.x() + 1 : pointer.x() - 1, pointer.y());
    return {moved, moved};
}

}  // namespace plx

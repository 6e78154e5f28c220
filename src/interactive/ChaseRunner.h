#pragma once

#include "state/Easel.h"

namespace interactive {

// The chasing eye: each step moves the eye (Image1) a fiftieth of the way from the shared
// trailing point towards the target, shows the frame worked out in the previous step,
// works out the direction in which the target lies, and writes the four read-outs.
// A runner chases one target for its whole life; a new pointer movement in chase mode
// starts a new runner. It reads chaseOn nowhere: switching chase mode off lets it finish.
class ChaseRunner {
  public:
    // `shownFrame`: the frame whose picture the eye shows already (0: none yet).
    ChaseRunner(float targetX, float targetY, int shownFrame = 0);

    float targetX() const { return targetX_; }
    float targetY() const { return targetY_; }
    int shownFrame() const { return shownFrame_; }

    // One step; returns whether anything changed (position, frame, picture or read-out).
    bool step(Easel& easel);

  private:
    float targetX_, targetY_;
    QString targetXText_, targetYText_; // the read-outs of the target, the same at every step
    int shownFrame_ = 0;                // the frame whose picture this runner last put on the eye
};

} // namespace interactive

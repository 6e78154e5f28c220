#include "ChaseRunner.h"

namespace interactive {

namespace {

constexpr float kClosing = 50; // a fiftieth of the remaining distance per step
constexpr float kBand = 200;   // half-width of the bands in which the eye looks straight

float single(const Value& v) { return static_cast<float>(v.number().value_or(0)); }

// The frame for a target seen from the eye at (x, y), or `frame` when no test holds.
// Band tests first, each overriding the one before (so within the band on both axes the
// horizontal frames win); the quadrant tests only when no band test matched.
int frameTowards(float x, float y, float tx, float ty, int frame) {
    const float left = x - kBand, right = x + kBand, top = y - kBand, bottom = y + kBand;
    bool bandHit = false;
    const auto band = [&](bool hit, int f) {
        if (hit) {
            frame = f;
            bandHit = true;
        }
    };
    band(left < tx && tx < right && ty > y, 5);
    band(left < tx && tx < right && ty < y, 6);
    band(top < ty && ty < bottom && tx > x, 7);
    band(top < ty && ty < bottom && tx < x, 8);
    if (bandHit) return frame;
    if (tx > x && ty > y) return 1;
    if (tx > x && ty < y) return 2;
    if (tx < x && ty < y) return 3;
    if (tx < x && ty > y) return 4;
    return frame;
}

// Frame k is held by the image numbered k + 1.
Control pictureOf(int frame) {
    return static_cast<Control>(static_cast<int>(Control::Image2) + frame - 1);
}

} // namespace

ChaseRunner::ChaseRunner(float targetX, float targetY, int shownFrame)
    : targetX_(targetX), targetY_(targetY), targetXText_(numbers::singleToText(targetX)),
      targetYText_(numbers::singleToText(targetY)), shownFrame_(shownFrame) {}

bool ChaseRunner::step(Easel& e) {
    DrawingState& s = e.state;
    const float oldX = single(s.spriteX), oldY = single(s.spriteY);
    const float x = oldX + (targetX_ - oldX) / kClosing;
    const float y = oldY + (targetY_ - oldY) / kClosing;
    s.spriteX = Value::single(x);
    s.spriteY = Value::single(y);
    e.controls.moveImage(Control::Image1, {e.canvas.toPixels(x), e.canvas.toPixels(y)});

    const auto frameValue = s.spriteFrame.number();
    const int frame = frameValue ? static_cast<int>(*frameValue) : 0;
    const bool newPicture = frame != shownFrame_;
    if (newPicture && frame >= 1 && frame <= 8)
        e.controls.copyPicture(Control::Image1, pictureOf(frame));
    shownFrame_ = frame;

    const int next = frameTowards(x, y, targetX_, targetY_, frame);
    if (next != frame) s.spriteFrame = Value::integer(static_cast<qint16>(next));

    const QString texts[4] = {s.spriteX.toText(), s.spriteY.toText(), targetXText_, targetYText_};
    const Control boxes[4] = {Control::Text7, Control::Text8, Control::Text9, Control::Text10};
    bool textChanged = false;
    for (int i = 0; i < 4; ++i) {
        textChanged |= e.controls.text(boxes[i]) != texts[i];
        e.controls.setText(boxes[i], texts[i]);
    }
    return x != oldX || y != oldY || newPicture || next != frame || textChanged;
}

} // namespace interactive

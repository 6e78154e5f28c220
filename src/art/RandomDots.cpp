#include "RandomDots.h"

#include <cmath>

namespace art {

RandomDots RandomDots::begin(Canvas& canvas, Random& random) {
    canvas.setScaleMode(Canvas::Pixels);
    canvas.setDrawWidth(5);
    canvas.setForeColor(numbers::QBColor(4));
    canvas.setFontSize(24);
    const auto centreX = static_cast<float>(canvas.scaleWidth() / 2);
    const auto centreY = static_cast<float>(canvas.scaleHeight() / 2);
    canvas.Cls();
    const QString character = QStringLiteral("あ");
    canvas.setCurrentX(centreX - canvas.TextWidth(character) / 2);
    canvas.setCurrentY(centreY - canvas.TextHeight(character));
    canvas.Print(character);
    return RandomDots(canvas, random);
}

void RandomDots::step() {
    const auto x = static_cast<float>(random_->next() * canvas_->scaleWidth());
    const auto y = static_cast<float>(random_->next() * canvas_->scaleHeight());
    const int k = static_cast<int>(std::nearbyint(random_->next() * 15));
    canvas_->PSet(x, y, numbers::QBColor(k));
}

} // namespace art

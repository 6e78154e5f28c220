#include "CaptionButton.h"

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

void CaptionButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(rect().adjusted(1, 1, -1, -1), Qt::AlignCenter | Qt::TextWordWrap, text());
}

// A push button outside a dialog ignores Return and Enter; here they are keyboard activation
// as much as Space is. Only the click follows: a handler of mouse presses sees nothing.
void CaptionButton::keyPressEvent(QKeyEvent* event) {
    const bool activates = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!activates || event->isAutoRepeat()) return QPushButton::keyPressEvent(event);
    click();
}

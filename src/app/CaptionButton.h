#pragma once

#include <QPushButton>

// A push button whose caption wraps onto a second line where it is wider than the button,
// as the narrow mode buttons need ("消し　ゴム" on 41 pixels). With the focus, Return and
// Enter click it as Space does.
class CaptionButton : public QPushButton {
    Q_OBJECT
  public:
    using QPushButton::QPushButton;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

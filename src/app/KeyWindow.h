#pragma once

#include <QWidget>

// F1's list of keys: a small window of its own beside the main window, two columns, key and
// what it does, one row per row of the key table. Escape or F1 closes it again. It holds
// nothing and touches nothing of the main window: the main window only shows it.
class KeyWindow : public QWidget {
    Q_OBJECT
  public:
    // A window of its own; `owner` only keeps it, so that it goes with the main window.
    explicit KeyWindow(QWidget* owner);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};
